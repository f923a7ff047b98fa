#pragma once

#include <cstdint>
#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// The entries that a reading skipped because their meta line is of the newer
// form but its kind phrase is in no known language: how many, and the first
// one's meta line (its number and raw bytes).
struct SkippedEntries {
    std::int64_t count = 0;
    std::int64_t firstLine = 0;
    std::string firstMeta;
};

// Reads a Kindle clippings file (My Clippings.txt) into the store, keeping
// the kinds whose options are on, and shows progress after every stored
// entry. Throws RunError naming the file and line on failure, and naming the
// file when no line of it is a meta line of any known form.
SkippedEntries ReadKindleClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

// The warning that tells of skipped entries (UTF-8, one line); "" when none were.
std::string SkippedWarning(const SkippedEntries& skipped);

} // namespace quillery
