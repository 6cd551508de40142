// kqtool fill on real channel files: the same all-or-nothing fill as the
// auto frequency dialog.
#include "ChannelFile.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

namespace {
std::string fillArgs(const fs::path& kq, const std::string& rest) {
    return "fill \"" + kq.string() + "\" " + rest;
}
} // namespace

TEST_F(Kqtool, FillSavesOnlyWhatItWasAskedTo) {
    ASSERT_EQ(run("new -o " + q(file("a.KQ"))).status, 0);
    Result r = run(fillArgs(file("a.KQ"), "--from 0 --to 15 --start 146,0125 --step 12.5"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 16u);
    r = run(fillArgs(file("a.KQ"), "--from 2 --to 3 --start 150 --step 0 --tx"));
    ASSERT_EQ(r.status, 0) << r.err;
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, file("a.KQ").string());
    const std::tuple<int16_t, double, double> expected[] = {
        {0, 146.0125, 146.0125}, {2, 146.0375, 150}, {3, 146.05, 150}, {15, 146.2, 146.2}};
    for (const auto& [ch, rx, tx] : expected) {
        EXPECT_DOUBLE_EQ(dev.TheRxFreq(ch), rx) << ch;
        EXPECT_DOUBLE_EQ(dev.TheTxFreq(ch), tx) << ch;
    }
}

TEST_F(Kqtool, FillRefusalsLeaveTheFileAlone) {
    ASSERT_EQ(run("new -o " + q(file("a.KQ"))).status, 0);
    const std::string before = readAll(file("a.KQ"));
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"--from 5 --to 2 --start 146 --step 12.5", 1, "A Invalid Channel Number."},
             {"--from 0 --to 15 --start 999.9 --step 12.5 --rx", 1,
              "A Invalid Frequency Value. CH8:1000"},
             {"--from 0 --to 15 --start 146 --step 12.5 --rx --tx", 2, "not both"},
             {"--from 0 --to 15 --start 146", 2, "'--step' is required"}}) {
        Result r = run(fillArgs(file("a.KQ"), c.args));
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(readAll(file("a.KQ")), before) << c.args;
    }
    Result r = run(fillArgs(file("missing.KQ"), "--from 0 --to 1 --start 146 --step 12.5"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(fs::exists(file("missing.KQ")));
}
