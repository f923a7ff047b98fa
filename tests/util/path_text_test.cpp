#include "util/path_text.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(PathText, Utf8RoundTrip)
{
    const std::u16string text = u"Caf\u00e9 \u4e2d \U0001F600/x";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(FromFsPath(ToFsPath(text)), text);
}

TEST(PathText, MalformedInputBecomesReplacementCharacters)
{
    const struct {
        std::string utf8;
        std::u16string expected;
    } cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\xC3", u"\uFFFD"},              // cut-off sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},    // overlong form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(FromUtf8(c.utf8), c.expected);
    }
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

} // namespace
} // namespace quillery
