#include "util/byte_scan.h"

#include <cstdint>
#include <cstring>

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

bool IsHtmlSpecial(unsigned char c)
{
    return c == '&' || c == '<' || c == '>';
}

bool IsRepairStart(unsigned char c)
{
    return (c & 0xDE) == 0xC2;
}

// Skips whole words that `wordMayMatch` rules out, then finds the byte itself.
template <typename WordTest, typename ByteTest>
std::size_t Find(std::string_view text, std::size_t from, WordTest wordMayMatch, ByteTest matches)
{
    std::size_t i = from;
    while (i + sizeof(std::uint64_t) <= text.size()) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (wordMayMatch(word)) {
            break;
        }
        i += sizeof word;
    }
    while (i < text.size() && !matches(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    return i < text.size() ? i : text.size();
}

} // namespace

std::size_t FindHtmlSpecial(std::string_view text, std::size_t from)
{
    const auto mayMatch = [](std::uint64_t w) { return HasByte(w, '&') || HasByte(w, '<') || HasByte(w, '>'); };
    return Find(text, from, mayMatch, IsHtmlSpecial);
}

std::size_t FindLineEnd(std::string_view text, std::size_t from)
{
    const auto mayMatch = [](std::uint64_t w) { return HasByte(w, '\r') || HasByte(w, '\n'); };
    return Find(text, from, mayMatch, [](unsigned char c) { return c == '\r' || c == '\n'; });
}

std::size_t FindRepairStart(std::string_view text, std::size_t from)
{
    const auto mayMatch = [](std::uint64_t w) { return HasByte(w & (kOnes * 0xDE), 0xC2); };
    return Find(text, from, mayMatch, IsRepairStart);
}

} // namespace quillery
