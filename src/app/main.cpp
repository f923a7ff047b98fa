#include "app/command_line.h"
#include "app/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    quillery::Form1 form;
    form.Form_Load(quillery::ArgumentText(quillery::ArgumentList(argc, argv)));
    form.show();
    return QApplication::exec();
}
