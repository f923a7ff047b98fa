#pragma once

#include "app/window_front_end.h"
#include "extract/clip_store.h"
#include "extract/extract_options.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;

namespace quillery {

// What Form1 does at the edges of a run. Each member left empty takes the
// program's own behaviour; tests replace them to keep off the desktop and to
// see what would be shown.
struct Form1Hooks {
    // Where "My Clippings" is written: DefaultBaseFolder().
    std::function<std::u16string()> baseFolder;
    // Shows a run's failure: a message box over the window.
    std::function<void(QWidget* window, const QString& message)> showFailure;
    // Shows a warning about a run that succeeded: a message box over the window.
    std::function<void(QWidget* window, const QString& message)> showWarning;
    // Shows the line of what a run wrote: a message box over the window.
    std::function<void(QWidget* window, const QString& line)> showDone;
    // Opens the written folder: QDesktopServices::openUrl, or nothing when
    // the environment sets QUILLERY_NO_OPEN (as OpensWrittenFolder reads it).
    std::function<void(const QUrl& folder)> openFolder;
    // The clippings files of the connected e-readers: FindDeviceClippings
    // in the session's places.
    std::function<std::vector<std::u16string>()> findDevices;
    // Ends the program with an exit status: QCoreApplication::exit.
    std::function<void(int status)> endProgram;
    // The clock that paces the window's service during a run.
    WindowFrontEnd::Clock clock;
    // Sees every caption of a run.
    WindowFrontEnd::CaptionObserver onCaption;
};

// Exit statuses of the program after a run (those of quillery-cli).
inline constexpr int kWindowRunDone = 0;
inline constexpr int kWindowRunFailed = 1;

// The program's window: the input path, "..." for the file dialog, the six
// options and "GO!", which runs one extraction and then ends the program;
// after a failure the window stays for another try.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    explicit Form1(Form1Hooks hooks = {}, QWidget* parent = nullptr);

    // Takes the input path from the argument text, before the window is
    // shown; without one, the one connected e-reader's clippings file.
    void Form_Load(const std::u16string& argumentText);
    void browse_Click();
    void path_Change();
    void go_click();

    // What a run reads of the window.
    QCheckBox* optionBox(ExtractOption option) const;
    std::u16string pathText() const;
    bool closedDuringRun() const { return closedDuringRun_; }
    // The program's status when the window is closed: that of the last run.
    int exitStatusOnClose() const;

    // The run's text encoding, chosen in the window's context menu; a run
    // keeps the one it began with.
    TextEncoding encoding() const { return encoding_; }
    void setEncoding(TextEncoding encoding);
    QAction* encodingAction(TextEncoding encoding) const;
    // What a run writes, chosen in the context menu below the encoding: the
    // classic output, or a format other tools read (cleaned).
    OutputFormat format() const { return format_; }
    void setFormat(OutputFormat format);
    QAction* formatAction(OutputFormat format) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter presses "GO!" when it is enabled ("..." when that has the focus).
    void keyPressEvent(QKeyEvent* event) override;
    // A file or folder dropped on the window or the path box becomes the path.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void LayOut();
    void AddEncodingMenu();
    void AddFormatMenu();
    void AddToolTips();
    void ChainFocus();
    // Enables "GO!" when asked, but never while a run is under way.
    void SetGoEnabled(bool enabled);
    int RunOnce();
    // Back to the state before the run, for another try after a failure.
    void KeepForAnotherRun();
    std::u16string InputPath() const;

    Form1Hooks hooks_;
    QLineEdit* path = nullptr;
    QPushButton* browse = nullptr;
    QLabel* Label1 = nullptr;
    QCheckBox* highlights = nullptr;
    QCheckBox* notes = nullptr;
    QCheckBox* bookmarks = nullptr;
    QCheckBox* keeplocs = nullptr;
    QCheckBox* sort = nullptr;
    QPushButton* go = nullptr;
    QCheckBox* fixANSI = nullptr;

    QAction* utf8Action_ = nullptr;
    QAction* windows1252Action_ = nullptr;
    std::vector<QAction*> formatActions_;
    OutputFormat format_ = OutputFormat::classic;
    TextEncoding encoding_ = kDefaultEncoding;

    ClipStore store_;
    bool running_ = false;
    bool closedDuringRun_ = false;
    bool lastRunFailed_ = false;
};

} // namespace quillery
