#include "app/command_line.h"

#include "util/in_str_rev.h"
#include "util/path_text.h"

#include <QStringList>

namespace quillery {

QStringList ArgumentList(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromStdU16String(FromUtf8(argv[i])));
    }
    return arguments;
}

std::u16string ArgumentText(const QStringList& arguments)
{
    return arguments.mid(1).join(u' ').toStdU16String();
}

std::optional<TextEncoding> TakeEncodingArgument(QStringList& arguments)
{
    if (arguments.size() < 2 || arguments[1] != QStringLiteral("--encoding")) {
        return kDefaultEncoding;
    }
    if (arguments.size() < 3) {
        return std::nullopt;
    }
    const std::optional<TextEncoding> named = EncodingNamed(arguments[2].toStdString());
    arguments.remove(1, 2);
    return named;
}

std::u16string ArgumentPath(std::u16string_view argumentText)
{
    if (argumentText.empty() || argumentText.front() != u'"') {
        return std::u16string(argumentText);
    }
    // 1-based positions: the first quote after the opening one, and the last.
    const std::size_t next = argumentText.find(u'"', 1);
    const std::size_t closing = next == std::u16string_view::npos ? 0 : next + 1;
    if (closing != static_cast<std::size_t>(InStrRev(argumentText, u"\""))) {
        return std::u16string(argumentText);
    }
    return std::u16string(argumentText.substr(1, closing - 2));
}

} // namespace quillery
