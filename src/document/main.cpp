// kqprogrammer: the desktop program.
#include "ModuleKQDevice.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KQ Serial PC Programmer"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));

    kq::frmMain main;
    main.show();
    kq::NewDocument();
    return app.exec();
}
