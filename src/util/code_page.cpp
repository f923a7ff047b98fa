#include "util/code_page.h"

#include <array>

namespace quillery {

namespace {

// Bytes 0x80..0x9F; the others read as the character of the same number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> MakeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        table[i] = (i >= 0x80 && i < 0xA0) ? kHighControls[i - 0x80] : static_cast<char16_t>(i);
    }
    return table;
}

constexpr std::array<char16_t, 256> kDecode = MakeDecodeTable();

char EncodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
        return static_cast<char>(c);
    }
    for (unsigned i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

char16_t Windows1252ToChar(unsigned char byte)
{
    return kDecode[byte];
}

void AppendDecodedWindows1252(std::u16string& out, std::string_view bytes)
{
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t* dest = out.data() + start;
    for (const char b : bytes) {
        *dest++ = kDecode[static_cast<unsigned char>(b)];
    }
}

std::u16string DecodeWindows1252(std::string_view bytes)
{
    std::u16string out;
    AppendDecodedWindows1252(out, bytes);
    return out;
}

void AppendEncodedWindows1252(std::string& out, std::u16string_view text)
{
    const std::size_t start = out.size();
    out.resize(start + text.size());
    char* dest = out.data() + start;
    for (const char16_t c : text) {
        // Plain ASCII and Latin-1 map to themselves; only the rest needs the table.
        *dest++ = (c < 0x80 || (c >= 0xA0 && c < 0x100)) ? static_cast<char>(c) : EncodeChar(c);
    }
}

std::string EncodeWindows1252(std::u16string_view text)
{
    std::string out;
    AppendEncodedWindows1252(out, text);
    return out;
}

} // namespace quillery
