// The benchmark inputs must be what the table says they are: the right
// number of entries and books in the device's format, the same bytes for the
// same seed, and drawn ranges that stay in bounds.
#include "tools/clippings_generator.h"
#include "tools/random_text.h"

#include "extract/clip_store.h"
#include "extract/kindle_reader.h"
#include "support/temp_dir.h"
#include "tests/read_back_front_end.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace quillery::bench {
namespace {

std::string Generate(const ClippingsShape& shape)
{
    std::ostringstream out;
    ClippingsGenerator(shape).Write(out);
    return out.str();
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", from)) {
        lines.push_back(bytes.substr(from, at - from));
        from = at + 2;
    }
    lines.push_back(bytes.substr(from));
    return lines;
}

TEST(RandomText, drawsStayInBoundsAndReachBothEnds)
{
    struct Case {
        std::int64_t lo, hi;
    };
    const Case cases[] = {{0, 0}, {1, 2}, {-3, 3}, {10, 240}, {0, INT64_MAX - 1}};
    RandomText random(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + ".." + std::to_string(c.hi));
        std::int64_t least = c.hi;
        std::int64_t most = c.lo;
        for (int i = 0; i < 20000; ++i) {
            const std::int64_t v = random.Between(c.lo, c.hi);
            ASSERT_GE(v, c.lo);
            ASSERT_LE(v, c.hi);
            least = std::min(least, v);
            most = std::max(most, v);
        }
        if (c.hi - c.lo < 1000) {
            EXPECT_EQ(least, c.lo);
            EXPECT_EQ(most, c.hi);
        }
    }
}

TEST(RandomText, sameSeedSameNumbers)
{
    RandomText a(42);
    RandomText b(42);
    RandomText c(43);
    int differ = 0;
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t x = a.Below(1000003);
        EXPECT_EQ(x, b.Below(1000003));
        differ += x != c.Below(1000003) ? 1 : 0;
    }
    EXPECT_GT(differ, 90);
}

TEST(RangeEnd, writesTheDifferingDigitsAsTheDeviceDoes)
{
    struct Case {
        std::int64_t start, end;
        const char* text;
    };
    const Case cases[] = {
        {1234, 1238, "38"}, {5444, 5445, "45"}, {1299, 1301, "301"}, {6672, 6673, "73"},
        {99, 101, "101"},   {5, 7, "7"},        {12, 13, "13"},      {1000, 1024, "24"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + "-" + std::to_string(c.end));
        EXPECT_EQ(RangeEnd(c.start, c.end), c.text);
    }
}

TEST(ClippingsGenerator, sameSeedSameBytesOtherSeedOtherBytes)
{
    EXPECT_EQ(Generate({500, 20, 9}), Generate({500, 20, 9}));
    EXPECT_NE(Generate({500, 20, 9}), Generate({500, 20, 10}));
}

TEST(ClippingsGenerator, everyEntryHasTheDeviceLayout)
{
    const std::string bytes = Generate({3000, 40, 3});
    ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            ASSERT_EQ(bytes.compare(bytes[i] == '\n' ? i - 1 : i, 2, "\r\n"), 0) << "bare line end at byte " << i;
        }
    }
    const std::vector<std::string> lines = Lines(bytes.substr(3));
    ASSERT_EQ(lines.size(), 3000u * 5 + 1);
    EXPECT_EQ(lines.back(), "");
    const std::regex meta(R"(- (Highlight|Note|Bookmark) Loc\. [1-9][0-9]*(-[0-9]+)? \| Added on )"
                          R"((Mon|Tues|Wednes|Thurs|Fri|Satur|Sun)day, [A-Z][a-z]+ [1-9][0-9]?, 20[0-9][0-9], )"
                          R"((0[1-9]|1[0-2]):[0-5][0-9] [AP]M)");
    std::map<std::string, int> kinds;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 5) {
        SCOPED_TRACE("entry at line " + std::to_string(i + 1));
        ASSERT_TRUE(std::regex_match(lines[i + 1], meta)) << lines[i + 1];
        const std::string kind = lines[i + 1].substr(2, lines[i + 1].find(' ', 2) - 2);
        ++kinds[kind];
        EXPECT_EQ(lines[i + 2], "");
        EXPECT_EQ(lines[i + 3].empty(), kind == "Bookmark");
        EXPECT_EQ(lines[i + 4], "==========");
    }
    EXPECT_NEAR(kinds["Highlight"], 2400, 120);
    EXPECT_NEAR(kinds["Note"], 450, 90);
    EXPECT_NEAR(kinds["Bookmark"], 150, 50);
    EXPECT_EQ(lines[1].substr(lines[1].find("Added on ")),
              "Added on Saturday, January 1, 2000, " + lines[1].substr(lines[1].size() - 8));
}

TEST(ClippingsGenerator, newerFormWritesTheSameEntriesWithTheNewerMetaLines)
{
    const ClippingsShape older{3000, 40, 3, MetaForm::older};
    ClippingsShape newer = older;
    newer.form = MetaForm::newer;
    const std::string newerBytes = Generate(newer);
    ASSERT_EQ(newerBytes.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> a = Lines(Generate(older).substr(3));
    const std::vector<std::string> b = Lines(newerBytes.substr(3));
    ASSERT_EQ(a.size(), b.size());
    // kind, location, range end as written, date without the seconds, AM/PM
    const std::regex olderMeta(R"(- (\w+) Loc\. (\d+)(?:-(\d+))? \| Added on (.+), (\d\d?:\d\d) ([AP]M))");
    const std::regex newerMeta(
        R"(- Your (Highlight|Note|Bookmark) on page [1-9]\d* \| Location ([1-9]\d*)(?:-(\d+))? )"
        R"(\| Added on (\w+day, [A-Z][a-z]+ [1-9]\d?, 20\d\d) ((?:1[0-2]|[1-9]):[0-5]\d):[0-5]\d ([AP]M))");
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (i % 5 != 1) {
            ASSERT_EQ(a[i], b[i]) << "line " << i + 1;
            continue;
        }
        std::smatch was;
        std::smatch is;
        ASSERT_TRUE(std::regex_match(a[i], was, olderMeta)) << a[i];
        ASSERT_TRUE(std::regex_match(b[i], is, newerMeta)) << b[i];
        EXPECT_EQ(is[1], was[1]) << b[i];
        EXPECT_EQ(is[2], was[2]) << b[i];
        ASSERT_EQ(is[3].matched, was[3].matched) << b[i];
        if (is[3].matched) {
            const std::int64_t start = std::stoll(is[2]);
            const std::int64_t end = std::stoll(is[3]);
            EXPECT_GT(end, start) << b[i];
            EXPECT_EQ(RangeEnd(start, end), was[3].str()) << b[i];
        }
        const std::string olderTime = std::string(was[5]).substr(was[5].str()[0] == '0' ? 1 : 0);
        EXPECT_EQ(is[4].str() + " " + is[5].str() + " " + is[6].str(),
                  was[4].str() + " " + olderTime + " " + was[6].str());
    }
}

TEST(ClippingsGenerator, readsBackAsTheAskedEntriesAndBooks)
{
    struct Case {
        ClippingsShape shape;
    };
    const Case cases[] = {{{1, 1, 1}}, {{2000, 100, 2}}, {{20000, 1000, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.shape.entries) + " entries");
        const test::TempDir dir;
        const auto file = dir.Write("My Clippings.txt", Generate(c.shape));
        ClipStore store;
        ReadBackFrontEnd frontEnd;
        ReadKindleClippings(ReadBackFrontEnd::Request(FromFsPath(file)), store, frontEnd);
        EXPECT_EQ(store.entryCount(), c.shape.entries);
        EXPECT_EQ(store.bookCount(), c.shape.books);

        std::int64_t chars = 0;
        std::int64_t longest = 0;
        std::int32_t texts = 0;
        std::map<std::pair<std::int32_t, std::int32_t>, int> places;
        for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
            const ClipEntry& entry = store.entry(i);
            ++places[{entry.book, entry.location}];
            if (entry.kind != 'b') {
                const std::int64_t n = RandomText::CodePoints(store.Text(entry));
                chars += n;
                longest = std::max(longest, n);
                ++texts;
            }
        }
        if (c.shape.entries >= 20000) {
            EXPECT_NEAR(static_cast<double>(chars) / texts, 131, 10);
            EXPECT_GE(longest, 900);
            EXPECT_LE(longest, 1010);
            EXPECT_LT(places.size(), static_cast<std::size_t>(store.entryCount() * 9 / 10)); // ties
        }
    }
}

} // namespace
} // namespace quillery::bench
