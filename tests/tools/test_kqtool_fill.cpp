// kqtool fill on a real channel file: the auto frequency fill, saved only
// when every channel of the range passes.
#include "ChannelFile.h"
#include "KqtoolRun.h"

#include <gtest/gtest.h>

TEST_F(Kqtool, FillSavesWhatPassesAndLeavesTheFileAloneOtherwise) {
    ASSERT_EQ(run("new -o " + q(file("a.KQ"))).status, 0);
    const std::string fill = "fill " + q(file("a.KQ")) + " ";
    Result r = run(fill + "--from 0 --to 15 --start 146,0125 --step 12.5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lines(r.out).size(), 16u);
    ASSERT_EQ(run(fill + "--from 2 --to 3 --start 150 --step 0 --tx").status, 0);
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, file("a.KQ").string());
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(2), 146.0375);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(2), 150);
    EXPECT_DOUBLE_EQ(dev.TheTxFreq(15), 146.2);

    const std::string before = readAll(file("a.KQ"));
    const std::tuple<std::string, int, std::string> refusals[] = {
        {"--from 5 --to 2 --start 146 --step 12.5", 1, "A Invalid Channel Number."},
        {"--from 0 --to 15 --start 999.9 --step 12.5 --rx", 1, "Value. CH8:1000"},
        {"--from 0 --to 15 --start 146 --step 12.5 --rx --tx", 2, "not both"},
        {"--from 0 --to 15 --start 146", 2, "'--step' is required"}};
    for (const auto& [args, status, message] : refusals) {
        r = run(fill + args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(readAll(file("a.KQ")), before) << args;
    }
}
