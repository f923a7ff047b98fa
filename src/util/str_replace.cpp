#include "util/str_replace.h"

#include "util/text.h"

#include <vector>

namespace quillery {

namespace {

bool SameLetter(char16_t a, char16_t b)
{
    return a == b || FoldCase(a) == b;
}

bool EndsWith(const std::u16string& text, std::u16string_view find)
{
    if (text.size() < find.size()) {
        return false;
    }
    const std::size_t start = text.size() - find.size();
    for (std::size_t k = 0; k < find.size(); ++k) {
        if (!SameLetter(text[start + k], find[k])) {
            return false;
        }
    }
    return true;
}

} // namespace

// Restarting the search at the first character after each replacement finds
// the leftmost occurrence in the new text. Nothing before the replaced place
// held an occurrence, so that is the occurrence that ends first at or after
// it: building the result one character at a time and replacing as soon as
// the result ends with `find` gives the same text in one pass.
std::u16string StrReplace(std::u16string_view source, std::u16string_view find, std::u16string_view replacement)
{
    if (find.empty()) {
        return std::u16string(source);
    }
    std::u16string result;
    result.reserve(source.size());
    std::vector<char16_t> pending; // replacement text still to be taken in, last first
    std::size_t next = 0;
    while (!pending.empty() || next < source.size()) {
        char16_t c = 0;
        if (!pending.empty()) {
            c = pending.back();
            pending.pop_back();
        } else {
            c = source[next++];
        }
        result.push_back(c);
        if (SameLetter(c, find.back()) && EndsWith(result, find)) {
            result.resize(result.size() - find.size());
            pending.insert(pending.end(), replacement.rbegin(), replacement.rend());
        }
    }
    return result;
}

} // namespace quillery
