// kqtool read / write / verify: the radio transfers of the program's DEVICE
// menu, from the command line.
#include "Args.h"
#include "Commands.h"
#include "DiffText.h"
#include "RadioBench.h"

#include "ChannelFile.h"
#include "KqErrors.h"
#include "SerialPorts.h"
#include "LinkRunner.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <iostream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kqtool {

namespace {

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

void showProgress(int value) {
    std::string bar(15, '.');
    for (int i = 0; i < value && i < 15; ++i) bar[static_cast<std::size_t>(i)] = '#';
    std::fprintf(stderr, "\r[%s] %2d/15", bar.c_str(), value);
    std::fflush(stderr);
}

// Runs seq on the link's worker; the bar is drawn every 100 ms, as the
// program's window does.
kq::TransferResult runTransfer(kq::TransferSequence& seq, const kq::LinkSettings& link,
                               const kq::LinkRunner::Hooks& hooks) {
    int shown = -1;
    QTimer bar;
    bar.setInterval(100);
    QObject::connect(&bar, &QTimer::timeout, [&] {
        if (seq.Progress() != shown) showProgress(shown = seq.Progress());
    });
    QTimer interrupt;
    QObject::connect(&interrupt, &QTimer::timeout, [&] {
        if (Interrupted()) seq.Cancel();
    });
    interrupt.start(50);
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

// A whole number from first to last given as option name, or fallback.
int numberOption(const Args& a, const std::string& name, int first, int last, int fallback) {
    const std::string* v = a.option(name);
    if (!v) return fallback;
    try {
        std::size_t end = 0;
        const int n = std::stoi(*v, &end);
        if (end == v->size() && n >= first && n <= last) return n;
    } catch (const std::logic_error&) {}
    throw UsageError{name + " takes a number from " + std::to_string(first) + " to " +
                     std::to_string(last) + ", not '" + *v + "'"};
}

// The link options every radio command takes.
const std::set<std::string> kLinkValues = {"--tick-ms", "--eeprom-ms"};
const std::set<std::string> kLinkFlags = {"--fast"};

std::set<std::string> with(std::set<std::string> names, const std::set<std::string>& more) {
    names.insert(more.begin(), more.end());
    return names;
}

// The link settings of the command line; ports: the devices of COM1,
// COM2, ... (empty: the system's).
kq::LinkSettings linkSettings(const Args& a, const QStringList& ports) {
    kq::LinkSettings link;
    link.ports = kq::ToStdStrings(ports);
    link.fast = a.flag("--fast");
    // Only longer: the radio's own timing is the shortest tick there is.
    link.tickMs = numberOption(a, "--tick-ms", link.tickMs, 1000, link.tickMs);
    link.eepromMs = numberOption(a, "--eeprom-ms", 0, 1000, link.eepromMs);
    return link;
}

// --port DEV[,DEV...] of read and verify.
QStringList portOption(const Args& a) {
    const std::string* p = a.option("--port");
    return p ? QString::fromStdString(*p).split(QLatin1Char(',')) : QStringList();
}

// The line on what happened, the fall-back's reason included; the exit status.
int finish(const kq::TransferResult& r, const kq::LinkSettings& link) {
    std::fprintf(stderr, "\n");
    const std::string line =
        kq::TerminalLineOf(r, kq::SearchedPorts(link).mid(0, 4).join(", ").toStdString());
    std::cerr << (r.outcome == kq::TransferOutcome::Done ? "" : "kqtool: ") << line << "\n";
    return kq::ExitCodeOf(r.outcome);
}

int cmdRead(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, with({"--port", "-o"}, kLinkValues), 0, kLinkFlags);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"option '-o' is required"};
    const kq::LinkSettings link = linkSettings(a, portOption(a));
    QtScope qt;
    CatchInterrupts();
    kq::ClassKQxx53 blank;
    kq::TransferSequence t(blank.TotalEEWords());
    kq::TransferResult r = runTransfer(t, link, {});
    auto radio = kq::RadioTable(r, blank);
    const int status = finish(r, link);
    if (radio) kq::SaveChannelFile(*radio, *out);
    return status;
}

// --port may be given more than once (for --parallel); each value may list
// several devices separated by commas.
QStringList takePorts(std::vector<std::string>& args) {
    QStringList ports;
    for (std::size_t i = 0; i < args.size();) {
        if (args[i] != "--port") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{"option '--port' needs a value"};
        for (const QString& d : QString::fromStdString(args[i + 1]).split(QLatin1Char(','))) {
            if (d.isEmpty()) throw UsageError{"an empty device name in --port"};
            if (ports.contains(d))
                throw UsageError{"the port " + d.toStdString() + " is given twice"};
            ports << d;
        }
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return ports;
}

int cmdWrite(const std::vector<std::string>& given) {
    std::vector<std::string> args = given;
    const QStringList ports = takePorts(args);
    const Args a = parseArgs(args, with({"--count"}, kLinkValues), 1,
                             with({"--yes", "--repeat", "--parallel"}, kLinkFlags));
    BenchOptions bench;
    bench.ports = ports;
    bench.repeat = a.flag("--repeat");
    bench.yes = a.flag("--yes");
    bench.link = linkSettings(a, ports);
    const bool parallel = a.flag("--parallel");
    if (a.option("--count") && !bench.repeat) throw UsageError{"--count needs --repeat"};
    bench.count = numberOption(a, "--count", 1, 1000000, 0);
    if ((bench.repeat || parallel) && ports.isEmpty())
        throw UsageError{std::string(parallel ? "--parallel" : "--repeat") + " needs --port DEV"};
    if (bench.repeat && !parallel && ports.size() > 1)
        throw UsageError{"--repeat works on one port; --parallel programs several"};
    if (!parallel && std::count(given.begin(), given.end(), std::string("--port")) > 1)
        throw UsageError{"option '--port' given twice (several ports at once need --parallel)"};

    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, a.positional[0]);
    QtScope qt;
    CatchInterrupts();
    if (bench.repeat || parallel) return RunBench(dev, bench);
    kq::TransferSequence t(kq::PrepareWrite(dev));
    const bool yes = bench.yes;
    const int fileModel = dev.Model();
    kq::LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [yes, fileModel](int radioModel) {
        if (yes) return true;
        if (!interactive()) return false;
        std::fprintf(stderr,
                     "\nModel Type Unmatch! (radio model %d, file model %d)\nOverwrite ? [y/N] ",
                     radioModel, fileModel);
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
    return finish(runTransfer(t, bench.link, hooks), bench.link);
}

// Reads the radio and compares it with the image a write of the file would
// send, without writing anything.
int cmdVerify(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, with({"--port"}, kLinkValues), 1, kLinkFlags);
    kq::ClassKQxx53 file;
    try {
        kq::OpenChannelFile(file, a.positional[0]);
    } catch (const std::exception& e) {
        std::cerr << "kqtool verify: " << e.what() << "\n";
        return ExitCannotRead;
    }
    // The words write would send; for a file saved by this program they are
    // its own. A table the codec refuses cannot be written: its words as they are.
    kq::ClassKQxx53 sent = file;
    try {
        sent.Para_to_EEWord();
    } catch (const kq::KqError&) {
        sent = file;
    }
    const kq::LinkSettings link = linkSettings(a, portOption(a));
    QtScope qt;
    CatchInterrupts();
    kq::TransferSequence t(sent.TotalEEWords());
    const kq::TransferResult r = runTransfer(t, link, {});
    using O = kq::TransferOutcome;
    // Only a whole image can be compared; NotInitiated still read every word.
    if (r.outcome != O::Done && r.outcome != O::NotInitiated) return finish(r, link);
    std::fprintf(stderr, "\n");
    if (!r.fallBack.empty())
        std::cerr << "kqtool: the fast link fell back to the default pacing: " << r.fallBack
                  << "\n";
    // The radio's words, seen as the program would show them.
    kq::ClassKQxx53 radio = sent;
    for (int k = 0; k < sent.TotalEEWords(); ++k)
        radio.EEWord(static_cast<int16_t>(k), r.words[static_cast<std::size_t>(k)]);
    radio.EEWord_to_Para();
    const kq::ImageDiff d = kq::CompareImages(sent, radio);
    std::cout << DifferenceText(sent, radio, d, "file  ", "radio ");
    std::cout.flush();
    if (r.outcome == O::NotInitiated) {
        std::cerr << "kqtool: " << r.detail << "\n";
        return kq::ExitCodeOf(r.outcome);
    }
    if (d.Same()) {
        std::cerr << "the radio on " << r.device << " holds " << a.positional[0] << "\n";
        return ExitOk;
    }
    std::cerr << "kqtool: the radio on " << r.device << " differs from " << a.positional[0]
              << " in " << d.channels.size() << " channel(s) and " << d.headerWords.size()
              << " header word(s)\n";
    return ExitDiffers;
}

} // namespace

void RegisterRadioCommands() {
    // The link options of every radio command, after its own.
    const std::string link = " [--fast] [--tick-ms N] [--eeprom-ms N]";
    AddCommand({"read", "read -o FILE.KQ [--port DEV[,DEV...]]" + link,
                "read the radio into a channel file (exit 3 no radio or link error, 4 EEPROM not "
                "initiated; --fast ends each exchange once its answer is in and checked, falling "
                "back to the default pacing on anything unexpected; --tick-ms lengthens the "
                "pacing's 20 ms tick for a slow adapter; --eeprom-ms is the time a fast write "
                "leaves the radio to program a word, 10)",
                cmdRead});
    AddCommand({"write", "write FILE.KQ [--port DEV[,DEV...]] [--yes]" + link,
                "write a channel file into the radio, verifying each word (exit 3 link error or a"
                " word read back otherwise, 5 other model refused, 6 cancelled; --yes overwrites "
                "a radio of another model; the link options as for read; a fast write reads every"
                " word back at the end)",
                cmdWrite});
    AddCommand({"write", "write FILE.KQ --repeat --port DEV [--count N] [--yes]" + link,
                "radio after radio on one port: wait for a radio to answer, write and verify it, "
                "print a line (number, time, port, outcome), wait until it is unplugged, then for"
                " the next; Ctrl+C (or N radios) ends it with a summary; exit 0 when every radio "
                "was written, else the first failure's status",
                cmdWrite});
    AddCommand(
        {"write",
         "write FILE.KQ --parallel --port DEV --port DEV... [--repeat [--count N]] [--yes]" + link,
         "one worker per port, each writing its radio (or radio after radio with "
         "--repeat), each line naming its port; the summary counts all",
         cmdWrite});
    AddCommand({"verify", "verify FILE.KQ [--port DEV[,DEV...]]" + link,
                "read the radio and compare it with the file, writing nothing; differing header "
                "words and channel rows are listed (file, radio); exit 0 same, 7 different, 3 or "
                "4 as for read, 8 the file cannot be read",
                cmdVerify});
}

} // namespace kqtool
