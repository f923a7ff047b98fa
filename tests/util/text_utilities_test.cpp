#include "util/in_str_rev.h"
#include "util/str_replace.h"
#include "util/sys_safe_chars.h"
#include "util/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace quillery {
namespace {

TEST(InStrRev, FindsTheRightmostOccurrence)
{
    const struct {
        std::u16string stringa;
        std::u16string cerca;
        std::int32_t expected;
    } cases[] = {
        {u"a.b.c", u".", 4}, {u"abc", u".", 0}, {u"", u".", 0},     {u"xAx", u"a", 0}, {u"aaa", u"aa", 2},
        {u"abc", u"", 4},    {u"", u"", 1},     {u"ab", u"abc", 0}, {u"a", u"abc", 0}, {u"\"a\"", u"\"", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stringa.begin(), c.stringa.end()) + " / " +
                     std::string(c.cerca.begin(), c.cerca.end()));
        EXPECT_EQ(InStrRev(c.stringa, c.cerca), c.expected);
    }
}

TEST(SysSafeChars, ReplacesWhatNoFileNameCanHold)
{
    const struct {
        std::u16string d;
        std::u16string expected;
    } cases[] = {
        {u"a/b\\c", u"a_b_c"},
        {u"What? <Me>", u"What_ _Me_"},
        {u"Caf\u00e9: a story", u"Caf__ a story"},
        {u"  Title  ", u"Title"},
        {u"    ", u""},
        {u"~", u"~"},
#ifdef _WIN32
        {u"a\tb", u"a_b"}, // no Windows name holds a control character
#else
        {u"a\tb", u"a\tb"},
#endif
        {u"\x7f", u"_"},
        {u"", u""},
        {u"*\"|", u"___"},
        {std::u16string(u"a\0b", 3), u"a_b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.d.begin(), c.d.end()));
        EXPECT_EQ(SysSafeChars(c.d), c.expected);
    }
}

TEST(SysSafeChars, LongTitlesAreCutAndTrimmedAgain)
{
    EXPECT_EQ(SysSafeChars(std::u16string(300, u'x')), std::u16string(kMaxSafeNameLength, u'x'));
    // The cut falls just after a blank: the blanks at the new end go too.
    const std::u16string title = std::u16string(198, u'y') + u"   tail";
    EXPECT_EQ(SysSafeChars(title), std::u16string(198, u'y'));
}

TEST(SysSafeChars, Utf8KeepsLettersInAnyScript)
{
    const struct {
        std::u16string d;
        std::u16string expected;
    } cases[] = {
        {u"Caf\u00e9: a story", u"Caf\u00e9_ a story"},
        {u"\u4e09\u4f53 (\u5218\u6148\u6b23)", u"\u4e09\u4f53 (\u5218\u6148\u6b23)"},
        {u"Keeper\u2019s \U0001F4D6 Book", u"Keeper\u2019s \U0001F4D6 Book"},
        {u"a/b\\c*?\"<>|", u"a_b_c______"},
        {u"tab\there\x7f\u0085", u"tab_here__"},
        {u"  Title.  ", u"Title_"},
        {u"Title\u3000", u"Title_"},
        {u"..", u"._"},
        {std::u16string{u'a', 0xD800, u'b', 0xDC00}, u"a_b_"},
        {u"    ", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::vector<int>(c.d.begin(), c.d.end())));
        EXPECT_EQ(SysSafeChars(c.d, TextEncoding::utf8), c.expected);
    }
}

TEST(SysSafeChars, Utf8NamesAreCutBetweenCharactersWithinTheByteLimit)
{
    const struct {
        std::u16string d;
        std::u16string expected;
    } cases[] = {
        {std::u16string(300, u'x'), std::u16string(kMaxSafeNameLength, u'x')},
        // Three bytes each: 80 of them make the 240 bytes.
        {std::u16string(100, u'\u4e2d'), std::u16string(kMaxSafeNameBytes / 3, u'\u4e2d')},
        // A pair that would straddle the limit goes whole.
        {u"x" + std::u16string(120, u'\u00e9') + u"\U0001F4D6", u"x" + std::u16string(119, u'\u00e9')},
        {std::u16string(199, u'y') + u"\U0001F4D6", std::u16string(199, u'y')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.d.size());
        EXPECT_EQ(SysSafeChars(c.d, TextEncoding::utf8), c.expected);
    }
    EXPECT_EQ(SysSafeChars(u"x\u00e9", TextEncoding::windows1252), u"x_");
}

TEST(StrReplace, ReplacesEveryOccurrenceInEitherCase)
{
    const struct {
        std::u16string source;
        std::u16string find;
        std::u16string replacement;
        std::u16string expected;
    } cases[] = {
        {u"Banana", u"a", u"o", u"Bonono"},
        {u"Banana", u"A", u"o", u"Bonono"},
        {u"x\u00e2y\u00c2z", u"\u00c2", u"", u"xyz"},
        {u"", u"a", u"b", u""},
        {u"ab", u"abc", u"x", u"ab"},
        {u"abc", u"", u"x", u"abc"},
        {u"a|b|c", u"|", std::u16string(1, u'\0'), std::u16string(u"a\0b\0c", 5)},
        // Text formed by a replacement is searched again, as a restart at the first character would.
        {u"aabb", u"ab", u"a", u"aa"},
        {u"\u0153\u0152", u"\u0152", u"x", u"xx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.source.begin(), c.source.end()));
        EXPECT_EQ(StrReplace(c.source, c.find, c.replacement), c.expected);
    }
}

// The steps exactly as stated: find from the start, rebuild, search again from the start.
std::u16string RestartingReplace(std::u16string copy, std::u16string_view find, std::u16string_view replacement)
{
    auto position = [&] {
        for (std::size_t p = 0; p + find.size() <= copy.size(); ++p) {
            bool same = true;
            for (std::size_t k = 0; k < find.size() && same; ++k) {
                same = copy[p + k] == find[k] || FoldCase(copy[p + k]) == find[k];
            }
            if (same) {
                return p;
            }
        }
        return std::u16string::npos;
    };
    for (auto p = position(); p != std::u16string::npos; p = position()) {
        copy = copy.substr(0, p) + std::u16string(replacement) + copy.substr(p + find.size());
    }
    return copy;
}

TEST(StrReplace, AgreesWithRestartingSearchOnRandomText)
{
    std::mt19937 random(7);
    const std::u16string alphabet = u"aAbB";
    auto pick = [&](std::size_t length) {
        std::u16string s;
        for (std::size_t i = 0; i < length; ++i) {
            s.push_back(alphabet[random() % alphabet.size()]);
        }
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::u16string source = pick(random() % 12);
        const std::u16string find = pick(1 + random() % 3);
        std::u16string replacement = pick(random() % 3);
        if (RestartingReplace(replacement, find, u"") != replacement) {
            continue; // pairs whose replacement holds `find` never terminate
        }
        SCOPED_TRACE(std::string(source.begin(), source.end()) + " " + std::string(find.begin(), find.end()));
        EXPECT_EQ(StrReplace(source, find, replacement), RestartingReplace(source, find, replacement));
    }
}

TEST(TextUtilities, DecimalAndBlanks)
{
    EXPECT_EQ(ToDecimal(0), u"0");
    EXPECT_EQ(ToDecimal(-42), u"-42");
    EXPECT_EQ(ToDecimal(std::numeric_limits<std::int32_t>::min()), u"-2147483648");
    EXPECT_EQ(ToDecimal(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(TrimBlanks(u"  a b \t "), u"a b \t");
    EXPECT_EQ(TrimBlanks(u"   "), u"");
    EXPECT_EQ(FoldCase(u'\u00e2'), u'\u00c2');
    EXPECT_EQ(FoldCase(u'\u00d7'), u'\u00d7');
    EXPECT_EQ(FoldCase(u'\u0178'), u'\u00ff');
}

} // namespace
} // namespace quillery
