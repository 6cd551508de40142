#include "CommandLine.h"

#include "ExitStatus.h"
#include "Form_Readme.h"
#include "KqVersion.h"
#include "OptionParser.h"
#include "TextFill.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace kq {

namespace {

const char kPort[] = "--port";
const char kHelp[] = "--help";
const char kVersion[] = "--version";
const char kReadmePath[] = "--readme-path";

std::string Usage() {
    return "Usage: kqprogrammer [--port DEV[,DEV...]] [FILE.KQ ...]\n"
           "Prepare, print, read and write the channel tables of KQ radios.\n\n" +
           OptionTable({{"FILE.KQ ...", "open each channel file in a window of its own"},
                        {"--port DEV[,DEV...]", "the serial devices taken as COM1, COM2, ... for "
                                                "this run"},
                        {kReadmePath, "print the read-me file the HELP menu shows, and exit "
                                      "(status " + std::to_string(ExitFailure) +
                                          " when it is not found)"},
                        {kVersion, "print the version and exit"},
                        {"-h, --help", "print this text and exit"}},
                       2, 80) +
           "\nQt's own options (for example -platform offscreen) are accepted too.\n" +
           ExitStatusHelp({{ExitOk, "The windows were closed, or an answer was printed."},
                           {ExitFailure, "--readme-path: the read-me file was not found."},
                           {ExitUsage, ""}},
                          80);
}

} // namespace

int HandleInfoOptions(int argc, char** argv) {
    // Lenient: Qt's options (-platform offscreen) are unknown to this parser
    // and stay for the application object; as long options, "-stylesheet"
    // is never read as a row of one-letter ones.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption port(QStringList{QString::fromLatin1(kPort + 2)}, {}, "DEV");
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QString::fromLatin1(kHelp + 2)});
    const QCommandLineOption version(QString::fromLatin1(kVersion + 2));
    const QCommandLineOption readme(QString::fromLatin1(kReadmePath + 2));
    parser.addOptions({port, help, version, readme});
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    parser.parse(args);
    if (parser.isSet(help)) {
        std::fputs(Usage().c_str(), stdout);
        return ExitOk;
    }
    if (parser.isSet(version)) {
        std::printf("kqprogrammer %s\n", ProgramVersion);
        return ExitOk;
    }
    if (parser.isSet(readme)) {
        // The program's folder is known only to an application object; this
        // one needs no display and is gone before the windows' one is made.
        QCoreApplication app(argc, argv);
        const QString path = Form_Readme::ReadmePath();
        std::printf("%s\n", qPrintable(path));
        return QFile::exists(path) ? ExitOk : ExitFailure;
    }
    return -1;
}

ProgramArgs ParseProgramArgs(const QStringList& args) {
    std::vector<std::string> given;
    for (qsizetype i = 1; i < args.size(); ++i) given.push_back(args[i].toStdString());
    const ParsedOptions parsed = ParseOptions(
        given, {{kPort, true, false}, {kHelp}, {"-h"}, {kVersion}, {kReadmePath}});
    ProgramArgs out;
    for (const std::string& f : parsed.positional) {
        // The windows read no standard input; a file of that name is "./-".
        if (f == "-") throw UsageError("'-' is not a channel file; a file of that name is ./-");
        out.files << QString::fromStdString(f);
    }
    if (const std::string* p = parsed.option(kPort)) {
        out.ports.emplace();
        for (const QString& d : QString::fromStdString(*p).split(QLatin1Char(','))) {
            if (d.isEmpty()) throw UsageError("an empty device name in --port");
            out.ports->push_back(d.toStdString());
        }
    }
    return out;
}

int ReportUsageError(const std::string& message) {
    std::fprintf(stderr, "kqprogrammer: %s\nTry 'kqprogrammer --help' for more information.\n",
                 message.c_str());
    return ExitUsage;
}

} // namespace kq
