#pragma once

#include "output/export_book.h"
#include "output/fresh_output.h"

#include <memory>
#include <string>

namespace quillery {

// Writes "clippings.json" into the output folder: the source, the summary and
// every book with its entries (docs/clippings.schema.json), streamed book by
// book, so no document tree is ever held in memory.
class JsonWriter : public ExportWriter {
  public:
    explicit JsonWriter(FreshFolder& folder);
    ~JsonWriter() override;
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void Begin(const ExportSummary& summary) override;
    void Book(const ExportBook& book) override;
    void End() override;

  private:
    struct Stream;
    void Flush();

    FreshFile file_;
    std::unique_ptr<Stream> stream_;
};

} // namespace quillery
