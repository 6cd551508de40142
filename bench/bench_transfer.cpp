// Times a full read and a full write+verify of the 64-word image against
// kqradio paced at 9600 baud 8N2 both ways (--pace-input: our frames reach
// it at line speed too) with a 10 ms EEPROM programming time, in the default
// pacing and in the fast mode, each beside its reference:
//   default: the tick budget of the exchanges (2 ticks per write, 2 + 2 per
//            read, 2 + 2 per probe pair, 4 for each port preparation);
//   fast:    the line limit, every character on the line (frames, echoes,
//            answers, probes) at 1.146 ms, plus the EEPROM time per word.
#include "KqSerialPort.h"
#include "LinkRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

constexpr double kMsPerChar = 11.0 / 9600 * 1000; // start, 8 data, 2 stop bits
constexpr double kTickMs = 20;
constexpr int kEepromMs = 10;

double timeRun(kq::ClassKQxx53& dev, kq::TransferSequence::Direction dir, bool fast, std::string& note) {
    kq::TransferSequence t(dev, dir);
    kq::Form_QVCom::Options link;
    link.fast = fast;
    kq::LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [](int) { return true; };
    QElapsedTimer clock;
    clock.start();
    const auto outcome = kq::LinkRunner::Run(t, link, hooks);
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    note = outcome == kq::TransferSequence::Outcome::Done ? t.Surprise() : "FAILED: " + t.Detail(outcome);
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QProcess radio;
    radio.start(QCoreApplication::applicationDirPath() + "/kqradio",
                {"--model", "2", "--pace-input", "--eeprom-ms", QString::number(kEepromMs)});
    if (!radio.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kqradio did not start next to this program\n");
        return 1;
    }
    kq::KqSerialPort::SetPortMap({QString::fromLocal8Bit(radio.readLine()).trimmed()});

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
    const double writeLimit = (writeProbes + 19 + words * (14 + 19) + words * 19) * kMsPerChar + words * kEepromMs;

    kq::ClassKQxx53 dev;
    std::printf("64-word image; kqradio paced at %.3f ms per character, EEPROM %d ms\n", kMsPerChar, kEepromMs);
    std::printf("%-22s %9s %12s %7s\n", "", "time ms", "reference", "ratio");
    for (bool fast : {false, true}) {
        std::string noteR, noteW;
        const double r = timeRun(dev, kq::TransferSequence::Direction::Read, fast, noteR);
        const double w = timeRun(dev, kq::TransferSequence::Direction::Write, fast, noteW);
        const double rr = fast ? readLimit : readBudget, wr = fast ? writeLimit : writeBudget;
        const char* ref = fast ? "line limit" : "tick budget";
        std::printf("read  %-16s %9.0f %9.0f %-2s %7.2f %s\n", fast ? "fast" : "default", r, rr, "", r / rr,
                    noteR.c_str());
        std::printf("write %-16s %9.0f %9.0f %-2s %7.2f %s\n", fast ? "fast" : "default", w, wr, "", w / wr,
                    noteW.c_str());
        std::printf("      (%s)\n", ref);
    }
    radio.terminate();
    radio.waitForFinished(3000);
    return 0;
}
