// The device image (plain storage: range checks, parameters and words kept
// apart) and its facade (defaults, current channel, frequency checks).
#include "ClassKQxx53.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

using namespace kq;

TEST(DeviceImage, OutOfRangeChannelOrAddressFailsAndChangesNothing) {
    ClassKqSerial img;
    img.RxFreq(15, 150.0);
    img.EEWord(127, 7);
    for (int16_t bad : {-1, 16, -32768}) {
        EXPECT_THROW(img.RxFreq(bad), SubscriptOutOfRange);
        EXPECT_THROW(img.TxFreq(bad, 1.0), SubscriptOutOfRange);
        EXPECT_THROW(img.RFPower(bad, -1), SubscriptOutOfRange);
        EXPECT_THROW(img.DeleteOneChannel(bad), SubscriptOutOfRange);
    }
    for (int16_t bad : {-1, 128}) {
        EXPECT_THROW(img.EEWord(bad), SubscriptOutOfRange);
        EXPECT_THROW(img.EEWord(bad, 1), SubscriptOutOfRange);
    }
    EXPECT_EQ(img.RxFreq(15), 150.0);
    EXPECT_EQ(img.EEWord(127), 7);
}

TEST(DeviceImage, ParametersWordsModelCodeAndWordCountAreStoredApart) {
    ClassKqSerial img;
    img.RxFreq(5, 150.0);
    img.RFPower(5, -1);
    img.Para_to_EEWord();
    const int32_t w16 = img.EEWord(31), w17 = img.EEWord(32), w25 = img.EEWord(25);
    img.RxFreq(3, 150.0); // no word changes until the next conversion
    EXPECT_EQ(img.EEWord(25), w25);
    img.EEWord(26, 0x12345); // stored unmasked, parameters untouched
    EXPECT_EQ(img.EEWord(26), 0x12345);
    EXPECT_EQ(img.RFPower(3), 0);
    img.DeleteOneChannel(5);
    EXPECT_EQ(img.Channel(5), ChannelPara{});
    EXPECT_EQ(img.EEWord(31), w16);
    EXPECT_EQ(img.EEWord(32), w17);
    img.Model(1); // plain storage: the model table is not applied
    EXPECT_EQ(img.ModelName(), "");
    EXPECT_EQ(img.RFIF(), 45.0);
    // The word count is a byte count held in 16 bits.
    for (int32_t fits : {100, 16383, -16384, 64}) EXPECT_EQ((img.TotalEEWords(fits), img.TotalEEWords()), fits);
    for (int32_t overflows : {16384, -16385}) EXPECT_THROW(img.TotalEEWords(overflows), OverflowError) << overflows;
    EXPECT_EQ(img.TotalEEWords(), 64);
}

TEST(RoundHalfEven, HalvesGoToEvenNeighbourAndHugeValuesFail) {
    const std::pair<double, int64_t> cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {14271.999999999998, 14272}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.first), c.second) << c.first;
    EXPECT_THROW(RoundHalfEven(1e300), OverflowError);
    EXPECT_THROW(RoundHalfEven(std::nan("")), OverflowError);
}

TEST(Facade, NewDeviceIsAnUnusedKQ0453AndFrequencyChecksIgnoreBandLimits) {
    ClassKQxx53 d;
    EXPECT_EQ(std::make_tuple(d.NowCHNum, d.Model(), d.ModelName(), d.RFIF(), d.TotalEEWords()),
              std::make_tuple(1, 2, "KQ-0453", -45.0, 64));
    for (int16_t c = 0; c < 16; ++c) EXPECT_EQ(d.Channel(c), ChannelPara{});
    for (int16_t a = 0; a < 128; ++a) EXPECT_EQ(d.EEWord(a), 0);
    // Its image (the channels' words are a worked example of the codec's).
    d.Para_to_EEWord();
    EXPECT_EQ(std::vector<int32_t>({d.EEWord(0), d.EEWord(1), d.EEWord(8), d.EEWord(9)}),
              std::vector<int32_t>({50432, 512, 5121, 4097}));

    // Frequency checks ignore band limits.
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
