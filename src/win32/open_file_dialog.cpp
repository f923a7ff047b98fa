#include "win32/open_file_dialog.h"

#include "dialogs/file_dialog_setup.h"
#include "win32/dialog_text.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace quillery {

namespace {

// Room for many names when several files are chosen.
constexpr DWORD kAnswerUnits = 64 * 1024;

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

} // namespace

std::u16string AskOpenFileName(HWND owner, const std::u16string& title, const std::u16string& filter)
{
    const std::u16string filters = DialogFilter(filter + u"|All files (*.*)|*.*");
    std::u16string answer(kAnswerUnits, u'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = Wide(filters);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = reinterpret_cast<wchar_t*>(answer.data());
    dialog.nMaxFile = kAnswerUnits;
    dialog.lpstrTitle = Wide(title);
    dialog.Flags = DialogFlags(0, false, true, 0);
    if (!GetOpenFileNameW(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0) {
            const std::wstring text =
                L"Unable to get filename(s).\n\nThe dialog failed with code " + std::to_wstring(error) + L".";
            MessageBoxW(owner, text.c_str(), L"Quillery", MB_OK | MB_ICONERROR);
        }
        return {};
    }
    return SelectionResult(ChosenPaths(answer));
}

} // namespace quillery
