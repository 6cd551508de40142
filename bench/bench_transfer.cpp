// Times a full read and a full write+verify of the 64-word image against
// the kqradio emulator pacing its characters at 9600 baud 8N2, with and
// without finishing waits early, and compares them with the line limit.
#include "KqSerialPort.h"
#include "KqTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>

namespace {

constexpr double kMsPerChar = 11.0 / 9600 * 1000; // start, 8 data, 2 stop bits

double timeRun(kq::ClassKQxx53& dev, kq::KqTransfer::Direction dir, bool early) {
    kq::KqTransfer t(dev, dir, kq::Form_QVCom::Options{early});
    t.hooks.confirmModelMismatch = [](int) { return true; };
    QElapsedTimer clock;
    clock.start();
    const auto outcome = t.Run();
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (outcome != kq::KqTransfer::Outcome::Done) std::printf("  (transfer did not finish: %d)\n", int(outcome));
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QProcess radio;
    radio.start(QCoreApplication::applicationDirPath() + "/kqradio", {"--model", "2"});
    if (!radio.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kqradio did not start next to this program\n");
        return 1;
    }
    kq::KqSerialPort::SetPortMap({QString::fromLocal8Bit(radio.readLine()).trimmed()});

    // What the radio sends: per read word the 7-character echo and the
    // 5-character answer; per written word its echo plus the verify read.
    // The probes of the port search and preparation add a few characters.
    const int words = 64;
    const double readLimit = (words * 12) * kMsPerChar;
    const double writeLimit = (words * (7 + 12) + 12) * kMsPerChar;

    kq::ClassKQxx53 dev;
    std::printf("64-word image, kqradio paced at %.3f ms per character\n", kMsPerChar);
    std::printf("%-28s %10s %10s %8s\n", "", "time ms", "limit ms", "ratio");
    for (bool early : {true, false}) {
        const double r = timeRun(dev, kq::KqTransfer::Direction::Read, early);
        const double w = timeRun(dev, kq::KqTransfer::Direction::Write, early);
        const char* how = early ? "early finish" : "tick counts only";
        std::printf("read  (%-20s) %10.0f %10.0f %8.2f\n", how, r, readLimit, r / readLimit);
        std::printf("write (%-20s) %10.0f %10.0f %8.2f\n", how, w, writeLimit, w / writeLimit);
    }
    radio.terminate();
    radio.waitForFinished(3000);
    return 0;
}
