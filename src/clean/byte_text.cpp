#include "clean/byte_text.h"

namespace quillery {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

} // namespace

std::string_view StripBlankEnds(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return text.substr(0, 0);
    }
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool ByteSearch::Contains(std::string_view haystack, std::string_view needle)
{
    if (needle.empty()) {
        return true;
    }
    if (needle.size() > haystack.size()) {
        return false;
    }
    // Knuth-Morris-Pratt: on a mismatch the match so far falls back to its
    // longest border, so no byte of the haystack is read twice.
    border_.assign(needle.size(), 0);
    for (std::size_t i = 1, k = 0; i < needle.size(); ++i) {
        while (k > 0 && needle[i] != needle[k]) {
            k = border_[k - 1];
        }
        if (needle[i] == needle[k]) {
            ++k;
        }
        border_[i] = k;
    }
    for (std::size_t i = 0, k = 0; i < haystack.size(); ++i) {
        while (k > 0 && haystack[i] != needle[k]) {
            k = border_[k - 1];
        }
        if (haystack[i] == needle[k]) {
            ++k;
        }
        if (k == needle.size()) {
            return true;
        }
    }
    return false;
}

} // namespace quillery
