#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"
#include "extract/quick_phase_replay.h"
#include "extract/run_error.h"
#include "support/killer_sequence.h"
#include "util/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

using Key = std::int32_t ClipEntry::*;

// One sort family: its key and its three operations.
struct Family {
    const char* name;
    Key key;
    Key other;
    void (*sort)(EntryTable&, std::int32_t, std::int32_t);
    void (*quick)(EntryTable&, std::int32_t, std::int32_t, std::int32_t);
    void (*insertion)(EntryTable&, std::int32_t, std::int32_t);
    void (*within)(EntryTable&, std::int32_t, std::int32_t, std::int64_t, detail::SortStats*);
};

const Family kFamilies[] = {
    {"location", &ClipEntry::location, &ClipEntry::book, SortByLocation, QuickSortByLocation, InsertionSortByLocation,
     detail::SortByLocationWithin},
    {"book", &ClipEntry::book, &ClipEntry::location, SortByBook, QuickSortByBook, InsertionSortByBook,
     detail::SortByBookWithin},
};

// An entry's tag is its text offset: the records carry no text of their own.
constexpr std::uint64_t kSlotZeroTag = 999999999;

// Slots 1..n get the keys and the tags 0, 1, ... (shown as "A", "B", ...);
// the other key runs against the order, so a sort that looked at it would show.
EntryTable MakeTable(const Family& family, const std::vector<std::int32_t>& keys)
{
    EntryTable table(keys.size() + 1);
    table[0].textOffset = kSlotZeroTag;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        ClipEntry& entry = table[i + 1];
        entry.*family.key = keys[i];
        entry.*family.other = -static_cast<std::int32_t>(i);
        entry.kind = 'h';
        entry.textOffset = i;
    }
    return table;
}

std::string TagName(std::uint64_t tag)
{
    if (tag == kSlotZeroTag) {
        return "slot 0";
    }
    return tag < 26 ? std::string(1, static_cast<char>('A' + tag)) : std::to_string(tag) + ",";
}

// The tags of slots lo..hi: letters for the first 26, numbers after them.
std::string Tags(const EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    std::string tags;
    for (std::int32_t i = lo; i <= hi; ++i) {
        tags += TagName(table[i].textOffset);
    }
    return tags;
}

// The texts of a store's slots lo..hi, one after another.
std::string StoreTags(const ClipStore& store, std::int32_t lo, std::int32_t hi)
{
    std::string tags;
    for (std::int32_t i = lo; i <= hi; ++i) {
        tags += store.Text(store.entryTable().at(static_cast<std::size_t>(i)));
    }
    return tags;
}

std::vector<std::int32_t> Keys(const Family& family, const EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    std::vector<std::int32_t> keys;
    for (std::int32_t i = lo; i <= hi; ++i) {
        keys.push_back(table[i].*family.key);
    }
    return keys;
}

// The quick phase as its steps read, both sub-ranges sorted recursively in
// turn, with the middle computed in floating point.
void ReferenceQuick(EntryTable& t, Key key, std::int32_t cutoff, std::int32_t lo, std::int32_t hi)
{
    if (hi - lo <= cutoff) {
        return;
    }
    const auto mid = static_cast<std::int32_t>(std::nearbyint((lo + hi) / 2.0));
    auto k = [&](std::int32_t slot) { return t[slot].*key; };
    if (k(lo) > k(mid)) {
        std::swap(t[lo], t[mid]);
    }
    if (k(lo) > k(hi)) {
        std::swap(t[lo], t[hi]);
    }
    if (k(mid) > k(hi)) {
        std::swap(t[mid], t[hi]);
    }
    std::swap(t[mid], t[hi - 1]);
    const std::int32_t p = k(hi - 1);
    std::int32_t i = lo;
    std::int32_t j = hi - 1;
    for (;;) {
        do {
            ++i;
        } while (k(i) < p);
        do {
            --j;
        } while (k(j) > p);
        if (j < i) {
            break;
        }
        std::swap(t[i], t[j]);
    }
    std::swap(t[i], t[hi - 1]);
    ReferenceQuick(t, key, cutoff, lo, j);
    ReferenceQuick(t, key, cutoff, i + 1, hi);
}

void ReferenceInsertion(EntryTable& t, Key key, std::int32_t lo, std::int32_t hi)
{
    for (std::int32_t i = lo + 1; i <= hi; ++i) {
        ClipEntry held = t[i];
        std::int32_t j = i;
        while (j > lo && t[j - 1].*key > held.*key) {
            t[j] = t[j - 1];
            --j;
        }
        t[j] = held;
    }
}

// ---- The worked examples ----

struct WorkedCase {
    const char* name;
    std::vector<std::int32_t> keys;
    const char* afterQuickPhase; // nullptr: not checked
    const char* sorted;
};

TEST(EntrySort, WorkedExamplesComeOutInTheirOrder)
{
    const WorkedCase cases[] = {
        {"distinct keys", {5, 3, 8, 1, 9, 2}, "DFCEBA", "DFBACE"},
        {"ties", {2, 1, 2, 1, 2, 1, 2}, nullptr, "DBFEACG"},
        {"all keys equal", {7, 7, 7, 7, 7, 7}, nullptr, "AECDBF"},
    };
    for (const Family& family : kFamilies) {
        for (const WorkedCase& c : cases) {
            SCOPED_TRACE(std::string(family.name) + ": " + c.name);
            const auto n = static_cast<std::int32_t>(c.keys.size());
            if (c.afterQuickPhase != nullptr) {
                EntryTable quick = MakeTable(family, c.keys);
                family.quick(quick, 4, 1, n);
                EXPECT_EQ(Tags(quick, 1, n), c.afterQuickPhase);
            }
            EntryTable table = MakeTable(family, c.keys);
            family.sort(table, 1, n);
            EXPECT_EQ(Tags(table, 1, n), c.sorted);
            const std::vector<std::int32_t> keys = Keys(family, table, 1, n);
            EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
        }
    }
}

TEST(EntrySort, WholeEntriesMoveWithTheirKey)
{
    EntryTable table = MakeTable(kFamilies[0], {5, 3, 8, 1, 9, 2});
    table[2].kind = 'n';
    SortByLocation(table, 1, 6);
    // The entry that had location 3 (tag B, kind "n", book -1) now stands third.
    EXPECT_EQ(table[3].location, 3);
    EXPECT_EQ(Tags(table, 3, 3), "B");
    EXPECT_EQ(table[3].kind, 'n');
    EXPECT_EQ(table[3].book, -1);
}

// ---- Small, empty and signed ranges ----

TEST(EntrySort, EmptyAndOneEntryRangesChangeNothing)
{
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        EntryTable none = MakeTable(family, {});
        family.sort(none, 1, 0);
        EXPECT_EQ(none.size(), 1U);
        EXPECT_EQ(none[0].textOffset, kSlotZeroTag);

        EntryTable table = MakeTable(family, {3, 2, 1});
        family.sort(table, 3, 2);
        family.sort(table, 2, 2);
        family.quick(table, 4, 2, 1);
        family.insertion(table, 3, 1);
        EXPECT_EQ(Tags(table, 0, 3), "slot 0ABC");
    }
}

TEST(EntrySort, TwoToFiveEntriesAreSortedStablyByTheInsertionPassAlone)
{
    const std::vector<std::int32_t> keys = {3, 1, 3, 1, 2};
    for (const Family& family : kFamilies) {
        for (std::int32_t n = 2; n <= 5; ++n) {
            SCOPED_TRACE(std::string(family.name) + ", entries: " + std::to_string(n));
            const std::vector<std::int32_t> some(keys.begin(), keys.begin() + n);
            EntryTable quick = MakeTable(family, some);
            family.quick(quick, 4, 1, n);
            EXPECT_EQ(Tags(quick, 1, n), std::string("ABCDE", static_cast<std::size_t>(n)));

            EntryTable table = MakeTable(family, some);
            family.sort(table, 1, n);
            const char* expected[] = {"", "", "BA", "BAC", "BDAC", "BDEAC"};
            EXPECT_EQ(Tags(table, 1, n), expected[n]);
        }
    }
}

TEST(EntrySort, OnlyTheGivenRangeIsTouched)
{
    EntryTable table = MakeTable(kFamilies[0], {9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    SortByLocation(table, 3, 9);
    EXPECT_EQ(Tags(table, 0, 10), "slot 0ABIHGFEDCJ");
}

TEST(EntrySort, NegativeKeysSortBeforePositiveOnes)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        EntryTable table = MakeTable(family, {0, -1, kMax, kMin, 5, -5, 1, kMin});
        family.sort(table, 1, 8);
        EXPECT_EQ(Keys(family, table, 1, 8), (std::vector<std::int32_t>{kMin, kMin, -5, -1, 0, 1, 5, kMax}));
    }
}

TEST(EntrySort, SlotsOutsideTheTableFail)
{
    EntryTable table = MakeTable(kFamilies[0], {2, 1});
    EXPECT_THROW(SortByLocation(table, 1, 3), RunError);
    EXPECT_THROW(SortByBook(table, -1, 2), RunError);
    EXPECT_THROW(QuickSortByLocation(table, 4, 0, 3), RunError);
    EXPECT_THROW(InsertionSortByBook(table, 2, 5), RunError);
    EXPECT_EQ(Tags(table, 1, 2), "AB");
}

// ---- Random inputs with many equal keys ----

struct RandomInput {
    std::vector<std::int32_t> keys;
    std::int32_t lo;
    std::int32_t hi;
};

RandomInput MakeRandomInput(std::mt19937& random)
{
    const std::int32_t distinctKeys[] = {1, 2, 3, 10, 1000};
    const std::int32_t spread = distinctKeys[random() % 5];
    const auto n = static_cast<std::int32_t>(random() % 300);
    RandomInput input;
    for (std::int32_t i = 0; i < n; ++i) {
        input.keys.push_back(static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(spread)) - spread / 2);
    }
    // Mostly the whole table, sometimes a part of it.
    input.lo = n > 2 && random() % 3 == 0 ? 2 : 1;
    input.hi = n > 2 && random() % 3 == 0 ? n - 1 : n;
    return input;
}

TEST(EntrySort, RandomInputsMatchTheRecursiveStepsAndComeOutSorted)
{
    for (std::uint32_t seed = 1; seed <= 150; ++seed) {
        std::mt19937 random(seed);
        const RandomInput input = MakeRandomInput(random);
        for (const Family& family : kFamilies) {
            SCOPED_TRACE(std::string(family.name) + ", seed " + std::to_string(seed));
            const EntryTable original = MakeTable(family, input.keys);
            const auto last = static_cast<std::int32_t>(input.keys.size());

            for (const std::int32_t cutoff : {1, 2, 4, 7}) {
                EntryTable quick = original;
                EntryTable expected = original;
                family.quick(quick, cutoff, input.lo, input.hi);
                ReferenceQuick(expected, family.key, cutoff, input.lo, input.hi);
                ASSERT_EQ(Tags(quick, 0, last), Tags(expected, 0, last)) << "cutoff " << cutoff;
            }

            EntryTable sorted = original;
            EntryTable expected = original;
            family.sort(sorted, input.lo, input.hi);
            ReferenceQuick(expected, family.key, 4, input.lo, input.hi);
            ReferenceInsertion(expected, family.key, input.lo, input.hi);
            ASSERT_EQ(Tags(sorted, 0, last), Tags(expected, 0, last));

            const std::vector<std::int32_t> keys = Keys(family, sorted, input.lo, input.hi);
            EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
            std::vector<std::uint64_t> before;
            std::vector<std::uint64_t> after;
            for (std::int32_t i = input.lo; i <= input.hi; ++i) {
                before.push_back(original[i].textOffset);
                after.push_back(sorted[i].textOffset);
            }
            std::sort(before.begin(), before.end());
            std::sort(after.begin(), after.end());
            EXPECT_EQ(before, after);
        }
    }
}

TEST(EntrySort, InsertionPassAloneIsAStableSort)
{
    for (std::uint32_t seed = 1; seed <= 100; ++seed) {
        std::mt19937 random(seed);
        const RandomInput input = MakeRandomInput(random);
        for (const Family& family : kFamilies) {
            SCOPED_TRACE(std::string(family.name) + ", seed " + std::to_string(seed));
            EntryTable table = MakeTable(family, input.keys);
            EntryTable expected = table;
            family.insertion(table, input.lo, input.hi);
            if (input.hi >= input.lo) {
                std::stable_sort(expected.begin() + input.lo, expected.begin() + input.hi + 1,
                                 [&](const ClipEntry& a, const ClipEntry& b) { return a.*family.key < b.*family.key; });
            }
            const auto last = static_cast<std::int32_t>(input.keys.size());
            ASSERT_EQ(Tags(table, 0, last), Tags(expected, 0, last));
        }
    }
}

// ---- The comparison budget and the worst case of the quick phase ----

// Distinct keys (shuffled, or ascending with a few swaps), keys with a few
// ties, keys drawn from a handful of values, one key, or keys at both ends
// of the key range.
std::vector<std::int32_t> MakeBudgetTestKeys(std::mt19937& random, std::int32_t n)
{
    std::vector<std::int32_t> keys;
    const auto kind = random() % 6;
    if (kind == 5) {
        constexpr std::int32_t kEnds[] = {std::numeric_limits<std::int32_t>::min(), -1,
                                          std::numeric_limits<std::int32_t>::max() - 1,
                                          std::numeric_limits<std::int32_t>::max()};
        for (std::int32_t i = 0; i < n; ++i) {
            keys.push_back(kEnds[random() % 4]);
        }
        return keys;
    }
    const std::uint32_t spread = kind == 2 ? static_cast<std::uint32_t>(n) * 4 : kind == 3 ? 5 : 1;
    for (std::int32_t i = 0; i < n; ++i) {
        keys.push_back(kind < 2 ? 3 * i - n : static_cast<std::int32_t>(random() % spread));
    }
    if (kind == 0) {
        std::shuffle(keys.begin(), keys.end(), random);
    }
    for (std::int32_t swaps = 0; kind == 1 && swaps < n / 20; ++swaps) {
        std::swap(keys[random() % keys.size()], keys[random() % keys.size()]);
    }
    return keys;
}

// Budget 0 replays the whole quick phase; the others replay what is left
// after some partitions. Every one must leave the arrangement of the steps.
TEST(EntrySortBudget, ReplayedRangesGiveTheOrderOfTheSteps)
{
    detail::SortStats total;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        std::mt19937 random(seed);
        // Up to 5000 keys, so the replay's tree may hold three tiers above the keys.
        const auto n = static_cast<std::int32_t>(seed % 4 == 0 ? 6 + random() % 5000 : 1 + random() % 60);
        const std::vector<std::int32_t> keys = MakeBudgetTestKeys(random, n);
        const std::int32_t lo = random() % 2 == 0 ? 1 : std::min(n, 4);
        const std::int32_t cutoff = seed % 3 == 0 ? 1 + static_cast<std::int32_t>(random() % 8) : 4;
        for (const Family& family : kFamilies) {
            const EntryTable original = MakeTable(family, keys);
            EntryTable steps = original;
            ReferenceQuick(steps, family.key, cutoff, lo, n);
            EntryTable sorted = original;
            ReferenceQuick(sorted, family.key, 4, lo, n);
            ReferenceInsertion(sorted, family.key, lo, n);
            SCOPED_TRACE(std::string(family.name) + ", seed " + std::to_string(seed));
            // Jumping scans throughout, then with short ranges tried by stepping first.
            for (const std::int32_t trySize : {0, detail::kReplayTrySize}) {
                const std::vector<std::int32_t> replayed =
                    detail::ReplayQuickPhase(Keys(family, original, lo, n), lo, cutoff, trySize);
                for (std::int32_t s = lo; s <= n; ++s) {
                    ASSERT_EQ(original[lo + replayed[s - lo]].textOffset, steps[s].textOffset)
                        << "cutoff " << cutoff << ", slot " << s << ", try size " << trySize;
                }
            }
            for (const std::int64_t budget : {0, 1, 40, 2000}) {
                EntryTable table = original;
                detail::SortStats stats;
                family.within(table, lo, n, budget, &stats);
                ASSERT_EQ(Tags(table, 0, n), Tags(sorted, 0, n)) << "budget " << budget;
                total.replays += stats.replays;
            }
        }
    }
    EXPECT_GT(total.replays, 300);
}

TEST(EntrySortBudget, OrdinaryOrdersNeverSpendTheDefaultBudget)
{
    constexpr std::int32_t n = 100000;
    std::mt19937 random(7);
    const struct {
        const char* name;
        std::function<std::int32_t(std::int32_t)> key;
    } orders[] = {
        {"ascending", [](std::int32_t i) { return i; }},
        {"descending", [](std::int32_t i) { return -i; }},
        {"all equal", [](std::int32_t) { return 7; }},
        {"organ pipe", [](std::int32_t i) { return std::min(i, n - i); }},
        {"rotated", [](std::int32_t i) { return (i + n / 3) % n; }},
        {"random", [&](std::int32_t) { return static_cast<std::int32_t>(random()); }},
        {"10000 books", [&](std::int32_t) { return static_cast<std::int32_t>(random() % 10000); }},
    };
    for (const auto& order : orders) {
        SCOPED_TRACE(order.name);
        std::vector<std::int32_t> keys;
        for (std::int32_t i = 0; i < n; ++i) {
            keys.push_back(order.key(i));
        }
        EntryTable table = MakeTable(kFamilies[0], keys);
        detail::SortStats stats;
        detail::SortByLocationWithin(table, 1, n, detail::DefaultComparisonBudget(n), &stats);
        EXPECT_EQ(stats.replays, 0) << stats.comparisons << " comparisons";
    }
}

// 12000-entry worst cases, without and with one tie: quadratic and shallow
// for the steps, and the same order, within the budget, once replayed.
TEST(EntrySortBudget, WorstCasesAreReplayedToTheOrderOfTheSteps)
{
    constexpr std::int32_t n = 12000;
    constexpr auto kSquare = std::int64_t{n} * n;
    const struct {
        const char* name;
        KillerTie tie;
    } cases[] = {
        {"no tie", KillerTie::none},
        {"tie split off first", KillerTie::lowest},
        {"tie kept to the end", KillerTie::highest},
    };
    for (const auto& c : cases) {
        const std::vector<std::int32_t> keys = MedianOfThreeKiller(n, c.tie);
        std::vector<std::int32_t> sortedKeys = keys;
        std::sort(sortedKeys.begin(), sortedKeys.end());
        const auto distinct = std::unique(sortedKeys.begin(), sortedKeys.end()) - sortedKeys.begin();
        EXPECT_EQ(distinct, c.tie == KillerTie::none ? n : n - 1) << c.name;
        for (const Family& family : kFamilies) {
            SCOPED_TRACE(std::string(family.name) + ": " + c.name);
            const EntryTable original = MakeTable(family, keys);
            EntryTable steps = original;
            detail::SortStats exact;
            family.within(steps, 1, n, detail::kUnlimitedBudget, &exact);
            EXPECT_GT(exact.comparisons, kSquare / 5);
            EXPECT_LE(exact.maxDepth, std::bit_width(static_cast<std::uint32_t>(n)));

            for (const std::int64_t budget : {std::int64_t{0}, detail::DefaultComparisonBudget(n)}) {
                SCOPED_TRACE("budget " + std::to_string(budget));
                EntryTable table = original;
                detail::SortStats stats;
                family.within(table, 1, n, budget, &stats);
                EXPECT_EQ(Tags(table, 1, n), Tags(steps, 1, n));
                EXPECT_EQ(stats.replays, 1);
                // Every split is lopsided, so the replay starts after a few dozen scans.
                EXPECT_LT(stats.comparisons, 40 * n);
            }
        }
    }
}

// Crafted orders that split evenly now and then, or that leave the rest of
// the keys in a random order once the lopsided splits have run: far costlier
// than random keys for the steps, and the same order under any budget.
TEST(EntrySortBudget, OtherWorstCaseShapesKeepTheOrderOfTheSteps)
{
    constexpr std::int32_t n = 20000;
    const struct {
        const char* name;
        KillerShape shape;
        bool evenSplits;
    } cases[] = {
        {"dodging", KillerShape::dodging, true},
        {"halving", KillerShape::halving, true},
        {"lopsided, then random", KillerShape::lopsidedThenRandom, false},
        {"dodging, then random", KillerShape::dodgingThenRandom, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KillerBuilder builder(n, KillerTie::highest, c.shape);
        const std::vector<std::int32_t> keys = builder.Build(4);
        EXPECT_EQ(builder.evenSplits() > 0, c.evenSplits);
        const EntryTable original = MakeTable(kFamilies[0], keys);
        EntryTable steps = original;
        detail::SortStats exact;
        detail::SortByLocationWithin(steps, 1, n, detail::kUnlimitedBudget, &exact);
        // Random keys of this size take about 14 n.
        EXPECT_GT(exact.comparisons, 25 * n);
        for (const std::int64_t budget : {std::int64_t{0}, detail::DefaultComparisonBudget(n)}) {
            EntryTable table = original;
            detail::SortStats stats;
            detail::SortByLocationWithin(table, 1, n, budget, &stats);
            EXPECT_EQ(Tags(table, 1, n), Tags(steps, 1, n)) << "budget " << budget;
            EXPECT_LE(stats.comparisons, detail::DefaultComparisonBudget(n) + n);
        }
    }
}

TEST(EntrySortBudget, WorstCaseOf100000LocationsIsSorted)
{
    constexpr std::int32_t n = 100000;
    const std::vector<std::int32_t> keys = MedianOfThreeKiller(n);
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        const EntryTable original = MakeTable(family, keys);
        EntryTable table = original;
        family.sort(table, 1, n);
        // The keys are 0..n-1, so slot s must hold the entry whose key was s - 1.
        std::vector<std::uint64_t> tagOfKey(n);
        for (std::int32_t s = 1; s <= n; ++s) {
            tagOfKey[original[s].*family.key] = original[s].textOffset;
        }
        for (std::int32_t s = 1; s <= n; ++s) {
            ASSERT_EQ(table[s].*family.key, s - 1) << "slot " << s;
            ASSERT_EQ(table[s].textOffset, tagOfKey[s - 1]) << "slot " << s;
        }
        EntryTable counted = original;
        detail::SortStats stats;
        family.within(counted, 1, n, detail::DefaultComparisonBudget(n), &stats);
        EXPECT_EQ(stats.replays, 1);
        EXPECT_LE(stats.comparisons, detail::DefaultComparisonBudget(n) + n);
    }
}

// ---- The sort phase of a Kindle run ----

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
    for (std::size_t i = 0; i < entries.size(); ++i) {
        store.AddEntry(entries[i].book, entries[i].location, 'h', std::to_string(i));
    }
    return store;
}

// The phase as its steps read, on the reference sorts.
EntryTable ReferenceSortPhase(const ClipStore& store)
{
    EntryTable t = store.entryTable();
    const std::int32_t n = store.entryCount();
    t.resize(static_cast<std::size_t>(n) + 2);
    t[n + 1].book = store.bookCount() + 1;
    ReferenceQuick(t, &ClipEntry::book, 4, 1, n);
    ReferenceInsertion(t, &ClipEntry::book, 1, n);
    std::int32_t key = 1;
    std::int32_t start = 1;
    for (std::int32_t i = 1; i <= n + 1; ++i) {
        if (t[i].book > key) {
            ReferenceQuick(t, &ClipEntry::location, 4, start, i - 1);
            ReferenceInsertion(t, &ClipEntry::location, start, i - 1);
            start = i;
            key = t[i].book;
        }
    }
    return t;
}

void ExpectSortPhaseResult(ClipStore& store)
{
    const EntryTable expected = ReferenceSortPhase(store);
    const std::int32_t n = store.entryCount();
    SortByBookThenLocation(store);
    const EntryTable& table = store.entryTable();
    ASSERT_GE(table.size(), static_cast<std::size_t>(n) + 2);
    EXPECT_EQ(table[n + 1].book, store.bookCount() + 1);
    EXPECT_EQ(Tags(table, 1, n), Tags(expected, 1, n));
    for (std::int32_t i = 2; i <= n; ++i) {
        const bool ordered = table[i - 1].book < table[i].book ||
                             (table[i - 1].book == table[i].book && table[i - 1].location <= table[i].location);
        ASSERT_TRUE(ordered) << "slots " << i - 1 << " and " << i;
    }
}

TEST(SortByBookThenLocation, GroupsByBookAndOrdersEachBookByLocation)
{
    ClipStore store = MakeStore(3, {{2, 50}, {1, 7}, {3, -4}, {2, 10}, {1, 7}, {3, 9}, {1, 2}, {2, 10}, {2, -1}});
    ExpectSortPhaseResult(store);
    EXPECT_EQ(StoreTags(store, 1, 9), "641873025");
}

TEST(SortByBookThenLocation, BookOneWithoutEntriesIsAnEmptyFirstRun)
{
    ClipStore store = MakeStore(4, {{4, 3}, {2, 9}, {4, 1}, {2, 1}, {3, 5}, {2, 4}});
    ExpectSortPhaseResult(store);
    EXPECT_EQ(StoreTags(store, 1, 6), "351420");
}

TEST(SortByBookThenLocation, EmptyStoreOnlyGetsTheMarker)
{
    ClipStore store;
    SortByBookThenLocation(store);
    EXPECT_EQ(store.entryCount(), 0);
    EXPECT_EQ(store.entryTable().at(1).book, 1);
}

TEST(SortByBookThenLocation, EntriesOfBookOneBeforeAnyBookIsStoredAreSorted)
{
    // An empty title before the first stored title gives book 1 with no book stored.
    ClipStore store = MakeStore(0, {{1, 9}, {1, 0}, {1, 4}, {1, 0}});
    SortByBookThenLocation(store);
    EXPECT_EQ(store.entryTable().at(5).book, 1);
    EXPECT_EQ(StoreTags(store, 1, 4), "1320");
}

TEST(SortByBookThenLocation, MarkerKeepsItsOtherFields)
{
    ClipStore store = MakeStore(2, {{2, 1}, {1, 1}});
    ClipEntry& marker = store.MarkerSlot();
    marker.location = 77;
    marker.textOffset = kSlotZeroTag;
    SortByBookThenLocation(store);
    const ClipEntry& after = store.entryTable().at(3);
    EXPECT_EQ(after.book, 3);
    EXPECT_EQ(after.location, 77);
    EXPECT_EQ(after.textOffset, kSlotZeroTag);
    EXPECT_EQ(StoreTags(store, 1, 2), "10");
}

TEST(SortByBookThenLocation, RandomStoresMatchTheSteps)
{
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        const auto books = static_cast<std::int32_t>(1 + random() % 12);
        const auto count = random() % 400;
        std::vector<StoreEntry> entries;
        for (std::uint32_t i = 0; i < count; ++i) {
            entries.push_back({static_cast<std::int32_t>(1 + random() % static_cast<std::uint32_t>(books)),
                               static_cast<std::int32_t>(random() % 20) - 5});
        }
        ClipStore store = MakeStore(books, entries);
        ExpectSortPhaseResult(store);
    }
}

TEST(SortByBookThenLocation, FullTableLeavesNoSlotForTheMarker)
{
    {
        ClipStore store = MakeStore(1, {});
        for (std::int32_t i = 1; i < ClipStore::kMaxEntries; ++i) {
            store.AddEntry(1, -i, 0, {});
        }
        SortByBookThenLocation(store);
        EXPECT_EQ(store.entry(1).location, -(ClipStore::kMaxEntries - 1));
        EXPECT_EQ(store.entry(ClipStore::kMaxEntries - 1).location, -1);
        EXPECT_EQ(store.entryTable().at(ClipStore::kMaxEntries).book, 2);
    }
    ClipStore store = MakeStore(1, {});
    for (std::int32_t i = 1; i <= ClipStore::kMaxEntries; ++i) {
        store.AddEntry(1, -i, 0, {});
    }
    try {
        SortByBookThenLocation(store);
        FAIL() << "a full table was sorted";
    } catch (const RunError& error) {
        EXPECT_NE(std::string(error.what()).find("999999"), std::string::npos) << error.what();
    }
    EXPECT_EQ(store.entry(1).location, -1);
}

} // namespace
} // namespace quillery::test
