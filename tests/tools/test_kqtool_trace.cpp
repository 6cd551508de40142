// kqtool --trace: failures, a question and odd answers in virtual time, a
// Ctrl-C and the bench against the kqradio emulator in real time, and kqtool
// replay of each log to the same outcome.
#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>

#include <signal.h>

namespace {

// A replay follows the program's branches only where the log shows why it
// took them; a program woken later than a wait's end on a loaded machine
// is not logged as such, so these recordings give each wait room.
const std::string kSlowTick = " --tick-ms 80";

// What the replay of a log says, with its exit status.
struct Replayed {
    int status;
    std::string out;
};

} // namespace

template <class Runs>
class Traced : public Runs {
protected:
    using Runs::q;
    using Runs::run;
    // Replays trace; it must end as the recording did, sending the same frames.
    void expectReplaysTo(const fs::path& trace, int status, const std::string& what) {
        ASSERT_TRUE(fs::exists(trace)) << what;
        EXPECT_LT(fs::file_size(trace), 200u * 1024) << what;
        const Result r = run("replay " + q(trace));
        EXPECT_EQ(r.status, status) << what << "\n" << r.out << r.err << "\n" << readAll(trace);
        EXPECT_NE(r.out.find("\nas logged\n"), std::string::npos) << what << "\n" << r.out;
        EXPECT_NE(r.out.find("the program's frames are the logged ones"), std::string::npos) << what << "\n" << r.out;
    }
};

using KqtoolTrace = Traced<KqtoolRadio>;
using KqtoolTraceSim = Traced<KqtoolSim>;

TEST_F(KqtoolTraceSim, FailuresAQuestionAndOddAnswersReplayToTheirOutcome) {
    const std::string read = "read -o " + q(file("out.KQ")), write = "write " + q(file("t.KQ"));
    // The command (its options), the emulator's options and the exit status; every failure class's replay is
    // proven on the link itself.
    const std::tuple<std::string, QStringList, int> cases[] = {
        {read, {"--no-probe"}, 3},                                  // no radio
        {read + " --fast", {"--bad-id"}, 4},                        // not initiated
        {write + " --fast", {"--model", "0"}, 5},                   // other model, declined
        {write + " --fast", {"--echo-per-char", "--crlf", "--latency", "20"}, 0},   // late and odd
    };
    for (const auto& [cmd, options, status] : cases) {
        const std::string what = cmd.substr(0, 5) + " " + options.join(' ').toStdString();
        const SimulatedRadio& radio = simRadio(options);
        const fs::path trace = file("trace.log");
        const Result r = run(cmd + port(radio) + " --trace " + q(trace) + " </dev/null");
        EXPECT_EQ(r.status, status) << what << r.err;
        const std::string log = readAll(trace);
        EXPECT_EQ(log.rfind("KQ link log 1\nprogram: kqtool ", 0), 0u) << log;
        EXPECT_NE(log.find("ports: " + radio.device.toStdString() + "\n"), std::string::npos) << log;
        EXPECT_NE(log.find("\nexit: " + std::to_string(status) + "\n"), std::string::npos) << log;
        expectReplaysTo(trace, status, what);
        fs::remove(trace);
    }
}

// Ctrl-C cancels between words, says how far it got, and is in the link log.
TEST_F(KqtoolTrace, CtrlCCancelsBetweenWordsSaysHowFarAndReplaysCancelled) {
    KqRadioProcess radio({});
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    // Without the backup read, the bar starts at once.
    tool.start(KQTOOL_PATH, QStringList{"write", qfile("t.KQ"), "--progress", "--no-backup", "--trace", qfile("c.log")} +
                                portArgs(radio) + QStringList{"--tick-ms", "80"});
    QByteArray err; // the progress bar redraws with CR; at 2 of 15 words are written
    while (!err.contains(" 2/15") && tool.waitForReadyRead(30000)) err += tool.readAll();
    ASSERT_TRUE(err.contains(" 2/15")) << err.toStdString();
    ::kill(static_cast<pid_t>(tool.processId()), SIGINT);
    ASSERT_TRUE(tool.waitForFinished(30000));
    err += tool.readAll();
    EXPECT_EQ(tool.exitCode(), 6) << err.toStdString();
    EXPECT_TRUE(err.contains("cancelled after")) << err.toStdString();
    EXPECT_TRUE(err.contains("may hold a partly written table")) << err.toStdString();
    EXPECT_NE(readAll(file("c.log")).find(" cancel\n"), std::string::npos);
    expectReplaysTo(file("c.log"), 6, "cancelled");
}

TEST_F(KqtoolTrace, TheBenchLogsEachRadioAndReplayShowsAChangedProgram) {
    KqRadioProcess radio({}), other({});
    const Result bench = run("write " + q(file("t.KQ")) + " --parallel --fast" + kSlowTick + port(radio) + " --port " +
                             other.device.toStdString() + " --trace " + q(file("bench.log")));
    ASSERT_EQ(bench.status, 0) << bench.out << bench.err;
    for (const char* name : {"bench-1.log", "bench-2.log"}) expectReplaysTo(file(name), 0, name);
    EXPECT_FALSE(fs::exists(file("bench.log")));
    // The same radio and answers, but a program that would write word 3 otherwise.
    std::string log = readAll(file("bench-1.log"));
    const size_t words = log.find("\nwords: ");
    ASSERT_NE(words, std::string::npos);
    const size_t word3 = words + 8 + 3 * 5;
    log[word3 + 3] = log[word3 + 3] == '0' ? '1' : '0';
    writeAll(file("changed.log"), log);
    const Result r = run("replay " + q(file("changed.log")));
    EXPECT_EQ(r.status, 10) << r.out;
    EXPECT_NE(r.out.find("the frames differ from the log at sent burst"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("logged:  Done (exit 0)"), std::string::npos) << r.out;

    writeAll(file("bad.log"), "KQ link log 1\njob: read 64\n  12.000 > 00\\q\n");
    const Result bad = run("replay " + q(file("bad.log")));
    EXPECT_EQ(bad.status, 8);
    EXPECT_NE(bad.err.find("line 3 of the link log: an unknown escape"), std::string::npos) << bad.err;
    EXPECT_EQ(run("replay " + q(file("none.log"))).status, 8);
    // A log that cannot be written is said before the radio is touched.
    const Result unwritable = run("read -o " + q(file("o.KQ")) + port(radio) + " --trace " + q(file("no/such/dir/t.log")));
    EXPECT_EQ(unwritable.status, 1) << unwritable.err;
    EXPECT_FALSE(fs::exists(file("o.KQ")));
}
