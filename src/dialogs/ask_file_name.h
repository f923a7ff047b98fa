#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QString;

namespace quillery {

// Shows the open (modes 0 and 1) or save (modes 2 and 3) file dialog with a
// title, a "|"-separated filter list whose first filter is selected, and an
// initial folder and name, and returns what the user chose: the full path of
// one file, or the folder and the names joined by "|" when several were chosen
// (multiSelect), or "" when the dialog was cancelled. Any other failure is
// shown in a message box, and then "" is returned. `flags` adds kOfn* flags;
// `sidebarFolders` are offered in the dialog's side bar after its own places.
std::u16string AskFileName(std::int32_t mode, const std::u16string& title, const std::u16string& filter,
                           const std::u16string& initialName, bool showReadOnly, bool multiSelect, std::uint32_t flags,
                           const std::vector<std::u16string>& sidebarFolders = {});

// The message boxes AskFileName may show. A test replaces them so that nothing
// blocks; a member left empty shows a QMessageBox.
struct FileDialogPrompts {
    // Told "Unable to get filename(s)." and the reason.
    std::function<void(const QString& text)> showFailure;
    // Asked whether the named file, which does not exist, is to be created.
    std::function<bool(const QString& path)> confirmCreate;
};
FileDialogPrompts& fileDialogPrompts();

} // namespace quillery
