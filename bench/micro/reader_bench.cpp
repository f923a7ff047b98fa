// The Kindle reader on a generated file of 100000 entries over 1000 books,
// with the window's initial options and with every kind kept.
#include "bench_support.h"

#include "extract/kindle_reader.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace quillery::bench {
namespace {

void BM_ReadKindleClippings(benchmark::State& state, bool allKinds)
{
    const BenchInput& input = BenchInput::Get();
    ExtractOptions options;
    options.bookmarks = allKinds;
    BenchFrontEnd frontEnd(options, input.path());
    for (auto _ : state) {
        auto store = std::make_unique<ClipStore>();
        ReadKindleClippings(frontEnd.request(), *store, frontEnd);
        benchmark::DoNotOptimize(store->entryCount());
        // Freeing 100000 texts is no part of reading.
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.bytes()));
    state.SetItemsProcessed(state.iterations() * kBenchShape.entries);
}
BENCHMARK_CAPTURE(BM_ReadKindleClippings, defaults, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadKindleClippings, allKinds, true)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quillery::bench
