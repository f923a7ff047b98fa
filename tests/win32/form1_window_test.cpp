#include "win32/form1_window.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windowsx.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillery {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;

const fs::path kSample = fs::path(SAMPLE_DIR) / "My Clippings.txt";

// A window whose run writes into a temporary folder and whose messages and
// end are recorded, not shown.
struct RecordedWindow {
    explicit RecordedWindow(const TempDir& base)
        : form(Form1Hooks{[&base] { return base.u16(); },
                          [this](HWND, const std::u16string& message) { failures.push_back(message); },
                          [this](HWND, const std::u16string& message) { warnings.push_back(message); },
                          [this](int status) { endStatus = status; }})
    {
    }

    void Click(std::string_view name) { SendMessageW(form.control(name), BM_CLICK, 0, 0); }

    std::vector<std::u16string> failures;
    std::vector<std::u16string> warnings;
    std::optional<int> endStatus;
    Form1Window form;
};

std::map<std::string, std::string> FolderBytes(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(folder)) {
        const std::u8string name = item.path().filename().u8string();
        files[std::string(name.begin(), name.end())] = ReadBytes(item.path());
    }
    return files;
}

RECT ClientRectOf(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(Form1Window, OptionsStartAsTheLinuxWindowHasThem_andFollowTheBoxes)
{
    TempDir base;
    RecordedWindow window(base);
    const struct {
        ExtractOption option;
        const char* name;
        bool on;
    } cases[] = {
        {ExtractOption::highlights, "highlights", true},
        {ExtractOption::notes, "notes", true},
        {ExtractOption::bookmarks, "bookmarks", false},
        {ExtractOption::keeplocs, "keeplocs", false},
        {ExtractOption::sort, "sort", true},
        {ExtractOption::fixANSI, "fixANSI", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(window.form.OptionOn(c.option), c.on);
        window.Click(c.name);
        EXPECT_EQ(window.form.OptionOn(c.option), !c.on);
    }
}

TEST(Form1Window, GoIsEnabledOnlyForAPathThatNamesSomething)
{
    TempDir base;
    RecordedWindow window(base);
    const struct {
        const char* name;
        std::u16string path;
        bool enabled;
    } cases[] = {
        {"the sample", kSample.u16string(), true},
        {"a folder", base.u16(), true},
        {"nothing", base.u16() + u"\\missing.txt", false},
        {"empty", u"", false},
    };
    EXPECT_FALSE(IsWindowEnabled(window.form.control("go")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetWindowTextW(window.form.control("path"), reinterpret_cast<const wchar_t*>(c.path.c_str()));
        EXPECT_EQ(IsWindowEnabled(window.form.control("go")) != FALSE, c.enabled);
    }
}

// The caption's text alone, in the control's font: less than the control needs.
int TextWidth(HWND control)
{
    wchar_t text[64] = {};
    const int length = GetWindowTextW(control, text, 64);
    HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

TEST(Form1Window, ControlsFitTheClientArea_andNoCaptionIsCoveredByTheNextControl)
{
    TempDir base;
    RecordedWindow window(base);
    RECT client{};
    GetClientRect(window.form.hwnd(), &client);
    for (const ControlPlace& place : kForm1Places) {
        SCOPED_TRACE(std::string(place.name));
        const HWND control = window.form.control(place.name);
        const RECT rect = ClientRectOf(control);
        EXPECT_GE(rect.left, 0);
        EXPECT_GE(rect.top, 0);
        EXPECT_LE(rect.right, client.right);
        EXPECT_LE(rect.bottom, client.bottom);
        EXPECT_GE(rect.right - rect.left, TextWidth(control));
        for (const ControlPlace& other : kForm1Places) {
            const RECT next = ClientRectOf(window.form.control(other.name));
            const bool sameRow = next.top < rect.bottom && rect.top < next.bottom;
            if (sameRow && next.left > rect.left) {
                EXPECT_GE(next.left, rect.left + TextWidth(control)) << other.name;
            }
        }
    }
}

TEST(Form1Window, GoOnTheSample_writesWhatTheGoldenHolds_andEndsTheProgram)
{
    TempDir base;
    RecordedWindow window(base);
    window.form.setEncoding(TextEncoding::windows1252);
    window.form.Form_Load(kSample.u16string());
    ASSERT_TRUE(IsWindowEnabled(window.form.control("go")));
    window.Click("go");
    EXPECT_EQ(window.endStatus, kWindowRunDone);
    EXPECT_TRUE(window.failures.empty());
    EXPECT_FALSE(IsWindowEnabled(window.form.control("go")));
    const auto expected = FolderBytes(fs::path(TEST_DATA_DIR) / "golden" / "My-Clippings.default");
    const auto written = FolderBytes(base.path() / "My Clippings");
    ASSERT_EQ(written.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(written.contains(name));
        EXPECT_TRUE(written.at(name) == bytes) << "the bytes differ";
    }
}

TEST(Form1Window, GoOnAPathThatNamesNothing_showsTheFailure_andEndsWithStatus1)
{
    TempDir base;
    RecordedWindow window(base);
    window.form.Form_Load(base.u16() + u"\\missing.txt");
    window.Click("go");
    EXPECT_EQ(window.endStatus, kWindowRunFailed);
    ASSERT_EQ(window.failures.size(), 1u);
    const std::u16string& failure = window.failures.front();
    EXPECT_EQ(failure.rfind(u"cannot open", 0), 0u);
    EXPECT_NE(failure.find(u"missing.txt"), std::u16string::npos);
    EXPECT_TRUE(fs::is_empty(base.path()));
}

TEST(Form1Window, TheRunsCaptionEndsInTheTitle)
{
    TempDir base;
    RecordedWindow window(base);
    wchar_t title[64] = {};
    GetWindowTextW(window.form.hwnd(), title, 64);
    EXPECT_STREQ(title, L"Quillery");
    window.form.Form_Load(kSample.u16string());
    window.Click("go");
    GetWindowTextW(window.form.hwnd(), title, 64);
    EXPECT_STREQ(title, L"Saving..");
}

} // namespace
} // namespace quillery
