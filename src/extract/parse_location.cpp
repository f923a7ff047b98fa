#include "extract/parse_location.h"

#include "extract/run_error.h"
#include "util/path_text.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace quillery {

namespace {

bool Skipped(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The leading decimal number of `text` with the skipped characters left out,
// as ASCII for strtod; "" when the text starts with no number.
std::string LeadingNumber(std::u16string_view text)
{
    std::string kept;
    for (const char16_t c : text) {
        if (!Skipped(c)) {
            kept.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
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

} // namespace

std::int32_t ParseLocation(std::u16string_view text)
{
    const std::string number = LeadingNumber(text);
    if (number.empty()) {
        return 0;
    }
    // strtod reads the number as the nearest double; nearbyint rounds an exact
    // half to the even neighbour in the default rounding mode.
    const double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())) {
        std::u16string shown(text.substr(0, 40));
        if (text.size() > 40) {
            shown += u"...";
        }
        throw RunError("the location \"" + ToUtf8(shown) + "\" is outside the range -2147483648 to 2147483647");
    }
    return static_cast<std::int32_t>(value);
}

} // namespace quillery
