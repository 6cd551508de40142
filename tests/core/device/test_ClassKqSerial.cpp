// Plain storage of the device image: defaults, range checks, independence of
// parameters and words.
#include "ClassKqSerial.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kq;

TEST(DeviceImage, NewImageHoldsItsDefaults) {
    ClassKqSerial img;
    for (int16_t a = 0; a < WordSlots; ++a) EXPECT_EQ(img.EEWord(a), 0) << a;
    for (int16_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(img.Channel(c), ChannelPara{}) << c;
    }
    EXPECT_EQ(img.Model(), 0);
    EXPECT_EQ(img.ModelName(), "");
    EXPECT_DOUBLE_EQ(img.RFIF(), 45.0);
    EXPECT_DOUBLE_EQ(img.ReferOSC(), 12.8);
    EXPECT_EQ(img.PLLScaler(), 64);
    EXPECT_EQ(img.EepromID(), 50432);
    EXPECT_EQ(img.VCORef1(), 5121);
    EXPECT_EQ(img.VCORef2(), 4097);
    EXPECT_EQ(img.TotalEEWords(), 64);
}

TEST(DeviceImage, OutOfRangeChannelOrAddressFailsAndChangesNothing) {
    ClassKqSerial img;
    img.RxFreq(15, 150.0);
    img.EEWord(127, 7);
    for (int16_t bad : {int16_t{-1}, int16_t{16}, int16_t{-32768}}) {
        EXPECT_THROW(img.RxFreq(bad), SubscriptOutOfRange);
        EXPECT_THROW(img.TxFreq(bad, 1.0), SubscriptOutOfRange);
        EXPECT_THROW(img.RFPower(bad, -1), SubscriptOutOfRange);
        EXPECT_THROW(img.DeleteOneChannel(bad), SubscriptOutOfRange);
    }
    for (int16_t bad : {int16_t{-1}, int16_t{128}}) {
        EXPECT_THROW(img.EEWord(bad), SubscriptOutOfRange);
        EXPECT_THROW(img.EEWord(bad, 1), SubscriptOutOfRange);
    }
    EXPECT_DOUBLE_EQ(img.RxFreq(15), 150.0);
    EXPECT_EQ(img.EEWord(127), 7);
    EXPECT_EQ(img.EEWord(0), 0);
}

TEST(DeviceImage, ParametersAndWordsAreIndependentUntilConverted) {
    ClassKqSerial img;
    img.EEWord(25, 0x1234);
    img.RxFreq(3, 150.0);
    EXPECT_EQ(img.EEWord(25), 0x1234);
    EXPECT_EQ(img.EEWord(26), 0);
    img.EEWord(26, 0xFFFF);
    EXPECT_DOUBLE_EQ(img.RxFreq(3), 150.0);
    EXPECT_EQ(img.RFPower(3), 0);

    // Words are stored unmasked.
    img.EEWord(40, 0x12345);
    EXPECT_EQ(img.EEWord(40), 0x12345);
}

TEST(DeviceImage, DeleteOneChannelClearsRecordButNotWords) {
    ClassKqSerial img;
    img.RxFreq(5, 150.0);
    img.TxFreq(5, 151.0);
    img.RxCHSpace(5, -1);
    img.TxCHSpace(5, -1);
    img.RFPower(5, -1);
    img.RxFreq(6, 160.0);
    img.Para_to_EEWord();
    const int32_t w31 = img.EEWord(31), w32 = img.EEWord(32), w33 = img.EEWord(33);
    img.DeleteOneChannel(5);
    EXPECT_EQ(img.Channel(5), ChannelPara{});
    EXPECT_DOUBLE_EQ(img.RxFreq(6), 160.0);
    EXPECT_EQ(img.EEWord(31), w31);
    EXPECT_EQ(img.EEWord(32), w32);
    EXPECT_EQ(img.EEWord(33), w33);
}

TEST(DeviceImage, TotalEEWordsOverflowKeepsOldValue) {
    ClassKqSerial img;
    img.TotalEEWords(100);
    EXPECT_EQ(img.TotalEEWords(), 100);
    img.TotalEEWords(64);
    EXPECT_EQ(img.TotalEEWords(), 64);
    EXPECT_THROW(img.TotalEEWords(16384), OverflowError);
    EXPECT_THROW(img.TotalEEWords(-16385), OverflowError);
    EXPECT_EQ(img.TotalEEWords(), 64);
    img.TotalEEWords(16383);
    EXPECT_EQ(img.TotalEEWords(), 16383);
    img.TotalEEWords(-16384);
    EXPECT_EQ(img.TotalEEWords(), -16384);
}

TEST(RoundHalfEven, HalvesGoToEvenNeighbourAndHugeValuesFail) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(14271.999999999998), 14272);
    EXPECT_THROW(RoundHalfEven(1e300), OverflowError);
    EXPECT_THROW(RoundHalfEven(std::nan("")), OverflowError);
}
