#include "output/ansi_repair.h"

#include "output/book_text.h"

#include <algorithm>

namespace quillery {

namespace {

// The eleven repair steps, in their order, each replacing every occurrence
// of its search text with letters matched in either case:
//   1-4   â € U+009D -> "    â € œ -> "    â € ” -> -    â € ™ -> '
//   5-10  Ã ¬ -> ì   Ã NBSP -> à   Ã ² -> ò   Ã © -> é   Ã ¹ -> ù   Ã ¨ -> è
//   11    Â -> nothing
//
// One left-to-right pass gives what the eleven passes give:
// - Every search text starts with â/Â (steps 1-4, 11) or Ã/ã (steps 5-10),
//   and none of their other characters is one of those four, so no two
//   occurrences, of one step or of two, can overlap.
// - No replacement is â, Â, Ã, ã, € or a second character of steps 5-10, so
//   no replacement, together with what stands before or after it, forms a
//   later step's search text.
// - Step 11 removes every â/Â that steps 1-4 leave. The neighbours that a
//   removal brings together are never searched again, as step 11 is last.
// So steps 1-10 replace exactly the occurrences found in the original text,
// and step 11 removes every other â/Â of it.

constexpr char16_t kEuro = 0x20AC;

bool IsCircumflexA(char16_t c)
{
    return c == 0x00E2 || c == 0x00C2;
}

bool IsTildeA(char16_t c)
{
    return c == 0x00C3 || c == 0x00E3;
}

// U+00C2, U+00C3, U+00E2 and U+00E3: the only characters that start a repair.
bool MayStartRepair(char16_t c)
{
    return (c & 0xFFDE) == 0x00C2;
}

// The replacement of steps 1-4 for the character after "â€", or 0.
char16_t AfterCircumflexEuro(char16_t c)
{
    switch (c) {
    case 0x009D:
    case 0x0153:
    case 0x0152: return u'"';
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

} // namespace

void RepairAnsiInPlace(std::u16string& text)
{
    const auto first = std::find_if(text.begin(), text.end(), MayStartRepair);
    if (first == text.end()) {
        return;
    }
    const std::size_t size = text.size();
    std::size_t read = static_cast<std::size_t>(first - text.begin());
    std::size_t write = read;
    // Every step maps a run to one that is no longer, so `write` never passes `read`.
    while (read < size) {
        const char16_t c = text[read];
        const char16_t next = read + 1 < size ? text[read + 1] : char16_t{0};
        if (IsCircumflexA(c)) {
            const char16_t replacement = next == kEuro && read + 2 < size ? AfterCircumflexEuro(text[read + 2]) : 0;
            if (replacement != 0) {
                text[write++] = replacement;
                read += 3;
            } else {
                ++read; // step 11
            }
        } else if (IsTildeA(c) && AfterTildeA(next) != 0) {
            text[write++] = AfterTildeA(next);
            read += 2;
        } else {
            text[write++] = c;
            ++read;
        }
    }
    text.resize(write);
}

std::u16string RepairAnsi(std::u16string_view text)
{
    std::u16string repaired(text);
    RepairAnsiInPlace(repaired);
    return repaired;
}

} // namespace quillery
