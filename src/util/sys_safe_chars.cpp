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

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

bool IsControl(char16_t c)
{
    return c < 32 || (c >= 0x7F && c < 0xA0);
}

// The space separators other than the space itself.
bool IsOtherBlank(char16_t c)
{
    return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

std::size_t Utf8Length(char16_t c)
{
    return c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
}

// Every character that a name cannot hold, every control character and every
// surrogate that is not half of a pair as "_".
std::u16string ReplaceUnsafe(std::u16string_view d)
{
    std::u16string safe(d);
    for (std::size_t i = 0; i < safe.size(); ++i) {
        const char16_t c = safe[i];
        if (IsHighSurrogate(c) && i + 1 < safe.size() && IsLowSurrogate(safe[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || IsControl(c) ||
                   kUnsafe.find(c) != std::u16string_view::npos) {
            safe[i] = u'_';
        }
    }
    return safe;
}

// The longest start of `name` within both limits that ends between two
// characters, never inside a surrogate pair.
std::u16string_view CutToFit(std::u16string_view name)
{
    std::size_t units = 0;
    std::size_t bytes = 0;
    while (units < name.size()) {
        const bool pair = IsHighSurrogate(name[units]) && units + 1 < name.size();
        const std::size_t width = pair ? 2 : 1;
        const std::size_t size = pair ? 4 : Utf8Length(name[units]);
        if (units + width > kMaxSafeNameLength || bytes + size > kMaxSafeNameBytes) {
            break;
        }
        units += width;
        bytes += size;
    }
    return name.substr(0, units);
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

std::u16string SysSafeChars(std::u16string_view d, TextEncoding encoding)
{
    if (encoding == TextEncoding::windows1252) {
        return SysSafeChars(d);
    }
    const std::u16string safe = ReplaceUnsafe(d);
    std::u16string name(TrimBlanks(CutToFit(TrimBlanks(safe))));
    // Windows drops a trailing dot or blank from a name.
    if (!name.empty() && (name.back() == u'.' || IsOtherBlank(name.back()))) {
        name.back() = u'_';
    }
    return name;
}

} // namespace quillery
