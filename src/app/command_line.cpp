#include "app/command_line.h"

#include "output/save_export.h"
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

namespace {

// An option that takes a value: its value from "--name=VALUE" or the next
// argument; nullopt when `argument` is not this option or the value is missing.
std::optional<QString> TakeValue(const QStringList& arguments, qsizetype& i, QStringView name, bool& missing)
{
    const QString& argument = arguments[i];
    if (argument == name) {
        if (i + 1 >= arguments.size()) {
            missing = true;
            return std::nullopt;
        }
        return arguments[++i];
    }
    if (argument.startsWith(name) && argument.size() > name.size() && argument[name.size()] == u'=') {
        return argument.mid(name.size() + 1);
    }
    return std::nullopt;
}

} // namespace

WindowCommandLine ParseWindowCommandLine(const QStringList& arguments)
{
    WindowCommandLine line;
    QStringList pathArguments;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        bool missing = false;
        if (optionsEnded) {
            pathArguments.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"--no-open") {
            line.noOpen = true;
        } else if (argument == u"--help" || argument == u"-h") {
            line.help = true;
        } else if (argument == u"--version") {
            line.version = true;
        } else if (const auto name = TakeValue(arguments, i, u"--encoding", missing)) {
            const std::optional<TextEncoding> named = EncodingNamed(name->toStdString());
            if (!named) {
                line.error = "--encoding takes utf-8 or windows-1252, not \"" + name->toStdString() + "\"";
            }
            line.encoding = named.value_or(kDefaultEncoding);
        } else if (const auto format = TakeValue(arguments, i, u"--format", missing)) {
            const std::optional<OutputFormat> named = FormatNamed(format->toStdString());
            if (!named || !FormatBuilt(*named)) {
                line.error =
                    "--format takes " + BuiltFormatNames(", ", " or ") + ", not \"" + format->toStdString() + "\"";
            }
            line.format = named && FormatBuilt(*named) ? *named : OutputFormat::classic;
        } else if (missing) {
            line.error = argument.toStdString() + " needs a value";
        } else {
            pathArguments.append(argument);
        }
    }
    line.argumentText = pathArguments.join(u' ').toStdU16String();
    return line;
}

std::string WindowHelpText()
{
    return "Usage: quillery [OPTIONS] [FILE]\n"
           "\n"
           "Opens the window on FILE: a Kindle \"My Clippings.txt\", a Duokan file ending in .dkx, or an\n"
           "e-reader's folder (default: the one connected e-reader's \"documents/My Clippings.txt\").\n"
           "\n"
           "Options:\n"
           "  -h, --help                     print this help and exit\n"
           "  --encoding utf-8|windows-1252  read the input and write the output in this encoding (default utf-8)\n"
           "  --format " +
           BuiltFormatNames("|", "|") +
           "\n"
           "                                 what to write (default classic; the others are cleaned)\n"
           "  --no-open                      leave the written folder unopened (also QUILLERY_NO_OPEN=1)\n"
           "  --version                      print the version and exit\n"
           "  --                             every argument after it is FILE, even one starting with \"-\"\n"
           "\n"
           "\"GO!\" writes a new \"My Clippings\" folder on the desktop and opens it in the file manager.\n"
           "Exit status: 0 written (or closed before any run), 1 the last run failed, 2 a usage error.\n";
}

std::string WindowVersionText()
{
    return std::string("quillery ") + QUILLERY_VERSION + "\n";
}

bool OpensWrittenFolder(const WindowCommandLine& commandLine, const QByteArray& noOpenSetting)
{
    return !commandLine.noOpen && (noOpenSetting.isEmpty() || noOpenSetting == "0");
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
