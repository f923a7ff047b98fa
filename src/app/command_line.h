#pragma once

#include "extract/front_end.h"
#include "util/text_encoding.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

#include <string>
#include <string_view>

namespace quillery {

// The program's arguments as main() received them (after QApplication took
// its own), decoded as paths are: bytes that are not UTF-8 survive, unlike
// QCoreApplication::arguments(), which turns them into U+FFFD.
QStringList ArgumentList(int argc, const char* const* argv);

// The argument text: the program's arguments after its own name, joined by
// single blanks, so that an unquoted path with blanks comes back whole.
std::u16string ArgumentText(const QStringList& arguments);

// What the window's command line asks for. Only the program's own options
// are options; every other argument is part of the path, and "--" makes
// the rest path whatever they look like. Qt is shown none of them.
struct WindowCommandLine {
    TextEncoding encoding = kDefaultEncoding;
    OutputFormat format = OutputFormat::classic;
    bool noOpen = false;
    bool help = false;
    bool version = false;
    // The path's arguments joined by single blanks (as ArgumentText).
    std::u16string argumentText;
    // A usage error ("--encoding takes utf-8 or windows-1252"), else "".
    std::string error;
};

// Reads "--encoding NAME", "--format NAME", "--no-open",
// "-h"/"--help" and "--version" (a value also as "--encoding=NAME") from the
// arguments after the program's own name.
WindowCommandLine ParseWindowCommandLine(const QStringList& arguments);

// What "quillery --help" and "quillery --version" print.
std::string WindowHelpText();
std::string WindowVersionText();

// Whether a written folder is opened in the file manager: not with
// "--no-open", nor when the environment sets QUILLERY_NO_OPEN to anything but "" or "0".
bool OpensWrittenFolder(const WindowCommandLine& commandLine, const QByteArray& noOpenSetting);

// The input path an argument text names. A text that opens with a double
// quote and has exactly one more, gives what stands between the two (the rest
// is dropped); any other text is the path as it is, quotes included.
std::u16string ArgumentPath(std::u16string_view argumentText);

} // namespace quillery
