#pragma once

#include "output/export_book.h"
#include "output/fresh_output.h"

#include <string>

namespace quillery {

// Writes "clippings.csv": RFC 4180 with a UTF-8 byte-order mark (so
// spreadsheets read it as UTF-8) and CR LF, one row per written entry under
// the header
// title,authors,kind,text,note,page,location_start,location_end,added,id
// (authors joined by "; ", the date as 2024-08-22T18:10:53, unknowns empty).
class CsvWriter : public ExportWriter {
  public:
    explicit CsvWriter(FreshFolder& folder);

    void Begin(const ExportSummary& summary) override;
    void Book(const ExportBook& book) override;
    void End() override;

  private:
    FreshFile file_;
    std::string pending_; // rows not yet written
};

// Appends one field: quoted, with its quotes doubled, when it holds a comma,
// a quote or a line break; as it stands otherwise.
void AppendCsvField(std::string& out, std::string_view field);

} // namespace quillery
