#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// Writes a new "My Clippings" folder (numbered when the name is taken) into
// the request's base folder: "all.htm" and one text file per book, in the
// request's encoding. Nothing that exists is opened for writing. Enters the
// saving phase and yields once the folder is made: a run given up then
// leaves nothing, the empty folder removed.
// Returns the folder's path. Throws RunError naming the path that failed and
// the partial output.
std::u16string SaveClippings(const ClipStore& store, const RunRequest& request, FrontEnd& frontEnd);

} // namespace quillery
