// The device facade: defaults, current channel and frequency checks.
#include "ClassKQxx53.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

using namespace kq;

TEST(Facade, NewDeviceIsAnUnusedKQ0453) {
    ClassKQxx53 d;
    EXPECT_EQ(std::make_tuple(d.NowCHNum, d.Model(), d.ModelName(), d.RFIF(), d.TotalEEWords()),
              std::make_tuple(1, 2, "KQ-0453", -45.0, 64));
    for (int16_t c = 0; c < 16; ++c) EXPECT_EQ(d.Channel(c), ChannelPara{});
    for (int16_t a = 0; a < 128; ++a) EXPECT_EQ(d.EEWord(a), 0);
    // Its image (the channels' words are a worked example of the codec's).
    d.Para_to_EEWord();
    EXPECT_EQ(std::vector<int32_t>({d.EEWord(0), d.EEWord(1), d.EEWord(8), d.EEWord(9)}),
              std::vector<int32_t>({50432, 512, 5121, 4097}));
}

TEST(Facade, CurrentChannelPropertiesActOnNowCHNum) {
    ClassKQxx53 d;
    d.RxFreq(150.0); // channel 1 right after creation
    EXPECT_EQ(d.TheRxFreq(1), 150.0);
    EXPECT_EQ(d.TheRxFreq(0), 0.0);
    d.NowCHNum = 7;
    d.TxFreq(151.0);
    d.RFPower(-1);
    d.RxCHSpace(-1);
    d.TxCHSpace(-1);
    EXPECT_EQ(d.Channel(7), (ChannelPara{0.0, 151.0, -1, -1, -1}));
    d.NowCHNum = 20;
    EXPECT_THROW(d.RxFreq(), SubscriptOutOfRange);
    EXPECT_THROW(d.RxFreq(1.0), SubscriptOutOfRange);
    EXPECT_THROW(d.TheRxFreq(16), SubscriptOutOfRange);
}

TEST(Facade, FrequencyChecksIgnoreBandLimits) {
    const std::pair<double, bool> cases[] = {
        {100.0, true},         {99.995, false},   {999.995, true}, {1000.0, false}, {150.00625, true},
        {150.0026, false},     {150.0004, true},  {175.5, true},   {133.0, true},   {146.0126, false},
        {std::nan(""), false}, {INFINITY, false}, {-150.0, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ClassKQxx53::IsTxFreq(c.first), c.second) << c.first;
        EXPECT_EQ(ClassKQxx53::IsRxFreq(c.first), c.second) << c.first;
    }
    EXPECT_TRUE(ClassKQxx53::IsValidCH(0) && ClassKQxx53::IsValidCH(15));
    EXPECT_FALSE(ClassKQxx53::IsValidCH(-1) || ClassKQxx53::IsValidCH(16));
}
