#include "output/csv_writer.h"

#include "extract/added_date.h"
#include "util/byte_set.h"

#include <algorithm>

namespace quillery {

namespace {

// Rows go to the file in blocks of about this size.
constexpr std::size_t kBlock = std::size_t{1} << 20;

void AppendRow(std::string& out, std::string_view title, std::string_view authors, const ExportEntry& entry)
{
    const std::string start = entry.hasLocation ? std::to_string(entry.locationStart) : "";
    const std::string end = entry.hasLocation ? std::to_string(entry.locationEnd) : "";
    const std::string added = AddedIso(entry.added);
    const std::string_view fields[] = {title,      authors, entry.kind, entry.text, entry.hasNote ? entry.note : "",
                                       entry.page, start,   end,        added,      entry.id};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendCsvField(out, fields[i]);
    }
    out += "\r\n";
}

} // namespace

void AppendCsvField(std::string& out, std::string_view field)
{
    static constexpr ByteSet kQuoted(",\"\r\n");
    if (std::none_of(field.begin(), field.end(), [](char c) { return kQuoted.Contains(c); })) {
        out += field;
        return;
    }
    out += '"';
    // The text between quotes goes as one piece; each quote is doubled.
    for (std::size_t at = 0; at < field.size();) {
        const std::size_t quote = std::min(field.find('"', at), field.size());
        out.append(field.substr(at, quote - at));
        if (quote < field.size()) {
            out += "\"\"";
        }
        at = quote + 1;
    }
    out += '"';
}

CsvWriter::CsvWriter(FreshFolder& folder) : file_(folder, u"clippings.csv") {}

void CsvWriter::Begin(const ExportSummary&)
{
    pending_ = "\xEF\xBB\xBFtitle,authors,kind,text,note,page,location_start,location_end,added,id\r\n";
}

void CsvWriter::Book(const ExportBook& book)
{
    const std::string authors = JoinedAuthors(book);
    for (const ExportEntry& entry : book.entries) {
        AppendRow(pending_, book.title, authors, entry);
        if (pending_.size() >= kBlock) {
            file_.Write(pending_);
            pending_.clear();
        }
    }
}

void CsvWriter::End()
{
    file_.Write(pending_);
    pending_.clear();
    file_.Close();
}

} // namespace quillery
