#include "app/window_front_end.h"

#include "app/form1.h"
#include "extract/run_error.h"

#include <QCheckBox>
#include <QCoreApplication>

#include <utility>

namespace quillery {

WindowFrontEnd::WindowFrontEnd(Form1& form, Clock clock, CaptionObserver onCaption)
    : form_(form), clock_(std::move(clock)), onCaption_(std::move(onCaption))
{
}

void WindowFrontEnd::SetCaption(const std::u16string& caption)
{
    caption_ = caption;
    captionShown_ = false;
    if (onCaption_) {
        onCaption_(caption_);
    }
}

void WindowFrontEnd::EnterPhase(RunPhase phase)
{
    SetCaption(std::u16string(PhaseCaption(phase)));
    ShowCaption();
    servicePending_ = true;
    savingEntered_ = savingEntered_ || phase == RunPhase::saving;
}

bool WindowFrontEnd::OptionOn(ExtractOption option)
{
    return form_.optionBox(option)->checkState() == Qt::Checked;
}

void WindowFrontEnd::Yield()
{
    const auto now = clock_();
    if (servicePending_ || now - lastService_ >= kServiceInterval) {
        ShowCaption();
        QCoreApplication::processEvents();
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

void WindowFrontEnd::ShowCaption()
{
    if (!captionShown_) {
        form_.setWindowTitle(QString::fromStdU16String(caption_));
        captionShown_ = true;
    }
}

} // namespace quillery
