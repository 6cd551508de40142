// The band hint: which channels lie outside the device's 134..175 MHz.
#include "BandHint.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(BandHint, NamesChannelsWithEitherFrequencyOutsideTheLimits) {
    struct Case {
        double rx, tx;
        bool outside;
    };
    // Channel n holds case n; the limits belong to the band, 0 is unused.
    const Case cases[] = {
        {0.0, 0.0, false},       {134.0, 175.0, false},   {133.9875, 150.0, true}, {150.0, 175.0125, true},
        {440.0, 0.0, true},      {0.0, 100.0, true},      {150.0, 0.0, false},     {0.0, 174.99375, false},
        {-146.0, -146.0, true},  {999.9875, 999.9875, true},
    };
    ClassKQxx53 dev;
    std::vector<int16_t> expected;
    for (int16_t ch = 0; ch < static_cast<int16_t>(std::size(cases)); ++ch) {
        dev.TheRxFreq(ch, cases[ch].rx);
        dev.TheTxFreq(ch, cases[ch].tx);
        if (cases[ch].outside) expected.push_back(ch);
    }
    EXPECT_EQ(ChannelsOutsideBand(dev), expected);
    EXPECT_EQ(ChannelsOutsideBand(ClassKQxx53{}), std::vector<int16_t>{});
}
