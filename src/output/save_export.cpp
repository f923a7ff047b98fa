#include "output/save_export.h"

#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/csv_writer.h"
#include "output/export_book.h"
#include "output/fresh_output.h"
#include "output/html_page_writer.h"
#include "output/json_writer.h"
#if QUILLERY_MARKDOWN
#include "output/markdown_writer.h"
#endif
#include "output/output_folder.h"

#include <memory>
#include <vector>

namespace quillery {

namespace {

std::unique_ptr<ExportWriter> MakeWriter(const RunRequest& request, FreshFolder& folder)
{
    switch (request.format) {
    case OutputFormat::json:
        return std::make_unique<JsonWriter>(folder);
#if QUILLERY_MARKDOWN
    case OutputFormat::markdown:
        return std::make_unique<MarkdownWriter>(folder, request.namePattern);
#endif
    case OutputFormat::html:
        return std::make_unique<HtmlPageWriter>(folder);
    case OutputFormat::csv:
        return std::make_unique<CsvWriter>(folder);
    default:
        throw RunError("the format \"" + std::string(FormatName(request.format)) + "\" cannot be written");
    }
}

} // namespace

bool FormatBuilt(OutputFormat format)
{
    return QUILLERY_MARKDOWN || format != OutputFormat::markdown;
}

std::string BuiltFormatNames(std::string_view separator, std::string_view last)
{
    std::vector<std::string_view> names;
    for (const OutputFormat format :
         {OutputFormat::classic, OutputFormat::markdown, OutputFormat::html, OutputFormat::csv, OutputFormat::json}) {
        if (FormatBuilt(format)) {
            names.push_back(FormatName(format));
        }
    }
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i) {
        joined += i == 0 ? "" : i + 1 == names.size() ? last : separator;
        joined += names[i];
    }
    return joined;
}

std::u16string SaveExport(const ClipStore& store, const CleanOutcome* clean, const ExportSummary& summary,
                          const RunRequest& request, FrontEnd& frontEnd)
{
    return WriteIntoNewFolder(request, frontEnd, [&](FreshFolder& folder) {
        const std::unique_ptr<ExportWriter> writer = MakeWriter(request, folder);
        ExportBooks(store, clean, request, frontEnd, summary, *writer);
    });
}

} // namespace quillery
