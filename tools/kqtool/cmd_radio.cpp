// kqtool read / write: the radio transfers of the program's DEVICE menu,
// from the command line.
#include "Args.h"
#include "Commands.h"

#include "ChannelFile.h"
#include "KqSerialPort.h"
#include "KqTransfer.h"

#include <QCoreApplication>

#include <cstdio>
#include <iostream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kqtool {

namespace {

// Exit statuses that tell the radio failures apart.
enum RadioExit : int {
    ExitNoLink = 3,      // no radio answered, or a word failed: " ComPort Error! "
    ExitNotInitiated = 4, // "EEPROM must be initiated!"
    ExitModelDeclined = 5,
    ExitCancelled = 6,
};

bool interactive() {
#ifndef _WIN32
    return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
#else
    return false;
#endif
}

// The link waits on Qt timers, so a transfer needs an application object
// for as long as it runs (and gone before the program's statics are).
struct QtScope {
    int argc = 1;
    char name[7] = "kqtool";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
};

void choosePorts(const Args& a) {
    if (const std::string* p = a.option("--port"))
        kq::KqSerialPort::SetPortMap(QString::fromStdString(*p).split(QLatin1Char(',')));
}

void showProgress(int value) {
    std::string bar(15, '.');
    for (int i = 0; i < value && i < 15; ++i) bar[static_cast<std::size_t>(i)] = '#';
    std::fprintf(stderr, "\r[%s] %2d/15", bar.c_str(), value);
    std::fflush(stderr);
}

int finish(kq::KqTransfer& t, kq::KqTransfer::Outcome o) {
    std::fprintf(stderr, "\n");
    using O = kq::KqTransfer::Outcome;
    const std::string message = kq::KqTransfer::Message(o).toStdString();
    switch (o) {
    case O::Done: return ExitOk;
    case O::NoRadio:
        std::cerr << "kqtool:" << message << "no radio answered on "
                  << kq::KqSerialPort::PortMap().mid(0, 4).join(", ").toStdString() << "\n";
        return ExitNoLink;
    case O::LinkFailed:
        std::cerr << "kqtool:" << message << "the radio stopped answering after " << t.WordsDone() << " of "
                  << t.WordsTotal() << " words\n";
        return ExitNoLink;
    case O::NotInitiated: std::cerr << "kqtool: " << message << "\n"; return ExitNotInitiated;
    case O::ModelDeclined:
        std::cerr << "kqtool: the radio is of another model; nothing was written (--yes overwrites it)\n";
        return ExitModelDeclined;
    case O::Cancelled: std::cerr << "kqtool: cancelled\n"; return ExitCancelled;
    }
    return ExitFailure;
}

int cmdRead(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--port", "-o"}, 0);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"option '-o' is required"};
    QtScope qt;
    choosePorts(a);
    kq::ClassKQxx53 dev;
    kq::KqTransfer t(dev, kq::KqTransfer::Direction::Read);
    t.hooks.progress = showProgress;
    const kq::KqTransfer::Outcome o = t.Run();
    const int status = finish(t, o);
    if (status == ExitOk) {
        kq::SaveChannelFile(dev, *out);
        std::cerr << "read " << t.WordsTotal() << " words from " << t.Device().toStdString() << " into " << *out
                  << "\n";
    }
    return status;
}

int cmdWrite(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--port"}, 1, {"--yes"});
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, a.positional[0]);
    QtScope qt;
    choosePorts(a);
    kq::KqTransfer t(dev, kq::KqTransfer::Direction::Write);
    t.hooks.progress = showProgress;
    const bool yes = a.flag("--yes");
    const int fileModel = dev.Model();
    t.hooks.confirmModelMismatch = [yes, fileModel](int radioModel) {
        if (yes) return true;
        if (!interactive()) return false;
        std::fprintf(stderr, "\nModel Type Unmatch! (radio model %d, file model %d)\nOverwrite ? [y/N] ", radioModel,
                     fileModel);
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
    const int status = finish(t, t.Run());
    if (status == ExitOk)
        std::cerr << "wrote and verified " << t.WordsTotal() << " words on " << t.Device().toStdString() << "\n";
    return status;
}

} // namespace

void RegisterRadioCommands() {
    AddCommand({"read", "read -o FILE.KQ [--port DEV[,DEV...]]",
                "read the radio into a channel file (exit 3 no radio or link error, 4 EEPROM not initiated)",
                cmdRead});
    AddCommand({"write", "write FILE.KQ [--port DEV[,DEV...]] [--yes]",
                "write a channel file into the radio, verifying each word (exit 3 link error, 5 other "
                "model refused; --yes overwrites a radio of another model)",
                cmdWrite});
}

} // namespace kqtool
