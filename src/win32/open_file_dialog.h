#pragma once

#include <string>

#include <windows.h>

namespace quillery {

// Shows the system's open-file dialog over `owner` with a title and a
// "|"-separated filter list (its first filter selected, "All files" added),
// several files allowed, and returns what was chosen: one file's full path,
// several as their folder and names joined by "|", "" when cancelled. A
// failure of the dialog itself is shown in a message box, and gives "".
std::u16string AskOpenFileName(HWND owner, const std::u16string& title, const std::u16string& filter);

} // namespace quillery
