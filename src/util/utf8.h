#pragma once

// UTF-8 and UTF-16 of single code points, shared by the encodings, the XML
// decoder and the path conversion.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace quillery {

inline bool IsUtf8Continuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at bytes[i] (1 for ASCII), or 0 when
// none starts there. The second byte's range rules out overlong forms (after
// E0 and F0), surrogates (after ED) and code points above U+10FFFF (after
// F4); C0, C1 and F5 up start no sequence. Inlined always: validation runs it
// on every letter outside ASCII of every text.
[[gnu::always_inline]] inline std::size_t Utf8LengthAt(std::string_view bytes, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    const auto within = [](unsigned char byte, unsigned char low, unsigned char high) {
        return byte >= low && byte <= high;
    };
    const unsigned char lead = at(0);
    const std::size_t left = bytes.size() - i;
    if (lead < 0x80) {
        return 1;
    }
    if (within(lead, 0xC2, 0xDF)) {
        return left >= 2 && IsUtf8Continuation(at(1)) ? 2 : 0;
    }
    if (within(lead, 0xE0, 0xEF)) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return left >= 3 && within(at(1), low, high) && IsUtf8Continuation(at(2)) ? 3 : 0;
    }
    if (within(lead, 0xF0, 0xF4)) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return left >= 4 && within(at(1), low, high) && IsUtf8Continuation(at(2)) && IsUtf8Continuation(at(3)) ? 4 : 0;
    }
    return 0;
}

// How many bytes at the end of `bytes` start a sequence that the end cuts
// short (0 when none): a text read block by block keeps them for the next
// block, so that no sequence is judged on part of its bytes. Only a lead byte
// among the last three can start such a sequence, and no valid sequence
// before it can reach past it.
inline std::size_t Utf8CutLength(std::string_view bytes)
{
    const std::size_t look = bytes.size() < 3 ? bytes.size() : 3;
    for (std::size_t back = 1; back <= look; ++back) {
        const auto lead = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (IsUtf8Continuation(lead)) {
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// The code point of the valid UTF-8 sequence at bytes[i] and its length, or
// a length of 0 when none starts there.
[[gnu::always_inline]] inline std::pair<char32_t, std::size_t> DecodeUtf8At(std::string_view bytes, std::size_t i)
{
    constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    const std::size_t length = Utf8LengthAt(bytes, i);
    if (length == 0) {
        return {0, 0};
    }
    char32_t cp = static_cast<unsigned char>(bytes[i]) & kLeadBits[length];
    for (std::size_t k = 1; k < length; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
    }
    return {cp, length};
}

inline void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

inline void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace quillery
