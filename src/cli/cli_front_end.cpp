#include "cli/cli_front_end.h"

#include "util/path_text.h"

#include <ostream>
#include <utility>

namespace quillery {

CliFrontEnd::CliFrontEnd(ExtractOptions options, std::ostream& status, bool showProgress, Clock clock)
    : options_(options), status_(status), showProgress_(showProgress), clock_(std::move(clock))
{
}

void CliFrontEnd::SetCaption(const std::u16string& caption)
{
    // A caption comes with every entry read: without a status line to draw
    // on, not even the clock is read.
    if (!showProgress_) {
        return;
    }
    const auto now = clock_();
    if (!lineOpen_ || now - lastDrawn_ >= kCaptionInterval) {
        Draw(caption, now);
    }
}

void CliFrontEnd::EnterPhase(RunPhase phase)
{
    Draw(PhaseCaption(phase), clock_());
}

// Back to the start of the line, the caption, then clear what a longer
// earlier caption left behind.
void CliFrontEnd::Draw(std::u16string_view caption, std::chrono::steady_clock::time_point now)
{
    if (!showProgress_) {
        return;
    }
    status_ << '\r' << ToUtf8(caption) << "\x1b[K" << std::flush;
    lineOpen_ = true;
    lastDrawn_ = now;
}

void CliFrontEnd::EndStatusLine()
{
    if (lineOpen_) {
        status_ << '\n' << std::flush;
        lineOpen_ = false;
    }
}

} // namespace quillery
