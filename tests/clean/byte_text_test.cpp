#include "clean/byte_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillery {
namespace {

TEST(StripBlankEnds, RemovesSpacesTabsCrAndLfAtTheEndsOnly)
{
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"plain", "plain"},
        {" \t\r\nboth ends\r\n", "both ends"},
        {"inner \t blanks", "inner \t blanks"},
        {"\r\n \t", ""},
        {"", ""},
        {"\xa0nbsp\xa0", "\xa0nbsp\xa0"},
        {"\vform\f", "\vform\f"},
        {"x\n", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StripBlankEnds(c.text), c.expected);
    }
}

TEST(ByteSearch, FindsABytesStringAnywhereInAnother)
{
    const struct {
        std::string haystack;
        std::string needle;
        bool expected;
    } cases[] = {
        {"the quick fox", "quick", true},
        {"the quick fox", "the", true},
        {"the quick fox", "fox", true},
        {"the quick fox", "the quick fox", true},
        {"the quick fox", "", true},
        {"", "", true},
        {"", "a", false},
        {"quick", "the quick", false},
        {"the quick fox", "Quick", false},
        // A partial match that must fall back to its border, not restart.
        {"aabaabaaab", "aabaaab", true},
        {"abababac", "ababac", true},
        {"abababab", "ababac", false},
        {"aaaaaaab", "aab", true},
        {"aaaaaaaa", "aab", false},
        {std::string("a\0b", 3), std::string("\0b", 2), true},
        {"caf\xc3\xa9 au lait", "\xc3\xa9 au", true},
        {"caf\xe9 au lait", "\xc3\xa9", false},
    };
    ByteSearch search;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.haystack + " / " + c.needle);
        EXPECT_EQ(search.Contains(c.haystack, c.needle), c.expected);
    }
}

// The texts a plain search spends length times length on; a linear one
// passes through them at once.
TEST(ByteSearch, PeriodicTextsOfAMegabyte)
{
    const std::string haystack(1 << 20, 'a');
    ByteSearch search;
    EXPECT_FALSE(search.Contains(haystack, std::string(1 << 19, 'a') + "b"));
    EXPECT_TRUE(search.Contains(haystack + "b", std::string(1 << 19, 'a') + "b"));
}

} // namespace
} // namespace quillery
