#pragma once

namespace quillery {

// The six options of a run. Their values live in the front end and are read
// at the moment each is used, so a change during a run applies from then on.
enum class ExtractOption { highlights, notes, bookmarks, sort, keeplocs, fixANSI };

// A fixed set of option values, starting from the window's initial states.
struct ExtractOptions {
    bool highlights = true;
    bool notes = true;
    bool bookmarks = false;
    bool sort = true;
    bool keeplocs = false;
    bool fixANSI = true;

    [[nodiscard]] bool Get(ExtractOption option) const
    {
        switch (option) {
        case ExtractOption::highlights:
            return highlights;
        case ExtractOption::notes:
            return notes;
        case ExtractOption::bookmarks:
            return bookmarks;
        case ExtractOption::sort:
            return sort;
        case ExtractOption::keeplocs:
            return keeplocs;
        case ExtractOption::fixANSI:
            return fixANSI;
        }
        return false;
    }
};

} // namespace quillery
