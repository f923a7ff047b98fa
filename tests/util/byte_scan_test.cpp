#include "util/byte_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery {
namespace {

// Each search is tried with its every target byte at every position of texts
// of 0..39 bytes (so in every lane of a block and in the tail), the other
// bytes being near misses that differ from a target in one bit.
TEST(ByteScan, FindsTheFirstTargetInEveryLaneAndNoNearMiss)
{
    const struct {
        const char* name;
        std::size_t (*find)(std::string_view, std::size_t);
        std::string targets;
        std::string nearMisses;
    } cases[] = {
        {"html", FindHtmlSpecial, "&<>", "'=?.\x26\x01|\xBC\xBE\x24"},
        {"repair", FindRepairStart, "\xC2\xC3\xE2\xE3", "\xC0\xC1\xD2\xF3\xE6\xC6\x42\x63\x82"},
        {"line end", FindLineEnd, "\r\n", "\x0C\x0F\x09\x1D\x8D\x0B\x08\x0E\x1A\x8A"},
        {"non-ASCII", FindNonAscii, "\x80\xC3\xFF", "\x7F\x01\x43\x3F"},
        {"xml markup", FindXmlMarkup, "&<", "'=>.\x26\x3D\x34\x06\xA6\xBC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string misses = c.nearMisses;
        std::erase_if(misses, [&](char m) { return c.targets.find(m) != std::string::npos; });
        for (std::size_t size = 0; size < 40; ++size) {
            std::string text(size, ' ');
            for (std::size_t i = 0; i < size; ++i) {
                text[i] = misses[i % misses.size()];
            }
            EXPECT_EQ(c.find(text, 0), size) << "size " << size;
            for (std::size_t at = 0; at < size; ++at) {
                for (const char target : c.targets) {
                    std::string marked = text;
                    marked[at] = target;
                    marked[size - 1] = target;
                    ASSERT_EQ(c.find(marked, 0), at) << "size " << size << ", at " << at;
                    ASSERT_EQ(c.find(marked, at + 1), at + 1 < size ? size - 1 : size);
                }
            }
        }
    }
}

// Each needle is placed at every position of texts of 0..47 bytes made of
// near misses (its first byte without its last at the right distance, and
// the reverse), and found from every start, as std::string_view::find finds it.
TEST(ByteScan, FindBytesFindsWhatFindFinds)
{
    const struct {
        std::string needle;
        std::string nearMisses;
    } cases[] = {
        {"<a>", "<b>x<a-<a<"}, {"</BookContent>", "</BookContent)</Book<</BookContent"},
        {"ab", "aabbba"},      {"aa", "abab"},
        {"aaa", "aabaa"},      {"x", "yxz"},
        {"", "abc"},           {std::string("\0\xFF", 2), std::string("\0\0\xFE\xFF", 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.needle);
        for (std::size_t size = 0; size < 48; ++size) {
            std::string text(size, ' ');
            for (std::size_t i = 0; i < size; ++i) {
                text[i] = c.nearMisses[i % c.nearMisses.size()];
            }
            for (std::size_t at = 0; at <= size; ++at) {
                std::string placed = text;
                placed.replace(at, c.needle.size(), c.needle);
                placed.resize(size);
                for (std::size_t from = 0; from <= size + 1; ++from) {
                    ASSERT_EQ(FindBytes(placed, c.needle, from), std::string_view(placed).find(c.needle, from))
                        << "size " << size << ", at " << at << ", from " << from;
                }
            }
        }
    }
}

} // namespace
} // namespace quillery
