#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// What a whole run gives back: the folder written, and a warning for the
// user (UTF-8, one line; "" when none) about entries the reading skipped.
struct RunOutcome {
    std::u16string folder;
    std::string warning;
};

// One whole run: read and sort, then write the "My Clippings" folder into the
// request's base folder. Throws RunError on failure, RunAbandoned when the
// front end gives the run up before anything is written.
RunOutcome RunExtraction(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

} // namespace quillery
