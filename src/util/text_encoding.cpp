#include "util/text_encoding.h"

#include "util/code_page.h"
#include "util/path_text.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillery {

namespace {

constexpr std::string_view kUtf8Name = "utf-8";
constexpr std::string_view kWindows1252Name = "windows-1252";

struct SequenceForm {
    int extra;              // continuation bytes
    char32_t min;           // the smallest code point the form may hold
    unsigned char leadMask; // the lead byte's code-point bits
};

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point of the valid UTF-8 sequence at bytes[i] and its length, or
// a length of 0 when no valid sequence starts there.
std::pair<char32_t, std::size_t> ValidSequenceAt(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    SequenceForm form{};
    if ((lead & 0xE0) == 0xC0) {
        form = {1, 0x80, 0x1F};
    } else if ((lead & 0xF0) == 0xE0) {
        form = {2, 0x800, 0x0F};
    } else if ((lead & 0xF8) == 0xF0) {
        form = {3, 0x10000, 0x07};
    } else {
        return {0, 0};
    }
    const std::size_t length = static_cast<std::size_t>(form.extra) + 1;
    if (bytes.size() - i < length) {
        return {0, 0};
    }
    char32_t cp = lead & form.leadMask;
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(bytes[i + k]);
        if (!IsContinuation(byte)) {
            return {0, 0};
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (cp < form.min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
        return {0, 0};
    }
    return {cp, length};
}

void AppendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
}

void AppendCodePointUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

// The length of the valid sequence at bytes[i] (a byte >= 0x80), or 0: what
// ValidSequenceAt gives, from the bytes alone. The second byte's range rules
// out overlong forms (after E0 and F0), surrogates (after ED) and code points
// above U+10FFFF (after F4); C0, C1 and F5 up start no sequence.
std::size_t ValidLengthAt(std::string_view bytes, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    const unsigned char lead = at(0);
    const std::size_t left = bytes.size() - i;
    if (InRange(lead, 0xC2, 0xDF)) {
        return left >= 2 && IsContinuation(at(1)) ? 2 : 0;
    }
    if (InRange(lead, 0xE0, 0xEF)) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return left >= 3 && InRange(at(1), low, high) && IsContinuation(at(2)) ? 3 : 0;
    }
    if (InRange(lead, 0xF0, 0xF4)) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return left >= 4 && InRange(at(1), low, high) && IsContinuation(at(2)) && IsContinuation(at(3)) ? 4 : 0;
    }
    return 0;
}

// The position of the first byte at or after `i` that starts no valid
// sequence, or bytes.size().
std::size_t FirstInvalidAt(std::string_view bytes, std::size_t i)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (i < bytes.size()) {
#if defined(__SSE2__)
        // Sixteen bytes at once: past them when none has its high bit set,
        // else straight to the first that has.
        if (bytes.size() - i >= 16) {
            const auto high = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i))));
            if (high == 0) {
                i += 16;
                continue;
            }
            i += static_cast<std::size_t>(std::countr_zero(high));
        }
#endif
        if (bytes.size() - i >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + i, sizeof word);
            if ((word & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = ValidLengthAt(bytes, i);
        if (length == 0) {
            return i;
        }
        i += length;
    }
    return i;
}

} // namespace

std::string_view EncodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::utf8 ? kUtf8Name : kWindows1252Name;
}

std::optional<TextEncoding> EncodingNamed(std::string_view name)
{
    if (name == kUtf8Name) {
        return TextEncoding::utf8;
    }
    if (name == kWindows1252Name) {
        return TextEncoding::windows1252;
    }
    return std::nullopt;
}

void AppendDecodedUtf8(std::u16string& out, std::string_view bytes)
{
    out.reserve(out.size() + bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++i;
            continue;
        }
        const auto [cp, length] = ValidSequenceAt(bytes, i);
        if (length == 0) {
            out.push_back(Windows1252ToChar(byte));
            ++i;
        } else {
            AppendCodePoint(out, cp);
            i += length;
        }
    }
}

void AppendDecodedText(std::u16string& out, std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        AppendDecodedUtf8(out, bytes);
    } else {
        AppendDecodedWindows1252(out, bytes);
    }
}

std::u16string DecodeText(std::string_view bytes, TextEncoding encoding)
{
    std::u16string out;
    AppendDecodedText(out, bytes, encoding);
    return out;
}

void AppendEncodedText(std::string& out, std::u16string_view text, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        out += ToUtf8(text);
    } else {
        AppendEncodedWindows1252(out, text);
    }
}

bool IsValidUtf8(std::string_view bytes)
{
    return FirstInvalidAt(bytes, 0) == bytes.size();
}

void AppendValidUtf8(std::string& out, std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t bad = FirstInvalidAt(bytes, i);
        out.append(bytes.substr(i, bad - i));
        if (bad == bytes.size()) {
            break;
        }
        AppendCodePointUtf8(out, Windows1252ToChar(static_cast<unsigned char>(bytes[bad])));
        i = bad + 1;
    }
}

void AppendKeptText(std::string& out, std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        AppendValidUtf8(out, bytes);
    } else {
        out += bytes;
    }
}

std::string_view KeptText(std::string_view bytes, TextEncoding encoding, std::string& scratch)
{
    if (encoding == TextEncoding::windows1252 || IsValidUtf8(bytes)) {
        return bytes;
    }
    scratch.clear();
    AppendValidUtf8(scratch, bytes);
    return scratch;
}

} // namespace quillery
