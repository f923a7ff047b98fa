#include "util/next_file_name.h"

#include "util/file_exists.h"
#include "util/in_str_rev.h"
#include "util/text.h"

#include <algorithm>

namespace quillery {

namespace {

// 1-based position of the last folder separator, 0 when there is none.
// Windows takes "/" for a separator as well as "\\".
std::int32_t LastSeparator(const std::u16string& path)
{
#ifdef _WIN32
    return std::max(InStrRev(path, u"\\"), InStrRev(path, u"/"));
#else
    return InStrRev(path, u"/");
#endif
}

} // namespace

std::u16string NextFileName(const std::u16string& what)
{
    if (!FileExists(what)) {
        return what;
    }
    std::u16string candidate;
    std::int64_t n = 1;
    do {
        ++n;
        candidate = NumberedFileName(what, n);
    } while (FileExists(candidate));
    return candidate;
}

std::u16string NumberedFileName(const std::u16string& what, std::int64_t n)
{
    if (n < 2) {
        return what;
    }
    const std::int32_t p = InStrRev(what, u".");
    const std::int32_t s = LastSeparator(what);
    if (p <= s) {
        return what + u" (" + ToDecimal(n) + u")";
    }
    const auto dot = static_cast<std::size_t>(p - 1);
    return what.substr(0, dot) + u" (" + ToDecimal(n) + u")" + what.substr(dot);
}

} // namespace quillery
