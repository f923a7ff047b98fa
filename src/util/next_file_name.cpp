#include "util/next_file_name.h"

#include "util/file_exists.h"
#include "util/in_str_rev.h"
#include "util/path_text.h"
#include "util/text.h"

namespace quillery {

std::u16string NextFileName(const std::u16string& what)
{
    if (!FileExists(what)) {
        return what;
    }
    const std::int32_t p = InStrRev(what, u".");
    const std::int32_t s = InStrRev(what, std::u16string(1, kPathSeparator));
    std::u16string base = what;
    std::u16string extension;
    if (p > s) {
        base = what.substr(0, static_cast<std::size_t>(p - 1));
        extension = what.substr(static_cast<std::size_t>(p - 1));
    }
    std::u16string candidate;
    std::int64_t n = 1;
    do {
        ++n;
        candidate = base + u" (" + ToDecimal(n) + u")" + extension;
    } while (FileExists(candidate));
    return candidate;
}

} // namespace quillery
