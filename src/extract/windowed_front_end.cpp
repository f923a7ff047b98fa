#include "extract/windowed_front_end.h"

#include "extract/run_error.h"

#include <utility>

namespace quillery {

WindowedFrontEnd::WindowedFrontEnd(Clock clock, CaptionObserver onCaption)
    : clock_(std::move(clock)), onCaption_(std::move(onCaption))
{
}

void WindowedFrontEnd::SetCaption(const std::u16string& caption)
{
    caption_ = caption;
    captionShown_ = false;
    if (onCaption_) {
        onCaption_(caption_);
    }
}

void WindowedFrontEnd::EnterPhase(RunPhase phase)
{
    SetCaption(std::u16string(PhaseCaption(phase)));
    ShowCaption();
    servicePending_ = true;
    savingEntered_ = savingEntered_ || phase == RunPhase::saving;
}

void WindowedFrontEnd::Yield()
{
    const auto now = clock_();
    if (servicePending_ || now - lastService_ >= kServiceInterval) {
        ShowCaption();
        ServiceEvents();
        lastService_ = now;
        servicePending_ = false;
    }
    // Until the first file is created the run has written nothing, so a run
    // given up leaves no output; once the writing has begun it is finished.
    if (ClosedDuringRun() && !writing_) {
        throw RunAbandoned();
    }
    writing_ = savingEntered_;
}

void WindowedFrontEnd::ShowCaption()
{
    if (!captionShown_) {
        DrawCaption(caption_);
        captionShown_ = true;
    }
}

} // namespace quillery
