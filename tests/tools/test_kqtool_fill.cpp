// kqtool fill on real channel files: the same all-or-nothing fill as the
// auto frequency dialog.
#include "ChannelFile.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

namespace {

class KqtoolFill : public Kqtool {
protected:
    void SetUp() override {
        Kqtool::SetUp();
        ASSERT_EQ(run("new -o " + q(file("a.KQ"))).status, 0);
    }
    kq::ClassKQxx53 open() const {
        kq::ClassKQxx53 dev;
        kq::OpenChannelFile(dev, file("a.KQ").string());
        return dev;
    }
};

} // namespace

TEST_F(KqtoolFill, FillsAndSaves) {
    Result r = run("fill " + q(file("a.KQ")) + " --from 0 --to 15 --start 146,0125 --step 12.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 16u);
    kq::ClassKQxx53 dev = open();
    EXPECT_EQ(dev.TheRxFreq(0), 146.0125);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(3), 146.05);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(15), 146.2);

    r = run("fill " + q(file("a.KQ")) + " --from 2 --to 3 --start 150 --step 0 --tx");
    ASSERT_EQ(r.status, 0) << r.err;
    dev = open();
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(2), 146.0375);
    EXPECT_EQ(dev.TheTxFreq(2), 150);
    EXPECT_EQ(dev.TheTxFreq(3), 150);
}

TEST_F(KqtoolFill, RefusalsLeaveTheFileAlone) {
    ASSERT_EQ(run("fill " + q(file("a.KQ")) + " --from 0 --to 3 --start 146 --step 12.5").status, 0);
    const std::string before = readAll(file("a.KQ"));
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"--from 5 --to 2 --start 146 --step 12.5", 1, "A Invalid Channel Number."},
             {"--from 0 --to 15 --start 999.9 --step 12.5 --rx", 1, "A Invalid Frequency Value. CH8:1000"},
             {"--from 0 --to 15 --start 146 --step 12.5 --rx --tx", 2, "not both"},
             {"--from 0 --to 15 --start 146", 2, "'--step' is required"},
         }) {
        Result r = run("fill " + q(file("a.KQ")) + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(readAll(file("a.KQ")), before) << c.args;
    }
    Result r = run("fill " + q(file("missing.KQ")) + " --from 0 --to 1 --start 146 --step 12.5");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(file("missing.KQ")));
}
