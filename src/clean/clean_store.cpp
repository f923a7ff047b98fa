#include "clean/clean_store.h"

#include "extract/clip_store.h"

namespace quillery {

namespace {

// Every book's origin slots in file order, from one counting pass.
std::vector<std::vector<std::int32_t>> OriginsByBook(const ClipStore& store, const std::vector<std::int32_t>& slotOf)
{
    std::vector<std::vector<std::int32_t>> books(static_cast<std::size_t>(store.bookCount()) + 1);
    for (std::size_t origin = 1; origin < slotOf.size(); ++origin) {
        const std::int32_t book = store.entry(slotOf[origin]).book;
        if (book >= 1 && book <= store.bookCount()) {
            books[static_cast<std::size_t>(book)].push_back(static_cast<std::int32_t>(origin));
        }
    }
    return books;
}

} // namespace

CleanOutcome CleanStore(const ClipStore& store)
{
    const auto count = static_cast<std::size_t>(store.entryCount());
    // Where each origin stands now: the sorts may have moved the entries.
    std::vector<std::int32_t> slotOf(count + 1, 0);
    for (std::int32_t j = 1; j <= store.entryCount(); ++j) {
        const std::int32_t origin = store.entry(j).origin;
        slotOf[origin >= 1 && static_cast<std::size_t>(origin) <= count ? static_cast<std::size_t>(origin) : 0] = j;
    }
    CleanOutcome outcome{std::vector<Fate>(count + 1, Fate::kept), std::vector<std::int32_t>(count + 1, 0)};
    std::vector<CleanItem> items;
    for (const std::vector<std::int32_t>& origins : OriginsByBook(store, slotOf)) {
        items.clear();
        for (const std::int32_t origin : origins) {
            const ClipEntry& entry = store.entry(slotOf[static_cast<std::size_t>(origin)]);
            const EntryDetails details = store.Details(origin);
            items.push_back({entry.kind, store.Text(entry), details.page, details.locationStart, details.locationEnd,
                             details.added});
        }
        const CleanedBook book = CleanBook(items);
        for (std::size_t i = 0; i < origins.size(); ++i) {
            const auto origin = static_cast<std::size_t>(origins[i]);
            outcome.fate[origin] = book.fate[i];
            const std::int32_t note = book.noteOf[i];
            outcome.noteOf[origin] = note < 0 ? 0 : origins[static_cast<std::size_t>(note)];
        }
        outcome.duplicates += book.duplicates;
        outcome.merged += book.merged;
        outcome.attached += book.attached;
        outcome.placeholders += book.placeholders;
    }
    return outcome;
}

} // namespace quillery
