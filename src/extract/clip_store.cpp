#include "extract/clip_store.h"

#include "extract/run_error.h"

#include <string>

namespace quillery {

ClipStore::ClipStore() : bookTitles_(1), entries_(1) {}

std::int32_t ClipStore::AddBook(std::u16string title)
{
    if (bookCount_ == kMaxBooks) {
        throw RunError("too many books: at most " + std::to_string(kMaxBooks) + " can be extracted");
    }
    ++bookCount_;
    bookIndex_.emplace(title, bookCount_);
    bookTitles_.push_back(std::move(title));
    return bookCount_;
}

std::int32_t ClipStore::FindBook(std::u16string_view title) const
{
    const auto found = bookIndex_.find(title);
    return found == bookIndex_.end() ? 0 : found->second;
}

void ClipStore::AddEntry(ClipEntry entry)
{
    if (entryCount_ == kMaxEntries) {
        throw RunError("too many entries: at most " + std::to_string(kMaxEntries) + " can be extracted");
    }
    ++entryCount_;
    const auto slot = static_cast<std::size_t>(entryCount_);
    if (slot < entries_.size()) {
        entries_[slot] = std::move(entry);
    } else {
        entries_.push_back(std::move(entry));
    }
}

void ClipStore::ClearEntries()
{
    entries_.resize(1);
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
