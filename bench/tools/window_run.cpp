// window_run FILE BASE: one extraction of FILE through the real window, as a
// click on "GO!" makes it, writing "My Clippings" into the folder BASE and
// ending like the program. Run it with QT_QPA_PLATFORM=offscreen to time the
// window's share of a run against quillery-cli.
#include "app/form1.h"

#include <QApplication>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <utility>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: window_run FILE BASE\n");
        return 2;
    }
    quillery::Form1Hooks hooks;
    std::u16string base = args[2].toStdU16String();
    hooks.baseFolder = [base = std::move(base)] { return base; };
    hooks.showFailure = [](QWidget*, const QString& message) {
        std::fprintf(stderr, "window_run: %s\n", message.toLocal8Bit().constData());
    };
    // What a user is shown at the end is no part of the run's time: neither
    // the message box nor the file manager.
    hooks.showDone = [](QWidget*, const QString&) {};
    hooks.openFolder = [](const QUrl&) {};
    quillery::Form1 form(hooks);
    form.Form_Load(args[1].toStdU16String());
    form.show();
    QTimer::singleShot(0, &form, &quillery::Form1::go_click);
    return QApplication::exec();
}
