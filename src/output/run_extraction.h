#pragma once

#include "output/export_book.h"

#include <string>

namespace quillery {

class ClipStore;
class FrontEnd;
struct RunRequest;

// What a whole run gives back: the folder written, a warning for the user
// (UTF-8, one line; "" when none) about entries the reading skipped, and
// what was read, written and cleaned.
struct RunOutcome {
    std::u16string folder;
    std::string warning;
    ExportSummary summary;
    std::int64_t entriesRead = 0;
    bool cleaned = false;
};

// One whole run: read, clean when asked, sort, then write the "My Clippings"
// folder in the request's format into its base folder. Throws RunError on
// failure, RunAbandoned when the front end gives the run up before anything
// is written.
RunOutcome RunExtraction(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd);

// "1234 entries of 56 books (12 duplicates merged, 34 notes attached, 2
// clipping-limit placeholders dropped)"; without a cleaning, the first part.
std::string OutcomeLine(const RunOutcome& outcome);

} // namespace quillery
