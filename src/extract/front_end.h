#pragma once

#include "extract/extract_options.h"
#include "util/text_encoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace quillery {

// What the run writes: the classic book files and page, or one of the
// formats other tools read (always UTF-8).
enum class OutputFormat { classic, markdown, html, csv, json };

// The format's name on the command line ("classic", "json", ...).
std::string_view FormatName(OutputFormat format);
// The format of that name; nothing when there is none.
std::optional<OutputFormat> FormatNamed(std::string_view name);

// What a run is asked to do, fixed when it starts.
struct RunRequest {
    std::u16string path;                      // the input file as the user gave it
    TextEncoding encoding = kDefaultEncoding; // how the input is read (and the classic output written)
    std::u16string baseFolder;                // where the new "My Clippings" folder goes
    OutputFormat format = OutputFormat::classic;
    // Duplicates merged, notes attached, placeholders dropped before writing.
    bool clean = false;
    // The per-book file names ({title}, {authors}, {title_line}); "" for the format's own.
    std::string namePattern{};
};

// The phases of a run after reading; each is entered once.
enum class RunPhase { sorting, saving };

// The caption that shows a phase: "Sorting..", "Saving..".
std::u16string_view PhaseCaption(RunPhase phase);

// What a run needs from the program that drives it (the window, the command
// line or a test): somewhere to show progress, word of each phase, the
// options' live values, and a chance to handle pending events.
class FrontEnd {
  public:
    virtual ~FrontEnd() = default;

    // Shows the progress of reading ("57 entries in 4 ebooks").
    virtual void SetCaption(const std::u16string& caption) = 0;
    // The run enters `phase`; the front end shows its caption.
    virtual void EnterPhase(RunPhase phase) = 0;
    // The option's value at this moment: a change during a run applies from then on.
    virtual bool OptionOn(ExtractOption option) = 0;
    // Handles every pending event once. May throw RunAbandoned.
    virtual void Yield() = 0;
};

} // namespace quillery
