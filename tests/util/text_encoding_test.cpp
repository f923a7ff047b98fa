#include "util/text_encoding.h"

#include "util/path_text.h"

#include <gtest/gtest.h>

#include <random>

namespace quillery {
namespace {

TEST(TextEncoding, Utf8ReadsValidSequencesAndEachOtherByteAsWindows1252)
{
    const struct {
        const char* what;
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"ASCII", "abc", u"abc"},
        {"two, three and four bytes", "\xC3\xA9\xE2\x80\xA6\xF0\x9F\x93\x96", u"\u00E9\u2026\U0001F4D6"},
        {"a Windows-1252 byte", "caf\xE9 \x85", u"caf\u00E9 \u2026"},
        {"an undefined byte", "\x81\x9D", u"\u0081\u009D"},
        {"a cut sequence at the end", "a\xE2\x80", u"a\u00E2\u20AC"},
        {"a lead byte before ASCII",
         "\xC3"
         "A",
         u"\u00C3"
         "A"},
        {"an overlong slash", "\xC0\xAF", u"\u00C0\u00AF"},
        {"a surrogate", "\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},
        {"a lone continuation, then a valid one", "\x80\xC3\xA9", u"\u20AC\u00E9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DecodeText(c.bytes, TextEncoding::utf8), c.expected);
    }
}

TEST(TextEncoding, EachEncodingRoundTripsItsText)
{
    const std::u16string text = u"\u2026Voil\u00E0 \u201Cquoted\u201D \u4E2D\u6587 \U0001F4D6";
    std::string utf8;
    AppendEncodedText(utf8, text, TextEncoding::utf8);
    EXPECT_EQ(utf8,
              "\xE2\x80\xA6Voil\xC3\xA0 \xE2\x80\x9Cquoted\xE2\x80\x9D \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x93\x96");
    EXPECT_EQ(DecodeText(utf8, TextEncoding::utf8), text);
    std::string ansi;
    AppendEncodedText(ansi, u"\u2026Voil\u00E0", TextEncoding::windows1252);
    EXPECT_EQ(ansi, "\x85Voil\xE0");
    EXPECT_EQ(DecodeText(ansi, TextEncoding::windows1252), u"\u2026Voil\u00E0");
}

TEST(TextEncoding, NamesAreExact)
{
    EXPECT_EQ(EncodingNamed("utf-8"), TextEncoding::utf8);
    EXPECT_EQ(EncodingNamed("windows-1252"), TextEncoding::windows1252);
    EXPECT_EQ(EncodingNamed("UTF-8"), std::nullopt);
    EXPECT_EQ(EncodingNamed(""), std::nullopt);
    EXPECT_EQ(EncodingName(TextEncoding::windows1252), "windows-1252");
}

// The bytes kept for a UTF-8 run must read back as the characters the
// reading gives, and valid input must come back as it stands.
TEST(TextEncoding, KeptUtf8IsTheUtf8OfWhatIsRead)
{
    const char alphabet[] = {'a',    '\x80', '\x85', '\xBF', '\xC0', '\xC2', '\xC3', '\xA9', '\xE2',
                             '\xED', '\xA0', '\xF0', '\xF4', '\x90', '\x9F', '\xFF', '\x81'};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
    std::uniform_int_distribution<int> length(0, 24);
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (int n = length(random); n > 0; --n) {
            bytes += alphabet[pick(random)];
        }
        std::string keptScratch;
        const std::string kept(KeptText(bytes, TextEncoding::utf8, keptScratch));
        const std::string expected = ToUtf8(DecodeText(bytes, TextEncoding::utf8));
        ASSERT_EQ(kept, expected) << "round " << round;
        ASSERT_EQ(IsValidUtf8(bytes), kept == bytes) << "round " << round;
        std::string scratch;
        ASSERT_EQ(KeptText(bytes, TextEncoding::utf8, scratch), expected);
        ASSERT_EQ(KeptText(bytes, TextEncoding::windows1252, scratch), bytes);
    }
}

} // namespace
} // namespace quillery
