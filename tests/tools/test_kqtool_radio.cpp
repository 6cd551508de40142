// kqtool read / write against the kqradio emulator on a pseudo-terminal.
#include "KqRadioProcess.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

using kqtest::KqRadioProcess;

namespace {

class KqtoolRadio : public Kqtool {
protected:
    std::string port(const KqRadioProcess& r) const { return " --port " + r.device.toStdString(); }
    // Files of the same image are the same bytes.
    std::string rows(const std::string& name) const { return readAll(file(name)); }
    void SetUp() override {
        Kqtool::SetUp();
        ASSERT_EQ(run("new -o " + q(file("t.KQ")) + " --model 1").status, 0);
        ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 0 --to 15 --start 146.0125 --step 12.5").status, 0);
    }
};

} // namespace

TEST_F(KqtoolRadio, WriteThenReadInBothModesAndTheModelQuestion) {
    KqRadioProcess radio({"--model", "3", "--save", QString::fromStdString(file("radio.KQ").string())});
    Result r = run("write " + q(file("t.KQ")) + port(radio) + " </dev/null");
    EXPECT_EQ(r.status, 5); // another model, and nobody to ask
    EXPECT_NE(r.err.find("another model"), std::string::npos) << r.err;
    // The default pacing's write is proven on the link; here a fast write,
    // then a read in each mode.
    r = run("write " + q(file("t.KQ")) + port(radio) + " --yes --fast");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("15/15"), std::string::npos);
    EXPECT_NE(r.err.find("wrote and verified 64 words on " + radio.device.toStdString()), std::string::npos);
    for (const std::string mode : {"", " --fast"}) {
        fs::remove(file("back.KQ"));
        r = run("read -o " + q(file("back.KQ")) + port(radio) + mode);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(rows("back.KQ"), rows("t.KQ")) << mode;
    }
    radio.stop();
    EXPECT_EQ(rows("radio.KQ"), rows("t.KQ"));
}

TEST_F(KqtoolRadio, FailuresHaveTheirExitCodesAndWriteNoFile) {
    struct Case {
        QStringList args;
        int status;
        std::string message;
    };
    for (const Case& c : {Case{{"--no-probe"}, 3, "ComPort Error!"}, Case{{"--silent-from", "10"}, 3, "at word 10"},
                          Case{{"--bad-id"}, 4, "EEPROM must be initiated!"},
                          Case{{"--bad-readback", "5"}, 3, " ComPort Error! word 5 read back as 0x"}}) {
        KqRadioProcess radio(c.args);
        const bool write = c.args[0] == "--bad-readback";
        // In fast mode: a surprise falls back, so outcomes and codes are the default pacing's.
        const std::string cmd = write ? "write " + q(file("t.KQ")) : "read -o " + q(file("out.KQ"));
        Result r = run(cmd + port(radio) + " --fast");
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(file("out.KQ")));
    }
}
