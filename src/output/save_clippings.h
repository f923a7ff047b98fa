#pragma once

#include <string>

namespace quillery {

class ClipStore;
struct CleanOutcome;
class FrontEnd;
struct RunRequest;

// Writes a new "My Clippings" folder (numbered when the name is taken) into
// the request's base folder: "all.htm" and one text file per book, in the
// request's encoding. Nothing that exists is opened for writing. Enters the
// saving phase and yields once the folder is made: a run given up then
// leaves nothing, the empty folder removed.
// Returns the folder's path. Throws RunError naming the path that failed and
// the partial output.
// With a cleaning, only the kept entries are written, each attached note
// right after its highlight.
std::u16string SaveClippings(const ClipStore& store, const RunRequest& request, FrontEnd& frontEnd,
                             const CleanOutcome* clean = nullptr);

} // namespace quillery
