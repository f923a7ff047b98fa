#pragma once

#include "extract/windowed_front_end.h"

namespace quillery {

class Form1;

// The Qt window's side of a run: the caption goes to the window's title, the
// options are read from the check boxes at the moment they are asked for,
// and a yield lets the window handle its pending events.
class WindowFrontEnd : public WindowedFrontEnd {
  public:
    WindowFrontEnd(Form1& form, Clock clock, CaptionObserver onCaption = {});

    bool OptionOn(ExtractOption option) override;

  private:
    void DrawCaption(const std::u16string& caption) override;
    void ServiceEvents() override;
    [[nodiscard]] bool ClosedDuringRun() const override;

    Form1& form_;
};

} // namespace quillery
