#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"
#include "extract/run_error.h"
#include "support/killer_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

using Table = std::vector<ClipEntry>;
using detail::SortStats;
using Key = std::int32_t ClipEntry::*;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// One sort: its key, the other key (which it must not look at) and its calls.
struct Family {
    const char* name;
    Key key;
    Key other;
    void (*sort)(std::span<ClipEntry>, std::int32_t, std::int32_t);
};

const Family kFamilies[] = {
    {"location", &ClipEntry::location, &ClipEntry::book, SortByLocation},
    {"book", &ClipEntry::book, &ClipEntry::location, SortByBook},
};

// An entry's tag is its text offset: the records carry no text of their own.
constexpr std::uint64_t kSlotZeroTag = 999999999;

// Slots 1..n get the keys and the tags 0, 1, ... (shown as "A", "B", ...);
// the other key runs against the order, so a sort that looked at it would show.
Table MakeTable(const Family& family, const std::vector<std::int32_t>& keys)
{
    Table table(keys.size() + 1);
    table[0].textOffset = kSlotZeroTag;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        table[i + 1].*family.key = keys[i];
        table[i + 1].*family.other = -static_cast<std::int32_t>(i);
        table[i + 1].textOffset = i;
    }
    return table;
}

// The tags of slots lo..hi: letters for the first 26, numbers after them.
std::string Tags(const Table& table, std::int32_t lo, std::int32_t hi)
{
    std::string tags;
    for (std::int32_t i = lo; i <= hi; ++i) {
        const std::uint64_t tag = table[static_cast<std::size_t>(i)].textOffset;
        tags += tag == kSlotZeroTag ? "slot 0"
                : tag < 26          ? std::string(1, static_cast<char>('A' + tag))
                                    : std::to_string(tag) + ",";
    }
    return tags;
}

// The quick phase as its steps read, both sub-ranges sorted recursively in
// turn, with the middle computed in floating point.
void ReferenceQuick(Table& t, Key key, int lo, int hi)
{
    if (hi - lo <= 4) {
        return;
    }
    auto k = [&](int slot) { return t[static_cast<std::size_t>(slot)].*key; };
    auto swap = [&](int a, int b) { std::swap(t[static_cast<std::size_t>(a)], t[static_cast<std::size_t>(b)]); };
    const auto mid = static_cast<int>(std::nearbyint((lo + hi) / 2.0));
    for (const auto& [a, b] : {std::pair{lo, mid}, std::pair{lo, hi}, std::pair{mid, hi}}) {
        if (k(a) > k(b)) {
            swap(a, b);
        }
    }
    swap(mid, hi - 1);
    const std::int32_t p = k(hi - 1);
    int i = lo;
    int j = hi - 1;
    for (;;) {
        while (k(++i) < p) {
        }
        while (k(--j) > p) {
        }
        if (j < i) {
            break;
        }
        swap(i, j);
    }
    swap(i, hi - 1);
    ReferenceQuick(t, key, lo, j);
    ReferenceQuick(t, key, i + 1, hi);
}

// The steps of the whole sort: the quick phase, then the insertion pass,
// which moves an entry past greater keys only: a stable sort.
void ReferenceSort(Table& t, Key key, int lo, int hi)
{
    if (hi > lo) {
        ReferenceQuick(t, key, lo, hi);
        std::stable_sort(t.begin() + lo, t.begin() + hi + 1,
                         [&](const ClipEntry& a, const ClipEntry& b) { return a.*key < b.*key; });
    }
}

TEST(EntrySort, WorkedExamplesComeOutInTheirOrder)
{
    const struct {
        const char* name;
        std::vector<std::int32_t> keys;
        std::int32_t lo;
        std::int32_t hi;
        const char* tags; // slots 1.. after the sort
    } cases[] = {
        {"distinct keys", {5, 3, 8, 1, 9, 2}, 1, 6, "DFBACE"},
        {"ties", {2, 1, 2, 1, 2, 1, 2}, 1, 7, "DBFEACG"},
        {"all keys equal", {7, 7, 7, 7, 7, 7}, 1, 6, "AECDBF"},
        {"two entries", {3, 1}, 1, 2, "BA"},
        {"five entries, insertion pass alone", {3, 1, 3, 1, 2}, 1, 5, "BDEAC"},
        {"a part of the table", {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}, 3, 9, "ABIHGFEDCJ"},
        {"one entry", {3, 2, 1}, 2, 2, "ABC"},
        {"empty range", {3, 2, 1}, 3, 2, "ABC"},
        {"extreme keys", {0, -1, kMax, kMin, 5, -5, 1, kMin}, 1, 8, "DHFBAGEC"},
    };
    for (const Family& family : kFamilies) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(family.name) + ": " + c.name);
            Table table = MakeTable(family, c.keys);
            family.sort(table, c.lo, c.hi);
            // Nothing outside the range moves, and each record moves whole.
            EXPECT_EQ(Tags(table, 0, static_cast<std::int32_t>(c.keys.size())), std::string("slot 0") + c.tags);
            for (std::size_t s = 1; s < table.size(); ++s) {
                EXPECT_EQ(table[s].*family.other, -static_cast<std::int32_t>(table[s].textOffset)) << "slot " << s;
            }
        }
    }
}

TEST(EntrySort, SlotsOutsideTheTableFailAndChangeNothing)
{
    Table table = MakeTable(kFamilies[0], {2, 1});
    EXPECT_THROW(SortByLocation(table, 1, 3), RunError);
    EXPECT_THROW(SortByBook(table, -1, 2), RunError);
    EXPECT_EQ(Tags(table, 1, 2), "AB");
}

// Keys in random order with many ties, ascending with a few swaps, at both
// ends of the key range, or built against the steps.
std::vector<std::int32_t> MakeKeys(std::mt19937& random, std::int32_t n)
{
    const std::int32_t ends[] = {kMin, -1, kMax - 1, kMax};
    const auto kind = random() % 4;
    if (kind == 3) {
        return MedianOfThreeKiller(n, random() % 2 == 0 ? KillerShape::lopsided : KillerShape::spentThenRandom);
    }
    const std::uint32_t spreads[] = {1, 2, 3, 10, 1000, static_cast<std::uint32_t>(n) * 4};
    const std::uint32_t spread = spreads[random() % 6];
    std::vector<std::int32_t> keys;
    for (std::int32_t i = 0; i < n; ++i) {
        keys.push_back(kind == 0 ? static_cast<std::int32_t>(random() % spread) - static_cast<std::int32_t>(spread / 2)
                       : kind == 1 ? 3 * i - n
                                   : ends[random() % 4]);
    }
    for (std::int32_t swaps = 0; kind == 1 && swaps < n / 20; ++swaps) {
        std::swap(keys[random() % keys.size()], keys[random() % keys.size()]);
    }
    return keys;
}

// Every budget and try size must leave the entries where the steps leave
// them: budget 0 hands the whole range to the jumping scans, try size 0 keeps
// it there, the others hand it over after some partitions.
TEST(EntrySortEngine, RandomInputsEndWhereThePlainStepsLeaveThem)
{
    std::int32_t handovers = 0;
    std::int32_t retriesHandedOver = 0; // runs with a stepped retry that was handed over too
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        // Now and then up to 70000 keys, so the tree may hold four tiers above the keys.
        const auto n = static_cast<std::int32_t>(random() % (seed % 100 == 0 ? 70000 : seed % 4 == 0 ? 5000 : 300));
        const std::vector<std::int32_t> keys = MakeKeys(random, n);
        const std::int32_t lo = random() % 2 == 0 ? 1 : 2;
        for (const Family& family : kFamilies) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", " + family.name);
            Table expected = MakeTable(family, keys);
            ReferenceSort(expected, family.key, lo, n);
            Table table = MakeTable(family, keys);
            family.sort(table, lo, n);
            ASSERT_EQ(Tags(table, 0, n), Tags(expected, 0, n));
            for (const std::int64_t budget :
                 {detail::kUnlimitedBudget, std::int64_t{0}, std::int64_t{1}, std::int64_t{40}, std::int64_t{2000}}) {
                for (const std::int32_t trySize : {0, detail::kTrySize}) {
                    table = MakeTable(family, keys);
                    const SortStats stats = detail::SortWithin(table, lo, n, family.key, budget, trySize);
                    handovers += stats.handovers;
                    retriesHandedOver += stats.handovers > 1 && trySize > 0 ? 1 : 0;
                    ASSERT_EQ(Tags(table, 0, n), Tags(expected, 0, n)) << "budget " << budget << ", try " << trySize;
                }
            }
        }
    }
    EXPECT_GT(handovers, 1000);
    EXPECT_GT(retriesHandedOver, 20);
}

// Ordinary orders are stepped throughout. Crafted ones cost the steps more
// than the budget; handed over, they end in the same order, within the budget
// and the 4 n log2 n that the stepped retries may spend (the retries step at
// least the random rest; 2 handovers: a retry failed too).
TEST(EntrySortEngine, CraftedOrdersAloneAreHandedOverAndKeptWithinTheBudget)
{
    constexpr std::int32_t n = 100000;
    constexpr std::int32_t crafted = 20000;
    std::mt19937 random(7);
    auto keys = [](auto key) {
        std::vector<std::int32_t> k;
        for (std::int32_t i = 0; i < n; ++i) {
            k.push_back(key(i));
        }
        return k;
    };
    const struct {
        const char* name;
        std::vector<std::int32_t> keys;
        std::int32_t handovers;
    } orders[] = {
        {"ascending", keys([](std::int32_t i) { return i; }), 0},
        {"descending", keys([](std::int32_t i) { return -i; }), 0},
        {"all equal", keys([](std::int32_t) { return 7; }), 0},
        {"organ pipe", keys([](std::int32_t i) { return std::min(i, n - i); }), 0},
        {"rotated", keys([](std::int32_t i) { return (i + n / 3) % n; }), 0},
        {"random", keys([&](std::int32_t) { return static_cast<std::int32_t>(random()); }), 0},
        {"10000 books", keys([&](std::int32_t) { return static_cast<std::int32_t>(random() % 10000); }), 0},
        {"lopsided", MedianOfThreeKiller(crafted), 2},
        {"spent, then random", MedianOfThreeKiller(crafted, KillerShape::spentThenRandom), 1},
    };
    for (const auto& order : orders) {
        SCOPED_TRACE(order.name);
        const auto size = static_cast<std::int32_t>(order.keys.size());
        const std::int64_t budget = detail::DefaultComparisonBudget(size);
        Table steps = MakeTable(kFamilies[0], order.keys);
        const SortStats exact = detail::SortWithin(steps, 1, size, &ClipEntry::location, detail::kUnlimitedBudget);
        EXPECT_EQ(exact.comparisons > budget, order.handovers > 0) << exact.comparisons << " comparisons";
        EXPECT_LE(exact.maxDepth, std::bit_width(static_cast<std::uint32_t>(size)));
        Table table = MakeTable(kFamilies[0], order.keys);
        const SortStats stats = detail::SortWithin(table, 1, size, &ClipEntry::location);
        EXPECT_EQ(stats.handovers, order.handovers);
        EXPECT_EQ(Tags(table, 1, size), Tags(steps, 1, size));
        if (order.handovers > 0) {
            EXPECT_GT(stats.comparisons, budget + 10 * std::int64_t{size});
            EXPECT_LE(stats.comparisons, budget + 2 * budget / 3 + size);
        }
    }
}

struct StoreEntry {
    std::int32_t book;
    std::int32_t location;
};

ClipStore MakeStore(std::int32_t books, const std::vector<StoreEntry>& entries)
{
    ClipStore store;
    for (std::int32_t b = 1; b <= books; ++b) {
        store.AddBook("book " + std::to_string(b));
    }
    for (const StoreEntry& entry : entries) {
        store.AddEntry(entry.book, entry.location, 'h', "x"); // one byte of text each: tags A, B, ...
    }
    return store;
}

// The phase as its steps read: the book sort, then each book's run by location.
Table ReferenceSortPhase(const ClipStore& store)
{
    Table t = store.entryTable();
    const std::int32_t n = store.entryCount();
    ReferenceSort(t, &ClipEntry::book, 1, n);
    for (std::int32_t start = 1, end = 1; start <= n; start = end) {
        for (; end <= n && t[static_cast<std::size_t>(end)].book == t[static_cast<std::size_t>(start)].book; ++end) {
        }
        ReferenceSort(t, &ClipEntry::location, start, end - 1);
    }
    return t;
}

TEST(SortByBookThenLocation, StoresComeOutInTheOrderOfTheSteps)
{
    const struct {
        const char* name;
        std::int32_t books;
        std::vector<StoreEntry> entries;
        const char* tags;
    } cases[] = {
        {"three books", 3, {{2, 50}, {1, 7}, {3, -4}, {2, 10}, {1, 7}, {3, 9}, {1, 2}, {2, 10}, {2, -1}}, "GEBIHDACF"},
        {"book one without entries", 4, {{4, 3}, {2, 9}, {4, 1}, {2, 1}, {3, 5}, {2, 4}}, "DFBECA"},
        {"no entries", 2, {}, ""},
        // An empty title before the first stored title gives book 1 with no book stored.
        {"book one before any book is stored", 0, {{1, 9}, {1, 0}, {1, 4}, {1, 0}}, "BDCA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClipStore store = MakeStore(c.books, c.entries);
        store.MarkerSlot().location = 77;
        SortByBookThenLocation(store);
        EXPECT_EQ(Tags(store.entryTable(), 1, store.entryCount()), c.tags);
        // The marker gets its book and keeps its other fields.
        const ClipEntry& marker = store.entryTable().at(static_cast<std::size_t>(store.entryCount()) + 1);
        EXPECT_EQ(marker.book, c.books + 1);
        EXPECT_EQ(marker.location, 77);
    }
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto books = static_cast<std::int32_t>(1 + random() % 12);
        std::vector<StoreEntry> entries(random() % 400);
        for (StoreEntry& entry : entries) {
            entry = {static_cast<std::int32_t>(1 + random() % static_cast<std::uint32_t>(books)),
                     static_cast<std::int32_t>(random() % 20) - 5};
        }
        ClipStore store = MakeStore(books, entries);
        const Table expected = ReferenceSortPhase(store);
        SortByBookThenLocation(store);
        ASSERT_EQ(Tags(store.entryTable(), 1, store.entryCount()), Tags(expected, 1, store.entryCount()));
    }
}

TEST(SortByBookThenLocation, FullTableLeavesNoSlotForTheMarker)
{
    ClipStore store = MakeStore(1, {});
    for (std::int32_t i = 1; i < ClipStore::kMaxEntries; ++i) {
        store.AddEntry(1, -i, 0, {});
    }
    SortByBookThenLocation(store);
    EXPECT_EQ(store.entry(1).location, 1 - ClipStore::kMaxEntries);
    EXPECT_EQ(store.entryTable().at(ClipStore::kMaxEntries).book, 2);
    store.AddEntry(1, 5, 0, {});
    try {
        SortByBookThenLocation(store);
        ADD_FAILURE() << "a full table was sorted";
    } catch (const RunError& error) {
        EXPECT_NE(std::string(error.what()).find("999999"), std::string::npos) << error.what();
    }
    EXPECT_EQ(store.entry(ClipStore::kMaxEntries).location, 5);
}

} // namespace
} // namespace quillery::test
