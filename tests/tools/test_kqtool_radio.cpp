// kqtool read / write against the kqradio emulator on a pseudo-terminal.
#include "ChannelFile.h"
#include "ChannelText.h"
#include "KqRadioProcess.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

using kqtest::KqRadioProcess;

namespace {

class KqtoolRadio : public Kqtool {
protected:
    std::string port(const KqRadioProcess& r) const { return " --port " + r.device.toStdString(); }
    static std::vector<std::string> rowsOf(const fs::path& file) {
        kq::ClassKQxx53 dev;
        kq::OpenChannelFile(dev, file.string());
        std::vector<std::string> rows;
        for (int16_t ch = 0; ch < 16; ++ch) rows.push_back(kq::ChannelRow(dev, ch));
        return rows;
    }
};

} // namespace

TEST_F(KqtoolRadio, WriteThenReadRoundTripsInBothModes) {
    ASSERT_EQ(run("new -o " + q(file("t.KQ")) + " --model 1").status, 0);
    ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 0 --to 15 --start 146.0125 --step 12.5").status, 0);
    const QString saved = QString::fromStdString(file("radio.KQ").string());
    KqRadioProcess radio({"--model", "1", "--save", saved});
    for (const std::string mode : {"", " --fast"}) {
        fs::remove(file("back.KQ"));
        Result r = run("write " + q(file("t.KQ")) + port(radio) + mode);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("15/15"), std::string::npos);
        EXPECT_NE(r.err.find("wrote and verified 64 words on " + radio.device.toStdString()), std::string::npos);
        r = run("read -o " + q(file("back.KQ")) + port(radio) + mode);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(rowsOf(file("back.KQ")), rowsOf(file("t.KQ"))) << mode;
    }
    radio.stop();
    EXPECT_EQ(rowsOf(file("radio.KQ")), rowsOf(file("t.KQ")));
}

TEST_F(KqtoolRadio, OtherModelNeedsYes) {
    ASSERT_EQ(run("new -o " + q(file("t.KQ")) + " --model 2").status, 0);
    ASSERT_EQ(run("fill " + q(file("t.KQ")) + " --from 0 --to 0 --start 150 --step 0").status, 0);
    const QString saved = QString::fromStdString(file("radio.KQ").string());
    KqRadioProcess radio({"--model", "3", "--save", saved});
    Result r = run("write " + q(file("t.KQ")) + port(radio) + " </dev/null");
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.err.find("another model"), std::string::npos) << r.err;
    ASSERT_EQ(run("read -o " + q(file("before.KQ")) + port(radio)).status, 0);
    EXPECT_EQ(rowsOf(file("before.KQ"))[0].find("150.000000"), std::string::npos);
    r = run("write " + q(file("t.KQ")) + port(radio) + " --yes");
    EXPECT_EQ(r.status, 0) << r.err;
    radio.stop();
    EXPECT_EQ(rowsOf(file("radio.KQ")), rowsOf(file("t.KQ")));
}

TEST_F(KqtoolRadio, FailuresHaveTheirExitCodesAndWriteNoFile) {
    struct Case {
        QStringList args;
        int status;
        std::string message;
    };
    ASSERT_EQ(run("new -o " + q(file("t.KQ")) + " --model 1").status, 0);
    for (const Case& c : {Case{{"--no-probe"}, 3, "ComPort Error!"}, Case{{"--silent-from", "10"}, 3, "at word 10"},
                          Case{{"--bad-id"}, 4, "EEPROM must be initiated!"},
                          Case{{"--bad-readback", "5"}, 3, " ComPort Error! word 5 read back as 0x"}}) {
        KqRadioProcess radio(c.args);
        const bool write = c.args[0] == "--bad-readback";
        Result r = run(write ? "write " + q(file("t.KQ")) + port(radio) : "read -o " + q(file("out.KQ")) + port(radio));
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(file("out.KQ")));
    }
}
