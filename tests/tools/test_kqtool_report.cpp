// kqtool report on a real channel file: the printout's 26 lines.
#include "KqtoolRun.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST_F(Kqtool, ReportHasThePrintoutLinesWithTheGivenDate) {
    ASSERT_EQ(run("new --model KQ-0153 -o " + q(file("a.KQ"))).status, 0);
    Result r = run("report " + q(file("a.KQ")) + " --date 2003-05-07 -o " + q(file("r.txt")));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = readAll(file("r.txt"));
    std::vector<std::string> got;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        got.push_back(text.substr(at, end - at));
    ASSERT_EQ(got.size(), 26u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");           // nothing after the last line end
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 26); // no bare LF
    EXPECT_EQ(got[2], "Model    : KQ-0153");
    EXPECT_EQ(got[3], "IF       : 21.4 MHz");
    EXPECT_EQ(got[5], "FileName : " + fs::absolute(file("a.KQ")).lexically_normal().string());
    EXPECT_EQ(got[6], "Date     : 2003/5/7");
    EXPECT_EQ(got[25], "15  F     NONE     12.5K       NONE     12.5K    L  ");

    // Without -o the same lines go to the standard output.
    r = run("report " + q(file("a.KQ")) + " --date 2024/12/31");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 26u);
    EXPECT_EQ(out[6], "Date     : 2024/12/31");

    fs::remove(file("r.txt"));
    for (const char* date : {"2003/5", "2003/13/1", "2003/5-7"}) {
        r = run("report " + q(file("a.KQ")) + " --date " + date + " -o " + q(file("r.txt")));
        EXPECT_EQ(r.status, 2) << date;
        EXPECT_NE(r.err.find("bad date"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(file("r.txt"))) << date;
    }
}
