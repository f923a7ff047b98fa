#pragma once

#include "extract/front_end.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

class ClipStore;
struct CleanOutcome;

// One written entry as the export formats see it; every text is UTF-8 and
// stays valid while the book is being written.
struct ExportEntry {
    std::string_view kind; // "highlight", "note" or "bookmark"
    std::string_view text;
    bool hasNote = false; // a note attached to this highlight
    std::string_view note;
    std::string_view page; // as written; empty when none
    bool hasLocation = false;
    std::int32_t locationStart = 0;
    std::int32_t locationEnd = 0;
    std::int64_t added = 0; // YYYYMMDDhhmmss as a number; 0 when unknown (AddedIso words it)
    std::int64_t line = 0;  // where the entry starts in the file (a Duokan item's number)
    std::string id;         // 16 hex digits, the same for the same entry in every run
};

// One book with its written entries, in the order of the classic output.
struct ExportBook {
    std::string_view titleLine; // as read
    std::string_view title;
    std::vector<std::string_view> authors;
    std::vector<ExportEntry> entries;
    std::int64_t highlights = 0;
    std::int64_t notes = 0; // notes of their own and attached ones
    std::int64_t lastAdded = 0;
};

// What the whole run read and wrote. The entries read add up to
// highlights + notes + bookmarks + merged + attachedNotes + droppedPlaceholders
// (notes counts only the notes written on their own).
struct ExportSummary {
    std::string_view sourceKind; // "kindle" or "duokan"
    std::string sourcePath;      // UTF-8
    std::int64_t books = 0;
    std::int64_t highlights = 0;
    std::int64_t notes = 0;
    std::int64_t bookmarks = 0;
    std::int64_t merged = 0; // identical entries and edited highlights
    std::int64_t attachedNotes = 0;
    std::int64_t droppedPlaceholders = 0;
    std::int64_t skippedUnrecognised = 0;
};

// A writer of one export format, told the run's summary, then each book in
// the order first met, then the end. Failures throw RunError.
class ExportWriter {
  public:
    virtual ~ExportWriter() = default;
    virtual void Begin(const ExportSummary& summary) = 0;
    virtual void Book(const ExportBook& book) = 0;
    virtual void End() = 0;
};

// The book's authors joined by "; ", as the formats that hold them in one field write them.
std::string JoinedAuthors(const ExportBook& book);

// The stable id of an entry: XXH3 (64 bits) of its book's title line, its
// kind word, its location's start in decimal and its text (all UTF-8), each
// followed by a NUL byte, as 16 lower-case hex digits.
std::string EntryId(std::string_view titleLine, std::string_view kind, std::int32_t locationStart,
                    std::string_view text);

// The entries a run kept, and how many books, entries and cleanings.
ExportSummary SummariseRun(const ClipStore& store, const CleanOutcome* clean, std::string sourcePath, bool duokan,
                           std::int64_t skippedUnrecognised);

// Hands the writer every book of the store, built one at a time, so memory
// holds one book's converted texts at most. `clean` may be null (no
// cleaning). Texts read in Windows-1252 are converted to UTF-8, and repaired
// when "fix ANSI" is on.
void ExportBooks(const ClipStore& store, const CleanOutcome* clean, const RunRequest& request, FrontEnd& frontEnd,
                 const ExportSummary& summary, ExportWriter& writer);

} // namespace quillery
