#include "clean/clean_book.h"

#include "clean/byte_text.h"
#include "clean/edit_merge.h"
#include "clean/item_keys.h"
#include "clean/note_attach.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <tuple>

namespace quillery {

namespace {

// What the device stores in place of a highlight once a book's clipping
// limit is used up: no text of the book, so nothing to keep.
constexpr std::string_view kClippingLimit = "<You have reached the clipping limit for this item>";

std::int64_t DropPlaceholders(std::span<const CleanItem> items, std::vector<Fate>& fate)
{
    std::int64_t dropped = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind == 'h' && StripBlankEnds(items[i].text) == kClippingLimit) {
            fate[i] = Fate::placeholder;
            ++dropped;
        }
    }
    return dropped;
}

auto IdentityOf(const CleanItem& item)
{
    return std::tie(item.kind, item.locationStart, item.locationEnd, item.page, item.text);
}

// Sorting by identity, then file position, puts each set of identical entries
// side by side with the first of them in front.
std::int64_t MarkDuplicates(std::span<const CleanItem> items, std::vector<Fate>& fate)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (fate[i] == Fate::kept) {
            order.push_back(i);
        }
    }
    std::sort(order.begin(), order.end(), [items](std::size_t a, std::size_t b) {
        const auto ka = IdentityOf(items[a]);
        const auto kb = IdentityOf(items[b]);
        return ka != kb ? ka < kb : a < b;
    });
    std::int64_t duplicates = 0;
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (IdentityOf(items[order[k]]) == IdentityOf(items[order[k - 1]])) {
            fate[order[k]] = Fate::duplicate;
            ++duplicates;
        }
    }
    return duplicates;
}

} // namespace

CleanedBook CleanBook(std::span<const CleanItem> items)
{
    CleanedBook book;
    book.fate.assign(items.size(), Fate::kept);
    book.noteOf.assign(items.size(), -1);
    book.placeholders = DropPlaceholders(items, book.fate);
    book.duplicates = MarkDuplicates(items, book.fate);
    const AddedOrder order(items);
    book.merged = MergeEdits(items, order, book.fate);
    book.attached = AttachNotes(items, order, book.fate, book.noteOf);
    return book;
}

} // namespace quillery
