#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quillery {

class ClipStore;
struct CleanOutcome;

// Every book's entry slots in table order, from one counting pass over the
// book numbers. An entry whose book is not in 1..bookCount belongs to none.
// With a cleaning, only the kept entries are listed; an attached note is left
// out, or, with `notesAfterHighlights`, listed right after its highlight.
class BookSlots {
  public:
    explicit BookSlots(const ClipStore& store, const CleanOutcome* clean = nullptr, bool notesAfterHighlights = false);

    [[nodiscard]] std::span<const std::int32_t> Of(std::int32_t book) const;
    // The table slot of the entry stored at `origin` (0 when it is not listed).
    [[nodiscard]] std::int32_t SlotOf(std::int32_t origin) const;

  private:
    std::vector<std::size_t> first_; // book b's slots are slots_[first_[b]] up to slots_[first_[b + 1]]
    std::vector<std::int32_t> slots_;
    std::vector<std::int32_t> slotOf_; // by origin; filled only with a cleaning
};

} // namespace quillery
