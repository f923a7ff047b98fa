#pragma once

#include "app/form1_layout.h"
#include "extract/clip_store.h"
#include "extract/extract_options.h"
#include "util/text_encoding.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include <windows.h>
// <windows.h> defines Yield() as nothing, which would erase FrontEnd::Yield.
#undef Yield

namespace quillery {

// What the window does at the edges of a run. Each member left empty takes
// the program's own behaviour; tests replace them to keep off the desktop
// and to see what would be shown.
struct Form1Hooks {
    // Where "My Clippings" is written: DefaultBaseFolder().
    std::function<std::u16string()> baseFolder;
    // Shows a run's failure, or a warning about a run that succeeded: a
    // message box over the window.
    std::function<void(HWND window, const std::u16string& message)> showFailure;
    std::function<void(HWND window, const std::u16string& message)> showWarning;
    // Ends the program with an exit status: PostQuitMessage.
    std::function<void(int status)> endProgram;
};

// Exit statuses of the program after a run (those of quillery-cli).
inline constexpr int kWindowRunDone = 0;
inline constexpr int kWindowRunFailed = 1;

// The program's window on Windows: the input path, "..." for the file dialog,
// the six options and "GO!", which runs one extraction and then ends the
// program. The window's context menu chooses the output's encoding.
class Form1Window {
  public:
    static constexpr const wchar_t* kClassName = L"QuilleryForm1";

    explicit Form1Window(Form1Hooks hooks = {});
    ~Form1Window();
    Form1Window(const Form1Window&) = delete;
    Form1Window& operator=(const Form1Window&) = delete;

    HWND hwnd() const { return window_; }
    // The control named as in kForm1Places.
    HWND control(std::string_view name) const;

    // Takes the input path, before the window is shown.
    void Form_Load(const std::u16string& path);
    void setEncoding(TextEncoding encoding) { encoding_ = encoding; }
    TextEncoding encoding() const { return encoding_; }

    // What a run reads of the window.
    bool OptionOn(ExtractOption option) const;
    std::u16string pathText() const;
    bool closedDuringRun() const { return closedDuringRun_; }
    void SetTitle(const std::u16string& title);
    // Handles every message waiting for this thread once.
    void DispatchPendingMessages();

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void LayOut();
    void OnCommand(int id, int code);
    void ShowEncodingMenu(LPARAM at);
    void browse_Click();
    void path_Change();
    void go_click();
    int RunOnce();
    // Enables "GO!" when asked, but never while a run is under way.
    void SetGoEnabled(bool enabled);

    Form1Hooks hooks_;
    HWND window_ = nullptr;
    std::array<HWND, kForm1ControlCount> controls_{};
    HFONT controlFont_ = nullptr;
    HFONT goFont_ = nullptr;
    TextEncoding encoding_ = kDefaultEncoding;
    ClipStore store_;
    bool running_ = false;
    bool closedDuringRun_ = false;
};

} // namespace quillery
