#include "app/command_line.h"
#include "app/form1.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = quillery::ArgumentList(argc, argv);
    const std::optional<quillery::TextEncoding> encoding = quillery::TakeEncodingArgument(arguments);
    if (!encoding) {
        std::fputs("quillery: --encoding takes utf-8 or windows-1252\n", stderr);
        return 2;
    }
    quillery::Form1 form;
    form.setEncoding(*encoding);
    form.Form_Load(quillery::ArgumentText(arguments));
    form.show();
    return QApplication::exec();
}
