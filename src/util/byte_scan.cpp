#include "util/byte_scan.h"

#include "util/utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillery {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// True when some byte of `word` is zero (never a false answer).
bool HasZeroByte(std::uint64_t word)
{
    return ((word - kOnes) & ~word & kHighs) != 0;
}

bool HasByte(std::uint64_t word, unsigned char byte)
{
    return HasZeroByte(word ^ (kOnes * byte));
}

#if defined(__SSE2__)
__m128i Lanes(__m128i block, char byte)
{
    return _mm_cmpeq_epi8(block, _mm_set1_epi8(byte));
}
#endif

// Each search says which bytes it looks for three ways: one byte, a word of
// eight that may hold one (never a false "no"), and, where the processor has
// SSE2, the matching lanes of a block of sixteen.
struct HtmlSpecial {
    static bool Byte(unsigned char c) { return c == '&' || c == '<' || c == '>'; }
    static bool Word(std::uint64_t w) { return HasByte(w, '&') || HasByte(w, '<') || HasByte(w, '>'); }
#if defined(__SSE2__)
    static __m128i Block(__m128i b)
    {
        return _mm_or_si128(_mm_or_si128(Lanes(b, '&'), Lanes(b, '<')), Lanes(b, '>'));
    }
#endif
};

struct LineEnd {
    static bool Byte(unsigned char c) { return c == '\r' || c == '\n'; }
    static bool Word(std::uint64_t w) { return HasByte(w, '\r') || HasByte(w, '\n'); }
#if defined(__SSE2__)
    static __m128i Block(__m128i b)
    {
        return _mm_or_si128(Lanes(b, '\r'), Lanes(b, '\n'));
    }
#endif
};

struct XmlMarkup {
    static bool Byte(unsigned char c) { return c == '&' || c == '<'; }
    static bool Word(std::uint64_t w) { return HasByte(w, '&') || HasByte(w, '<'); }
#if defined(__SSE2__)
    static __m128i Block(__m128i b)
    {
        return _mm_or_si128(Lanes(b, '&'), Lanes(b, '<'));
    }
#endif
};

// 0xC2, 0xC3, 0xE2 and 0xE3 are the bytes whose bits 0xDE read 0xC2.
struct RepairStart {
    static bool Byte(unsigned char c) { return (c & 0xDE) == 0xC2; }
    static bool Word(std::uint64_t w) { return HasByte(w & (kOnes * 0xDE), 0xC2); }
#if defined(__SSE2__)
    static __m128i Block(__m128i b)
    {
        return Lanes(_mm_and_si128(b, _mm_set1_epi8(static_cast<char>(0xDE))), static_cast<char>(0xC2));
    }
#endif
};

// A byte with its high bit set: one that is no ASCII character.
struct NonAscii {
    static bool Byte(unsigned char c) { return c >= 0x80; }
    static bool Word(std::uint64_t w) { return (w & kHighs) != 0; }
#if defined(__SSE2__)
    static __m128i Block(__m128i b)
    {
        return b;
    }
#endif
};

// Skips whole blocks (or words) that hold no byte searched for, then finds
// the byte itself.
template <typename Search> std::size_t Find(std::string_view text, std::size_t from)
{
    std::size_t i = from;
#if defined(__SSE2__)
    constexpr std::size_t kBlock = sizeof(__m128i);
    while (i + kBlock <= text.size()) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(Search::Block(block)));
        if (lanes != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(lanes));
        }
        i += kBlock;
    }
#else
    while (i + sizeof(std::uint64_t) <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (Search::Word(word)) {
            break;
        }
        i += sizeof word;
    }
#endif
    while (i < text.size() && !Search::Byte(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return i < text.size() ? i : text.size();
}

} // namespace

std::size_t FindHtmlSpecial(std::string_view text, std::size_t from)
{
    return Find<HtmlSpecial>(text, from);
}

std::size_t FindLineEnd(std::string_view text, std::size_t from)
{
    return Find<LineEnd>(text, from);
}

std::size_t FindXmlMarkup(std::string_view text, std::size_t from)
{
    return Find<XmlMarkup>(text, from);
}

std::size_t FindRepairStart(std::string_view text, std::size_t from)
{
    return Find<RepairStart>(text, from);
}

std::size_t FindUtf8RepairStart(std::string_view text, std::size_t from)
{
    constexpr unsigned char kLead = 0xC3;
    constexpr unsigned char kSecondBits = 0xDE;
    constexpr unsigned char kSecond = 0x82;
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen places at once: the lanes holding the lead byte, with the right
    // second byte one further on.
    const __m128i lead = _mm_set1_epi8(static_cast<char>(kLead));
    const __m128i bits = _mm_set1_epi8(static_cast<char>(kSecondBits));
    const __m128i second = _mm_set1_epi8(static_cast<char>(kSecond));
    for (; i + sizeof(__m128i) < text.size(); i += sizeof(__m128i)) {
        const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i nexts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 1));
        const auto lanes = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(firsts, lead), _mm_cmpeq_epi8(_mm_and_si128(nexts, bits), second))));
        if (lanes != 0) {
            return i + static_cast<std::size_t>(std::countr_zero(lanes));
        }
    }
#endif
    for (; i + 1 < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) == kLead &&
            (static_cast<unsigned char>(text[i + 1]) & kSecondBits) == kSecond) {
            return i;
        }
    }
    return text.size();
}

std::size_t FindNonAscii(std::string_view text, std::size_t from)
{
    return Find<NonAscii>(text, from);
}

std::size_t FindInvalidUtf8(std::string_view text, std::size_t from)
{
    // Most texts mix short runs of ASCII with other letters: the skip and the
    // step through each sequence are one loop, with no call between them.
    std::size_t i = from;
    while ((i = Find<NonAscii>(text, i)) < text.size()) {
        const std::size_t length = Utf8LengthAt(text, i);
        if (length == 0) {
            return i;
        }
        i += length;
    }
    return i;
}

std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.size() < 2 || from > text.size() || text.size() - from < needle.size()) {
        return text.find(needle, from);
    }
    const std::size_t last = needle.size() - 1;
    // Every place where the needle can start lies before `stop`.
    const std::size_t stop = text.size() - last;
    const auto matchesAt = [&](std::size_t at) {
        return std::memcmp(text.data() + at + 1, needle.data() + 1, last - 1) == 0;
    };
    std::size_t i = from;
#if defined(__SSE2__)
    // Sixteen places at once: the lanes holding the first byte, and the last
    // byte `last` further on.
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i final = _mm_set1_epi8(needle[last]);
    for (; i + sizeof(__m128i) <= stop; i += sizeof(__m128i)) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + last));
        auto lanes = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, final))));
        for (; lanes != 0; lanes &= lanes - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(lanes));
            if (matchesAt(at)) {
                return at;
            }
        }
    }
#endif
    for (; i < stop; ++i) {
        if (text[i] == needle[0] && text[i + last] == needle[last] && matchesAt(i)) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace quillery
