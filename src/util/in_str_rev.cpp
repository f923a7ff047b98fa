#include "util/in_str_rev.h"

namespace quillery {

std::int32_t InStrRev(std::u16string_view stringa, std::u16string_view cerca)
{
    if (cerca.size() > stringa.size()) {
        return 0;
    }
    for (std::size_t p = stringa.size() - cerca.size() + 1; p >= 1; --p) {
        if (stringa.substr(p - 1, cerca.size()) == cerca) {
            return static_cast<std::int32_t>(p);
        }
    }
    return 0;
}

} // namespace quillery
