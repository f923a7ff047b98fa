#pragma once

#include "output/export_book.h"

#include <vector>

namespace quillery::test {

// Books as the export model gives them, for the writers' tests: every kind
// of entry, with and without a page, location, date and note, texts of
// several lines, and characters each format must escape.
ExportSummary SampleSummary();
std::vector<ExportBook> SampleBooks();

// A highlight with only its text and id.
ExportEntry Highlight(std::string_view text, std::string id);

// Writes the whole sample through `writer`.
void WriteSample(ExportWriter& writer);

} // namespace quillery::test
