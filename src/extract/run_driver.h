#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// True when the path ends in ".dkx" in any letter case (last four characters).
bool IsDkxPath(const std::u16string& path);

// Fills the store from the front end's input path with the reader its name
// selects, then runs the sort phase. Throws RunError on failure.
void ReadAndSort(FrontEnd& frontEnd, ClipStore& store);

// One whole run: read, sort, then write the "My Clippings" folder into
// `baseFolder`. Returns the folder written. Throws RunError on failure.
std::u16string RunExtraction(FrontEnd& frontEnd, ClipStore& store, const std::u16string& baseFolder);

} // namespace quillery
