#pragma once

#include "extract/front_end.h"

#include <chrono>
#include <functional>
#include <string>

namespace quillery {

class Form1;

// The window's side of a run: the caption goes to the window's title, the
// options are read from the check boxes at the moment they are asked for,
// and a yield lets the window handle its pending events. Title and event loop
// are serviced at most kServiceRate times a second, so that a run of a
// million entries costs little more in the window than on the command line.
class WindowFrontEnd : public FrontEnd {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using CaptionObserver = std::function<void(const std::u16string& caption)>;

    static constexpr int kServiceRate = 60;
    static constexpr std::chrono::steady_clock::duration kServiceInterval =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::seconds(1)) / kServiceRate;

    // `onCaption`, when set, sees every caption, whether drawn or not.
    WindowFrontEnd(Form1& form, Clock clock, CaptionObserver onCaption = {});

    // Keeps the caption, drawn at the next service.
    void SetCaption(const std::u16string& caption) override;
    // The phase's caption is drawn at once, and the next yield services the
    // window whatever the time since the last service.
    void EnterPhase(RunPhase phase) override;
    bool OptionOn(ExtractOption option) override;
    // Services the window when due. Throws RunAbandoned once the window has
    // been closed, until the first yield of the saving phase has passed:
    // from then on files are written, and the writing is finished.
    void Yield() override;

  private:
    void ShowCaption();

    Form1& form_;
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
