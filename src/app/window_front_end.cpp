#include "app/window_front_end.h"

#include "app/form1.h"
#include "extract/run_error.h"

#include <QCheckBox>
#include <QCoreApplication>

#include <utility>

namespace quillery {

WindowFrontEnd::WindowFrontEnd(Form1& form, Clock clock, CaptionObserver onCaption)
    : form_(form), clock_(std::move(clock)), onCaption_(std::move(onCaption)), encoding_(form.encoding())
{
}

void WindowFrontEnd::SetCaption(const std::u16string& caption)
{
    caption_ = caption;
    captionShown_ = false;
    if (onCaption_) {
        onCaption_(caption_);
    }
    // Each phase caption comes once: it is drawn and its yield services the
    // window whatever the time since the last service.
    if (caption_ == kSortingCaption || caption_ == kSavingCaption) {
        saving_ = saving_ || caption_ == kSavingCaption;
        ShowCaption();
        servicePending_ = true;
    }
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
    // Reading and sorting write nothing, so a run given up then leaves no
    // output; once the writing has begun it is finished.
    if (form_.closedDuringRun() && !saving_) {
        throw RunAbandoned();
    }
}

std::u16string WindowFrontEnd::InputPath()
{
    return form_.pathText();
}

void WindowFrontEnd::ShowCaption()
{
    if (!captionShown_) {
        form_.setWindowTitle(QString::fromStdU16String(caption_));
        captionShown_ = true;
    }
}

} // namespace quillery
