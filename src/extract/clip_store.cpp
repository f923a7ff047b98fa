#include "extract/clip_store.h"

#include "extract/run_error.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

namespace quillery {

ClipStore::ClipStore() : bookTitles_(1), details_(1), entries_(1), bookIndex_(kFirstIndexSize) {}

std::string_view ClipStore::Text(const ClipEntry& entry) const
{
    if (entry.textOffset > text_.size() || entry.textLength > text_.size() - entry.textOffset) {
        return {};
    }
    return std::string_view(text_).substr(static_cast<std::size_t>(entry.textOffset), entry.textLength);
}

void ClipStore::ReserveText(std::size_t bytes)
{
    text_.reserve(bytes);
#ifdef __linux__
    // Filling hundreds of megabytes page by page costs a fault per 4 KB page;
    // huge pages, where the system grants them, cost one per 2 MB.
    constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(text_.data());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + text_.capacity()) & ~(kHugePage - 1);
    if (last > first) {
        madvise(text_.data() + (first - begin), last - first, MADV_HUGEPAGE);
    }
#endif
}

void ClipStore::ReserveEntries(std::size_t count)
{
    // Two more: slot 0, which stays unused, and the sort's end marker.
    const std::size_t slots = std::min(count, static_cast<std::size_t>(kMaxEntries)) + 2;
    entries_.reserve(slots);
    details_.reserve(slots);
}

std::int32_t ClipStore::AddBook(std::string_view title)
{
    if (bookCount_ == kMaxBooks) {
        throw RunError("too many books: at most " + std::to_string(kMaxBooks) + " can be extracted");
    }
    // At most half full, so every probe ends soon at an empty slot.
    if (2 * (static_cast<std::size_t>(bookCount_) + 1) > bookIndex_.size()) {
        GrowIndex();
    }
    ++bookCount_;
    bookTitles_.emplace_back(title);
    const std::size_t hash = std::hash<std::string_view>{}(title);
    IndexSlot& slot = bookIndex_[IndexSlotOf(title, hash)];
    // A title stored again keeps the number of its first book.
    if (slot.book == 0) {
        slot = {hash, bookCount_};
    }
    return bookCount_;
}

void ClipStore::GrowIndex()
{
    std::vector<IndexSlot> old(2 * bookIndex_.size());
    old.swap(bookIndex_);
    const std::size_t mask = bookIndex_.size() - 1;
    for (const IndexSlot& slot : old) {
        if (slot.book == 0) {
            continue;
        }
        std::size_t at = slot.hash & mask;
        while (bookIndex_[at].book != 0) {
            at = (at + 1) & mask;
        }
        bookIndex_[at] = slot;
    }
}

std::size_t ClipStore::IndexSlotOf(std::string_view title, std::size_t hash) const
{
    const std::size_t mask = bookIndex_.size() - 1;
    std::size_t at = hash & mask;
    for (;;) {
        const IndexSlot& slot = bookIndex_[at];
        if (slot.book == 0 || (slot.hash == hash && bookTitles_[static_cast<std::size_t>(slot.book)] == title)) {
            return at;
        }
        at = (at + 1) & mask;
    }
}

std::int32_t ClipStore::FindBook(std::string_view title) const
{
    return bookIndex_[IndexSlotOf(title, std::hash<std::string_view>{}(title))].book;
}

void ClipStore::AddEntry(std::int32_t book, std::int32_t location, char kind, std::string_view text,
                         const EntryDetails& details)
{
    if (entryCount_ == kMaxEntries) {
        throw RunError("too many entries: at most " + std::to_string(kMaxEntries) + " can be extracted");
    }
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw RunError("a text of " + std::to_string(text.size()) + " bytes is too long to store");
    }
    // A page is a few characters: a longer one is no page, and is cut.
    const std::string_view page = details.page.substr(0, 64);
    const StoredDetails stored{details.added,         details.line,        pages_.size(),
                               details.locationStart, details.locationEnd, static_cast<std::uint32_t>(page.size())};
    ++entryCount_;
    const ClipEntry entry{book, location, text_.size(), static_cast<std::uint32_t>(text.size()), kind, entryCount_};
    text_.append(text);
    pages_.append(page);
    const auto slot = static_cast<std::size_t>(entryCount_);
    // The sort's end marker may already hold the slot.
    if (slot < entries_.size()) {
        entries_[slot] = entry;
    } else {
        entries_.push_back(entry);
    }
    details_.push_back(stored);
}

EntryDetails ClipStore::Details(std::int32_t origin) const
{
    const StoredDetails& stored = details_.at(static_cast<std::size_t>(origin));
    return {std::string_view(pages_).substr(stored.pageOffset, stored.pageLength), stored.locationStart,
            stored.locationEnd, stored.added, stored.line};
}

void ClipStore::PrefetchAhead(std::span<const std::int32_t> slots, std::size_t k) const
{
#if defined(__GNUC__)
    constexpr std::size_t kAhead = 4;
    if (k + kAhead >= slots.size()) {
        return;
    }
    const ClipEntry& ahead = entry(slots[k + kAhead]);
    const auto origin = static_cast<std::size_t>(ahead.origin);
    if (ahead.textOffset < text_.size()) {
        __builtin_prefetch(text_.data() + ahead.textOffset);
    }
    if (origin < details_.size()) {
        __builtin_prefetch(details_.data() + origin);
    }
#else
    static_cast<void>(slots);
    static_cast<void>(k);
#endif
}

void ClipStore::ClearEntries()
{
    entries_.resize(1);
    details_.resize(1);
    text_.clear();
    pages_.clear();
    entryCount_ = 0;
}

ClipEntry& ClipStore::MarkerSlot()
{
    if (entryCount_ == kMaxEntries) {
        throw RunError("too many entries to sort: with sorting on at most " + std::to_string(kMaxEntries - 1) +
                       " entries can be extracted (this file has " + std::to_string(kMaxEntries) +
                       "; turn sorting off to extract them all)");
    }
    const auto slot = static_cast<std::size_t>(entryCount_) + 1;
    if (slot == entries_.size()) {
        entries_.emplace_back();
    }
    return entries_[slot];
}

} // namespace quillery
