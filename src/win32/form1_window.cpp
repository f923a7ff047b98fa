#include "win32/form1_window.h"

#include "extract/front_end.h"
#include "extract/run_error.h"
#include "output/run_extraction.h"
#include "output/special_folder.h"
#include "util/file_exists.h"
#include "util/path_text.h"
#include "win32/open_file_dialog.h"
#include "win32/win32_front_end.h"

#include <windowsx.h>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace quillery {

namespace {

constexpr double kControlPointSize = 8.25;
constexpr double kGoPointSize = 13.5;
// Pixels kept free between a caption's text and the next control, and
// between a check box's box and its text.
constexpr int kCaptionGap = 2;
constexpr int kCheckTextGap = 4;
constexpr int kFirstControlId = 1000;
constexpr UINT kMenuUtf8 = 1;
constexpr UINT kMenuWindows1252 = 2;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

enum class Kind { edit, button, label, checkBox };

// How each control of kForm1Places is made, in the same order.
struct ControlMaking {
    Kind kind;
    const wchar_t* caption;
    bool checked;
};
constexpr std::array<ControlMaking, kForm1ControlCount> kMaking{{
    {Kind::edit, L"", false},
    {Kind::button, L"...", false},
    {Kind::label, L"Extract", false},
    {Kind::checkBox, L"highlights", true},
    {Kind::checkBox, L"notes", true},
    {Kind::checkBox, L"bookmarks", false},
    {Kind::checkBox, L"keep locations", false},
    {Kind::checkBox, L"sort", true},
    {Kind::button, L"GO!", false},
    {Kind::checkBox, L"fix ANSI", true},
}};

std::size_t IndexOf(std::string_view name)
{
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        if (kForm1Places[i].name == name) {
            return i;
        }
    }
    throw std::out_of_range("Form1 has no control named " + std::string(name));
}

std::string_view NameOf(ExtractOption option)
{
    switch (option) {
    case ExtractOption::highlights:
        return "highlights";
    case ExtractOption::notes:
        return "notes";
    case ExtractOption::bookmarks:
        return "bookmarks";
    case ExtractOption::sort:
        return "sort";
    case ExtractOption::keeplocs:
        return "keeplocs";
    case ExtractOption::fixANSI:
        return "fixANSI";
    }
    return "";
}

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::u16string TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return {text.begin(), text.end()};
}

HFONT MakeFont(double points, int dotsPerInch)
{
    const int height = -static_cast<int>(std::lround(points * dotsPerInch / 72.0));
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg 2");
}

// The pixels a control's caption needs from the control's left edge: a check
// box's box, gap and text, a label's text, a button's text in its frame.
int CaptionWidth(HWND control, Kind kind)
{
    const std::u16string caption = TextOf(control);
    if (caption.empty()) {
        return 0;
    }
    HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(caption), static_cast<int>(caption.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    switch (kind) {
    case Kind::checkBox:
        return GetSystemMetrics(SM_CXMENUCHECK) + kCheckTextGap + size.cx + kCaptionGap;
    case Kind::label:
        return size.cx + kCaptionGap;
    case Kind::button:
        return size.cx + 4 * GetSystemMetrics(SM_CXEDGE);
    case Kind::edit:
        return 0;
    }
    return 0;
}

void RegisterWindowClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = Form1Window::kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("cannot register the window class");
    }
}

void FillDefaults(Form1Hooks& hooks)
{
    if (!hooks.baseFolder) {
        hooks.baseFolder = DefaultBaseFolder;
    }
    if (!hooks.showFailure) {
        hooks.showFailure = [](HWND window, const std::u16string& message) {
            MessageBoxW(window, Wide(message), L"Quillery", MB_OK | MB_ICONERROR);
        };
    }
    if (!hooks.showWarning) {
        hooks.showWarning = [](HWND window, const std::u16string& message) {
            MessageBoxW(window, Wide(message), L"Quillery", MB_OK | MB_ICONWARNING);
        };
    }
    if (!hooks.endProgram) {
        hooks.endProgram = [](int status) { PostQuitMessage(status); };
    }
}

} // namespace

Form1Window::Form1Window(Form1Hooks hooks) : hooks_(std::move(hooks))
{
    FillDefaults(hooks_);
    RegisterWindowClass();
    window_ = CreateWindowExW(0, kClassName, L"Quillery", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        throw std::runtime_error("cannot create the window");
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form1Window::Procedure));
    CreateControls();
    LayOut();
    SetFocus(control("path"));
}

Form1Window::~Form1Window()
{
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
    DeleteObject(controlFont_);
    DeleteObject(goFont_);
}

HWND Form1Window::control(std::string_view name) const
{
    return controls_[IndexOf(name)];
}

void Form1Window::CreateControls()
{
    HDC dc = GetDC(window_);
    const int dotsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window_, dc);
    controlFont_ = MakeFont(kControlPointSize, dotsPerInch);
    goFont_ = MakeFont(kGoPointSize, dotsPerInch);
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const ControlMaking& making = kMaking[i];
        const wchar_t* windowClass = L"BUTTON";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        DWORD extended = 0;
        switch (making.kind) {
        case Kind::edit:
            windowClass = L"EDIT";
            style |= ES_AUTOHSCROLL;
            extended = WS_EX_CLIENTEDGE;
            break;
        case Kind::button:
            style |= BS_PUSHBUTTON;
            break;
        case Kind::label:
            windowClass = L"STATIC";
            style = WS_CHILD | WS_VISIBLE | SS_LEFT;
            break;
        case Kind::checkBox:
            style |= BS_AUTOCHECKBOX;
            break;
        }
        const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i));
        controls_[i] = CreateWindowExW(extended, windowClass, making.caption, style, 0, 0, 10, 10, window_,
                                       reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
        const HFONT font = kForm1Places[i].name == "go" ? goFont_ : controlFont_;
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (making.checked) {
            Button_SetCheck(controls_[i], BST_CHECKED);
        }
    }
    EnableWindow(control("go"), FALSE);
}

// Places every control from its twips at the screen's resolution, making
// room where a caption needs more in this font.
void Form1Window::LayOut()
{
    std::array<int, kForm1ControlCount> captionWidths{};
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        captionWidths[i] = CaptionWidth(controls_[i], kMaking[i].kind);
    }
    HDC dc = GetDC(window_);
    const Form1Pixels layout =
        PlaceControls(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), captionWidths);
    ReleaseDC(window_, dc);
    for (std::size_t i = 0; i < kForm1ControlCount; ++i) {
        const PixelRect& place = layout.controls[i];
        MoveWindow(controls_[i], place.left, place.top, place.width, place.height, FALSE);
    }
    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::Form_Load(const std::u16string& path)
{
    if (path.empty()) {
        return;
    }
    SetWindowTextW(control("path"), Wide(path));
    // A named path enables "GO!" even when it names nothing: the run reports that.
    SetGoEnabled(true);
}

bool Form1Window::OptionOn(ExtractOption option) const
{
    return Button_GetCheck(control(NameOf(option))) == BST_CHECKED;
}

std::u16string Form1Window::pathText() const
{
    return TextOf(control("path"));
}

void Form1Window::SetTitle(const std::u16string& title)
{
    SetWindowTextW(window_, Wide(title));
}

void Form1Window::DispatchPendingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the main loop, which ends the program.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

LRESULT CALLBACK Form1Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->Handle(message, wParam, lParam);
}

LRESULT Form1Window::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        ShowEncodingMenu(lParam);
        return 0;
    case WM_CLOSE:
        // A run under way notices this at its next yield.
        if (running_) {
            closedDuringRun_ = true;
            return 0;
        }
        DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        if (!running_) {
            hooks_.endProgram(kWindowRunDone);
        }
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Form1Window::OnCommand(int id, int code)
{
    const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
    if (index >= kForm1ControlCount) {
        return;
    }
    const std::string_view name = kForm1Places[index].name;
    if (name == "path" && code == EN_CHANGE) {
        path_Change();
    } else if (name == "browse" && code == BN_CLICKED) {
        browse_Click();
    } else if (name == "go" && code == BN_CLICKED) {
        go_click();
    }
}

// The window's context menu offers the two encodings, one of them ticked.
void Form1Window::ShowEncodingMenu(LPARAM at)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kMenuUtf8, L"Write UTF-8");
    AppendMenuW(menu, MF_STRING, kMenuWindows1252, L"Write Windows-1252");
    const UINT ticked = encoding_ == TextEncoding::utf8 ? kMenuUtf8 : kMenuWindows1252;
    CheckMenuRadioItem(menu, kMenuUtf8, kMenuWindows1252, ticked, MF_BYCOMMAND);
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (point.x == -1 && point.y == -1) {
        point = {0, 0};
        ClientToScreen(window_, &point);
    }
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, point.x, point.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == kMenuUtf8) {
        encoding_ = TextEncoding::utf8;
    } else if (chosen == kMenuWindows1252) {
        encoding_ = TextEncoding::windows1252;
    }
}

void Form1Window::browse_Click()
{
    const std::u16string chosen = AskOpenFileName(window_, u"Please locate Kindle's clippings file..",
                                                  u"Kindle clippings|My clippings.txt;*.dkx");
    // A cancelled dialog gives "", several files "folder|a|b": neither exists.
    if (FileExists(chosen)) {
        SetWindowTextW(control("path"), Wide(chosen));
        SetGoEnabled(true);
    }
}

void Form1Window::path_Change()
{
    SetGoEnabled(FileExists(pathText()));
}

void Form1Window::go_click()
{
    // The store serves one run per program start.
    if (running_) {
        return;
    }
    running_ = true;
    EnableWindow(control("go"), FALSE);
    hooks_.endProgram(RunOnce());
}

int Form1Window::RunOnce()
{
    Win32FrontEnd frontEnd(*this);
    try {
        const RunRequest request{pathText(), encoding_, hooks_.baseFolder()};
        const RunOutcome outcome = RunExtraction(request, store_, frontEnd);
        if (!outcome.warning.empty()) {
            hooks_.showWarning(window_, FromUtf8(outcome.warning));
        }
        return kWindowRunDone;
    } catch (const RunAbandoned&) {
        // The window was closed before the writing began: nothing was written.
        return kWindowRunDone;
    } catch (...) {
        hooks_.showFailure(window_, FromUtf8(CurrentFailureMessage()));
    }
    return kWindowRunFailed;
}

void Form1Window::SetGoEnabled(bool enabled)
{
    EnableWindow(control("go"), enabled && !running_ ? TRUE : FALSE);
}

} // namespace quillery
