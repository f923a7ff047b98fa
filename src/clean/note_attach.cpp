#include "clean/note_attach.h"

#include <algorithm>
#include <cstddef>
#include <queue>

namespace quillery {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Placed {
    std::size_t index;
    LocationSpan span;
};

// Kept items of one kind that have a location, in file order.
std::vector<Placed> PlacedItems(std::span<const CleanItem> items, const std::vector<Fate>& fate, char kind)
{
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind != kind || fate[i] != Fate::kept) {
            continue;
        }
        if (const auto span = SpanOf(items[i])) {
            placed.push_back({i, *span});
        }
    }
    return placed;
}

// For each note, the latest highlight that ends exactly at its location.
// Highlights are first reduced to one per end, so many highlights and notes
// at one location still cost only a sort and a binary search per note.
std::vector<std::size_t> EndingAt(const std::vector<Placed>& highlights, const std::vector<Placed>& notes,
                                  const AddedOrder& order)
{
    std::vector<Placed> byEnd = highlights;
    std::sort(byEnd.begin(), byEnd.end(), [&order](const Placed& a, const Placed& b) {
        return a.span.hi != b.span.hi ? a.span.hi < b.span.hi : order.Later(b.index, a.index);
    });
    // The last of each run of equal ends is the latest one; keep only it.
    std::vector<Placed> latest;
    for (std::size_t i = 0; i < byEnd.size(); ++i) {
        if (i + 1 == byEnd.size() || byEnd[i + 1].span.hi != byEnd[i].span.hi) {
            latest.push_back(byEnd[i]);
        }
    }
    std::vector<std::size_t> found(notes.size(), kNone);
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const std::int32_t loc = notes[n].span.lo;
        const auto it = std::lower_bound(latest.begin(), latest.end(), loc,
                                         [](const Placed& h, std::int32_t value) { return h.span.hi < value; });
        if (it != latest.end() && it->span.hi == loc) {
            found[n] = it->index;
        }
    }
    return found;
}

// For each note, the latest highlight whose span holds its location: notes in
// location order, highlights entering a heap (latest on top) once they start
// at or before it; a top that ends before the note ends before every later
// note too, so it leaves for good.
std::vector<std::size_t> Holding(std::vector<Placed> highlights, const std::vector<Placed>& notes,
                                 const AddedOrder& order)
{
    std::sort(highlights.begin(), highlights.end(),
              [](const Placed& a, const Placed& b) { return a.span.lo < b.span.lo; });
    std::vector<std::size_t> byLocation(notes.size());
    for (std::size_t n = 0; n < notes.size(); ++n) {
        byLocation[n] = n;
    }
    std::sort(byLocation.begin(), byLocation.end(),
              [&notes](std::size_t a, std::size_t b) { return notes[a].span.lo < notes[b].span.lo; });

    const auto earlier = [&order](const Placed& a, const Placed& b) { return order.Later(b.index, a.index); };
    std::priority_queue<Placed, std::vector<Placed>, decltype(earlier)> open(earlier);
    std::vector<std::size_t> found(notes.size(), kNone);
    std::size_t next = 0;
    for (const std::size_t n : byLocation) {
        const std::int32_t loc = notes[n].span.lo;
        while (next < highlights.size() && highlights[next].span.lo <= loc) {
            open.push(highlights[next++]);
        }
        while (!open.empty() && open.top().span.hi < loc) {
            open.pop();
        }
        if (!open.empty()) {
            found[n] = open.top().index;
        }
    }
    return found;
}

} // namespace

std::int64_t AttachNotes(std::span<const CleanItem> items, const AddedOrder& order, std::vector<Fate>& fate,
                         std::vector<std::int32_t>& noteOf)
{
    const std::vector<Placed> highlights = PlacedItems(items, fate, 'h');
    const std::vector<Placed> notes = PlacedItems(items, fate, 'n');
    const std::vector<std::size_t> ending = EndingAt(highlights, notes, order);
    const std::vector<std::size_t> holding = Holding(highlights, notes, order);

    std::int64_t attached = 0;
    for (std::size_t n = 0; n < notes.size(); ++n) {
        const std::size_t host = ending[n] != kNone ? ending[n] : holding[n];
        if (host == kNone || noteOf[host] != -1) {
            continue;
        }
        noteOf[host] = static_cast<std::int32_t>(notes[n].index);
        fate[notes[n].index] = Fate::attached;
        ++attached;
    }
    return attached;
}

} // namespace quillery
