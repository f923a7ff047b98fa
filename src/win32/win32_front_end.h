#pragma once

#include "extract/windowed_front_end.h"

namespace quillery {

class Form1Window;

// The Win32 window's side of a run: the caption goes to the window's title,
// the options are read from the check boxes when asked for, and a yield
// dispatches the pending messages.
class Win32FrontEnd : public WindowedFrontEnd {
  public:
    explicit Win32FrontEnd(Form1Window& form);

    bool OptionOn(ExtractOption option) override;

  private:
    void DrawCaption(const std::u16string& caption) override;
    void ServiceEvents() override;
    [[nodiscard]] bool ClosedDuringRun() const override;

    Form1Window& form_;
};

} // namespace quillery
