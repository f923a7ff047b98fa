#pragma once

#include <string_view>

namespace quillery {

// The form of an entry's meta line (the line after its title).
enum class MetaForm {
    none,    // no meta line of any known form
    older,   // "- Highlight", "- Note", "- Bookmark" with " Loc. N"
    newer,   // "- Your Highlight on page 5 | Location 12-14 | Added on ..." and its translations
    unknown, // a newer line ("- ... | ...") whose kind phrase is in no known language
};

// What a meta line gives: its form, the kind ('h', 'n' or 'b') of an older or
// newer line, and the bytes of its location (the first number of the location,
// or of the page when there is none; empty when neither is given).
struct MetaLine {
    MetaForm form = MetaForm::none;
    char16_t kind = 0;
    std::string_view location;
};

// Classifies the raw bytes (UTF-8 as the device writes them) of a meta line.
// The older forms keep their exact steps: the location is what stands between
// " Loc. " and the next "|", cut at its first "-". A line with a page and no
// location gives the page's first number, in either form.
MetaLine ClassifyMetaLine(std::string_view line);

// A meta line's parts as written, for readers that need more than its kind.
struct MetaParts {
    MetaLine meta;                  // what ClassifyMetaLine gives
    std::string_view page;          // "12", "ix"; a range's end dropped; empty when none
    std::string_view locationStart; // the location's first number; empty when none
    std::string_view locationEnd;   // a range's end as written ("1301", "38"); empty for a single number
    std::string_view date;          // what follows the last "|"; empty when there is no "|"
};

// Splits the raw bytes of a meta line into its parts, found as ClassifyMetaLine finds them.
MetaParts SplitMetaLine(std::string_view line);

} // namespace quillery
