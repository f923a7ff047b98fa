#include "output/ansi_repair.h"

#include "support/repair_reference.h"
#include "util/path_text.h"
#include "util/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>

namespace quillery {
namespace {

using test::RepairStepByStep;

// The repair works on bytes in either encoding; these tests speak in characters.
std::u16string Repaired(const std::u16string& text, TextEncoding encoding)
{
    std::string bytes;
    AppendEncodedText(bytes, text, encoding);
    return DecodeText(RepairAnsi(bytes, encoding), encoding);
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

constexpr TextEncoding kUtf8 = TextEncoding::utf8;
constexpr TextEncoding kAnsi = TextEncoding::windows1252;

TEST(AnsiRepair, RepairsTheTableWithLettersComparedExactly)
{
    const struct {
        TextEncoding encoding;
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {kAnsi, u"", u""},
        {kAnsi, u"plain \u2026NOTE: BOOKMARK @ 12\r\n", u"plain \u2026NOTE: BOOKMARK @ 12\r\n"},
        {kAnsi, u"\u00E2\u20AC\u009Dx\u00E2\u20AC\u0153", u"\"x\""},
        {kAnsi, u"\u00E2\u20AC\u201D and \u00E2\u20AC\u2122", u"- and '"},
        {kAnsi, u"\u00C3\u00AC\u00C3\u00A0\u00C3\u00B2\u00C3\u00A9\u00C3\u00B9\u00C3\u00A8",
         u"\u00EC\u00E0\u00F2\u00E9\u00F9\u00E8"},
        {kAnsi, u"\u00C2\u00AB quoted \u00C2\u00BB", u"\u00AB quoted \u00BB"},
        // The other letter case is no match: Œ, Â€, ã and â stay.
        {kAnsi, u"\u00E2\u20AC\u0152", u"\u00E2\u20AC\u0152"},
        {kAnsi, u"\u00C2\u20AC\u201D", u"\u20AC\u201D"},
        {kAnsi, u"\u00E3\u00A8", u"\u00E3\u00A8"},
        {kAnsi, u"\u00E2 left alone, \u00E2\u20AC", u"\u00E2 left alone, \u00E2\u20AC"},
        {kAnsi, u"\u00E2\u00E2\u20AC\u009D", u"\u00E2\""},
        // "…", "–", "‘", "€", "•" and NBSP, read in Windows-1252 and repaired:
        // step 11 leaves their first character.
        {kAnsi,
         u"\u00E2\u20AC\u00A6 \u00E2\u20AC\u201C \u00E2\u20AC\u02DC \u00E2\u201A\u00AC \u00E2\u20AC\u00A2 \u00C2\u00A0",
         u"\u00E2\u20AC\u00A6 \u00E2\u20AC\u201C \u00E2\u20AC\u02DC \u00E2\u201A\u00AC \u00E2\u20AC\u00A2 \u00A0"},
        // The A-tilde pairs are looked for before the A-circumflexes go, so a
        // pair that their removal brings together stays.
        {kAnsi, u"\u00C3\u00C2\u00A9", u"\u00C3\u00A9"},
        {kAnsi, u"\u00C3 \u00C3\u00A1 \u00C3", u"\u00C3 \u00C3\u00A1 \u00C3"},
        {kAnsi, u"\u00E2\u20AC\u00E2\u20AC\u2122", u"\u00E2\u20AC'"},
        // Read as UTF-8, correct text stays as it is.
        {kUtf8, u"\u2026 \u2013 \u2018 \u20AC \u2022 \u00A0 \u00C2 \u00E2 \u00C2ge \u00E2ge \u00C3\u00A1 \u00C2",
         u"\u2026 \u2013 \u2018 \u20AC \u2022 \u00A0 \u00C2 \u00E2 \u00C2ge \u00E2ge \u00C3\u00A1 \u00C2"},
        // Text that was read twice is repaired.
        {kUtf8, u"\u00C2\u00AB\u00C3\u00A9\u00E2\u20AC\u2122\u00C2\u00A0\u00C2\u00B0", u"\u00AB\u00E9'\u00A0\u00B0"},
        {kUtf8, u"\u00C2\u00C2\u00BB \u00C2\u20AC", u"\u00C2\u00BB \u00C2\u20AC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Show(c.text));
        EXPECT_EQ(Show(Repaired(c.text, c.encoding)), Show(c.expected));
        EXPECT_EQ(Show(RepairStepByStep(c.text, c.encoding)), Show(c.expected));
    }
}

TEST(AnsiRepair, OnePassEqualsTheElevenReplacementsOnRandomTexts_andSaysWhenItChangesAText)
{
    const char16_t alphabet[] = {0x00E2, 0x00C2, 0x00C3, 0x00E3, 0x20AC, 0x009D, 0x0153, 0x0152, 0x201D,
                                 0x2122, 0x00AC, 0x00A0, 0x00B2, 0x00A9, 0x00B9, 0x00A8, 0x00E8, u'a',
                                 u'A',   u'"',   0x00E0, 0x00EC, u'-',   0x2026, u'\r',  u'\n',  0x00BF};
    std::mt19937 random(20240517);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(alphabet) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 50000; ++round) {
        std::u16string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        for (const TextEncoding encoding : {kAnsi, kUtf8}) {
            const std::u16string expected = RepairStepByStep(text, encoding);
            const std::u16string repaired = Repaired(text, encoding);
            if (repaired != expected) {
                FAIL() << "text " << Show(text) << ": got " << Show(repaired) << ", expected " << Show(expected);
            }
            // The check that lets an unchanged text go uncopied agrees with the repair.
            std::string bytes;
            AppendEncodedText(bytes, text, encoding);
            if (NeedsAnsiRepair(bytes, encoding) != (RepairAnsi(bytes, encoding) != bytes)) {
                FAIL() << "text " << Show(text) << ": NeedsAnsiRepair disagrees with the repair";
            }
        }
    }
}

} // namespace
} // namespace quillery
