#include "extract/run_driver.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/entry_sort.h"
#include "extract/front_end.h"
#include "extract/kindle_reader.h"
#include "extract/run_error.h"

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

// The sorts know slots, not files: their limit, and a lack of memory for
// their key tables, are told with the file's name.
template <typename Sort> void SortNamingTheFile(const std::u16string& path, Sort sort)
{
    try {
        sort();
    } catch (RunError& error) {
        throw error.At(path);
    } catch (const std::bad_alloc&) {
        throw RunError::OutOfMemory("sort the entries of", path);
    }
}

} // namespace

SkippedEntries ReadClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    store.ClearEntries();
    if (IsDkxPath(request.path)) {
        ReadDkx(request, store, frontEnd);
        return {};
    }
    return ReadKindleClippings(request, store, frontEnd);
}

void SortClippings(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    const std::u16string& path = request.path;
    if (IsDkxPath(path)) {
        if (frontEnd.OptionOn(ExtractOption::sort)) {
            SortNamingTheFile(path, [&] { SortByLocation(store.entrySlots(), 1, store.entryCount()); });
        }
        return;
    }
    frontEnd.EnterPhase(RunPhase::sorting);
    frontEnd.Yield();
    if (frontEnd.OptionOn(ExtractOption::sort)) {
        SortNamingTheFile(path, [&] { SortByBookThenLocation(store); });
    }
}

std::string ReadAndSort(const RunRequest& request, ClipStore& store, FrontEnd& frontEnd)
{
    const SkippedEntries skipped = ReadClippings(request, store, frontEnd);
    SortClippings(request, store, frontEnd);
    return SkippedWarning(skipped);
}

} // namespace quillery
