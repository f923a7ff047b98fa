#include "app/window_front_end.h"

#include "app/form1.h"

#include <QCheckBox>
#include <QCoreApplication>

#include <utility>

namespace quillery {

WindowFrontEnd::WindowFrontEnd(Form1& form, Clock clock, CaptionObserver onCaption)
    : WindowedFrontEnd(std::move(clock), std::move(onCaption)), form_(form)
{
}

bool WindowFrontEnd::OptionOn(ExtractOption option)
{
    return form_.optionBox(option)->checkState() == Qt::Checked;
}

void WindowFrontEnd::DrawCaption(const std::u16string& caption)
{
    form_.setWindowTitle(QString::fromStdU16String(caption));
}

void WindowFrontEnd::ServiceEvents()
{
    QCoreApplication::processEvents();
}

bool WindowFrontEnd::ClosedDuringRun() const
{
    return form_.closedDuringRun();
}

} // namespace quillery
