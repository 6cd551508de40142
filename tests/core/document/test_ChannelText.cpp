#include "ChannelText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kq::ClassKQxx53;

TEST(FreqToText, TenColumnsSixthDecimalCutAndOverflowMark) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // The sixth decimal is cut, not rounded; codec noise is hidden; a whole
    // part of up to nine digits is kept, more overflows.
    const std::pair<double, const char*> cases[] = {{0.0, "   NONE   "},
                                                    {150.0125, "150.012500"},
                                                    {145.00625, "145.006250"},
                                                    {50.5, " 50.500000"},
                                                    {0.5, "  0.500000"},
                                                    {-5.0, " -5.000000"},
                                                    {150.0000009, "150.000000"},
                                                    {999.9999999, "999.999999"},
                                                    {0.1 + 0.2 + 150, "150.300000"},
                                                    {1638.8, "1638.80000"},
                                                    {123456789.0, "123456789."},
                                                    {1234567890.0, "**********"},
                                                    {1e300, "**********"},
                                                    {nan, "**********"},
                                                    {std::numeric_limits<double>::infinity(), "**********"}};
    for (const auto& c : cases) EXPECT_EQ(kq::FreqToText(c.first), c.second) << c.first;
    for (double f : {1e-300, 99.99, 1e4, -1e9, 2e15}) EXPECT_EQ(kq::FreqToText(f).size(), 10u) << f;
}

TEST(ChannelRow, FiftyTwoColumnsWhateverTheValues) {
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
                                                    {3, "3   3     NONE     12.5K       NONE     12.5K    L  "},
                                                    {0, "0   0  1638.80000  25.0K    **********  12.5K    L  "},
                                                    {2, "2   2     NONE     12.5K       NONE     12.5K    H  "}};
    for (const auto& r : rows) EXPECT_EQ(kq::ChannelRow(dev, r.first), r.second);
    EXPECT_THROW(kq::ChannelRow(dev, 16), kq::SubscriptOutOfRange);
    EXPECT_THROW(kq::ChannelRow(dev, -1), kq::SubscriptOutOfRange);
}
