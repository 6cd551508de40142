// kqtool read / write: against simulated radios in virtual time, and once
// against the kqradio emulator on a pseudo-terminal.
#include "KqtoolRun.h"

#include <gtest/gtest.h>

TEST_F(KqtoolRadio, WriteThenReadInBothModesAndTheModelQuestion) {
    KqRadioProcess radio({"--model=KQ-0153", "--save", qfile("radio.KQ")}); // model 3
    ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 15 --to 15 --start 440 --step 0").status, 0);
    Result r = run("write " + q(file("t.KQ")) + port(radio) + " --fast </dev/null");
    EXPECT_EQ(r.status, 5); // another model, and nobody to ask
    EXPECT_NE(r.err.find("another model"), std::string::npos) << r.err;
    // On a terminal the question is asked and a yes writes the radio. (The
    // link's waits around a pause at the question are proven in virtual time.)
    KqRadioProcess other({"--model=KQ-0153"});
    const std::string ask = q(KQTOOL_PATH) + " write " + q(file("t.KQ")) + port(other) + " --fast";
    const int asked =
        std::system(("echo y | script -qec '" + ask + "' /dev/null >" + q(file("out")) + " 2>&1").c_str());
    ASSERT_EQ(WEXITSTATUS(asked), 0) << readAll(file("out"));
    EXPECT_NE(readAll(file("out")).find("Overwrite ? [y/N]"), std::string::npos) << readAll(file("out"));
    EXPECT_NE(readAll(file("out")).find("wrote and verified 64 words"), std::string::npos) << readAll(file("out"));
    // The default pacing's write is proven on the link; here a fast write,
    // then a read in each mode.
    r = run("write " + q(file("t.KQ")) + port(radio) + " --yes --fast");
    ASSERT_EQ(r.status, 0) << r.err;
    // Standard error is a file here: the channel the radio cannot use (written all the same), what was done,
    // and no progress bar.
    EXPECT_EQ(lines(r.err).size(), 3u) << r.err;
    EXPECT_EQ(lines(r.err).at(1), "  channel 15: RX 440 MHz (outside), TX 440 MHz (outside)") << r.err;
    EXPECT_EQ(r.err.rfind("kqtool: warning: channels outside the radio's band (134 to 175 MHz)", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("wrote and verified 64 words on COM1 (" + radio.device.toStdString() + ")"), std::string::npos);
    const std::string device = radio.device.toStdString();
    r = run("read -o " + q(file("back.KQ")) + port(radio) + " --verbose");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readAll(file("back.KQ")), readAll(file("t.KQ")));
    EXPECT_NE(r.err.find("kqtool: looking for the radio on " + device + "\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("kqtool: the radio answered on " + device + "\n"), std::string::npos) << r.err;
    // To standard output, quietly, every option as --option=value.
    r = run("read -o - --fast --quiet --tick-ms=80 --port=" + device);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, readAll(file("t.KQ")));
    EXPECT_EQ(r.err, "");
    radio.stop();
    EXPECT_EQ(readAll(file("radio.KQ")), readAll(file("t.KQ")));
}

// Failing reads and writes, and verify, which compares without writing.
TEST_F(KqtoolSim, FailuresAndVerifyHaveTheirExitCodesAndWriteNoFile) {
    fs::copy_file(file("t.KQ"), file("other.KQ"));
    ASSERT_EQ(run("fill " + q(file("other.KQ")) + " --from 3 --to 3 --start 150 --step 12.5").status, 0);
    const std::string fileRow = "file  3   3  146.050000  12.5K    146.050000  12.5K    L  ";
    const std::string radioRow = "radio 3   3  150.000000  12.5K    150.000000  12.5K    L  ";
    const QString image = qfile("t.KQ"), other = qfile("other.KQ");
    const std::string read = "read -o " + q(file("out.KQ")), write = "write " + q(file("t.KQ")),
                      verify = "verify " + q(file("t.KQ"));
    // The command, the radio's options, the exit status and what is shown on stdout or stderr.
    const std::tuple<std::string, QStringList, int, std::vector<std::string>> cases[] = {
        {read, {"--no-probe"}, 3, {"ComPort Error!"}},
        {read, {"--silent-from", "10"}, 3, {"at word 10"}},
        {read, {"--bad-id"}, 4, {"EEPROM must be initiated!"}},
        {write, {"--bad-readback", "5"}, 3, {" ComPort Error! word 5 read back as 0x"}},
        {verify, {"--image", image}, 0, {"holds"}},
        {verify, {"--image", other}, 7, {fileRow + "\n" + radioRow + "\n", "in 1 channel(s)"}},
        {verify,
         {"--image", image, "--bad-id"},
         4,
         {"file  word 00: C500\nradio word 00: C501\n", "must be initiated!"}},
        {verify, {"--no-probe"}, 3, {" ComPort Error! no radio answered"}}};
    for (const auto& [cmd, options, status, shown] : cases) {
        SimulatedRadio& radio = simRadio(QStringList(options) << "--save" << qfile("saved.KQ"));
        // In fast mode: a surprise falls back, so outcomes and codes are the default pacing's.
        const Result r = run(cmd + port(radio) + " --fast");
        EXPECT_EQ(r.status, status) << cmd << options.join(' ').toStdString() << r.err;
        for (const std::string& s : shown) EXPECT_NE((r.out + r.err).find(s), std::string::npos) << s << r.out << r.err;
        EXPECT_TRUE(status != 0 || r.out.empty()) << r.out;
        EXPECT_FALSE(fs::exists(file("out.KQ")));
        radio.stop();
        EXPECT_TRUE(status != 7 || readAll(file("saved.KQ")) == readAll(file("other.KQ"))); // nothing was written
    }
    // A device that is not there is named, not taken for a silent radio.
    const Result r = run(read + " --port /dev/kq-none");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("no such device /dev/kq-none"), std::string::npos) << r.err;
    EXPECT_EQ(run("verify " + q(file("none.KQ")) + " --port /dev/null").status, 8);
}

// The default pacing every user runs, on lines that used to give a wrong
// file with exit 0: a slow USB adapter echoing per character, CR LF answers
// late inside the window, and noise. The right file, or a failure, never
// a wrong file.
TEST_F(KqtoolSim, SlowAndOddLinesGiveTheRightFileInTheDefaultPacing) {
    const QStringList lines[] = {{"--latency", "64", "--echo-per-char"},
                                 {"--crlf", "--answer-delay", "27"},
                                 {"--noise-every", "9", "--latency", "36"}};
    for (const QStringList& options : lines) {
        const SimulatedRadio& radio = simRadio(QStringList(options) << "--image" << qfile("t.KQ"));
        const Result r = run("read -o " + q(file("back.KQ")) + port(radio));
        const std::string name = options.join(' ').toStdString() + ": " + r.err;
        ASSERT_EQ(r.status, 0) << name;
        EXPECT_EQ(readAll(file("back.KQ")), readAll(file("t.KQ"))) << name;
        fs::remove(file("back.KQ"));
    }
}

TEST_F(KqtoolRadio, TheEmulatorRefusesWhatKqtoolRefusesAndNamesIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"--model 7", "bad value '7' for --model (use 0 KQ-0253, 1 KQ-0353"},
        {"--model=KQ-9999", "bad value 'KQ-9999' for --model"},
        {"--modle=3", "unknown option '--modle'"},
        {"--eeprom-ms", "option '--eeprom-ms' needs a value"},
        {"--crlf=yes", "option '--crlf' takes no value"}};
    for (const auto& [args, message] : cases) {
        const int status = std::system((q(KQRADIO) + " " + args + " 2>" + q(file("err"))).c_str());
        EXPECT_EQ(WEXITSTATUS(status), 2) << args;
        EXPECT_NE(readAll(file("err")).find("kqradio: " + message), std::string::npos) << readAll(file("err"));
    }
}
