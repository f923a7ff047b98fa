// quillery.exe driven as a user drives it: started on a file, "GO!" pressed,
// and the folder looked for on the desktop. With QUILLERY_SCREENSHOT set, the
// window is saved there as a bitmap before "GO!" is pressed.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace quillery {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kPatienceMs = 60000;
constexpr int kGoControlId = 1008;

fs::path Desktop()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::set<fs::path> Entries(const fs::path& folder)
{
    std::set<fs::path> entries;
    for (const auto& item : fs::directory_iterator(folder)) {
        entries.insert(item.path());
    }
    return entries;
}

// The top-level window of `process` with the program's class, once shown.
HWND WindowOf(DWORD process)
{
    for (DWORD waited = 0; waited < kPatienceMs; waited += 100) {
        for (HWND window = FindWindowW(L"QuilleryForm1", nullptr); window != nullptr;
             window = FindWindowExW(nullptr, window, L"QuilleryForm1", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process && IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(100);
    }
    return nullptr;
}

// The window as the screen shows it, as a 24-bit bitmap file.
void SaveScreenshot(HWND window, const fs::path& file)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(1000);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    const BITMAPFILEHEADER header{0x4D42,
                                  static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) + imageBytes,
                                  0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageBytes);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

TEST(QuilleryExe, StartedOnTheSample_GoWritesTheFolderOntoTheDesktop_andTheProgramEnds)
{
    const fs::path desktop = Desktop();
    ASSERT_TRUE(fs::is_directory(desktop));
    const std::set<fs::path> before = Entries(desktop);
    std::wstring command = L"\"" + fs::path(QUILLERY_WINDOW_PATH).wstring() + L"\" \"" +
                           (fs::path(SAMPLE_DIR) / "My Clippings.txt").wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    const HWND window = WindowOf(process.dwProcessId);
    EXPECT_NE(window, nullptr) << "no window appeared";
    if (window != nullptr) {
        if (const char* screenshot = std::getenv("QUILLERY_SCREENSHOT")) {
            SaveScreenshot(window, screenshot);
        }
        HWND go = GetDlgItem(window, kGoControlId);
        EXPECT_TRUE(IsWindowEnabled(go));
        PostMessageW(go, BM_CLICK, 0, 0);
    }
    const bool ended = WaitForSingleObject(process.hProcess, kPatienceMs) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 99);
    }
    DWORD status = 99;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(ended) << "the program did not end after its run";
    EXPECT_EQ(status, 0u);

    std::set<fs::path> made;
    for (const fs::path& entry : Entries(desktop)) {
        if (!before.contains(entry)) {
            made.insert(entry);
        }
    }
    ASSERT_EQ(made.size(), 1u);
    const fs::path folder = *made.begin();
    EXPECT_EQ(folder.filename().wstring().rfind(L"My Clippings", 0), 0u);
    EXPECT_TRUE(fs::is_regular_file(folder / "all.htm"));
    EXPECT_TRUE(fs::is_regular_file(folder / "A Field Guide to Quiet Rivers (Tomas Reyes).txt"));
    if (std::getenv("QUILLERY_KEEP_OUTPUT") == nullptr) {
        fs::remove_all(folder);
    }
}

} // namespace
} // namespace quillery
