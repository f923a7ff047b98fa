#pragma once

#include "extract/front_end.h"

namespace quillery {
class ClipStore;
}

namespace quillery::fuzz {

// Writes the store as the JSON export into a scratch folder, reads it back
// and checks it: it must parse as UTF-8 JSON and hold every stored book with
// its highlights, notes and bookmarks, and its summary must count every
// entry read. The folder is removed after.
void CheckJsonExport(const ClipStore& store, RunRequest request, FrontEnd& frontEnd, bool dkx);

} // namespace quillery::fuzz
