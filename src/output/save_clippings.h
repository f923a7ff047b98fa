#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// Writes a new "My Clippings" folder (numbered when the name is taken) into
// `baseFolder`: "all.htm" and one text file per book. Nothing that exists is
// opened for writing. Shows "Saving.." first. Returns the folder's path.
// Throws RunError naming the path that failed and the partial output.
std::u16string SaveClippings(const ClipStore& store, FrontEnd& frontEnd, const std::u16string& baseFolder);

} // namespace quillery
