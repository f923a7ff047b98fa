#include "win32/win32_front_end.h"

#include "extract/run_error.h"
#include "win32/form1_window.h"

namespace quillery {

namespace {

constexpr auto kServiceInterval =
    std::chrono::steady_clock::duration(std::chrono::seconds(1)) / Win32FrontEnd::kServiceRate;

} // namespace

Win32FrontEnd::Win32FrontEnd(Form1Window& form) : form_(form) {}

void Win32FrontEnd::SetCaption(const std::u16string& caption)
{
    caption_ = caption;
    captionShown_ = false;
}

void Win32FrontEnd::EnterPhase(RunPhase phase)
{
    SetCaption(std::u16string(PhaseCaption(phase)));
    ShowCaption();
    servicePending_ = true;
    savingEntered_ = savingEntered_ || phase == RunPhase::saving;
}

bool Win32FrontEnd::OptionOn(ExtractOption option)
{
    return form_.OptionOn(option);
}

void Win32FrontEnd::Yield()
{
    const auto now = std::chrono::steady_clock::now();
    if (servicePending_ || now - lastService_ >= kServiceInterval) {
        ShowCaption();
        form_.DispatchPendingMessages();
        lastService_ = now;
        servicePending_ = false;
    }
    // Until the first file is created the run has written nothing, so a run
    // given up leaves no output; once the writing has begun it is finished.
    if (form_.closedDuringRun() && !writing_) {
        throw RunAbandoned();
    }
    writing_ = savingEntered_;
}

void Win32FrontEnd::ShowCaption()
{
    if (!captionShown_) {
        form_.SetTitle(caption_);
        captionShown_ = true;
    }
}

} // namespace quillery
