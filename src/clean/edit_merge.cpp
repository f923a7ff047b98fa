#include "clean/edit_merge.h"

#include "clean/byte_text.h"

#include <algorithm>
#include <string_view>
#include <tuple>

namespace quillery {

namespace {

struct Candidate {
    std::size_t index;
    std::string_view text; // trimmed
    LocationSpan span;
};

// Settles pairs of candidates: of two that are one passage, the earlier
// goes. An item that lost once still wins against older copies, so a chain
// of edits keeps only its newest.
class EditPairs {
  public:
    EditPairs(const AddedOrder& order, std::vector<Fate>& fate) : order_(order), fate_(fate) {}

    void Settle(const Candidate& a, const Candidate& b)
    {
        const bool aShorter = a.text.size() <= b.text.size();
        if (!search_.Contains(aShorter ? b.text : a.text, aShorter ? a.text : b.text)) {
            return;
        }
        const std::size_t loser = order_.Later(a.index, b.index) ? b.index : a.index;
        if (fate_[loser] != Fate::merged) {
            fate_[loser] = Fate::merged;
            ++merged_;
        }
    }

    [[nodiscard]] std::int64_t Merged() const { return merged_; }

  private:
    const AddedOrder& order_;
    std::vector<Fate>& fate_;
    ByteSearch search_;
    std::int64_t merged_ = 0;
};

// Compares each candidate with the ones after it that still share its place,
// at most kMaxEditPartners of them. This cap is what bounds the work: at most
// kMaxEditPartners * n pairs, each searched in time linear in its two texts,
// so O(n log n) for the sort plus O(kMaxEditPartners * total text bytes),
// even for a hundred thousand highlights at one location. A pair past the cap
// goes unchecked and both copies stay: a missed merge loses nothing.
template <typename SharesPlace>
void SweepNeighbours(const std::vector<Candidate>& sorted, EditPairs& pairs, SharesPlace sharesPlace)
{
    for (std::size_t p = 0; p < sorted.size(); ++p) {
        const std::size_t stop = std::min(sorted.size(), p + 1 + kMaxEditPartners);
        for (std::size_t q = p + 1; q < stop && sharesPlace(sorted[p], sorted[q]); ++q) {
            pairs.Settle(sorted[p], sorted[q]);
        }
    }
}

} // namespace

std::int64_t MergeEdits(std::span<const CleanItem> items, const AddedOrder& order, std::vector<Fate>& fate)
{
    std::vector<Candidate> located;
    std::vector<Candidate> paged;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CleanItem& item = items[i];
        const std::string_view text = StripBlankEnds(item.text);
        if (item.kind != 'h' || fate[i] != Fate::kept || text.empty()) {
            continue;
        }
        if (const auto span = SpanOf(item)) {
            located.push_back({i, text, *span});
        } else if (!item.page.empty()) {
            paged.push_back({i, text, {}});
        }
    }

    // In start order, every candidate that begins inside p's span overlaps p,
    // and the first one that begins past its end closes p's neighbourhood.
    std::sort(located.begin(), located.end(), [](const Candidate& a, const Candidate& b) {
        return std::tie(a.span.lo, a.span.hi, a.index) < std::tie(b.span.lo, b.span.hi, b.index);
    });
    const auto byPage = [&items](const Candidate& a, const Candidate& b) {
        return std::tie(items[a.index].page, a.index) < std::tie(items[b.index].page, b.index);
    };
    std::sort(paged.begin(), paged.end(), byPage);

    EditPairs pairs(order, fate);
    SweepNeighbours(located, pairs, [](const Candidate& p, const Candidate& q) { return q.span.lo <= p.span.hi; });
    SweepNeighbours(paged, pairs, [&items](const Candidate& p, const Candidate& q) {
        return items[p.index].page == items[q.index].page;
    });
    return pairs.Merged();
}

} // namespace quillery
