#include "ReportText.h"

#include "ChannelText.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;

TEST(ReportText, FreshTableOfTheDefaultModel) {
    ClassKQxx53 dev;
    const auto lines = kq::ReportLines(dev, "Untitled1", "2003/5/7");
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "Model    : KQ-0453");
    EXPECT_EQ(lines[3], "IF       : -45 MHz");
    EXPECT_EQ(lines[4], "Refer Osc: 12.8 MHz");
    EXPECT_EQ(lines[5], "FileName : Untitled1");
    EXPECT_EQ(lines[6], "Date     : 2003/5/7");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], "CH CHSW RX Freq.  RX Space   TX Freq.  Tx Space PWR");
    EXPECT_EQ(lines[8].size(), 51u);
    EXPECT_EQ(lines[9], std::string(52, '-'));
    EXPECT_EQ(lines[10], "0   0     NONE     12.5K       NONE     12.5K    L  ");
    EXPECT_EQ(lines[25], "15  F     NONE     12.5K       NONE     12.5K    L  ");
    for (int i = 2; i <= 6; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)][9], ':') << i;
}

TEST(ReportText, RowsFollowTheChannelsAndTheDeviceIsNotChanged) {
    ClassKQxx53 dev;
    dev.TheRxFreq(7, 150.0125);
    dev.TheTxFreq(7, 145.5);
    dev.NowCHNum = 4;
    const auto lines = kq::ReportLines(dev, "/tmp/a.KQ", "2024/12/31");
    EXPECT_EQ(lines[5], "FileName : /tmp/a.KQ");
    EXPECT_EQ(lines[17], "7   7  150.012500  12.5K    145.500000  12.5K    L  ");
    EXPECT_EQ(dev.NowCHNum, 4);
    // Without a caption the line still has its label.
    EXPECT_EQ(kq::ReportLines(dev, "2024/12/31")[5], "FileName : ");
}

TEST(ReportText, TextEndsEveryLineWithCrLf) {
    ClassKQxx53 dev;
    const std::string text = kq::ReportText(kq::ReportLines(dev, "Untitled1", "2003/5/7"));
    std::size_t crlf = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++crlf;
    EXPECT_EQ(crlf, 26u);
    EXPECT_EQ(text.substr(0, 4), "\r\n\r\n");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ReportDateText, NoLeadingZeros) {
    EXPECT_EQ(kq::ReportDateText(2003, 5, 7), "2003/5/7");
    EXPECT_EQ(kq::ReportDateText(2024, 12, 31), "2024/12/31");

    std::tm tm{};
    tm.tm_year = 2003 - 1900;
    tm.tm_mon = 4;
    tm.tm_mday = 7;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    EXPECT_EQ(kq::ReportDateText(std::mktime(&tm)), "2003/5/7");
    tm.tm_year = 1999 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    EXPECT_EQ(kq::ReportDateText(std::mktime(&tm)), "1999/1/1");
}
