// The book text formatter over a sorted store of 100000 entries in 1000
// books: every book's text once per iteration, with "fix ANSI" on (the
// default), off (to show the repair's share) and with locations kept.
#include "bench_support.h"

#include "output/ansi_repair.h"
#include "output/book_text.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace quillery::bench {
namespace {

// Each book's entry slots in table order, as the page writer hands them over.
std::vector<std::vector<std::int32_t>> SlotsByBook(const ClipStore& store)
{
    std::vector<std::vector<std::int32_t>> slots(static_cast<std::size_t>(store.bookCount()) + 1);
    for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
        slots.at(static_cast<std::size_t>(store.entry(i).book)).push_back(i);
    }
    return slots;
}

void BM_FormatBookText(benchmark::State& state, bool fixAnsi, bool keepLocations)
{
    const ClipStore& store = BenchStore();
    const auto slots = SlotsByBook(store);
    ExtractOptions options;
    options.fixANSI = fixAnsi;
    options.keeplocs = keepLocations;
    BenchFrontEnd frontEnd(options);
    std::int64_t bytes = 0;
    std::string text;
    for (auto _ : state) {
        for (std::int32_t b = 1; b <= store.bookCount(); ++b) {
            text.clear();
            AppendBookText(text, store, slots[static_cast<std::size_t>(b)], TextEncoding::windows1252, frontEnd);
            bytes += static_cast<std::int64_t>(text.size());
            benchmark::DoNotOptimize(text.data());
        }
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * store.entryCount());
}
BENCHMARK_CAPTURE(BM_FormatBookText, fixAnsi, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatBookText, noRepair, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FormatBookText, fixAnsiKeepLocations, true, true)->Unit(benchmark::kMillisecond);

// The repair alone, over every entry's text in turn.
void BM_RepairAnsi(benchmark::State& state)
{
    const ClipStore& store = BenchStore();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
            const std::string_view text = store.Text(store.entry(i));
            benchmark::DoNotOptimize(RepairAnsi(text, TextEncoding::windows1252).data());
            bytes += static_cast<std::int64_t>(text.size());
        }
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_RepairAnsi)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillery::bench
