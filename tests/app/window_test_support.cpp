#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QTimer>

#include <utility>

namespace quillery::test {

std::string KindleEntry(const std::string& title, const std::string& meta, const std::string& text)
{
    return title + "\r\n" + meta + "\r\n\r\n" + text + "\r\n==========\r\n";
}

QString WriteFile(const QString& folder, const QString& name, const std::string& bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

std::string ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<missing " + path.toStdString() + ">";
    }
    return file.readAll().toStdString();
}

QStringList FolderNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    return names;
}

WindowFrontEnd::Clock SteppingClock(std::chrono::milliseconds step)
{
    return [now = std::chrono::steady_clock::time_point{}, step]() mutable { return now += step; };
}

Form1Hooks RecordingHooks(RunRecord& record, const QString& baseFolder, WindowFrontEnd::Clock clock)
{
    Form1Hooks hooks;
    hooks.baseFolder = [baseFolder] { return U16(baseFolder); };
    hooks.showFailure = [&record](QWidget*, const QString& message) { record.failures.append(message); };
    hooks.showWarning = [&record](QWidget*, const QString& message) { record.warnings.append(message); };
    hooks.endProgram = [&record](int status) { record.exitStatuses.push_back(status); };
    hooks.showDone = [&record](QWidget*, const QString& line) { record.done.append(line); };
    hooks.openFolder = [&record](const QUrl& folder) { record.opened.append(folder); };
    hooks.findDevices = [&record] { return FindDeviceClippings(record.devicePlaces); };
    hooks.clock = std::move(clock);
    hooks.onCaption = [&record](const std::u16string& caption) { record.captions.push_back(caption); };
    return hooks;
}

void WhenFileDialogShows(std::function<void(QFileDialog& dialog)> act)
{
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act = std::move(act)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        // A message box raised by the dialog would block the test: close it, and say so.
        QTimer::singleShot(3000, qApp, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                qWarning("unexpected message box: %s", qPrintable(box->text()));
                box->reject();
            }
        });
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    timer->start();
}

void TypeFileNames(QFileDialog& dialog, const QString& names)
{
    // A file selected in the list counts before the typed names.
    dialog.findChild<QListView*>("listView")->clearSelection();
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText(names);
}

void AcceptDialog(QFileDialog& dialog)
{
    // accept() is protected; it is a slot all the same.
    QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
}

std::u16string U16(const QString& text)
{
    return text.toStdU16String();
}

} // namespace quillery::test
