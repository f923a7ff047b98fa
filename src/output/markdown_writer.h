#pragma once

#include "output/export_book.h"
#include "output/fresh_output.h"

#include <string>

namespace quillery {

// Writes one Markdown file per book, as notes apps (Obsidian, Logseq) and any
// CommonMark reader show it: flat YAML front matter (title, authors, source,
// counts, last_annotated), the title as a heading, each highlight as a block
// quote with a line of its page, location and date ending in a block id, its
// note after it, and bookmarks as list items.
class MarkdownWriter : public ExportWriter {
  public:
    // `namePattern` names the files ("" for "{title}").
    MarkdownWriter(FreshFolder& folder, std::string namePattern);

    void Begin(const ExportSummary& summary) override;
    void Book(const ExportBook& book) override;
    void End() override {}

  private:
    FreshFolder& folder_;
    std::string namePattern_;
    std::string source_;
};

// The whole Markdown document of one book; `source` is "kindle" or "duokan".
std::string MarkdownDocument(const ExportBook& book, std::string_view source);

} // namespace quillery
