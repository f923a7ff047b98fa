#include "app/command_line.h"
#include "app/form1.h"

#include <QApplication>
#include <QUrl>

#include <cstdio>

int main(int argc, char* argv[])
{
    const quillery::WindowCommandLine line = quillery::ParseWindowCommandLine(quillery::ArgumentList(argc, argv));
    if (!line.error.empty()) {
        std::fputs(("quillery: " + line.error + "\n\n" + quillery::WindowHelpText()).c_str(), stderr);
        return 2;
    }
    if (line.help || line.version) {
        std::fputs((line.help ? quillery::WindowHelpText() : quillery::WindowVersionText()).c_str(), stdout);
        return 0;
    }
    // Qt takes options such as -platform or -reverse from the arguments it is
    // given, and aborts on some: it is given the program's name alone.
    char programName[] = "quillery";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 ? argv[0] : programName, nullptr};
    QApplication app(qtArgc, qtArgv);

    quillery::Form1Hooks hooks;
    if (!quillery::OpensWrittenFolder(line, qgetenv("QUILLERY_NO_OPEN"))) {
        hooks.openFolder = [](const QUrl&) {};
    }
    quillery::Form1 form(std::move(hooks));
    form.setEncoding(line.encoding);
    form.setFormat(line.format);
    form.Form_Load(line.argumentText);
    form.show();
    const int status = QApplication::exec();
    return status != 0 ? status : form.exitStatusOnClose();
}
