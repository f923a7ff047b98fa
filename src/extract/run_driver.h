#pragma once

#include "extract/kindle_reader.h"

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// True when the path ends in ".dkx" in any letter case (last four characters).
bool IsDkxPath(const std::u16string& path);

// Fills the store from the request's input path with the reader its name
// selects. Throws RunError on failure.
SkippedEntries ReadClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

// The sort phase: a Kindle file's entries by book, then location; a Duokan
// file's by location; each only when the sort option is on.
void SortClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

// ReadClippings, then SortClippings. Returns the reading's warning for the
// user (UTF-8, one line; "" when none). Throws RunError on failure.
std::string ReadAndSort(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

} // namespace quillery
