#include "output/book_slots.h"

#include "clean/clean_store.h"
#include "extract/clip_store.h"

namespace quillery {

namespace {

bool Listed(const ClipEntry& entry, const CleanOutcome* clean)
{
    const auto origin = static_cast<std::size_t>(entry.origin);
    return clean == nullptr || (origin < clean->fate.size() && clean->fate[origin] == Fate::kept);
}

} // namespace

BookSlots::BookSlots(const ClipStore& store, const CleanOutcome* clean, bool notesAfterHighlights)
    : first_(static_cast<std::size_t>(store.bookCount()) + 2, 0)
{
    const std::int32_t bookCount = store.bookCount();
    const std::int32_t entryCount = store.entryCount();
    if (clean != nullptr) {
        slotOf_.assign(static_cast<std::size_t>(entryCount) + 1, 0);
        for (std::int32_t j = 1; j <= entryCount; ++j) {
            const auto origin = static_cast<std::size_t>(store.entry(j).origin);
            if (origin < slotOf_.size()) {
                slotOf_[origin] = j;
            }
        }
    }
    // The note that follows a slot's highlight, or 0.
    const auto noteAfter = [&](std::int32_t j) -> std::int32_t {
        if (clean == nullptr || !notesAfterHighlights) {
            return 0;
        }
        const auto origin = static_cast<std::size_t>(store.entry(j).origin);
        return origin < clean->noteOf.size() ? SlotOf(clean->noteOf[origin]) : 0;
    };
    for (std::int32_t j = 1; j <= entryCount; ++j) {
        const std::int32_t book = store.entry(j).book;
        if (book >= 1 && book <= bookCount && Listed(store.entry(j), clean)) {
            first_[static_cast<std::size_t>(book) + 1] += noteAfter(j) != 0 ? 2 : 1;
        }
    }
    for (std::size_t b = 1; b < first_.size(); ++b) {
        first_[b] += first_[b - 1];
    }
    slots_.resize(first_.back());
    std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
    for (std::int32_t j = 1; j <= entryCount; ++j) {
        const std::int32_t book = store.entry(j).book;
        if (book >= 1 && book <= bookCount && Listed(store.entry(j), clean)) {
            std::size_t& at = next[static_cast<std::size_t>(book)];
            slots_[at++] = j;
            if (const std::int32_t note = noteAfter(j); note != 0) {
                slots_[at++] = note;
            }
        }
    }
}

std::span<const std::int32_t> BookSlots::Of(std::int32_t book) const
{
    const auto b = static_cast<std::size_t>(book);
    return std::span<const std::int32_t>(slots_).subspan(first_[b], first_[b + 1] - first_[b]);
}

std::int32_t BookSlots::SlotOf(std::int32_t origin) const
{
    const auto o = static_cast<std::size_t>(origin);
    return origin > 0 && o < slotOf_.size() ? slotOf_[o] : 0;
}

} // namespace quillery
