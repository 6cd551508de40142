// kqtool read / write: the radio transfers of the program's DEVICE menu,
// from the command line.
#include "Args.h"
#include "Commands.h"

#include "ChannelFile.h"
#include "KqSerialPort.h"
#include "LinkRunner.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <iostream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kqtool {

namespace {

// Exit statuses that tell the radio failures apart.
enum RadioExit : int {
    ExitNoLink = 3,      // no radio answered, a word failed or read back otherwise: " ComPort Error! "
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

// Runs seq on the link's worker; the bar is drawn every 100 ms, as the
// program's window does.
kq::TransferSequence::Outcome runTransfer(kq::TransferSequence& seq, bool fast,
                                          const kq::LinkRunner::Hooks& hooks) {
    kq::Form_QVCom::Options link;
    link.fast = fast;
    int shown = -1;
    QTimer bar;
    bar.setInterval(100);
    QObject::connect(&bar, &QTimer::timeout, [&] {
        if (seq.Progress() != shown) showProgress(shown = seq.Progress());
    });
    kq::LinkRunner::Hooks h = hooks;
    h.portFound = [&](const QString&) {
        showProgress(shown = seq.Progress());
        bar.start();
    };
    const auto outcome = kq::LinkRunner::Run(seq, link, h);
    bar.stop();
    if (shown >= 0 && seq.Progress() != shown) showProgress(seq.Progress());
    return outcome;
}

int finish(const kq::TransferSequence& t, kq::TransferSequence::Outcome o) {
    std::fprintf(stderr, "\n");
    using O = kq::TransferSequence::Outcome;
    if (!t.Surprise().empty())
        std::cerr << "kqtool: the fast link fell back to the default pacing: " << t.Surprise() << "\n";
    const std::string message = t.Message(o);
    switch (o) {
    case O::Done: std::cerr << t.Detail(o) << "\n"; return ExitOk;
    case O::NoRadio:
        std::cerr << "kqtool:" << message << "no radio answered on "
                  << kq::KqSerialPort::PortMap().mid(0, 4).join(", ").toStdString();
        if (!t.PortProblem().empty()) std::cerr << "; " << t.PortProblem();
        std::cerr << "\n";
        return ExitNoLink;
    case O::LinkFailed:
    case O::VerifyFailed: std::cerr << "kqtool:" << message << t.Detail(o) << "\n"; return ExitNoLink;
    case O::NotInitiated: std::cerr << "kqtool: " << t.Detail(o) << "\n"; return ExitNotInitiated;
    case O::ModelDeclined:
        std::cerr << "kqtool: the radio is of another model; nothing was written (--yes overwrites it)\n";
        return ExitModelDeclined;
    case O::TableInvalid: std::cerr << "kqtool: " << t.Detail(o) << "; nothing was sent\n"; return ExitFailure;
    case O::Cancelled: std::cerr << "kqtool: cancelled\n"; return ExitCancelled;
    }
    return ExitFailure;
}

int cmdRead(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--port", "-o"}, 0, {"--fast"});
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"option '-o' is required"};
    QtScope qt;
    choosePorts(a);
    kq::ClassKQxx53 dev;
    kq::TransferSequence t(dev, kq::TransferSequence::Direction::Read);
    const int status = finish(t, runTransfer(t, a.flag("--fast"), {}));
    if (status == ExitOk) kq::SaveChannelFile(dev, *out);
    return status;
}

int cmdWrite(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--port"}, 1, {"--yes", "--fast"});
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, a.positional[0]);
    QtScope qt;
    choosePorts(a);
    kq::TransferSequence t(dev, kq::TransferSequence::Direction::Write);
    const bool yes = a.flag("--yes");
    const int fileModel = dev.Model();
    kq::LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [yes, fileModel](int radioModel) {
        if (yes) return true;
        if (!interactive()) return false;
        std::fprintf(stderr, "\nModel Type Unmatch! (radio model %d, file model %d)\nOverwrite ? [y/N] ", radioModel,
                     fileModel);
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
    return finish(t, runTransfer(t, a.flag("--fast"), hooks));
}

} // namespace

void RegisterRadioCommands() {
    AddCommand({"read", "read -o FILE.KQ [--port DEV[,DEV...]] [--fast]",
                "read the radio into a channel file (exit 3 no radio or link error, 4 EEPROM not initiated; "
                "--fast ends each exchange once its answer is in and checked, falling back to the default "
                "pacing on anything unexpected)",
                cmdRead});
    AddCommand({"write", "write FILE.KQ [--port DEV[,DEV...]] [--yes] [--fast]",
                "write a channel file into the radio, verifying each word (exit 3 link error or a word read "
                "back otherwise, 5 other model refused; --yes overwrites a radio of another model; --fast as "
                "for read, and reads every word back at the end)",
                cmdWrite});
}

} // namespace kqtool
