// The sort adversary must be what it claims: read back through the readers,
// its locations make the quick phase's steps quadratic on the range the run
// sorts by location, and the random order does not.
#include "tools/sort_adversary.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/entry_sort_detail.h"
#include "extract/kindle_reader.h"
#include "support/temp_dir.h"
#include "tests/read_back_front_end.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

namespace quillery::bench {
namespace {

TEST(SortAdversary, ReadBackItMakesTheLocationSortQuadraticAndTheRandomOrderDoesNot)
{
    constexpr std::int32_t n = 4000;
    const struct {
        const char* name;
        SortInputFormat format;
        bool random;
    } cases[] = {
        {"kindle", SortInputFormat::kindle, false},
        {"dkx", SortInputFormat::dkx, false},
        {"kindle random", SortInputFormat::kindle, true},
        {"dkx random", SortInputFormat::dkx, true},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::int32_t> locations = SortAdversaryLocations(n, c.format, c.random, 5);
        std::vector<std::int32_t> distinct = locations;
        std::sort(distinct.begin(), distinct.end());
        EXPECT_EQ(std::unique(distinct.begin(), distinct.end()) - distinct.begin(), n - 1) << "one repeated location";
        const auto file = dir.path() / (std::string(c.name) + (c.format == SortInputFormat::dkx ? ".dkx" : ".txt"));
        {
            std::ofstream out(file, std::ios::binary);
            WriteSortInput(out, locations, c.format);
        }
        ClipStore store;
        ReadBackFrontEnd frontEnd;
        if (c.format == SortInputFormat::dkx) {
            ReadDkx(ReadBackFrontEnd::Request(FromUtf8(file.string())), store, frontEnd);
        } else {
            ReadKindleClippings(ReadBackFrontEnd::Request(FromUtf8(file.string())), store, frontEnd);
        }
        ASSERT_EQ(store.entryCount(), n);
        ASSERT_EQ(store.bookCount(), 1);
        for (std::int32_t s = 1; s <= n; ++s) {
            ASSERT_EQ(store.entry(s).location, locations[static_cast<std::size_t>(s) - 1]) << "entry " << s;
        }
        // The sort phase's steps throughout: a Kindle run sorts by book first.
        const std::span<ClipEntry> table = store.entrySlots();
        if (c.format == SortInputFormat::kindle) {
            detail::SortWithin(table, 1, n, &ClipEntry::book, detail::kUnlimitedBudget);
        }
        const detail::SortStats stats = detail::SortWithin(table, 1, n, &ClipEntry::location, detail::kUnlimitedBudget);
        if (c.random) {
            EXPECT_LT(stats.comparisons, 4 * n * 12);
        } else {
            EXPECT_GT(stats.comparisons, std::int64_t{n} * n / 5);
        }
    }
}

} // namespace
} // namespace quillery::bench
