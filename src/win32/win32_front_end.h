#pragma once

#include "extract/front_end.h"

#include <chrono>
#include <string>

namespace quillery {

class Form1Window;

// The Win32 window's side of a run: the caption goes to the window's title,
// the options are read from the check boxes when asked for, and a yield
// dispatches the pending messages. Title and messages are serviced at most
// kServiceRate times a second, so a long run costs little more in the window
// than on the command line.
class Win32FrontEnd : public FrontEnd {
  public:
    static constexpr int kServiceRate = 60;

    explicit Win32FrontEnd(Form1Window& form);

    void SetCaption(const std::u16string& caption) override;
    // The phase's caption is drawn at once, and the next yield services the
    // window whatever the time since the last service.
    void EnterPhase(RunPhase phase) override;
    bool OptionOn(ExtractOption option) override;
    // Throws RunAbandoned once the window has been closed, until the first
    // yield of the saving phase has passed: from then on files are written,
    // and the writing is finished.
    void Yield() override;

  private:
    void ShowCaption();

    Form1Window& form_;
    std::u16string caption_;
    bool captionShown_ = true;
    bool servicePending_ = false;
    bool savingEntered_ = false;
    bool writing_ = false;
    std::chrono::steady_clock::time_point lastService_{};
};

} // namespace quillery
