#pragma once

#include "output/export_book.h"
#include "output/fresh_output.h"

#include <cstdint>
#include <string>

namespace quillery {

// Writes "index.html", one self-contained reading page (its style inline, no
// script, nothing fetched): the list of books with their counts, linked to
// each book's section, and each highlight as a quote with its note under it
// and its page, location and date in small type. Reads on a phone and a wide
// screen alike, and prints every word.
class HtmlPageWriter : public ExportWriter {
  public:
    explicit HtmlPageWriter(FreshFolder& folder);

    void Begin(const ExportSummary& summary) override;
    void Book(const ExportBook& book) override;
    void End() override;

  private:
    FreshFile page_;
    std::string pending_; // sections not yet written
    std::string books_;   // the list of books, written last
    std::int64_t bookNumber_ = 0;
};

} // namespace quillery
