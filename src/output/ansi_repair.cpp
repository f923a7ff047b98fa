#include "output/ansi_repair.h"

#include "output/book_text.h"
#include "util/byte_scan.h"

#include <algorithm>
#include <cstring>

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

// The text is Windows-1252 bytes, so each character above is one byte.
constexpr unsigned char kEuro = 0x80;

bool IsCircumflexA(unsigned char c)
{
    return c == 0xE2 || c == 0xC2;
}

bool IsTildeA(unsigned char c)
{
    return c == 0xC3 || c == 0xE3;
}

// The replacement of steps 1-4 for the byte after "â€", or 0.
char AfterCircumflexEuro(unsigned char c)
{
    switch (c) {
    case 0x9D: // U+009D
    case 0x9C: // œ
    case 0x8C: return '"'; // Œ
    case 0x94: return '-'; // ”
    case 0x99: return '\''; // ™
    default: return 0;
    }
}

// The replacement of steps 5-10 for the byte after "Ã", or 0.
char AfterTildeA(unsigned char c)
{
    switch (c) {
    case 0xAC: return '\xEC';
    case 0xA0: return '\xE0';
    case 0xB2: return '\xF2';
    case 0xA9: return '\xE9';
    case 0xB9: return '\xF9';
    case 0xA8: return '\xE8';
    default: return 0;
    }
}

} // namespace

void RepairAnsiInPlace(std::string& text, std::size_t from)
{
    std::size_t read = FindRepairStart(text, std::min(from, text.size()));
    const std::size_t size = text.size();
    if (read == size) {
        return;
    }
    std::size_t write = read;
    const auto at = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // Every step maps a run to one that is no longer, so `write` never passes `read`.
    while (read < size) {
        const unsigned char c = at(read);
        const unsigned char next = read + 1 < size ? at(read + 1) : 0;
        if (IsCircumflexA(c)) {
            const char replacement = next == kEuro && read + 2 < size ? AfterCircumflexEuro(at(read + 2)) : 0;
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
            text[write++] = static_cast<char>(c);
            ++read;
        }
        // The bytes up to the next possible start move as one block.
        const std::size_t start = FindRepairStart(text, read);
        if (write != read) {
            std::memmove(text.data() + write, text.data() + read, start - read);
        }
        write += start - read;
        read = start;
    }
    text.resize(write);
}

std::string RepairAnsi(std::string_view text)
{
    std::string repaired(text);
    RepairAnsiInPlace(repaired);
    return repaired;
}

} // namespace quillery
