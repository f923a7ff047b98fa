// quillery_window_tests [Suite [Qt Test arguments]]: runs one suite, or all.
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

namespace {

struct Suite {
    const char* name;
    int (*run)(int argc, char** argv);
};

constexpr Suite kSuites[] = {
    {"Form1Test", quillery::test::RunForm1Test},
    {"WindowRunTest", quillery::test::RunWindowRunTest},
    {"FileDialogTest", quillery::test::RunFileDialogTest},
    {"WindowInputTest", quillery::test::RunWindowInputTest},
};

// Nothing a test does may reach the real home or desktop.
void UseTemporaryHome(const QString& home)
{
    qputenv("HOME", QFile::encodeName(home));
    for (const char* variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = home + QLatin1Char('/') + QLatin1String(variable);
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(variable, QFile::encodeName(folder));
    }
    QStandardPaths::setTestModeEnabled(true);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    UseTemporaryHome(home.path());
    // Qt's own dialog, which a test can find and drive, on every platform.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);

    std::vector<char*> arguments(argv, argv + argc);
    const char* only = argc > 1 ? argv[1] : nullptr;
    bool known = only == nullptr;
    for (const Suite& suite : kSuites) {
        known = known || std::strcmp(only, suite.name) == 0;
    }
    if (!known) {
        only = nullptr; // Qt Test arguments for every suite
    } else if (only != nullptr) {
        arguments.erase(arguments.begin() + 1);
    }
    int failures = 0;
    for (const Suite& suite : kSuites) {
        if (only == nullptr || std::strcmp(only, suite.name) == 0) {
            failures += suite.run(static_cast<int>(arguments.size()), arguments.data());
        }
    }
    return failures == 0 ? 0 : 1;
}
