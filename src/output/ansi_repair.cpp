#include "output/ansi_repair.h"

#include "output/book_text.h"

#include <algorithm>
#include <utility>

namespace quillery {

namespace {

// The eleven repair steps, in their order, each replacing every occurrence
// of its search text, compared exactly:
//   1-4   â € U+009D -> "    â € œ -> "    â € ” -> -    â € ™ -> '
//   5-10  Ã ¬ -> ì   Ã NBSP -> à   Ã ² -> ò   Ã © -> é   Ã ¹ -> ù   Ã ¨ -> è
//   11    Â -> nothing
//
// One left-to-right pass gives what the eleven passes give:
// - Every search text starts with â (steps 1-4), Ã (steps 5-10) or Â
//   (step 11), and none of their other characters is one of those three, so
//   no two occurrences, of one step or of two, can overlap.
// - No replacement is â, Ã, Â, € or a second character of steps 5-10, so no
//   replacement, together with what stands before or after it, forms a later
//   step's search text.
// - The neighbours that a removal of step 11 brings together are never
//   searched again, as step 11 is last.
// So each step replaces exactly the occurrences found in the original text.
//
// Text read as UTF-8 holds these pairs only where UTF-8 was read twice, and
// then every "Â" of step 11 stands before the character U+00A0..U+00BF whose
// two bytes it began; a "Â" before anything else is a letter of the text.

constexpr char16_t kCircumflexSmallA = 0x00E2;
constexpr char16_t kTildeCapitalA = 0x00C3;
constexpr char16_t kCircumflexCapitalA = 0x00C2;
constexpr char16_t kEuro = 0x20AC;

bool MayStartRepair(char16_t c)
{
    return c == kCircumflexSmallA || c == kTildeCapitalA || c == kCircumflexCapitalA;
}

// The replacement of steps 1-4 for the character after "â€", or 0.
char16_t AfterCircumflexEuro(char16_t c)
{
    switch (c) {
    case 0x009D:
    case 0x0153: return u'"';
    case 0x201D: return u'-';
    case 0x2122: return u'\'';
    default: return 0;
    }
}

// The replacement of steps 5-10 for the character after "Ã", or 0.
char16_t AfterTildeA(char16_t c)
{
    switch (c) {
    case 0x00AC: return 0x00EC;
    case 0x00A0: return 0x00E0;
    case 0x00B2: return 0x00F2;
    case 0x00A9: return 0x00E9;
    case 0x00B9: return 0x00F9;
    case 0x00A8: return 0x00E8;
    default: return 0;
    }
}

// Whether step 11 removes a "Â" followed by `next`.
bool RemovesCircumflexA(char16_t next, TextEncoding encoding)
{
    return encoding == TextEncoding::windows1252 || (next >= 0x00A0 && next <= 0x00BF);
}

// The replacement of the run that starts at text[read], and the run's
// length; a length of 0 when no step applies there.
std::pair<char16_t, std::size_t> RepairAt(std::u16string_view text, std::size_t read, TextEncoding encoding)
{
    const char16_t c = text[read];
    const char16_t next = read + 1 < text.size() ? text[read + 1] : char16_t{0};
    if (c == kCircumflexSmallA && next == kEuro && read + 2 < text.size()) {
        if (const char16_t replacement = AfterCircumflexEuro(text[read + 2]); replacement != 0) {
            return {replacement, 3};
        }
    } else if (c == kTildeCapitalA && AfterTildeA(next) != 0) {
        return {AfterTildeA(next), 2};
    } else if (c == kCircumflexCapitalA && RemovesCircumflexA(next, encoding)) {
        return {0, 1};
    }
    return {0, 0};
}

} // namespace

void RepairAnsiInPlace(std::u16string& text, TextEncoding encoding)
{
    const auto first = std::find_if(text.begin(), text.end(), MayStartRepair);
    if (first == text.end()) {
        return;
    }
    std::size_t read = static_cast<std::size_t>(first - text.begin());
    std::size_t write = read;
    // Every step maps a run to one that is no longer, so `write` never passes `read`.
    while (read < text.size()) {
        const auto [replacement, length] = RepairAt(text, read, encoding);
        if (length == 0) {
            text[write++] = text[read++];
            continue;
        }
        if (replacement != 0) {
            text[write++] = replacement;
        }
        read += length;
    }
    text.resize(write);
}

std::u16string RepairAnsi(std::u16string_view text, TextEncoding encoding)
{
    std::u16string repaired(text);
    RepairAnsiInPlace(repaired, encoding);
    return repaired;
}

} // namespace quillery
