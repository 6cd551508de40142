// kqprogrammer: the desktop program.
#include "CommandLine.h"
#include "ModuleKQDevice.h"
#include "frmMain.h"

#include "InstallEditDialogs.h"
#include "KqSerialPort.h"
#include "TransferWindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (const int status = kq::HandleInfoOptions(argc, argv); status >= 0) return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KQ Serial PC Programmer"));
    QApplication::setApplicationVersion(QStringLiteral("1.2.0"));

    kq::InstallEditDialogs();
    kq::InstallTransferWindows();
    // --port DEV[,DEV...] gives the devices of COM1, COM2, ... for this run.
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--port"));
    if (at >= 0 && at + 1 < args.size()) kq::KqSerialPort::SetPortMap(args[at + 1].split(QLatin1Char(',')));
    kq::frmMain main;
    main.show();
    kq::NewDocument();
    return app.exec();
}
