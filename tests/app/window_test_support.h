#pragma once

#include "app/form1.h"
#include "extract/find_device.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QFileDialog;

namespace quillery::test {

// Suites of quillery_window_tests, each a Qt Test object run by qExec.
int RunForm1Test(int argc, char** argv);
int RunWindowRunTest(int argc, char** argv);
int RunFileDialogTest(int argc, char** argv);
int RunWindowInputTest(int argc, char** argv);

// One Kindle entry as the device writes it, CR LF after every line.
std::string KindleEntry(const std::string& title, const std::string& meta, const std::string& text);
inline constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// Writes `bytes` to `name` in `folder` and returns the file's path.
QString WriteFile(const QString& folder, const QString& name, const std::string& bytes);
std::string ReadFile(const QString& path);
// The names in `folder`, sorted.
QStringList FolderNames(const QString& folder);

// What a run showed and asked for, recorded by the hooks of RecordingHooks.
struct RunRecord {
    std::vector<std::u16string> captions;
    QStringList failures;
    QStringList warnings;
    std::vector<int> exitStatuses;
    QStringList done;
    QList<QUrl> opened;
    // Where the window's search for e-readers looks, read at each search:
    // by default a mount table that does not exist, so nothing is found.
    DeviceSearchPlaces devicePlaces{u"/nonexistent/quillery-test/mounts", u""};
};

// A clock that moves on by `step` at every reading.
WindowFrontEnd::Clock SteppingClock(std::chrono::milliseconds step);

// Hooks that write into `baseFolder`, record into `record` and end nothing.
// The default clock moves on a second at every reading, so that every yield
// services the window and a test sees its queued events at once.
Form1Hooks RecordingHooks(RunRecord& record, const QString& baseFolder,
                          WindowFrontEnd::Clock clock = SteppingClock(std::chrono::seconds(1)));

// The control of the window with that object name, or null.
template <typename Control> Control* ControlNamed(QWidget& window, const char* name)
{
    return window.findChild<Control*>(QString::fromLatin1(name));
}

// Runs `act` on the modal file dialog once it shows; rejects a dialog that
// `act` left open so that no test blocks.
void WhenFileDialogShows(std::function<void(QFileDialog& dialog)> act);

// Types names into the dialog's name box, as the only choice: "a.txt", or
// several as "\"a.txt\" \"b.txt\"".
void TypeFileNames(QFileDialog& dialog, const QString& names);

// Presses the dialog's accept button (Open or Save) as a user would.
void AcceptDialog(QFileDialog& dialog);

std::u16string U16(const QString& text);

} // namespace quillery::test
