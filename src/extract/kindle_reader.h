#pragma once

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;

// Reads a Kindle clippings file (My Clippings.txt) into the store, keeping
// the kinds whose options are on, and shows progress after every stored
// entry. Throws RunError naming the file and line on failure.
void ReadKindleClippings(const std::u16string& path, ClipStore& store, FrontEnd& frontEnd);

} // namespace quillery
