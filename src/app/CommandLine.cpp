#include "CommandLine.h"

#include "Form_Readme.h"
#include "KqVersion.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <cstring>

namespace kq {

namespace {

const char kUsage[] =
    "Usage: kqprogrammer [--port DEV[,DEV...]] [FILE.KQ ...]\n"
    "Prepare, print, read and write the channel tables of KQ radios.\n\n"
    "  FILE.KQ ...             open each channel file in a window of its own\n"
    "  --port DEV[,DEV...]     the serial devices taken as COM1, COM2, ... for this run\n"
    "  --readme-path           print the read-me file the HELP menu shows, and exit\n"
    "                          (status 1 when it is not found)\n"
    "  --version               print the version and exit\n"
    "  -h, --help              print this text and exit\n\n"
    "Qt's own options (for example -platform offscreen) are accepted too.\n";

} // namespace

int HandleInfoOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(a, "--version") == 0) {
            std::printf("kqprogrammer %s\n", ProgramVersion);
            return 0;
        }
        if (std::strcmp(a, "--readme-path") == 0) {
            // The program's folder is known only to an application object; this
            // one needs no display and is gone before the windows' one is made.
            QCoreApplication app(argc, argv);
            const QString path = Form_Readme::ReadmePath();
            std::printf("%s\n", qPrintable(path));
            return QFile::exists(path) ? 0 : 1;
        }
    }
    return -1;
}

} // namespace kq
