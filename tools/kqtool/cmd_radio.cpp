// kqtool read / write / verify: the radio transfers of the program's DEVICE
// menu, from the command line.
#include "Args.h"
#include "Commands.h"
#include "DiffText.h"
#include "FileArgs.h"
#include "RadioBench.h"
#include "RadioLink.h"

#include "BandHint.h"
#include "ChannelFile.h"
#include "ChannelText.h"
#include "FileSave.h"
#include "SystemOption.h"
#include "KqErrors.h"
#include "KqVersion.h"
#include "LinkReplay.h"
#include "SerialPorts.h"
#include "LinkRunner.h"
#include "MessageQuote.h"
#include "RadioBackups.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

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

// What a radio command says on standard error besides its failures.
struct Chatter {
    bool progress = false; // the bar: on a terminal, where \r redraws it, or when asked
    bool quiet = false;    // no line on success
    bool verbose = false;  // the link's own lines
};

Chatter chatterOf(const Args& a) {
    Chatter c;
    c.quiet = a.flag("--quiet");
    c.verbose = a.flag("--verbose");
    if (c.quiet && c.verbose) throw UsageError{"give --quiet or --verbose, not both"};
#ifndef _WIN32
    c.progress = !c.quiet && isatty(STDERR_FILENO);
#endif
    c.progress = !c.quiet && (c.progress || a.flag("--progress"));
    return c;
}

void showProgress(int value) {
    std::string bar(15, '.');
    for (int i = 0; i < value && i < 15; ++i) bar[static_cast<std::size_t>(i)] = '#';
    std::fprintf(stderr, "\r[%s] %2d/15", bar.c_str(), value);
    std::fflush(stderr);
}

// Runs seq on the link's worker; the bar is drawn every 100 ms, as the
// program's window does, and its line ended when the transfer is.
kq::TransferResult runTransfer(kq::TransferSequence& seq, const kq::LinkSettings& link,
                               const kq::LinkRunner::Hooks& hooks, const Chatter& chatter,
                               kq::LinkRecorder* trace) {
    int shown = -1;
    QTimer bar;
    bar.setInterval(100);
    QObject::connect(&bar, &QTimer::timeout, [&] {
        if (seq.Progress() != shown) showProgress(shown = seq.Progress());
    });
    if (chatter.verbose) {
        std::cerr << "kqtool: looking for the radio on "
                  << kq::SearchedPorts(link).join(", ").toStdString()
                  << (link.fast ? " (fast link)" : "") << "\n";
    }
    kq::LinkRunner runner(seq, link, hooks, trace, LinkEnds());
    QTimer interrupt;
    QObject::connect(&interrupt, &QTimer::timeout, [&] {
        if (Interrupted()) runner.Cancel();
    });
    interrupt.start(50);
    QObject::connect(&runner, &kq::LinkRunner::PortFound, [&](int, const QString& device) {
        if (chatter.verbose)
            std::cerr << "kqtool: the radio answered on " << device.toStdString() << "\n";
        if (!chatter.progress) return;
        showProgress(shown = seq.Progress());
        bar.start();
    });
    kq::TransferResult result;
    QEventLoop loop;
    QObject::connect(&runner, &kq::LinkRunner::Finished, [&](const kq::TransferResult& r) {
        result = r;
        loop.quit();
    });
    runner.Start();
    loop.exec();
    bar.stop();
    if (shown >= 0) {
        if (seq.Progress() != shown) showProgress(seq.Progress());
        std::fprintf(stderr, "\n");
    }
    if (chatter.verbose && !result.portProblem.empty() &&
        result.outcome != kq::TransferOutcome::NoRadio) {
        std::cerr << "kqtool: " << result.portProblem << "\n";
    }
    return result;
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
const std::set<std::string> kLinkValues = {"--tick-ms", "--eeprom-ms", "--trace"};
const std::set<std::string> kLinkFlags = {"--fast", "--quiet", "--verbose", "--progress"};

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

// The link log of --trace, if asked for; its file is made now, so that one
// that cannot be written is said before the radio is touched.
std::unique_ptr<kq::LinkRecorder> traceOption(const Args& a) {
    const std::string* path = a.option("--trace");
    if (!path) return nullptr;
    kq::WriteFileReplacing(*path, "");
    return std::make_unique<kq::LinkRecorder>(std::string("kqtool ") + kq::ProgramVersion);
}

void saveTrace(const kq::LinkRecorder* trace, const Args& a) {
    if (!trace) return;
    try {
        kq::WriteFileReplacing(*a.option("--trace"), trace->Text());
    } catch (const std::exception& e) {
        std::cerr << "kqtool: the link log was not saved: " << e.what() << "\n";
    }
}

// --port DEV[,DEV...] of read and verify.
QStringList portOption(const Args& a) {
    const std::string* p = a.option("--port");
    return p ? QString::fromStdString(*p).split(QLatin1Char(',')) : QStringList();
}

// The line on what happened, the fall-back's reason included; the exit status.
int finish(const kq::TransferResult& r, const kq::LinkSettings& link, const Chatter& chatter) {
    const bool done = r.outcome == kq::TransferOutcome::Done;
    if (!done || !chatter.quiet) {
        const std::string line =
            kq::TerminalLineOf(r, kq::SearchedComPorts(link).join(", ").toStdString());
        std::cerr << (done ? "" : "kqtool: ") << line << "\n";
    }
    return kq::ExitCodeOf(r.outcome);
}

int cmdRead(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, with({"--port", "-o"}, kLinkValues), 0, kLinkFlags);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"option '-o' is required"};
    const kq::LinkSettings link = linkSettings(a, portOption(a));
    const Chatter chatter = chatterOf(a);
    const auto trace = traceOption(a);
    QtScope qt;
    CatchInterrupts();
    kq::ClassKQxx53 blank;
    kq::TransferSequence t(blank.TotalEEWords());
    if (trace) trace->Read(blank.TotalEEWords());
    kq::TransferResult r = runTransfer(t, link, {}, chatter, trace.get());
    auto radio = kq::RadioTable(r, blank);
    if (trace) trace->Finish(r); // words the codec refuses end the read otherwise
    saveTrace(trace.get(), a);
    const int status = finish(r, link, chatter);
    if (radio) SaveChannel(*radio, *out);
    return status;
}

// --port may be given more than once (for --parallel); each value may list
// several devices separated by commas.
QStringList allPorts(const Args& a) {
    QStringList ports;
    for (const std::string& value : a.options("--port")) {
        for (const QString& d : QString::fromStdString(value).split(QLatin1Char(','))) {
            if (d.isEmpty()) throw UsageError{"an empty device name in --port"};
            if (ports.contains(d))
                throw UsageError{"the port " + d.toStdString() + " is given twice"};
            ports << d;
        }
    }
    return ports;
}

// One write of job into the radio, with a backup first unless o says
// otherwise; a radio of another model or never initiated is written only on
// --yes (or a yes on a terminal for the model); a link log with --trace.
int writeRadio(kq::WriteJob job, const BenchOptions& o, const Chatter& chatter, const Args& a) {
    const auto trace = traceOption(a);
    if (trace) trace->Write(job);
    const int fileModel = job.model;
    kq::TransferSequence t(std::move(job));
    const bool yes = o.yes;
    kq::LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [yes, fileModel](int radioModel) {
        if (yes) return true;
        if (!interactive()) return false;
        std::fprintf(stderr, "\nModel Type Unmatch! (radio: %s, file: %s)\nOverwrite ? [y/N] ",
                     radioModel < 0 ? "no answer" : kq::ModelDescription(radioModel).c_str(),
                     kq::ModelDescription(fileModel).c_str());
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
    hooks.confirmUninitiated = [yes](int) { return yes; };
    if (o.backup) hooks.keepBackup = kq::KeepRadioBackup;
    const kq::TransferResult r = runTransfer(t, o.link, hooks, chatter, trace.get());
    saveTrace(trace.get(), a);
    return finish(r, o.link, chatter);
}

int cmdWrite(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, with({"--count", "--port"}, kLinkValues), 1,
                             with({"--yes", "--repeat", "--parallel", "--no-backup"}, kLinkFlags),
                             {"--port"});
    const QStringList ports = allPorts(a);
    BenchOptions bench;
    bench.backup = !a.flag("--no-backup");
    bench.ports = ports;
    bench.repeat = a.flag("--repeat");
    bench.yes = a.flag("--yes");
    bench.link = linkSettings(a, ports);
    if (const std::string* trace = a.option("--trace")) bench.trace = *trace;
    const bool parallel = a.flag("--parallel");
    if (a.option("--count") && !bench.repeat) throw UsageError{"--count needs --repeat"};
    bench.count = numberOption(a, "--count", 1, 1000000, 0);
    if ((bench.repeat || parallel) && ports.isEmpty())
        throw UsageError{std::string(parallel ? "--parallel" : "--repeat") + " needs --port DEV"};
    if (bench.repeat && !parallel && ports.size() > 1)
        throw UsageError{"--repeat works on one port; --parallel programs several"};
    if (!parallel && a.options("--port").size() > 1)
        throw UsageError{"option '--port' given twice (several ports at once need --parallel)"};
    const Chatter chatter = chatterOf(a);

    kq::ClassKQxx53 dev = OpenChannel(a.positional[0]);
    // Written as asked (a script must not stall), but never without a word.
    if (const std::string outside = kq::OutsideBandList(dev); !outside.empty()) {
        std::cerr << "kqtool: warning: channels outside the radio's band ("
                  << kq::DecimalText(dev.LowLimFQ()) << " to " << kq::DecimalText(dev.HiLimFQ())
                  << " MHz), which the radio cannot use, are written:\n";
        std::istringstream lines(outside);
        for (std::string line; std::getline(lines, line);) std::cerr << "  " << line << "\n";
    }
    QtScope qt;
    CatchInterrupts();
    if (bench.repeat || parallel) return RunBench(dev, bench);
    return writeRadio(kq::PrepareWrite(dev), bench, chatter, a);
}

// Writes a backup's words back into the radio, as they were read.
int cmdRestore(const std::vector<std::string>& args) {
    // A FILE, or --last instead of it.
    const bool last = std::find(args.begin(), args.end(), "--last") != args.end();
    const Args a = parseArgs(args, with({"--port"}, kLinkValues), last ? 0 : 1,
                             with({"--yes", "--last", "--no-backup"}, kLinkFlags));
    const QStringList ports = allPorts(a);
    std::string path;
    if (a.flag("--last")) {
        path = kq::RadioBackups(kq::BackupFolder()).Newest();
        if (path.empty())
            throw kq::FileError("no backup in " + kq::PathForMessage(kq::BackupFolder()) +
                                "; nothing was written");
    } else {
        path = a.positional[0];
    }
    // Read before the radio is touched: a damaged file sends nothing.
    kq::WriteJob job;
    job.image = kq::ChannelFileWords(kq::ReadChannelFileBytes(path), path, kq::RadioEEWords);
    job.image.resize(kq::RadioEEWords);
    job.model = job.image[1] / 256;
    BenchOptions o;
    o.yes = a.flag("--yes");
    o.backup = !a.flag("--no-backup");
    o.link = linkSettings(a, ports);
    const Chatter chatter = chatterOf(a);
    if (!chatter.quiet) std::cerr << "kqtool: restoring " << kq::PathForMessage(path) << "\n";
    QtScope qt;
    CatchInterrupts();
    return writeRadio(std::move(job), o, chatter, a);
}

// Reads the radio and compares it with the image a write of the file would
// send, without writing anything.
int cmdVerify(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, with({"--port"}, kLinkValues), 1, kLinkFlags);
    const std::string shownName = kq::PathForMessage(InputName(a.positional[0]));
    const Chatter chatter = chatterOf(a);
    kq::ClassKQxx53 file;
    try {
        file = OpenChannel(a.positional[0]);
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
    const auto trace = traceOption(a);
    QtScope qt;
    CatchInterrupts();
    kq::TransferSequence t(sent.TotalEEWords());
    if (trace) trace->Read(sent.TotalEEWords());
    const kq::TransferResult r = runTransfer(t, link, {}, chatter, trace.get());
    saveTrace(trace.get(), a);
    using O = kq::TransferOutcome;
    // Only a whole image can be compared; NotInitiated still read every word.
    if (r.outcome != O::Done && r.outcome != O::NotInitiated) return finish(r, link, chatter);
    if (!r.fallBack.empty())
        std::cerr << "kqtool: the fast link fell back to the default pacing: " << r.fallBack
                  << "\n";
    // The radio's words, seen as the program would show them.
    const kq::ClassKQxx53 radio =
        kq::DecodeWords(sent, {r.words.begin(), r.words.begin() + sent.TotalEEWords()});
    const kq::ImageDiff d = kq::CompareImages(sent, radio);
    std::cout << DifferenceText(sent, radio, d, "file  ", "radio ");
    std::cout.flush();
    if (r.outcome == O::NotInitiated) {
        std::cerr << "kqtool: " << r.detail << "\n";
        return kq::ExitCodeOf(r.outcome);
    }
    if (d.Same()) {
        if (!chatter.quiet)
            std::cerr << "the radio on " << r.device << " holds " << shownName << "\n";
        return ExitOk;
    }
    std::cerr << "kqtool: the radio on " << r.device << " differs from " << shownName << " in "
              << d.channels.size() << " channel(s) and " << d.headerWords.size()
              << " header word(s)\n";
    return kq::ExitDiffers;
}

// Re-runs a link log's transfer in virtual time against its radio.
int cmdReplay(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 1);
    kq::LinkLog log;
    try {
        log = kq::ParseLinkLog(ReadInput(a.positional[0], kMaxLinkLogBytes, "a link log"));
    } catch (const std::exception& e) {
        std::cerr << "kqtool replay: " << e.what() << "\n";
        return ExitCannotRead;
    }
    const kq::ReplayReport r = kq::ReplayLinkLog(log);
    std::cout << kq::ReplayText(log, r);
    std::cout.flush();
    return r.diverged ? kq::ExitDiverged : kq::ExitCodeOf(r.result.outcome);
}

} // namespace

void RegisterRadioCommands() {
    // The link options of every radio command, after its own.
    const std::string link =
        " [--fast] [--tick-ms N] [--eeprom-ms N] [--trace FILE] [--quiet|--verbose] [--progress]";
    const kq::LinkSettings defaults;
    const std::vector<OptionHelp> linkHelp = {
        {"--port DEV[,DEV...]",
         "the devices searched as COM1, COM2, ... (default: the system's serial ports, USB "
         "adapters first)"},
        {"--fast", "end each exchange once its answer is in and checked, falling back to the "
                   "default pacing on anything unexpected"},
        {"--tick-ms N", "lengthen the pacing's " + std::to_string(defaults.tickMs) +
                            " ms tick for a slow adapter (up to 1000)"},
        {"--eeprom-ms N", "the time a fast write leaves the radio to program a word (default " +
                              std::to_string(defaults.eepromMs) + ")"},
        {"--trace FILE",
         "write the link log to FILE: every byte each way with its time, the settings, the job, "
         "the answers and the outcome (with --repeat or --parallel one file per radio, its number "
         "before the extension: trace-1.log, trace-2.log, ...); kqtool replay re-runs it"},
        {"--quiet", "no progress bar and no line on success; failures are still reported"},
        {"--progress", "draw the progress bar also when standard error is not a terminal "
                       "(by default only on a terminal)"},
        {"--verbose", "also the link's own lines: the ports searched, the device that answered, "
                      "a port's problem"}};
    const auto plus = [&linkHelp](std::vector<OptionHelp> own) {
        own.insert(own.end(), linkHelp.begin(), linkHelp.end());
        return own;
    };
    AddCommand({"read", "read -o FILE.KQ [--port DEV[,DEV...]]" + link,
                "read the radio into a channel file (" +
                    kq::ExitText({{kq::ExitLinkFailed, "no radio or link error"},
                                  {kq::ExitNotInitiated, "EEPROM not initiated"},
                                  {kq::ExitPortBusy, "port busy"}}) +
                    ")",
                cmdRead, plus({{"-o FILE.KQ", "the channel file to write"}})});
    const OptionHelp noBackup = {
        "--no-backup", "write without first reading the radio and keeping its table as a backup"};
    AddCommand({"write", "write FILE.KQ [--port DEV[,DEV...]] [--yes] [--no-backup]" + link,
                "write a channel file into the radio, verifying each word; the radio's table is "
                "first read and kept as a backup (kqtool backups lists them, kqtool restore "
                "writes one back); " +
                    kq::ExitText({{ExitFailure, "backup not kept"},
                                  {kq::ExitLinkFailed, "link error or a word read back otherwise"},
                                  {kq::ExitNotInitiated, "radio never initiated"},
                                  {kq::ExitModelDeclined, "other model refused"},
                                  {kq::ExitCancelled, "cancelled"},
                                  {kq::ExitPortBusy, "port busy"}}) +
                    "; a fast write reads every word back at the end",
                cmdWrite,
                plus({{"--yes", "overwrite a radio of another model, or one never initiated "
                                "(word 0 not 0xC500), without asking"},
                      noBackup})});
    AddCommand({"write",
                "write FILE.KQ --repeat --port DEV [--count N] [--yes] [--no-backup]" + link,
                "radio after radio on one port: wait for a radio to answer, back it up, write and "
                "verify it, print a line (number, time, port, outcome, backup), wait until it is "
                "unplugged, then for the next; Ctrl+C (or N radios) ends it with a summary; exit 0 "
                "when every radio was written, else the first failure's status",
                cmdWrite,
                {{"--repeat", "radio after radio on one port"},
                 {"--count N", "with --repeat: stop after N radios"}}});
    AddCommand(
        {"write",
         "write FILE.KQ --parallel --port DEV --port DEV... [--repeat [--count N]] [--yes] "
         "[--no-backup]" +
             link,
         "one worker per port, each writing its radio (or radio after radio with "
         "--repeat), each line naming its port; the summary counts all",
         cmdWrite,
         {{"--parallel", "one worker per --port"}}});
    AddCommand({"restore", "restore FILE.KQ|--last [--port DEV[,DEV...]] [--yes] [--no-backup]" + link,
                "write a backup (or any channel file) back into the radio word for word, as a "
                "write does: the radio's table is first kept as a new backup; exit statuses as "
                "for write",
                cmdRestore,
                plus({{"--last", "the newest backup"},
                      {"--yes", "overwrite a radio of another model, or one never initiated"},
                      noBackup})});
    AddCommand({"verify", "verify FILE.KQ [--port DEV[,DEV...]]" + link,
                "read the radio and compare it with the file, writing nothing; differing header "
                "words and channel rows are listed (file, radio); " +
                    kq::ExitText({{ExitOk, "same"},
                                  {kq::ExitDiffers, "different"},
                                  {kq::ExitLinkFailed, "or " + std::to_string(kq::ExitNotInitiated) +
                                                           " as for read"},
                                  {ExitCannotRead, "the file cannot be read"}}),
                cmdVerify, linkHelp});
    AddCommand({"replay", "replay TRACE",
                "re-run the transfer of a link log (--trace) in virtual time against a radio that "
                "answers as logged; prints the outcome, whether it is the logged one, and the first"
                " burst the program sends otherwise than logged; exit the outcome's status (" +
                    std::to_string(ExitOk) + ", " + std::to_string(kq::ExitLinkFailed) + " to " +
                    std::to_string(kq::ExitCancelled) + ", as for read and write), " +
                    std::to_string(kq::ExitDiverged) +
                    " when the program's frames differ from the log, " +
                    std::to_string(ExitCannotRead) + " when the log cannot be read",
                cmdReplay});
}

} // namespace kqtool
