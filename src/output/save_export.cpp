#include "output/save_export.h"

#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/export_book.h"
#include "output/fresh_output.h"
#include "output/json_writer.h"
#include "output/output_folder.h"

#include <memory>

namespace quillery {

namespace {

std::unique_ptr<ExportWriter> MakeWriter(const RunRequest& request, FreshFolder& folder)
{
    switch (request.format) {
    case OutputFormat::json: return std::make_unique<JsonWriter>(folder);
    default: throw RunError("the format \"" + std::string(FormatName(request.format)) + "\" cannot be written");
    }
}

} // namespace

std::u16string SaveExport(const ClipStore& store, const CleanOutcome* clean, const ExportSummary& summary,
                          const RunRequest& request, FrontEnd& frontEnd)
{
    return WriteIntoNewFolder(request, frontEnd, [&](FreshFolder& folder) {
        const std::unique_ptr<ExportWriter> writer = MakeWriter(request, folder);
        ExportBooks(store, clean, request, frontEnd, summary, *writer);
    });
}

} // namespace quillery
