#include "win32/dialog_text.h"

#include "util/path_text.h"

namespace quillery {

namespace {

constexpr std::u16string_view kEveryFile = u"All files (*.*)|*.*";

// The parts of a NUL-separated list, up to the first empty part.
std::vector<std::u16string_view> NulParts(std::u16string_view list)
{
    std::vector<std::u16string_view> parts;
    while (!list.empty() && list.front() != u'\0') {
        const std::size_t end = list.find(u'\0');
        parts.push_back(list.substr(0, end));
        list.remove_prefix(end == std::u16string_view::npos ? list.size() : end + 1);
    }
    return parts;
}

} // namespace

std::u16string DialogFilter(std::u16string_view filter)
{
    std::u16string buffer(filter.empty() ? kEveryFile : filter);
    for (char16_t& c : buffer) {
        if (c == u'|') {
            c = u'\0';
        }
    }
    buffer.push_back(u'\0');
    buffer.push_back(u'\0');
    return buffer;
}

std::vector<std::u16string> ChosenPaths(std::u16string_view answer)
{
    const std::vector<std::u16string_view> parts = NulParts(answer);
    if (parts.size() <= 1) {
        return {parts.begin(), parts.end()};
    }
    // The folder ends with a separator only when it is a root ("C:\").
    std::u16string folder(parts.front());
    if (folder.back() != u'\\' && folder.back() != u'/') {
        folder += u'\\';
    }
    std::vector<std::u16string> paths;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(folder + std::u16string(parts[i]));
    }
    return paths;
}

WindowArguments ParseWindowArguments(const std::vector<std::u16string>& arguments)
{
    WindowArguments parsed;
    std::size_t first = 0;
    if (!arguments.empty() && arguments.front() == u"--encoding") {
        parsed.encoding = arguments.size() < 2 ? std::nullopt : EncodingNamed(ToUtf8(arguments[1]));
        first = 2;
    }
    for (std::size_t i = first; i < arguments.size(); ++i) {
        if (i > first) {
            parsed.path += u' ';
        }
        parsed.path += arguments[i];
    }
    return parsed;
}

} // namespace quillery
