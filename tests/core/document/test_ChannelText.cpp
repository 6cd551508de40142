#include "ChannelText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kq::ClassKQxx53;
using kq::FreqToText;

TEST(FreqToText, RendersFrequenciesInTenColumnsWithTheSixthDecimalCut) {
    EXPECT_EQ(FreqToText(0.0), "   NONE   ");
    EXPECT_EQ(FreqToText(150.0), "150.000000");
    EXPECT_EQ(FreqToText(150.0125), "150.012500");
    EXPECT_EQ(FreqToText(145.00625), "145.006250");
    EXPECT_EQ(FreqToText(50.5), " 50.500000");
    EXPECT_EQ(FreqToText(5.25), "  5.250000");
    EXPECT_EQ(FreqToText(0.5), "  0.500000");
    // Cut, not rounded.
    EXPECT_EQ(FreqToText(150.0000009), "150.000000");
    EXPECT_EQ(FreqToText(999.9999999), "999.999999");
    // Double noise from the codec is hidden by the 15-digit rounding.
    EXPECT_EQ(FreqToText(0.1 + 0.2 + 150), "150.300000");
}

TEST(FreqToText, KeepsTenColumnsForValuesBeyondTheBand) {
    // A damaged image can decode to 1000 MHz or more: the whole part stays
    // complete and decimals give way.
    EXPECT_EQ(FreqToText(1000.0), "1000.00000");
    EXPECT_EQ(FreqToText(1638.8), "1638.80000");
    EXPECT_EQ(FreqToText(123456.789), "123456.789");
    EXPECT_EQ(FreqToText(123456789.0), "123456789.");
    EXPECT_EQ(FreqToText(-5.0), " -5.000000");
    // No room for the whole part: a plain overflow mark, never a wrong number.
    EXPECT_EQ(FreqToText(1234567890.0), "**********");
    EXPECT_EQ(FreqToText(1e300), "**********");
    EXPECT_EQ(FreqToText(std::numeric_limits<double>::quiet_NaN()), "**********");
    EXPECT_EQ(FreqToText(std::numeric_limits<double>::infinity()), "**********");
    for (double f : {1e-300, 7.0, 99.99, 999.0, 1e4, 5e8, -1e9, 2e15}) {
        EXPECT_EQ(FreqToText(f).size(), 10u) << f;
    }
}

TEST(DecimalText, WritesTheShortestFormWithoutExponent) {
    EXPECT_EQ(kq::DecimalText(-45.0), "-45");
    EXPECT_EQ(kq::DecimalText(21.4), "21.4");
    EXPECT_EQ(kq::DecimalText(12.8), "12.8");
    EXPECT_EQ(kq::DecimalText(-0.0), "0");
    EXPECT_EQ(kq::DecimalText(0.00001), "0.00001");
    EXPECT_EQ(kq::DecimalText(1e20), "100000000000000000000");
    EXPECT_EQ(kq::DecimalText(150.01250000000002), "150.0125");
}

TEST(ChannelRow, MatchesTheListFormat) {
    ClassKQxx53 dev;
    dev.TheRxFreq(10, 150.0125);
    dev.TheRxCHSpace(10, -1);
    dev.TheTxFreq(10, 145.5);
    dev.TheTxCHSpace(10, 0);
    dev.TheRFPower(10, -1);
    EXPECT_EQ(kq::ChannelRow(dev, 10), "10  A  150.012500  25.0K    145.500000  12.5K    H  ");
    EXPECT_EQ(kq::ChannelRow(dev, 3), "3   3     NONE     12.5K       NONE     12.5K    L  ");
    EXPECT_EQ(kq::ChannelRow(dev, 15), "15  F     NONE     12.5K       NONE     12.5K    L  ");

    // Every row keeps 52 columns, whatever the values.
    dev.TheRxFreq(0, 1638.8);
    dev.TheTxFreq(0, 1e12);
    dev.TheRxCHSpace(0, 5);
    EXPECT_EQ(kq::ChannelRow(dev, 0), "0   0  1638.80000  25.0K    **********  12.5K    L  ");
    for (int16_t ch = 0; ch < 16; ++ch) EXPECT_EQ(kq::ChannelRow(dev, ch).size(), 52u);
    EXPECT_THROW(kq::ChannelRow(dev, 16), kq::SubscriptOutOfRange);
    EXPECT_THROW(kq::ChannelRow(dev, -1), kq::SubscriptOutOfRange);
}

TEST(ChannelRow, ShowsAnyNonzeroPowerCodeAsHigh) {
    // The codec writes high power for every nonzero code.
    ClassKQxx53 dev;
    dev.TheRFPower(2, 1);
    EXPECT_EQ(kq::ChannelRow(dev, 2).substr(49), "H  ");
    dev.TheRFPower(2, 0);
    EXPECT_EQ(kq::ChannelRow(dev, 2).substr(49), "L  ");
}

TEST(WindowTexts, HeadingAndLabelsFollowTheModel) {
    EXPECT_EQ(kq::ChannelHeading().size(), 53u);
    EXPECT_EQ(kq::ChannelHeading().back(), ' ');
    EXPECT_EQ(kq::ModelTitleText(), "Model:");
    EXPECT_EQ(kq::RangeTitleText(), "IF:");
    EXPECT_EQ(kq::ReferOscTitleText(), "Refer Osc:");

    ClassKQxx53 dev; // default model KQ-0453
    EXPECT_EQ(kq::ModelText(dev), "KQ-0453");
    EXPECT_EQ(kq::RFIFText(dev), "-45 MHz");
    EXPECT_EQ(kq::ReferOscText(dev), "12.8 MHz");
    dev.ModelName("KQ-0153");
    dev.RFIF(21.4);
    EXPECT_EQ(kq::ModelText(dev), "KQ-0153");
    EXPECT_EQ(kq::RFIFText(dev), "21.4 MHz");
}
