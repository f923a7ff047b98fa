#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// Dialog flags, numbered as the Windows common dialogs number them, so that a
// caller's extra flags keep their meaning on every platform.
inline constexpr std::uint32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::uint32_t kOfnHideReadOnly = 0x4;
inline constexpr std::uint32_t kOfnAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kOfnPathMustExist = 0x800;
inline constexpr std::uint32_t kOfnFileMustExist = 0x1000;
inline constexpr std::uint32_t kOfnCreatePrompt = 0x2000;
inline constexpr std::uint32_t kOfnExplorer = 0x80000;
inline constexpr std::uint32_t kOfnNoDereferenceLinks = 0x100000;
inline constexpr std::uint32_t kOfnLongNames = 0x200000;

// Flags every open dialog and every save dialog carries.
inline constexpr std::uint32_t kOpenDialogFlags =
    kOfnPathMustExist | kOfnFileMustExist | kOfnExplorer | kOfnNoDereferenceLinks | kOfnLongNames;
inline constexpr std::uint32_t kSaveDialogFlags = kOfnPathMustExist | kOfnExplorer | kOfnLongNames;

// The filter list a caller gets when it gives none.
inline constexpr std::u16string_view kAllFilesFilter = u"All Files (*.*)|*.*";

// Modes 0 and 1 open, 2 and 3 save; any other mode has no dialog.
enum class DialogKind { open, save, none };
DialogKind DialogKindOfMode(std::int32_t mode);

// The dialog's flags: `flags`, the mode's prompt flag, kOfnHideReadOnly unless
// the read-only box is shown, kOfnAllowMultiSelect, and the fixed flags of the
// mode's dialog. For example mode 0, no read-only box, several files: 0x381A04.
std::uint32_t DialogFlags(std::int32_t mode, bool showReadOnly, bool multiSelect, std::uint32_t flags);

// What the flags ask of a dialog toolkit.
struct DialogBehaviour {
    bool save = false;
    bool multiSelect = false;
    bool fileMustExist = false;
    // A name that does not exist is accepted once the user agrees to create it.
    bool createPrompt = false;
    bool overwritePrompt = false;
    bool followLinks = true;
};
DialogBehaviour BehaviourOfFlags(DialogKind kind, std::uint32_t flags);

// An initial name taken apart at its last folder separator: "/home/me/a.txt"
// gives "/home/me/", "a.txt" and "txt". A dot in a folder's name is no extension.
struct InitialName {
    std::u16string folder;
    std::u16string fileName;
    std::u16string defaultExtension;
};
InitialName SplitInitialName(std::u16string_view initialName);

// A pattern of the filter list ("*" and "?" wildcards, any letter case) as a
// glob that matches the same names on a case-sensitive file system and holds
// no blank: "My clippings.txt" gives "[Mm][Yy]?[Cc]...", "*.*" gives "*".
std::u16string CaseBlindPattern(std::u16string_view pattern);

// The "|"-separated list of descriptions and ";"-separated pattern lists as
// toolkit name filters "Description (pattern pattern)", first pair first.
// An empty list stands for kAllFilesFilter; a description without patterns is dropped.
std::vector<std::u16string> NameFilters(std::u16string_view filter);

// The dialog's answer as one string: one chosen file as its full path, several
// as their folder followed by each name, joined by "|"; blanks at both ends go.
std::u16string SelectionResult(const std::vector<std::u16string>& chosenPaths);

} // namespace quillery
