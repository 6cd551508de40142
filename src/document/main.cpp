// kqprogrammer: the desktop program.
#include "ModuleKQDevice.h"
#include "frmMain.h"

#ifdef KQ_EDIT_DIALOGS
#include "InstallEditDialogs.h"
#endif

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KQ Serial PC Programmer"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));

#ifdef KQ_EDIT_DIALOGS
    kq::InstallEditDialogs();
#endif
    kq::frmMain main;
    main.show();
    kq::NewDocument();
    return app.exec();
}
