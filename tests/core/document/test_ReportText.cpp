#include "ReportText.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;

TEST(ReportText, HeadingBlockAndOneRowPerChannel) {
    ClassKQxx53 dev;
    dev.TheRxFreq(7, 150.0125);
    dev.TheTxFreq(7, 145.5);
    const auto lines = kq::ReportLines(dev, "Untitled1", "2003/5/7");
    ASSERT_EQ(lines.size(), 26u);
    std::string head; // the first ten lines, each ended by "|"
    for (std::size_t i = 0; i < 10; ++i) head += lines[i] + "|";
    EXPECT_EQ(head, "||Model    : KQ-0453|IF       : -45 MHz|Refer Osc: 12.8 MHz|FileName : Untitled1|"
                    "Date     : 2003/5/7||CH CHSW RX Freq.  RX Space   TX Freq.  Tx Space PWR|"
                    "----------------------------------------------------|");
    EXPECT_EQ(lines[17], "7   7  150.012500  12.5K    145.500000  12.5K    L  ");
    EXPECT_EQ(lines[25], "15  F     NONE     12.5K       NONE     12.5K    L  ");
    EXPECT_EQ(kq::ReportText({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(ReportDateText, TheClockGivesTheDayWithoutLeadingZeros) {
    const std::pair<kq::CalendarDate, const char*> cases[] = {
        {{2003, 5, 7}, "2003/5/7"}, {{2024, 12, 31}, "2024/12/31"}, {{1999, 1, 1}, "1999/1/1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(kq::ReportDateText(kq::Clock([&c] { return c.first; })), c.second);
    }
}
