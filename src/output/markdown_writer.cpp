#include "output/markdown_writer.h"

#include "output/book_file_name.h"
#include "output/entry_place.h"
#include "output/fresh_output.h"
#include "output/markdown_text.h"

#include <yaml-cpp/yaml.h>

namespace quillery {

namespace {

// Flat keys with quoted strings, so Obsidian's Properties view reads every
// one as text, whatever the title looks like ("1984", "true", "- a: b").
std::string FrontMatter(const ExportBook& book, std::string_view source)
{
    YAML::Emitter yaml;
    yaml << YAML::BeginMap;
    yaml << YAML::Key << "title" << YAML::Value << YAML::DoubleQuoted << std::string(book.title);
    yaml << YAML::Key << "authors" << YAML::Value;
    if (book.authors.empty()) {
        // "authors: []" on the key's line, as a block list has nothing to show.
        yaml << YAML::Flow;
    }
    yaml << YAML::BeginSeq;
    for (const std::string_view author : book.authors) {
        yaml << YAML::DoubleQuoted << std::string(author);
    }
    yaml << YAML::EndSeq;
    yaml << YAML::Key << "source" << YAML::Value << std::string(source);
    yaml << YAML::Key << "highlights" << YAML::Value << book.highlights;
    yaml << YAML::Key << "notes" << YAML::Value << book.notes;
    if (book.lastAdded != 0) {
        yaml << YAML::Key << "last_annotated" << YAML::Value << AddedDay(book.lastAdded);
    }
    yaml << YAML::EndMap;
    return "---\n" + std::string(yaml.c_str()) + "\n---\n";
}

// The place line ends with the entry's block id, so a note elsewhere can
// link to it ("[[Book#^id]]").
void AppendPlaceLine(std::string& out, std::string_view leader, const ExportEntry& entry)
{
    std::string line(leader);
    const std::string place = EntryPlace(entry);
    if (!line.empty() && !place.empty()) {
        line += " \u00B7 ";
    }
    line += place;
    AppendMarkdownLine(out, line);
    if (!line.empty()) {
        out += ' ';
    }
    out += '^';
    out += entry.id;
    out += '\n';
}

void AppendNote(std::string& out, std::string_view note)
{
    out += "\n**Note:** ";
    AppendMarkdownText(out, note, "");
}

void AppendEntry(std::string& out, const ExportEntry& entry)
{
    out += '\n';
    if (entry.kind == "bookmark") {
        out += "- ";
        AppendPlaceLine(out, "Bookmark", entry);
        return;
    }
    if (entry.kind == "note") {
        out += "**Note:** ";
        AppendMarkdownText(out, entry.text, "");
        out += '\n';
        AppendPlaceLine(out, "", entry);
        return;
    }
    AppendMarkdownText(out, entry.text, "> ");
    out += '\n';
    AppendPlaceLine(out, "", entry);
    if (entry.hasNote) {
        AppendNote(out, entry.note);
    }
}

} // namespace

std::string MarkdownDocument(const ExportBook& book, std::string_view source)
{
    std::string out = FrontMatter(book, source);
    out += "\n# ";
    AppendMarkdownLine(out, book.title);
    out += '\n';
    for (const ExportEntry& entry : book.entries) {
        AppendEntry(out, entry);
    }
    return out;
}

MarkdownWriter::MarkdownWriter(FreshFolder& folder, std::string namePattern)
    : folder_(folder), namePattern_(std::move(namePattern))
{
}

void MarkdownWriter::Begin(const ExportSummary& summary)
{
    source_ = summary.sourceKind;
}

void MarkdownWriter::Book(const ExportBook& book)
{
    const std::string_view pattern = namePattern_.empty() ? kMarkdownNamePattern : std::string_view(namePattern_);
    const BookNameParts parts{book.titleLine, book.title, book.authors};
    FreshFile file(folder_, BookFileName(pattern, parts, TextEncoding::utf8, u".md"));
    file.Write(MarkdownDocument(book, source_));
    file.Close();
}

} // namespace quillery
