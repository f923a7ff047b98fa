#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// True when the path ends in ".dkx" in any letter case (last four characters).
bool IsDkxPath(const std::u16string& path);

// Fills the store from the request's input path with the reader its name
// selects, then runs the sort phase. Returns the reading's warning for the
// user (UTF-8, one line; "" when none). Throws RunError on failure.
std::string ReadAndSort(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

} // namespace quillery
