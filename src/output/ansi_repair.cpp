#include "output/ansi_repair.h"

#include "util/byte_scan.h"

#include <algorithm>
#include <cstring>

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
//
// The text is bytes in its encoding, and the steps compare those bytes: in
// Windows-1252 each character above is one byte; in UTF-8 each search text
// starts with the lead byte 0xC3 (of â, Ã and Â), which starts a character
// wherever it stands in valid UTF-8.

// What replaces the run at a position: up to two bytes, and the run's
// length (0 when no step applies there).
struct Repair {
    char bytes[2] = {};
    std::size_t count = 0;
    std::size_t length = 0;
};

Repair Replacing(std::size_t length, char byte)
{
    return {{byte, 0}, 1, length};
}

unsigned char ByteAt(std::string_view text, std::size_t i)
{
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// The replacement of steps 1-4 for the byte after "â€" in Windows-1252, or 0.
char AfterCircumflexEuro(unsigned char c)
{
    switch (c) {
    case 0x9D: // U+009D
    case 0x9C:
        return '"'; // œ
    case 0x94:
        return '-'; // ”
    case 0x99:
        return '\''; // ™
    default:
        return 0;
    }
}

// Whether steps 5-10 apply to the character after "Ã", given as its
// Windows-1252 byte (¬ NBSP ² © ¹ ¨); each gives the letter 0x40 above it.
bool FollowsTildeA(unsigned char c)
{
    return c == 0xAC || c == 0xA0 || c == 0xB2 || c == 0xA9 || c == 0xB9 || c == 0xA8;
}

Repair RepairAtWindows1252(std::string_view text, std::size_t at)
{
    const unsigned char c = ByteAt(text, at);
    const unsigned char next = ByteAt(text, at + 1);
    if (c == 0xE2 && next == 0x80 && at + 2 < text.size()) {
        if (const char replacement = AfterCircumflexEuro(ByteAt(text, at + 2)); replacement != 0) {
            return Replacing(3, replacement);
        }
    } else if (c == 0xC3 && at + 1 < text.size() && FollowsTildeA(next)) {
        return Replacing(2, static_cast<char>(next + 0x40));
    } else if (c == 0xC2) {
        return {{}, 0, 1};
    }
    return {};
}

// The UTF-8 replacement of steps 1-4 for the character that starts `rest`
// (U+009D, œ, ”, ™), with that character's length.
Repair AfterCircumflexEuroUtf8(std::string_view rest)
{
    if (rest.starts_with("\xC2\x9D") || rest.starts_with("\xC5\x93")) {
        return Replacing(2, '"');
    }
    if (rest.starts_with("\xE2\x80\x9D")) {
        return Replacing(3, '-');
    }
    if (rest.starts_with("\xE2\x84\xA2")) {
        return Replacing(3, '\'');
    }
    return {};
}

Repair RepairAtUtf8(std::string_view text, std::size_t at)
{
    constexpr std::string_view kEuro = "\xE2\x82\xAC";
    if (ByteAt(text, at) != 0xC3) {
        return {};
    }
    const unsigned char second = ByteAt(text, at + 1);
    const bool latin1Next = ByteAt(text, at + 2) == 0xC2 && at + 3 < text.size();
    const unsigned char latin1 = ByteAt(text, at + 3);
    if (second == 0xA2 && text.substr(at + 2).starts_with(kEuro)) { // â€
        Repair repair = AfterCircumflexEuroUtf8(text.substr(at + 2 + kEuro.size()));
        if (repair.length != 0) {
            repair.length += 2 + kEuro.size();
        }
        return repair;
    }
    if (second == 0x83 && latin1Next && FollowsTildeA(latin1)) { // Ã, then C2 xx: the letter is C3 xx
        return {{'\xC3', static_cast<char>(latin1)}, 2, 4};
    }
    if (second == 0x82 && latin1Next && latin1 >= 0xA0 && latin1 <= 0xBF) { // Â before U+00A0..U+00BF
        return {{}, 0, 2};
    }
    return {};
}

// The first position at or after `from` where a step may start.
std::size_t NextStart(std::string_view text, std::size_t from, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        return FindUtf8RepairStart(text, from);
    }
    return FindRepairStart(text, from);
}

Repair RepairAt(std::string_view text, std::size_t at, TextEncoding encoding)
{
    return encoding == TextEncoding::utf8 ? RepairAtUtf8(text, at) : RepairAtWindows1252(text, at);
}

} // namespace

void RepairAnsiInPlace(std::string& text, TextEncoding encoding, std::size_t from)
{
    const std::size_t size = text.size();
    std::size_t read = NextStart(text, std::min(from, size), encoding);
    std::size_t write = read;
    // Every step maps a run to one that is no longer, so `write` never passes `read`.
    while (read < size) {
        const Repair repair = RepairAt(text, read, encoding);
        if (repair.length == 0) {
            text[write++] = text[read++];
        } else {
            std::memcpy(text.data() + write, repair.bytes, repair.count);
            write += repair.count;
            read += repair.length;
        }
        // The bytes up to the next possible start move as one block.
        const std::size_t start = NextStart(text, read, encoding);
        if (write != read) {
            std::memmove(text.data() + write, text.data() + read, start - read);
        }
        write += start - read;
        read = start;
    }
    text.resize(write);
}

bool NeedsAnsiRepair(std::string_view text, TextEncoding encoding)
{
    for (std::size_t at = NextStart(text, 0, encoding); at < text.size(); at = NextStart(text, at + 1, encoding)) {
        if (RepairAt(text, at, encoding).length != 0) {
            return true;
        }
    }
    return false;
}

std::string RepairAnsi(std::string_view text, TextEncoding encoding)
{
    std::string repaired(text);
    RepairAnsiInPlace(repaired, encoding);
    return repaired;
}

} // namespace quillery
