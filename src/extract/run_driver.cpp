#include "extract/run_driver.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/entry_sort.h"
#include "extract/front_end.h"
#include "extract/kindle_reader.h"
#include "extract/run_error.h"
#include "output/save_clippings.h"
#include "util/path_text.h"

#include <new>

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

namespace {

// The sorts know slots, not files: their limit, and a lack of memory for the
// replay's tables, are told with the file's name.
template <typename Sort> void SortNamingTheFile(const std::u16string& path, Sort sort)
{
    try {
        sort();
    } catch (const RunError& error) {
        throw RunError("\"" + ToUtf8(path) + "\": " + error.what());
    } catch (const std::bad_alloc&) {
        throw RunError("not enough memory to sort the entries of \"" + ToUtf8(path) + "\"");
    }
}

} // namespace

std::string ReadAndSort(FrontEnd& frontEnd, ClipStore& store)
{
    store.ClearEntries();
    const bool dkx = IsDkxPath(frontEnd.InputPath());
    const std::u16string path = frontEnd.InputPath();
    if (dkx) {
        ReadDkx(path, store, frontEnd);
        if (frontEnd.OptionOn(ExtractOption::sort)) {
            SortNamingTheFile(path, [&] { SortByLocation(store.entrySlots(), 1, store.entryCount()); });
        }
        return {};
    }
    const SkippedEntries skipped = ReadKindleClippings(path, store, frontEnd);
    frontEnd.SetCaption(std::u16string(kSortingCaption));
    frontEnd.Yield();
    if (frontEnd.OptionOn(ExtractOption::sort)) {
        SortNamingTheFile(path, [&] { SortByBookThenLocation(store); });
    }
    return SkippedWarning(skipped);
}

RunOutcome RunExtraction(FrontEnd& frontEnd, ClipStore& store, const std::u16string& baseFolder)
{
    std::string warning = ReadAndSort(frontEnd, store);
    return {SaveClippings(store, frontEnd, baseFolder), std::move(warning)};
}

} // namespace quillery
