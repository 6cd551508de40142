// kqprogrammer: the desktop program.
#include "CommandLine.h"
#include "KqVersion.h"
#include "OptionParser.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (const int status = kq::HandleInfoOptions(argc, argv); status >= 0) return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KQ Serial PC Programmer"));
    QApplication::setApplicationVersion(QLatin1String(kq::ProgramVersion));
    // Where QSettings keeps what the user chose between runs.
    QApplication::setOrganizationName(QStringLiteral("kqprogrammer"));
    kq::ProgramArgs args;
    try {
        // Qt's own options are gone from the application's arguments.
        args = kq::ParseProgramArgs(QApplication::arguments());
    } catch (const kq::UsageError& e) {
        return kq::ReportUsageError(e.what());
    }
    const auto main = kq::StartProgram(args);
    return app.exec();
}
