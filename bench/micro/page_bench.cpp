// The page writer: the whole "My Clippings" folder (all.htm and one file per
// book) for a sorted store of 100000 entries in 1000 books, written into a
// fresh folder every iteration. The folders are removed only after the last
// iteration, since creating files right after deleting many is slow on some
// file systems.
#include "bench_support.h"

#include "output/save_clippings.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace quillery::bench {
namespace {

void BM_SaveClippings(benchmark::State& state)
{
    const ClipStore& store = BenchStore();
    BenchFrontEnd frontEnd;
    BenchFolder work("quillery-bench-pages-");
    std::int64_t bytes = 0;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::filesystem::path base = work.path() / std::to_string(++run);
        std::filesystem::create_directory(base);
        state.ResumeTiming();
        const std::u16string written = SaveClippings(store, frontEnd.request(FromFsPath(base)), frontEnd);
        state.PauseTiming();
        for (const auto& file : std::filesystem::directory_iterator(ToFsPath(written))) {
            bytes += static_cast<std::int64_t>(file.file_size());
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bytes);
    state.counters["files"] = store.bookCount() + 1;
}
BENCHMARK(BM_SaveClippings)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
} // namespace quillery::bench
