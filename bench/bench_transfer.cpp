// Times a full read and a full write+verify of the 64-word image against
// kqradio paced at 9600 baud 8N2 both ways (--pace-input: our frames reach
// it at line speed too) with a 10 ms EEPROM programming time, in the default
// pacing and in the fast mode, each beside its reference:
//   default: the tick budget of the exchanges (2 ticks per write, 2 + 2 per
//            read, 2 + 2 per probe pair, 4 for each port preparation);
//   fast:    the line limit: the search's 4 ticks, then every character the
//            radio sends (echoes, answers) at 1.146 ms, plus the EEPROM time
//            per written word; the fast mode's target is 1.3 times that.
//
// kqbench_transfer --parallel N: the time of writing 1 radio and N radios at
// once (one worker thread and link per port, as kqtool write --parallel does),
// default pacing, against as many emulators paced as above.
#include "LinkRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QEventLoop>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr double kMsPerChar = 11.0 / 9600 * 1000; // start, 8 data, 2 stop bits
constexpr double kTickMs = kq::kProtocolTickMs;
constexpr int kEepromMs = kq::kEepromHoldMs;

struct Job {
    kq::TransferSequence* seq;
    kq::LinkSettings link;
    kq::LinkRunner::Hooks hooks;
};

// Runs the jobs at once, each on the program's runner; returns when all ended.
void runAll(const std::vector<Job>& jobs,
            const std::function<void(std::size_t, const kq::TransferResult&)>& done) {
    std::vector<std::unique_ptr<kq::LinkRunner>> runners;
    QEventLoop loop;
    std::size_t running = jobs.size();
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        runners.push_back(std::make_unique<kq::LinkRunner>(*jobs[i].seq, jobs[i].link, jobs[i].hooks));
        QObject::connect(runners.back().get(), &kq::LinkRunner::Finished,
                         [&, i](const kq::TransferResult& r) {
                             done(i, r);
                             if (--running == 0) loop.quit();
                         });
    }
    for (auto& r : runners) r->Start();
    if (running > 0) loop.exec();
}

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
    kq::TransferResult outcome;
    runAll({{t.get(), link, hooks}}, [&](std::size_t, const kq::TransferResult& r) { outcome = r; });
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
    std::vector<std::unique_ptr<kq::TransferSequence>> seqs;
    std::vector<Job> jobs;
    kq::ClassKQxx53 table;
    for (int i = 0; i < n; ++i) {
        seqs.push_back(std::make_unique<kq::TransferSequence>(kq::PrepareWrite(table)));
        kq::LinkSettings link;
        link.ports = {ports[i].toStdString()};
        jobs.push_back({seqs.back().get(), link, {}});
    }
    QElapsedTimer clock;
    clock.start();
    runAll(jobs, [&](std::size_t i, const kq::TransferResult& r) { outcomes[i] = r.outcome; });
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
    // The radio's side of a fast transfer: a read word is its echo and a
    // 5-character answer (12); a fast write sends every word (its echo, then
    // the EEPROM time), reads word 1 for the model and every word back. Our
    // frames go out while the radio answers, so they add nothing.
    const double search = 4 * kTickMs;
    const double readLimit = search + words * 12 * kMsPerChar;
    const double writeLimit =
        search + 12 * kMsPerChar + words * (7 * kMsPerChar + kEepromMs) + words * 12 * kMsPerChar;
    kq::ClassKQxx53 dev;
    std::printf("64-word image; kqradio paced at %.3f ms per character, EEPROM %d ms\n", kMsPerChar,
                kEepromMs);
    std::printf("%-22s %9s %11s %7s %9s\n", "", "time ms", "reference", "ratio", "target");
    for (bool fast : {false, true}) {
        std::string noteR, noteW;
        const double r = timeRun(dev, kq::TransferSequence::Direction::Read, link, fast, noteR);
        const double w = timeRun(dev, kq::TransferSequence::Direction::Write, link, fast, noteW);
        const double rr = fast ? readLimit : readBudget, wr = fast ? writeLimit : writeBudget;
        // The default pacing stays within its tick budget; the fast mode
        // within 1.3 times the line limit.
        const double limit = fast ? 1.3 : 1.0;
        const auto row = [&](const char* what, double ms, double ref, const std::string& note) {
            std::printf("%-5s %-16s %9.0f %11.0f %7.2f %9.0f %s %s\n", what,
                        fast ? "fast" : "default", ms, ref, ms / ref, ref * limit,
                        ms <= ref * limit ? "ok  " : "OVER", note.c_str());
        };
        row("read", r, rr, noteR);
        row("write", w, wr, noteW);
        std::printf("      (%s)\n", fast ? "line limit" : "tick budget");
    }
    radio.terminate();
    radio.waitForFinished(3000);
    return 0;
}
