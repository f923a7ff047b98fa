#pragma once

#include "extract/extract_options.h"
#include "util/text_encoding.h"

#include <string>
#include <string_view>

namespace quillery {

// The captions of the run's two later phases; each is shown once per run.
inline constexpr std::u16string_view kSortingCaption = u"Sorting..";
inline constexpr std::u16string_view kSavingCaption = u"Saving..";

// What a run needs from the program that drives it (the window or the
// command line): a caption to show progress in, the live option values, a
// chance to handle pending events, the input path and the text encoding.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    virtual void SetCaption(const std::u16string& caption) = 0;
    // The option's value at this moment.
    virtual bool OptionOn(ExtractOption option) = 0;
    // Handles every pending event once. May throw RunAbandoned.
    virtual void Yield() = 0;
    // The input path as the user gave it, read anew at every call.
    virtual std::u16string InputPath() = 0;
    // How the input is read and the output written; fixed for the run.
    virtual TextEncoding Encoding() = 0;
};

} // namespace quillery
