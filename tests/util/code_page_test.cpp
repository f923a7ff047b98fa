#include "util/code_page.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

TEST(CodePage, DecodesTheWindows1252Row)
{
    const struct {
        unsigned char byte;
        char16_t expected;
    } cases[] = {
        {0x41, u'A'},
        {0x80, 0x20AC},
        {0x85, 0x2026},
        {0x93, 0x201C},
        {0x94, 0x201D},
        {0x99, 0x2122},
        {0x9C, 0x0153},
        {0x9F, 0x0178},
        {0xA0, 0x00A0},
        {0xC3, 0x00C3},
        {0xE9, 0x00E9},
        {0xFF, 0x00FF},
        // The five bytes the code page leaves undefined read as the same number.
        {0x81, 0x0081},
        {0x8D, 0x008D},
        {0x8F, 0x008F},
        {0x90, 0x0090},
        {0x9D, 0x009D},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(Windows1252ToChar(c.byte), c.expected);
    }
}

TEST(CodePage, EveryByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    const std::u16string text = DecodeWindows1252(all);
    ASSERT_EQ(text.size(), 256U);
    EXPECT_EQ(EncodeWindows1252(text), all);
}

TEST(CodePage, UtfEightReadsAsItsBytes)
{
    // "é" and "…" in UTF-8 arrive as two and three characters.
    EXPECT_EQ(DecodeWindows1252("\xC3\xA9\xE2\x80\xA6"), (std::u16string{0xC3, 0xA9, 0xE2, 0x20AC, 0xA6}));
}

TEST(CodePage, CharactersOutsideThePageBecomeQuestionMarks)
{
    EXPECT_EQ(EncodeWindows1252(u"a\u4e2db\u2026"), "a?b\x85");
}

TEST(CodePage, AppendKeepsWhatIsThere)
{
    std::u16string text = u"x";
    AppendDecodedWindows1252(text, "\x80");
    EXPECT_EQ(text, (std::u16string{u'x', 0x20AC}));
    std::string bytes = "y";
    AppendEncodedWindows1252(bytes, u"\u20ac");
    EXPECT_EQ(bytes, "y\x80");
}

} // namespace
} // namespace quillery
