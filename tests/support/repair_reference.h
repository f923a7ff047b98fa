#pragma once

#include "util/text_encoding.h"

#include <string>
#include <string_view>

namespace quillery::test {

// Every occurrence of `find` replaced, letter case compared exactly; the
// search goes on after each replacement.
inline std::u16string ReplaceAll(std::u16string text, std::u16string_view find, std::u16string_view replacement)
{
    for (std::size_t at = text.find(find); at != std::u16string::npos; at = text.find(find, at + replacement.size())) {
        text.replace(at, find.size(), replacement);
    }
    return text;
}

// The eleven steps as eleven whole-text replacements, in their order. Read
// as UTF-8, step 11 takes "Â" only with a character U+00A0..U+00BF after it.
inline std::u16string RepairStepByStep(std::u16string text, TextEncoding encoding)
{
    static const struct {
        std::u16string find;
        std::u16string replacement;
    } steps[] = {
        {u"\u00E2\u20AC\u009D", u"\""}, {u"\u00E2\u20AC\u0153", u"\""}, {u"\u00E2\u20AC\u201D", u"-"},
        {u"\u00E2\u20AC\u2122", u"'"},  {u"\u00C3\u00AC", u"\u00EC"},   {u"\u00C3\u00A0", u"\u00E0"},
        {u"\u00C3\u00B2", u"\u00F2"},   {u"\u00C3\u00A9", u"\u00E9"},   {u"\u00C3\u00B9", u"\u00F9"},
        {u"\u00C3\u00A8", u"\u00E8"},
    };
    for (const auto& step : steps) {
        text = ReplaceAll(text, step.find, step.replacement);
    }
    if (encoding == TextEncoding::windows1252) {
        return ReplaceAll(text, u"\u00C2", u"");
    }
    for (char16_t c = 0x00A0; c <= 0x00BF; ++c) {
        text = ReplaceAll(text, std::u16string{0x00C2, c}, std::u16string(1, c));
    }
    return text;
}

} // namespace quillery::test
