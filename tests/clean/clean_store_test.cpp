#include "clean/clean_store.h"

#include "extract/clip_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace quillery {
namespace {

struct Stored {
    std::int32_t book;
    char kind;
    std::string text;
    std::int32_t start;
    std::int32_t end;
    std::int64_t added;
};

ClipStore StoreOf(const std::vector<Stored>& entries)
{
    ClipStore store;
    store.AddBook("One");
    store.AddBook("Two");
    for (const Stored& e : entries) {
        store.AddEntry(e.book, e.start, e.kind, e.text, {{}, e.start, e.end, e.added, 0});
    }
    return store;
}

// The fates and attachments come back by origin, whatever order the sort left
// the table in, and each book is cleaned on its own.
TEST(CleanStore, FatesAreKeptByOriginWhateverTheTableOrder)
{
    const std::vector<Stored> entries = {
        {1, 'h', "the quick fox", 10, 12, 20240101120000},       // 1: shortened copy, superseded by 3
        {2, 'h', "the quick fox", 10, 12, 20240101120000},       // 2: same text, other book: stays
        {1, 'h', "the quick fox jumps", 10, 13, 20240101120500}, // 3: kept
        {1, 'n', "a note", 13, 13, 20240101120600},              // 4: attached to 3
        {1, 'b', "", 40, 40, 0},                                 // 5: kept
        {1, 'b', "", 40, 40, 0},                                 // 6: duplicate of 5
    };
    for (const bool reversed : {false, true}) {
        SCOPED_TRACE(reversed ? "table reversed" : "table in file order");
        ClipStore store = StoreOf(entries);
        if (reversed) {
            const std::span<ClipEntry> slots =
                store.entrySlots().subspan(1, static_cast<std::size_t>(store.entryCount()));
            std::reverse(slots.begin(), slots.end());
        }
        const CleanOutcome outcome = CleanStore(store);
        const std::vector<Fate> fates(outcome.fate.begin() + 1, outcome.fate.end());
        EXPECT_EQ(fates, (std::vector<Fate>{Fate::merged, Fate::kept, Fate::kept, Fate::attached, Fate::kept,
                                            Fate::duplicate}));
        EXPECT_EQ(outcome.noteOf[3], 4);
        EXPECT_EQ(std::count(outcome.noteOf.begin(), outcome.noteOf.end(), 0), 6);
        EXPECT_EQ(outcome.merged + outcome.duplicates + outcome.attached, 3);
    }
}

} // namespace
} // namespace quillery
