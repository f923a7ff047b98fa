#include "win32/dialog_text.h"
#include "win32/form1_window.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The arguments after the program's own name, as the shell split them.
std::vector<std::u16string> Arguments()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::u16string> arguments;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const std::wstring argument(wide[i]);
        arguments.emplace_back(argument.begin(), argument.end());
    }
    LocalFree(wide);
    return arguments;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show)
{
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const quillery::WindowArguments arguments = quillery::ParseWindowArguments(Arguments());
    if (!arguments.encoding) {
        MessageBoxW(nullptr, L"--encoding takes utf-8 or windows-1252", L"Quillery", MB_OK | MB_ICONERROR);
        return 2;
    }
    quillery::Form1Window form;
    form.setEncoding(*arguments.encoding);
    form.Form_Load(arguments.path);
    ShowWindow(form.hwnd(), show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(form.hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
