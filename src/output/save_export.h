#pragma once

#include <string>
#include <string_view>

namespace quillery {

class ClipStore;
class FrontEnd;
struct CleanOutcome;
struct ExportSummary;
struct RunRequest;
enum class OutputFormat;

// Whether this build writes `format`: a build without yaml-cpp has no markdown.
bool FormatBuilt(OutputFormat format);

// The names of the formats this build writes, in their order, joined by
// `separator` and the last two by `last`: ("|", "|") gives
// "classic|markdown|html|csv|json", (", ", " or ") "classic, ..., csv or json".
std::string BuiltFormatNames(std::string_view separator, std::string_view last);

// Writes the store in the request's export format (not the classic one) into
// a new "My Clippings" folder, as SaveClippings does for the classic output.
// `clean` may be null. Returns the folder's path; throws RunError.
std::u16string SaveExport(const ClipStore& store, const CleanOutcome* clean, const ExportSummary& summary,
                          const RunRequest& request, FrontEnd& frontEnd);

} // namespace quillery
