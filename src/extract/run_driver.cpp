#include "extract/run_driver.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/entry_sort.h"
#include "extract/front_end.h"
#include "extract/kindle_reader.h"
#include "extract/run_error.h"
#include "output/save_clippings.h"
#include "util/path_text.h"

namespace quillery {

bool IsDkxPath(const std::u16string& path)
{
    const std::u16string_view tail = std::u16string_view(path).substr(path.size() < 4 ? 0 : path.size() - 4);
    std::u16string lower;
    for (const char16_t c : tail) {
        lower.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c);
    }
    return lower == u".dkx";
}

std::string ReadAndSort(FrontEnd& frontEnd, ClipStore& store)
{
    store.ClearEntries();
    const bool dkx = IsDkxPath(frontEnd.InputPath());
    const std::u16string path = frontEnd.InputPath();
    if (dkx) {
        ReadDkx(path, store, frontEnd);
        if (frontEnd.OptionOn(ExtractOption::sort)) {
            SortByLocation(store.entryTable(), 1, store.entryCount());
        }
        return {};
    }
    const SkippedEntries skipped = ReadKindleClippings(path, store, frontEnd);
    frontEnd.SetCaption(std::u16string(kSortingCaption));
    frontEnd.Yield();
    if (frontEnd.OptionOn(ExtractOption::sort)) {
        // The sort knows slots, not files: its limit is told with the file's name.
        try {
            SortByBookThenLocation(store);
        } catch (const RunError& error) {
            throw RunError("\"" + ToUtf8(path) + "\": " + error.what());
        }
    }
    return SkippedWarning(skipped);
}

RunOutcome RunExtraction(FrontEnd& frontEnd, ClipStore& store, const std::u16string& baseFolder)
{
    std::string warning = ReadAndSort(frontEnd, store);
    return {SaveClippings(store, frontEnd, baseFolder), std::move(warning)};
}

} // namespace quillery
