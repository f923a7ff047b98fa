#pragma once

#include "extract/front_end.h"

#include <chrono>
#include <functional>
#include <string>

namespace quillery {

// What a window's side of a run is, whatever draws the window: the caption
// goes to the window's title, and a yield services the window's events. Title
// and events are serviced at most kServiceRate times a second, so that a run
// of a million entries costs little more in a window than on the command
// line; a phase's caption is drawn at once. Closing the window gives the run
// up until the first yield of the saving phase has passed: from then on files
// are written, and the writing is finished.
class WindowedFrontEnd : public FrontEnd {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using CaptionObserver = std::function<void(const std::u16string& caption)>;

    static constexpr int kServiceRate = 60;
    static constexpr std::chrono::steady_clock::duration kServiceInterval =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(1)) / kServiceRate;

    // `onCaption`, when set, sees every caption, whether drawn or not.
    explicit WindowedFrontEnd(Clock clock, CaptionObserver onCaption = {});

    void SetCaption(const std::u16string& caption) final;
    void EnterPhase(RunPhase phase) final;
    // Services the window when due. Throws RunAbandoned once the window has
    // been closed, while nothing is written yet.
    void Yield() final;

  protected:
    virtual void DrawCaption(const std::u16string& caption) = 0;
    virtual void ServiceEvents() = 0;
    [[nodiscard]] virtual bool ClosedDuringRun() const = 0;

  private:
    void ShowCaption();

    Clock clock_;
    CaptionObserver onCaption_;
    std::u16string caption_;
    bool captionShown_ = true; // nothing new to draw yet
    bool servicePending_ = false;
    bool savingEntered_ = false;
    bool writing_ = false;
    std::chrono::steady_clock::time_point lastService_{};
};

} // namespace quillery
