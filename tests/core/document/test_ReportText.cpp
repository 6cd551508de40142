#include "ReportText.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;

TEST(ReportText, HeadingBlockAndOneRowPerChannel) {
    ClassKQxx53 dev;
    dev.TheRxFreq(7, 150.0125);
    dev.TheTxFreq(7, 145.5);
    dev.NowCHNum = 4;
    const auto lines = kq::ReportLines(dev, "Untitled1", "2003/5/7");
    ASSERT_EQ(lines.size(), 26u);
    const std::pair<std::size_t, const char*> expected[] = {
        {0, ""},
        {1, ""},
        {2, "Model    : KQ-0453"},
        {3, "IF       : -45 MHz"},
        {4, "Refer Osc: 12.8 MHz"},
        {5, "FileName : Untitled1"},
        {6, "Date     : 2003/5/7"},
        {7, ""},
        {8, "CH CHSW RX Freq.  RX Space   TX Freq.  Tx Space PWR"},
        {9, "----------------------------------------------------"},
        {10, "0   0     NONE     12.5K       NONE     12.5K    L  "},
        {17, "7   7  150.012500  12.5K    145.500000  12.5K    L  "},
        {25, "15  F     NONE     12.5K       NONE     12.5K    L  "}};
    for (const auto& e : expected) EXPECT_EQ(lines[e.first], e.second) << e.first;
    EXPECT_EQ(dev.NowCHNum, 4); // the report only reads the device
    EXPECT_EQ(kq::ReportText({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ReportDateText, TheClockGivesTheDayWithoutLeadingZeros) {
    const std::pair<kq::CalendarDate, const char*> cases[] = {
        {{2003, 5, 7}, "2003/5/7"}, {{2024, 12, 31}, "2024/12/31"}, {{1999, 1, 1}, "1999/1/1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(kq::ReportDateText(kq::Clock([&c] { return c.first; })), c.second);
    }
}
