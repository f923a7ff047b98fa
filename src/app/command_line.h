#pragma once

#include "util/text_encoding.h"

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

// Takes "--encoding NAME" from the head of the arguments (after the
// program's own name). Gives the encoding named, kDefaultEncoding when the
// arguments do not start with "--encoding", and nothing when NAME is missing
// or names no encoding.
std::optional<TextEncoding> TakeEncodingArgument(QStringList& arguments);

// The input path an argument text names. A text that opens with a double
// quote and has exactly one more, gives what stands between the two (the rest
// is dropped); any other text is the path as it is, quotes included.
std::u16string ArgumentPath(std::u16string_view argumentText);

} // namespace quillery
