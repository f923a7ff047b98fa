#include "extract/parse_location.h"

#include "extract/run_error.h"
#include "util/path_text.h"
#include "util/text_encoding.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>

namespace quillery {

namespace {

template <typename Char> bool Skipped(Char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// The leading decimal number of `text` with the skipped characters left out,
// as ASCII; "" when the text starts with no number.
template <typename Char> std::string LeadingNumber(std::basic_string_view<Char> text)
{
    std::string kept;
    for (const Char c : text) {
        if (!Skipped(c)) {
            const auto code = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
            kept.push_back(code < 0x80 ? static_cast<char>(code) : '\x7f');
        }
    }
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < kept.size() && kept[i] >= '0' && kept[i] <= '9') {
            ++i;
        }
        return i > start;
    };
    if (i < kept.size() && (kept[i] == '+' || kept[i] == '-')) {
        ++i;
    }
    bool any = digits();
    if (i < kept.size() && kept[i] == '.') {
        ++i;
        any = digits() || any;
    }
    if (!any) {
        return {};
    }
    std::size_t end = i;
    if (i < kept.size() && (kept[i] == 'E' || kept[i] == 'e')) {
        ++i;
        if (i < kept.size() && (kept[i] == '+' || kept[i] == '-')) {
            ++i;
        }
        if (digits()) {
            end = i;
        }
    }
    kept.resize(end);
    return kept;
}

// Throws the range error, showing the text's first 40 characters.
[[noreturn]] void ThrowOutOfRange(std::u16string_view text)
{
    std::u16string shown(text.substr(0, 40));
    if (text.size() > 40) {
        shown += u"...";
    }
    throw RunError("the location \"" + ToUtf8(shown) + "\" is outside the range -2147483648 to 2147483647");
}

// Whether `number`, too large or too close to 0 for a double, is too large:
// its power of ten, from where its first significant digit stands and its
// exponent, is positive. (Both limits are some 300 powers from 0.)
bool TooLarge(std::string_view number)
{
    const std::size_t e = number.find_first_of("Ee");
    std::int64_t power = 0;
    if (e != std::string_view::npos) {
        std::string_view exponent = number.substr(e + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
            exponent.remove_prefix(1);
        }
        for (const char digit : exponent) {
            power = std::min<std::int64_t>(power * 10 + (digit - '0'), std::int64_t{1} << 40);
        }
        power = negative ? -power : power;
    }
    const std::string_view mantissa = number.substr(0, e);
    const std::size_t first = mantissa.find_first_of("123456789");
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    if (first == std::string_view::npos) {
        return false;
    }
    const auto digitsBefore = static_cast<std::int64_t>(point) - static_cast<std::int64_t>(first);
    return power + (first < point ? digitsBefore - 1 : digitsBefore) > 0;
}

// The number as the nearest double, whatever the process's locale; a value
// too close to 0 for a double is 0, one too large is infinite.
double ReadDouble(std::string_view number)
{
    if (number.front() == '+') {
        number.remove_prefix(1);
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = number.front() == '-';
        if (!TooLarge(number)) {
            return 0;
        }
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    return value;
}

// The location's value, or nothing when it lies outside the 32-bit range.
template <typename Char> std::optional<std::int32_t> ParseLocationOf(std::basic_string_view<Char> text)
{
    const std::string number = LeadingNumber(text);
    if (number.empty()) {
        return 0;
    }
    // nearbyint rounds an exact half to the even neighbour in the default
    // rounding mode.
    const double value = std::nearbyint(ReadDouble(number));
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

std::int32_t ParseLocation(std::u16string_view text)
{
    const auto value = ParseLocationOf(text);
    if (!value) {
        ThrowOutOfRange(text);
    }
    return *value;
}

std::int32_t ParseLocation(std::string_view bytes, TextEncoding encoding)
{
    // Every byte of a character beyond ASCII stops the number as the character would.
    const auto value = ParseLocationOf(bytes);
    if (!value) {
        ThrowOutOfRange(DecodeText(bytes, encoding));
    }
    return *value;
}

} // namespace quillery
