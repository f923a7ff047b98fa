// The sort phase on full-size tables: a Kindle store of 999999 entries (the
// most that leave a slot for the end marker) over 10000 books, and the
// location sort of 1000000 entries on presorted, reversed and equal keys.
// Then the quick phase's worst case, 100000 locations built against it (one
// tie kept to the end), with the default comparison budget and without one
// (the quick phase's steps throughout).
#include "../../tests/support/killer_sequence.h"
#include "extract/clip_store.h"
#include "extract/entry_sort.h"
#include "extract/entry_sort_detail.h"
#include "tools/sort_adversary.h"
#include "util/text.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <random>
#include <string>
#include <vector>

namespace quillery {
namespace {

constexpr std::int32_t kEntries = ClipStore::kMaxEntries;
constexpr std::int32_t kSortableEntries = ClipStore::kMaxEntries - 1;
constexpr std::int32_t kBooks = 10000;

// About 150 bytes, as real highlights have.
std::string HighlightText(std::int32_t i)
{
    std::string text = "A highlighted passage of a book, about as long as a real one: ";
    while (text.size() < 150) {
        text += static_cast<char>('a' + (i + static_cast<std::int32_t>(text.size())) % 26);
    }
    return text;
}

ClipStore MakeKindleStore(std::int32_t entries)
{
    ClipStore store;
    for (std::int32_t b = 1; b <= kBooks; ++b) {
        store.AddBook("Book " + std::to_string(b));
    }
    for (std::int32_t i = 1; i <= entries; ++i) {
        store.AddEntry(0, 0, 'h', HighlightText(i));
    }
    return store;
}

// New random keys for every slot: the texts stay where the last sort left them.
void ShuffleKeys(ClipStore& store)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<std::int32_t> book(1, kBooks);
    std::uniform_int_distribution<std::int32_t> location(1, 200000);
    for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
        ClipEntry& entry = store.entry(i);
        entry.book = book(random);
        entry.location = location(random);
    }
}

void BM_SortPhase1MEntries10kBooks(benchmark::State& state)
{
    ClipStore store = MakeKindleStore(kSortableEntries);
    for (auto _ : state) {
        state.PauseTiming();
        ShuffleKeys(store);
        state.ResumeTiming();
        SortByBookThenLocation(store);
    }
    state.SetItemsProcessed(state.iterations() * kSortableEntries);
}
BENCHMARK(BM_SortPhase1MEntries10kBooks)->Unit(benchmark::kMillisecond)->Iterations(5);

enum class Order { sorted, reversed, equal };

void SetLocations(std::span<ClipEntry> table, Order order)
{
    for (std::int32_t i = 1; i <= kEntries; ++i) {
        table[i].location = order == Order::sorted ? i : order == Order::reversed ? kEntries - i : 7;
    }
}

void BM_SortByLocation1M(benchmark::State& state, Order order)
{
    ClipStore store = MakeKindleStore(kEntries);
    const std::span<ClipEntry> table = store.entrySlots();
    for (auto _ : state) {
        state.PauseTiming();
        SetLocations(table, order);
        state.ResumeTiming();
        SortByLocation(table, 1, kEntries);
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK_CAPTURE(BM_SortByLocation1M, sorted, Order::sorted)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_SortByLocation1M, reversed, Order::reversed)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_SortByLocation1M, equal, Order::equal)->Unit(benchmark::kMillisecond)->Iterations(5);

constexpr std::int32_t kKillerEntries = 100000;

void SetKillerLocations(std::span<ClipEntry> table, const std::vector<std::int32_t>& keys)
{
    for (std::int32_t i = 1; i <= kKillerEntries; ++i) {
        table[i].location = keys[static_cast<std::size_t>(i) - 1];
    }
}

void BM_SortByLocationKiller100k(benchmark::State& state, std::int64_t budget)
{
    const std::vector<std::int32_t> keys = test::MedianOfThreeKiller(kKillerEntries);
    ClipStore store = MakeKindleStore(kKillerEntries);
    detail::SortStats stats;
    for (auto _ : state) {
        state.PauseTiming();
        SetKillerLocations(store.entrySlots(), keys);
        state.ResumeTiming();
        stats = detail::SortWithin(store.entrySlots(), 1, kKillerEntries, &ClipEntry::location, budget);
    }
    state.counters["comparisons"] = static_cast<double>(stats.comparisons);
    state.counters["depth"] = stats.maxDepth;
    state.counters["handovers"] = stats.handovers;
    state.SetItemsProcessed(state.iterations() * kKillerEntries);
}
BENCHMARK_CAPTURE(BM_SortByLocationKiller100k, budget, detail::DefaultComparisonBudget(kKillerEntries))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_SortByLocationKiller100k, no_budget, detail::kUnlimitedBudget)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The public sort on the worst case, with the budget it chooses itself.
void BM_SortByLocationKiller100kPublic(benchmark::State& state)
{
    const std::vector<std::int32_t> keys = test::MedianOfThreeKiller(kKillerEntries);
    ClipStore store = MakeKindleStore(kKillerEntries);
    for (auto _ : state) {
        state.PauseTiming();
        SetKillerLocations(store.entrySlots(), keys);
        state.ResumeTiming();
        SortByLocation(store.entrySlots(), 1, kKillerEntries);
    }
    state.SetItemsProcessed(state.iterations() * kKillerEntries);
}
BENCHMARK(BM_SortByLocationKiller100kPublic)->Unit(benchmark::kMillisecond)->Iterations(5);

// The sort phase of a run on the sort adversary's 999999 Kindle entries or
// 1000000 .dkx entries, in each of its shapes, and on the same locations in
// a random order, timed in turn on one table. "ratio" is adversarial /
// random; the target is at most 2.
void SetSortInput(std::span<ClipEntry> table, const std::vector<std::int32_t>& locations)
{
    for (std::size_t s = 1; s <= locations.size(); ++s) {
        table[s].book = 1;
        table[s].location = locations[s - 1];
    }
}

void BM_SortPhaseAdversaryVsRandom(benchmark::State& state, bench::SortInputFormat format, test::KillerShape shape)
{
    const bool kindle = format == bench::SortInputFormat::kindle;
    const std::int32_t n = kindle ? kSortableEntries : kEntries;
    const std::vector<std::int32_t> adversarial = bench::SortAdversaryLocations(n, format, false, 1, shape);
    const std::vector<std::int32_t> random = bench::SortAdversaryLocations(n, format, true, 1, shape);
    ClipStore store = MakeKindleStore(n);
    auto sortPhase = [&](const std::vector<std::int32_t>& locations) {
        SetSortInput(store.entrySlots(), locations);
        const auto start = std::chrono::steady_clock::now();
        if (kindle) {
            SortByBookThenLocation(store);
        } else {
            SortByLocation(store.entrySlots(), 1, n);
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double randomSeconds = 0;
    double adversarialSeconds = 0;
    for (auto _ : state) {
        randomSeconds += sortPhase(random);
        adversarialSeconds += sortPhase(adversarial);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["random_ms"] = 1000 * randomSeconds / runs;
    state.counters["adversarial_ms"] = 1000 * adversarialSeconds / runs;
    state.counters["ratio"] = adversarialSeconds / randomSeconds;
}
BENCHMARK_CAPTURE(BM_SortPhaseAdversaryVsRandom, kindle, bench::SortInputFormat::kindle, test::KillerShape::lopsided)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_SortPhaseAdversaryVsRandom, dkx, bench::SortInputFormat::dkx, test::KillerShape::lopsided)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_SortPhaseAdversaryVsRandom, dkx_spent_then_random, bench::SortInputFormat::dkx,
                  test::KillerShape::spentThenRandom)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace quillery
