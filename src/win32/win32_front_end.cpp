#include "win32/win32_front_end.h"

#include "win32/form1_window.h"

#include <chrono>

namespace quillery {

Win32FrontEnd::Win32FrontEnd(Form1Window& form) : WindowedFrontEnd(std::chrono::steady_clock::now), form_(form) {}

bool Win32FrontEnd::OptionOn(ExtractOption option)
{
    return form_.OptionOn(option);
}

void Win32FrontEnd::DrawCaption(const std::u16string& caption)
{
    form_.SetTitle(caption);
}

void Win32FrontEnd::ServiceEvents()
{
    form_.DispatchPendingMessages();
}

bool Win32FrontEnd::ClosedDuringRun() const
{
    return form_.closedDuringRun();
}

} // namespace quillery
