#include "util/sys_safe_chars.h"

#include "util/text.h"

namespace quillery {

namespace {

constexpr std::u16string_view kUnsafe = u"\\/:*?\"<>|";

bool NoNameCanHold(char16_t c)
{
#ifdef _WIN32
    return c < 32;
#else
    return c == 0;
#endif
}

} // namespace

std::u16string SysSafeChars(std::u16string_view d)
{
    std::u16string safe;
    safe.reserve(d.size());
    for (const char16_t c : d) {
        const bool replace = c > u'~' || NoNameCanHold(c) || kUnsafe.find(c) != std::u16string_view::npos;
        safe.push_back(replace ? u'_' : c);
    }
    // The cut keeps a long title within the file systems' 255-byte name limit
    // with room for " (n).txt".
    std::u16string_view trimmed = TrimBlanks(safe);
    trimmed = TrimBlanks(trimmed.substr(0, kMaxSafeNameLength));
    return std::u16string(trimmed);
}

} // namespace quillery
