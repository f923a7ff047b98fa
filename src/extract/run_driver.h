#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// True when the path ends in ".dkx" in any letter case (last four characters).
bool IsDkxPath(const std::u16string& path);

// What a whole run gives back: the folder written, and a warning for the
// user (UTF-8, one line; "" when none) about entries the reading skipped.
struct RunOutcome {
    std::u16string folder;
    std::string warning;
};

// Fills the store from the front end's input path with the reader its name
// selects, then runs the sort phase. Returns the reading's warning ("" when
// none). Throws RunError on failure.
std::string ReadAndSort(FrontEnd& frontEnd, ClipStore& store);

// One whole run: read, sort, then write the "My Clippings" folder into
// `baseFolder`. Throws RunError on failure.
RunOutcome RunExtraction(FrontEnd& frontEnd, ClipStore& store, const std::u16string& baseFolder);

} // namespace quillery
