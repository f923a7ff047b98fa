#include "output/book_text.h"

#include "util/code_page.h"
#include "util/str_replace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

namespace quillery {
namespace {

// The repair works on Windows-1252 bytes; these tests speak in characters.
std::u16string Repaired(const std::u16string& text)
{
    return DecodeWindows1252(RepairAnsi(EncodeWindows1252(text)));
}

std::string Show(const std::u16string& text)
{
    std::string shown;
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char code[12];
            std::snprintf(code, sizeof code, "<%04X>", static_cast<unsigned>(c));
            shown += code;
        }
    }
    return shown;
}

// The eleven steps as eleven whole-text replacements, in their order.
std::u16string RepairStepByStep(std::u16string text)
{
    static const struct {
        std::u16string find;
        std::u16string replacement;
    } steps[] = {
        {u"\u00E2\u20AC\u009D", u"\""}, {u"\u00E2\u20AC\u0153", u"\""}, {u"\u00E2\u20AC\u201D", u"-"},
        {u"\u00E2\u20AC\u2122", u"'"},  {u"\u00C3\u00AC", u"\u00EC"},   {u"\u00C3\u00A0", u"\u00E0"},
        {u"\u00C3\u00B2", u"\u00F2"},   {u"\u00C3\u00A9", u"\u00E9"},   {u"\u00C3\u00B9", u"\u00F9"},
        {u"\u00C3\u00A8", u"\u00E8"},   {u"\u00C2", u""},
    };
    for (const auto& step : steps) {
        text = StrReplace(text, step.find, step.replacement);
    }
    return text;
}

TEST(AnsiRepair, RepairsTheTableAndDropsEveryCircumflexA)
{
    const struct {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"", u""},
        {u"plain \u2026NOTE: BOOKMARK @ 12\r\n", u"plain \u2026NOTE: BOOKMARK @ 12\r\n"},
        {u"\u00E2\u20AC\u009Dx\u00E2\u20AC\u0153", u"\"x\""},
        {u"\u00E2\u20AC\u0152", u"\""}, // the œ of step 2 matches its capital too
        {u"\u00C2\u20AC\u201D and \u00C2\u20AC\u2122", u"- and '"},
        {u"\u00C3\u00AC\u00C3\u00A0\u00C3\u00B2\u00C3\u00A9\u00C3\u00B9\u00C3\u00A8",
         u"\u00EC\u00E0\u00F2\u00E9\u00F9\u00E8"},
        {u"\u00E3\u00A8", u"\u00E8"}, // a-tilde matches A-tilde
        {u"\u00C2\u00AB quoted \u00C2\u00BB", u"\u00AB quoted \u00BB"},
        {u"\u00E2 left alone, \u00E2\u20AC", u" left alone, \u20AC"},
        {u"\u00E2\u00E2\u20AC\u009D", u"\""},
        // The A-tilde pairs are looked for before the A-circumflexes go, so a
        // pair that their removal brings together stays.
        {u"\u00C3\u00C2\u00A9", u"\u00C3\u00A9"},
        {u"\u00C3 \u00C3\u00A1 \u00C3", u"\u00C3 \u00C3\u00A1 \u00C3"},
        {u"\u00E2\u20AC\u00E2\u20AC\u2122", u"\u20AC'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Show(c.text));
        EXPECT_EQ(Show(Repaired(c.text)), Show(c.expected));
        EXPECT_EQ(Show(RepairStepByStep(c.text)), Show(c.expected));
    }
}

TEST(AnsiRepair, OnePassEqualsTheElevenReplacementsOnRandomTexts)
{
    const char16_t alphabet[] = {0x00E2, 0x00C2, 0x00C3, 0x00E3, 0x20AC, 0x009D, 0x0153, 0x0152, 0x201D,
                                 0x2122, 0x00AC, 0x00A0, 0x00B2, 0x00A9, 0x00B9, 0x00A8, 0x00E8, u'a',
                                 u'A',   u'"',   0x00E0, 0x00EC, u'-',   0x2026, u'\r', u'\n'};
    std::mt19937 random(20240517);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 50000; ++round) {
        std::u16string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        const std::u16string expected = RepairStepByStep(text);
        const std::u16string repaired = Repaired(text);
        if (repaired != expected) {
            FAIL() << "text " << Show(text) << ": got " << Show(repaired) << ", expected " << Show(expected);
        }
    }
}

} // namespace
} // namespace quillery
