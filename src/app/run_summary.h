#pragma once

#include <QString>

#include <string>

namespace quillery {

class ClipStore;

// The line that tells what a run wrote: "57 entries of 4 books written to
// "/home/ann/Desktop/My Clippings"", counted from the store after the run.
QString RunSummaryLine(const ClipStore& store, const std::u16string& folder);

} // namespace quillery
