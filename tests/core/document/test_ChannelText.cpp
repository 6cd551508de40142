// A channel's text in the table and the printout's lines.
#include "ChannelText.h"
#include "ReportText.h"

#include <gtest/gtest.h>

#include <limits>

using kq::ClassKQxx53;

TEST(ChannelRow, FrequencyTenColumnsSixthDecimalCutOverflowMarkedRowFiftyTwo) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    // The sixth decimal is cut, not rounded; codec noise is hidden; a whole
    // part of up to nine digits is kept, more overflows.
    const std::pair<double, const char*> cases[] = {
        {0.0, "   NONE   "},         {150.0125, "150.012500"},    {145.00625, "145.006250"},
        {50.5, " 50.500000"},        {0.5, "  0.500000"},         {-5.0, " -5.000000"},
        {150.0000009, "150.000000"}, {999.9999999, "999.999999"}, {0.1 + 0.2 + 150, "150.300000"},
        {1638.8, "1638.80000"},      {123456789.0, "123456789."}, {1234567890.0, "**********"},
        {1e300, "**********"},       {nan, "**********"},         {inf, "**********"}};
    for (const auto& c : cases) EXPECT_EQ(kq::FreqToText(c.first), c.second) << c.first;
    for (double f : {1e-300, 99.99, 1e4, -1e9, 2e15}) EXPECT_EQ(kq::FreqToText(f).size(), 10u) << f;

    // A channel's row: fifty-two columns whatever the values.
    ClassKQxx53 dev;
    dev.TheRxFreq(10, 150.0125);
    dev.TheRxCHSpace(10, -1);
    dev.TheTxFreq(10, 145.5);
    dev.TheRFPower(10, -1);
    dev.TheRxFreq(0, 1638.8);
    dev.TheTxFreq(0, 1e12);
    dev.TheRxCHSpace(0, 5); // any nonzero spacing is 25 kHz
    dev.TheRFPower(2, 1);   // written to the radio as high power
    const std::pair<int16_t, const char*> rows[] = {{10, "10  A  150.012500  25.0K    145.500000  12.5K    H  "},
                                                    {0, "0   0  1638.80000  25.0K    **********  12.5K    L  "},
                                                    {2, "2   2     NONE     12.5K       NONE     12.5K    H  "}};
    for (const auto& r : rows) EXPECT_EQ(kq::ChannelRow(dev, r.first), r.second);
    EXPECT_THROW(kq::ChannelRow(dev, 16), kq::SubscriptOutOfRange);
    EXPECT_THROW(kq::ChannelRow(dev, -1), kq::SubscriptOutOfRange);
}

TEST(ReportText, HeadingBlockOneRowPerChannelAndTheDay) {
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
    // The clock gives the day without leading zeros.
    const std::pair<kq::CalendarDate, const char*> cases[] = {
        {{2003, 5, 7}, "2003/5/7"}, {{2024, 12, 31}, "2024/12/31"}, {{1999, 1, 1}, "1999/1/1"}};
    for (const auto& c : cases) EXPECT_EQ(kq::ReportDateText(kq::Clock([&c] { return c.first; })), c.second);
}
