// kqtool write --parallel and --repeat against several kqradio emulators, and
// Ctrl+C in the middle of a write.
#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>


TEST_F(KqtoolRadio, ParallelWritesEveryGoodRadioAndNamesTheFaultyOne) {
    std::vector<std::unique_ptr<KqRadioProcess>> radios;
    for (const char* fault : {"", "--bad-readback", ""}) {
        QStringList args{"--save", qfile("r" + std::to_string(radios.size()) + ".KQ")};
        if (*fault) args << fault << "5";
        radios.push_back(std::make_unique<KqRadioProcess>(args));
    }
    // Both ways of naming several ports.
    const Result r = run("write " + q(file("t.KQ")) + " --parallel --fast" + port(*radios[0]) + "," +
                         radios[1]->device.toStdString() + " --port " + radios[2]->device.toStdString());
    EXPECT_EQ(r.status, 3) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 4u) << r.out;
    EXPECT_EQ(out.back(), "written 2, failed 1");
    for (std::size_t i = 0; i < radios.size(); ++i) {
        const std::string want = radios[i]->device.toStdString() +
                                 (i == 1 ? ": FAILED: ComPort Error! word 5 read back as" : ": written and verified");
        const auto has = [&](const std::string& l) { return l.find(want) != std::string::npos; };
        EXPECT_EQ(std::count_if(out.begin(), out.end(), has), 1) << want << "\n" << r.out;
        radios[i]->stop();
        EXPECT_TRUE(i == 1 || readAll(file("r" + std::to_string(i) + ".KQ")) == readAll(file("t.KQ"))) << want;
    }
}

namespace {

// kqtool running in the background, read line by line (stdout and stderr).
struct Background {
    QProcess proc;
    explicit Background(const QStringList& args) {
        proc.setProcessChannelMode(QProcess::MergedChannels);
        proc.start(KQTOOL_PATH, args);
    }
    // The lines up to and including the first that holds text ("" if none came).
    std::string waitFor(const std::string& text) {
        for (;;) {
            while (proc.canReadLine()) {
                const std::string line = QString::fromLocal8Bit(proc.readLine()).trimmed().toStdString();
                if (line.find(text) != std::string::npos) return line;
            }
            if (!proc.waitForReadyRead(30000)) return "";
        }
    }
};

} // namespace

TEST_F(KqtoolRadio, RepeatWritesRadioAfterRadioAndWaitsForEachToBeUnplugged) {
    const fs::path present = file("plugged");
    writeAll(present, "");
    KqRadioProcess radio({"--present", qfile("plugged"), "--save", qfile("saved.KQ")});
    Background tool(QStringList{"write", qfile("t.KQ"), "--repeat", "--count", "2", "--fast"} + portArgs(radio));
    // The lines are taken in order: the second radio only after the first was unplugged.
    EXPECT_NE(tool.waitFor("#1 ").find("written and verified"), std::string::npos);
    fs::remove(present);
    EXPECT_NE(tool.waitFor("unplugged"), "");
    writeAll(present, "");
    EXPECT_NE(tool.waitFor("#2 ").find("written and verified"), std::string::npos);
    EXPECT_EQ(tool.waitFor("written 2, failed 0"), "written 2, failed 0");
    ASSERT_TRUE(tool.proc.waitForFinished(30000));
    EXPECT_EQ(tool.proc.exitCode(), 0);

    // Interrupted while it waits: the summary at once, nothing failed.
    fs::remove(present);
    Background idle(QStringList{"write", qfile("t.KQ"), "--repeat"} + portArgs(radio));
    EXPECT_NE(idle.waitFor("waiting for a radio"), "");
    idle.proc.terminate();
    EXPECT_EQ(idle.waitFor("written"), "written 0, failed 0");
    ASSERT_TRUE(idle.proc.waitForFinished(30000));
    EXPECT_EQ(idle.proc.exitCode(), 0);
    radio.stop();
    EXPECT_EQ(readAll(file("saved.KQ")), readAll(file("t.KQ")));
}

TEST_F(KqtoolRadio, BenchOptionsNeedTheirPorts) {
    for (const char* args : {"--count 2", "--repeat", "--parallel", "--repeat --port a --port b", "--repeat --port a,b",
                             "--repeat --count 0 --port a", "--port a --port b", "--parallel --port a,a",
                             "--port a --tick-ms 10", "--port a --eeprom-ms x"}) {
        const Result r = run("write " + q(file("t.KQ")) + " " + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << args << r.err;
    }
}
