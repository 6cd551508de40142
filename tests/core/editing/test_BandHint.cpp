// The band hint: which channels lie outside the device's 134..175 MHz.
#include "BandHint.h"

#include <gtest/gtest.h>

using namespace kq;

TEST(BandHint, NamesChannelsWithEitherFrequencyOutsideTheLimits) {
    // Channel n holds pair n (rx, tx); the limits belong to the band, 0 is unused.
    const std::pair<double, double> channels[] = {{0.0, 0.0},        {134.0, 175.0},   {133.9875, 150.0},
                                                  {150.0, 175.0125}, {440.0, 0.0},     {0.0, 100.0},
                                                  {150.0, 0.0},      {0.0, 174.99375}, {-146.0, -146.0}};
    ClassKQxx53 dev;
    for (int16_t ch = 0; ch < static_cast<int16_t>(std::size(channels)); ++ch) {
        dev.TheRxFreq(ch, channels[ch].first);
        dev.TheTxFreq(ch, channels[ch].second);
    }
    EXPECT_EQ(ChannelsOutsideBand(dev), (std::vector<int16_t>{2, 3, 4, 5, 8}));
    EXPECT_EQ(ChannelsOutsideBand(ClassKQxx53{}), std::vector<int16_t>{});
}
