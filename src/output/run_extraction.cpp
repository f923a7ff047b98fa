#include "output/run_extraction.h"

#include "clean/clean_store.h"
#include "extract/clip_store.h"
#include "extract/front_end.h"
#include "extract/run_driver.h"
#include "extract/run_error.h"
#include "output/save_clippings.h"
#include "output/save_export.h"
#include "util/path_text.h"

#include <new>
#include <optional>
#include <utility>

namespace quillery {

namespace {

// A stage that runs out of memory fails naming the file it worked on; the
// readers and the writers say more (the line, the partial output) themselves.
template <typename Stage> auto NamingTheFile(const char* task, const std::u16string& path, Stage stage)
{
    try {
        return stage();
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory(task, path);
    }
}

} // namespace

RunOutcome RunExtraction(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    const std::u16string& path = request.path;
    const SkippedEntries skipped = NamingTheFile("read", path, [&] { return ReadClippings(request, store, frontEnd); });
    std::optional<CleanOutcome> cleaning;
    if (request.clean) {
        cleaning = NamingTheFile("clean the entries of", path, [&] { return CleanStore(store); });
    }
    const CleanOutcome* clean = cleaning ? &*cleaning : nullptr;
    SortClippings(request, store, frontEnd);
    RunOutcome outcome = NamingTheFile("sum up the entries of", path, [&] {
        return RunOutcome{{},
                          SkippedWarning(skipped),
                          SummariseRun(store, clean, ToUtf8(path), IsDkxPath(path), skipped.count),
                          store.entryCount(),
                          clean != nullptr};
    });
    outcome.folder = request.format == OutputFormat::classic
                         ? SaveClippings(store, request, frontEnd, clean)
                         : SaveExport(store, clean, outcome.summary, request, frontEnd);
    return outcome;
}

std::string OutcomeLine(const RunOutcome& outcome)
{
    std::string line =
        std::to_string(outcome.entriesRead) + " entries of " + std::to_string(outcome.summary.books) + " books";
    if (outcome.cleaned) {
        line += " (" + std::to_string(outcome.summary.merged) + " duplicates merged, " +
                std::to_string(outcome.summary.attachedNotes) + " notes attached, " +
                std::to_string(outcome.summary.droppedPlaceholders) + " clipping-limit placeholders dropped)";
    }
    return line;
}

} // namespace quillery
