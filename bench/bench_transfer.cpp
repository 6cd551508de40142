// Times a full read and a full write+verify of the 64-word image against
// kqradio paced at 9600 baud 8N2 both ways (--pace-input: our frames reach
// it at line speed too) with a 10 ms EEPROM programming time, in the default
// pacing and in the fast mode, each beside its reference:
//   default: the tick budget of the exchanges (2 ticks per write, 2 + 2 per
//            read, 2 + 2 per probe pair, 4 for each port preparation);
//   fast:    the line limit, every character on the line (frames, echoes,
//            answers, probes) at 1.146 ms, plus the EEPROM time per word.
//
// kqbench_transfer --parallel N: the time of writing 1 radio and N radios at
// once (one worker thread and link per port, as kqtool write --parallel does),
// default pacing, against as many emulators paced as above.
#include "Form_QVCom.h"
#include "LinkRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr double kMsPerChar = 11.0 / 9600 * 1000; // start, 8 data, 2 stop bits
constexpr double kTickMs = 20;
constexpr int kEepromMs = 10;

double timeRun(kq::ClassKQxx53& dev, kq::TransferSequence::Direction dir, kq::LinkSettings link,
               bool fast, std::string& note) {
    const auto t = dir == kq::TransferDirection::Write
                       ? std::make_unique<kq::TransferSequence>(kq::PrepareWrite(dev))
                       : std::make_unique<kq::TransferSequence>(dev.TotalEEWords());
    link.fast = fast;
    kq::LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [](int) { return true; };
    QElapsedTimer clock;
    clock.start();
    const auto outcome = kq::LinkRunner::Run(*t, link, hooks);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    note = outcome.outcome == kq::TransferOutcome::Done ? outcome.fallBack
                                                        : "FAILED: " + outcome.detail;
    return ms;
}

QStringList radioArgs() {
    return {"--model", "2", "--pace-input", "--eeprom-ms", QString::number(kEepromMs)};
}

// Writes the default table into n emulators at once; the wall time in ms.
double timeParallel(int n, std::string& note) {
    std::vector<std::unique_ptr<QProcess>> radios;
    QStringList ports;
    for (int i = 0; i < n; ++i) {
        radios.push_back(std::make_unique<QProcess>());
        radios.back()->start(QCoreApplication::applicationDirPath() + "/kqradio", radioArgs());
        if (!radios.back()->waitForReadyRead(5000)) {
            note = "kqradio did not start";
            return 0;
        }
        ports << QString::fromLocal8Bit(radios.back()->readLine()).trimmed();
    }
    std::vector<kq::TransferOutcome> outcomes(static_cast<std::size_t>(n));
    std::vector<std::unique_ptr<QThread>> workers;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < n; ++i) {
        workers.emplace_back(QThread::create([&, i] {
            kq::ClassKQxx53 dev;
            kq::TransferSequence t(kq::PrepareWrite(dev));
            kq::LinkSettings link;
            link.ports = {ports[i].toStdString()};
            kq::Form_QVCom com(link);
            outcomes[static_cast<std::size_t>(i)] = t.Run(com).outcome;
        }));
        workers.back()->start();
    }
    for (auto& w : workers) w->wait();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    int ok = 0;
    for (auto o : outcomes) ok += o == kq::TransferOutcome::Done;
    note = std::to_string(ok) + " of " + std::to_string(n) + " written and verified";
    for (auto& r : radios) {
        r->terminate();
        r->waitForFinished(3000);
    }
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--parallel") == 0) {
        const int n = std::atoi(argv[2]);
        if (n < 1) {
            std::fprintf(stderr, "usage: kqbench_transfer [--parallel N]\n");
            return 2;
        }
        std::printf(
            "write+verify, default pacing, kqradio paced at %.3f ms per character, EEPROM %d ms\n",
            kMsPerChar, kEepromMs);
        for (int k : {1, n}) {
            std::string note;
            const double ms = timeParallel(k, note);
            std::printf("%d radio(s) at once: %7.0f ms  %s\n", k, ms, note.c_str());
        }
        return 0;
    }
    QProcess radio;
    radio.start(QCoreApplication::applicationDirPath() + "/kqradio", radioArgs());
    if (!radio.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kqradio did not start next to this program\n");
        return 1;
    }
    kq::LinkSettings link;
    link.ports = {QString::fromLocal8Bit(radio.readLine()).trimmed().toStdString()};

    const int words = 64;
    // Ticks: the search's two probes (2 each), one preparation (4) for a
    // read and two for a write, 4 per read word, 2 + 4 per written word and
    // the model check's read.
    const double readBudget = (2 + 2 + 4 + words * 4) * kTickMs;
    const double writeBudget = (2 + 2 + 4 + 4 + 4 + words * 6) * kTickMs;
    // Characters: each probe and its answer; a read word is its frame, the
    // echo and a 5-character answer (19); a written word is its frame and
    // echo (14) plus the verify read; a fast write reads every word back.
    const double probes = 3 * 2, writeProbes = 4 * 2;
    const double readLimit = (probes + words * 19) * kMsPerChar;
    const double writeLimit =
        (writeProbes + 19 + words * (14 + 19) + words * 19) * kMsPerChar + words * kEepromMs;

    kq::ClassKQxx53 dev;
    std::printf("64-word image; kqradio paced at %.3f ms per character, EEPROM %d ms\n", kMsPerChar,
                kEepromMs);
    std::printf("%-22s %9s %12s %7s\n", "", "time ms", "reference", "ratio");
    for (bool fast : {false, true}) {
        std::string noteR, noteW;
        const double r = timeRun(dev, kq::TransferSequence::Direction::Read, link, fast, noteR);
        const double w = timeRun(dev, kq::TransferSequence::Direction::Write, link, fast, noteW);
        const double rr = fast ? readLimit : readBudget, wr = fast ? writeLimit : writeBudget;
        const char* ref = fast ? "line limit" : "tick budget";
        std::printf("read  %-16s %9.0f %9.0f %-2s %7.2f %s\n", fast ? "fast" : "default", r, rr, "",
                    r / rr, noteR.c_str());
        std::printf("write %-16s %9.0f %9.0f %-2s %7.2f %s\n", fast ? "fast" : "default", w, wr, "",
                    w / wr, noteW.c_str());
        std::printf("      (%s)\n", ref);
    }
    radio.terminate();
    radio.waitForFinished(3000);
    return 0;
}
