#include "cli/cli_front_end.h"

#include "util/path_text.h"

#include <ostream>
#include <utility>

namespace quillery {

namespace {

// The phase captions come once each, so they are always drawn; only the
// per-entry progress captions are thinned out.
bool IsPhaseCaption(const std::u16string& caption)
{
    return caption == kSortingCaption || caption == kSavingCaption;
}

} // namespace

CliFrontEnd::CliFrontEnd(ExtractOptions options, std::u16string inputPath, std::ostream& status, bool showProgress,
                         Clock clock)
    : options_(options), inputPath_(std::move(inputPath)), status_(status), showProgress_(showProgress),
      clock_(std::move(clock))
{
}

void CliFrontEnd::SetCaption(const std::u16string& caption)
{
    if (!showProgress_) {
        return;
    }
    const auto now = clock_();
    if (lineOpen_ && !IsPhaseCaption(caption) && now - lastDrawn_ < kCaptionInterval) {
        return;
    }
    // Back to the start of the line, the caption, then clear what a longer
    // earlier caption left behind.
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
