#include "output/run_extraction.h"

#include "clean/clean_store.h"
#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_driver.h"
#include "output/save_clippings.h"
#include "output/save_export.h"
#include "util/path_text.h"

#include <optional>
#include <utility>

namespace quillery {

RunOutcome RunExtraction(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    const SkippedEntries skipped = ReadClippings(request, store, frontEnd);
    std::optional<CleanOutcome> cleaning;
    if (request.clean) {
        cleaning = CleanStore(store);
    }
    const CleanOutcome* clean = cleaning ? &*cleaning : nullptr;
    SortClippings(request, store, frontEnd);
    RunOutcome outcome;
    outcome.warning = SkippedWarning(skipped);
    outcome.summary = SummariseRun(store, clean, ToUtf8(request.path), IsDkxPath(request.path), skipped.count);
    outcome.entriesRead = store.entryCount();
    outcome.cleaned = clean != nullptr;
    outcome.folder = request.format == OutputFormat::classic
                         ? SaveClippings(store, request, frontEnd, clean)
                         : SaveExport(store, clean, outcome.summary, request, frontEnd);
    return outcome;
}

std::string OutcomeLine(const RunOutcome& outcome)
{
    std::string line = std::to_string(outcome.entriesRead) + " entries of " + std::to_string(outcome.summary.books) +
                       " books";
    if (outcome.cleaned) {
        line += " (" + std::to_string(outcome.summary.merged) + " duplicates merged, " +
                std::to_string(outcome.summary.attachedNotes) + " notes attached, " +
                std::to_string(outcome.summary.droppedPlaceholders) + " clipping-limit placeholders dropped)";
    }
    return line;
}

} // namespace quillery
