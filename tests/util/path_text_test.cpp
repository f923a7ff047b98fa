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

TEST(PathText, InvalidBytesBecomeEscapes_andTurnBackIntoTheSameBytes)
{
    const struct {
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"x-\xE9.txt", u"x-\xDCE9.txt"}, // a Latin-1 file name
        {"a\xFF"
         "b",
         u"a\xDCFF"
         u"b"},
        {"\xC3", u"\xDCC3"},                     // cut-off sequence
        {"\xC0\xAF", u"\xDCC0\xDCAF"},           // overlong form
        {"\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"}, // encoded surrogate
        {"\xC3\xA9\xE9", u"\u00E9\xDCE9"},       // valid and invalid side by side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FromUtf8(c.bytes), c.expected);
        EXPECT_EQ(ToUtf8(c.expected), c.bytes);
#ifdef _WIN32
        // A Windows name is 16-bit units: a path keeps them as they are.
        EXPECT_EQ(ToFsPath(c.expected).native(), std::wstring(c.expected.begin(), c.expected.end()));
        EXPECT_EQ(FromFsPath(ToFsPath(c.expected)), c.expected);
#else
        EXPECT_EQ(ToFsPath(c.expected).native(), c.bytes);
        EXPECT_EQ(FromFsPath(std::filesystem::path(c.bytes)), c.expected);
#endif
    }
    // Lone surrogates that are no escape have no bytes to stand for.
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800})), "\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xDC7F})), "\xEF\xBF\xBD");
}

} // namespace
} // namespace quillery
