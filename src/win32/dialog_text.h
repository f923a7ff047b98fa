#pragma once

#include "util/text_encoding.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// The "|"-separated filter list as the open-file dialog takes it: each
// description and pattern list ended by a NUL, the whole by a second NUL.
// An empty list stands for every file.
std::u16string DialogFilter(std::u16string_view filter);

// The full paths an open-file dialog's answer names: one path, or with
// several files chosen the folder and then each name, every part ended by a
// NUL and the whole by a second NUL.
std::vector<std::u16string> ChosenPaths(std::u16string_view answer);

// What the window's arguments (after the program's own name) ask for: an
// optional leading "--encoding NAME", then the input path, the arguments
// joined by single blanks, so that an unquoted path with blanks comes back
// whole. No encoding when NAME is missing or names none.
struct WindowArguments {
    std::optional<TextEncoding> encoding = kDefaultEncoding;
    std::u16string path;
};
WindowArguments ParseWindowArguments(const std::vector<std::u16string>& arguments);

} // namespace quillery
