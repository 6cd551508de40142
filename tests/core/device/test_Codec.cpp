// Parameters <-> EEPROM words: the worked examples, the grid round trip and
// the failure cases with their partial results.
#include "ClassKqSerial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

using namespace kq;

namespace {

void applyModel(ClassKqSerial& img, int code) {
    const ModelInfo* m = FindModel(code);
    img.Model(static_cast<uint8_t>(code));
    img.ModelName(m->ModelName);
    img.RFIF(m->RFIF);
    img.ReferOSC(m->ReferOSC);
    img.PLLScaler(m->PLLScaler);
}

struct Example {
    int model;
    double rx, tx;
    int32_t rxSpace, txSpace, power;
    int32_t w0, w1, w2;
};

const Example kExamples[] = {
    {2, 150.0, 150.0, -1, -1, -1, 0xC106, 0x40E1, 0x7700},
    {2, 145.015, 145.015, 0, 0, 0, 0x0138, 0x4601, 0xC516},
    {2, 0.0, 0.0, 0, 0, 0, 0x8000, 0x0080, 0x0000},
    {0, 0.0, 0.0, 0, 0, 0, 0x8070, 0x4080, 0x0000},
    {2, 134.2, 134.2, 0, 0, 0, 0x80DF, 0x0081, 0x4F40},
    {3, 150.0125, 155.0, 0, -1, 0, 0x81AC, 0x44C1, 0x8340},
    {0, 160.0, 160.005, -1, 0, -1, 0xC200, 0x4021, 0xF402},
};

} // namespace

class WorkedExample : public ::testing::TestWithParam<Example> {};

TEST_P(WorkedExample, EncodesToTheTableWordsAndReadsBack) {
    const Example& e = GetParam();
    // The same record on every channel checks the per-channel addressing too.
    ClassKqSerial img;
    applyModel(img, e.model);
    for (int16_t c = 0; c < ChannelCount; ++c) {
        img.RxFreq(c, e.rx);
        img.TxFreq(c, e.tx);
        img.RxCHSpace(c, e.rxSpace);
        img.TxCHSpace(c, e.txSpace);
        img.RFPower(c, e.power);
    }
    img.Para_to_EEWord();
    EXPECT_EQ(img.EEWord(0), 50432);
    EXPECT_EQ(img.EEWord(1), e.model * 256);
    EXPECT_EQ(img.EEWord(8), 5121);
    EXPECT_EQ(img.EEWord(9), 4097);
    for (int16_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(img.EEWord(16 + 3 * c), e.w0) << "channel " << c;
        EXPECT_EQ(img.EEWord(17 + 3 * c), e.w1) << "channel " << c;
        EXPECT_EQ(img.EEWord(18 + 3 * c), e.w2) << "channel " << c;
    }

    ClassKqSerial back;
    for (int16_t a = 0; a < 64; ++a) back.EEWord(a, img.EEWord(a));
    back.EEWord_to_Para();
    EXPECT_EQ(back.Model(), e.model);
    EXPECT_EQ(back.ModelName(), FindModel(e.model)->ModelName);
    for (int16_t c = 0; c < ChannelCount; ++c) {
        EXPECT_NEAR(back.RxFreq(c), e.rx, 1e-9);
        EXPECT_NEAR(back.TxFreq(c), e.tx, 1e-9);
        EXPECT_EQ(back.RxCHSpace(c), e.rxSpace);
        EXPECT_EQ(back.TxCHSpace(c), e.txSpace);
        EXPECT_EQ(back.RFPower(c), e.power);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedExample, ::testing::ValuesIn(kExamples));

// Every 5 kHz and 6.25 kHz grid point in [100, 1000) MHz, per model and side.
class GridRoundTrip : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(GridRoundTrip, EveryGridFrequencyReadsBack) {
    const int model = std::get<0>(GetParam());
    const bool receive = std::get<1>(GetParam());
    ClassKqSerial img;
    applyModel(img, model);

    // Grid points as whole 10 Hz units: multiples of 500 (5 kHz) or 625.
    std::vector<int64_t> points;
    for (int64_t u = 10000000; u < 100000000; u += 500) points.push_back(u);
    for (int64_t u = 10000000; u < 100000000; u += 625)
        if (u % 500 != 0) points.push_back(u);

    int failures = 0;
    for (std::size_t i = 0; i < points.size(); i += ChannelCount) {
        for (int16_t c = 0; c < ChannelCount; ++c) {
            const std::size_t k = i + static_cast<std::size_t>(c);
            const double f = k < points.size() ? points[k] / 100000.0 : 0.0;
            img.RxFreq(c, receive ? f : 0.0);
            img.TxFreq(c, receive ? 0.0 : f);
        }
        img.Para_to_EEWord();
        img.EEWord_to_Para();
        for (int16_t c = 0; c < ChannelCount; ++c) {
            const std::size_t k = i + static_cast<std::size_t>(c);
            if (k >= points.size()) break;
            const double f = points[k] / 100000.0;
            const double got = receive ? img.RxFreq(c) : img.TxFreq(c);
            if (std::fabs(got - f) > 1e-9 && ++failures <= 5) {
                ADD_FAILURE() << "model " << model << (receive ? " rx " : " tx ") << f
                              << " MHz read back as " << got;
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(AllModels, GridRoundTrip,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3), ::testing::Bool()));

TEST(Codec, FrequencyOnBothGridsUsesFineStep) {
    ClassKqSerial img;
    img.TxFreq(0, 150.025);
    img.Para_to_EEWord();
    const int32_t shared = img.EEWord(17), tx = img.EEWord(18);
    EXPECT_TRUE(shared & 0x80);
    const int n = 64 * ((shared & 15) * 256 + (tx >> 8)) + (tx & 254) / 2;
    EXPECT_EQ(n, 24004);
}

TEST(Codec, ZeroWordsAndLowReceiveFrequenciesReadAsUnused) {
    ClassKqSerial img;
    img.EEWord_to_Para();
    for (int16_t c = 0; c < ChannelCount; ++c) EXPECT_EQ(img.Channel(c), ChannelPara{});

    applyModel(img, 2);
    img.RxFreq(4, 30.0); // below |IF|: clamps to 0
    img.TxFreq(4, 30.0);
    img.Para_to_EEWord();
    EXPECT_EQ(img.EEWord(16 + 12), 0x8000);
    img.EEWord_to_Para();
    EXPECT_DOUBLE_EQ(img.RxFreq(4), 0.0);
    EXPECT_NEAR(img.TxFreq(4), 30.0, 1e-9);
}

TEST(Codec, OffGridFrequencyGoesToNearestFiveKHzPoint) {
    ClassKqSerial img;
    applyModel(img, 2);
    img.RxFreq(0, 150.0004);
    img.TxFreq(0, 150.0026);
    img.Para_to_EEWord();
    img.EEWord_to_Para();
    EXPECT_NEAR(img.RxFreq(0), 150.0, 1e-9);
    EXPECT_NEAR(img.TxFreq(0), 150.005, 1e-9);
}

TEST(Codec, ModelCodeOfWordOne) {
    ClassKqSerial img;
    applyModel(img, 2);
    img.EEWord(1, 0x0100);
    img.EEWord_to_Para();
    EXPECT_EQ(img.Model(), 1);
    EXPECT_EQ(img.ModelName(), "KQ-0353");
    EXPECT_DOUBLE_EQ(img.RFIF(), -21.4);

    // Unknown code: stored, table not applied, channels decoded with the old IF.
    img.PLLScaler(32);
    img.EEWord(1, 0x0700);
    img.EEWord(16, 0x8000 | 200); // B 200, fine step, A 0
    img.EEWord_to_Para();
    EXPECT_EQ(img.Model(), 7);
    EXPECT_EQ(img.ModelName(), "KQ-0353");
    EXPECT_DOUBLE_EQ(img.RFIF(), -21.4);
    EXPECT_EQ(img.PLLScaler(), 32);
    EXPECT_NEAR(img.RxFreq(0), 32 * 200 * 6.25 / 1000 + 21.4, 1e-9);

    // Low byte is ignored on reading and written as 0.
    img.EEWord(1, 0x02AB);
    img.EEWord_to_Para();
    EXPECT_EQ(img.Model(), 2);
    img.Para_to_EEWord();
    EXPECT_EQ(img.EEWord(1), 0x0200);
}

TEST(Codec, WordOneOutOfRangeFailsAfterClearingChannels) {
    ClassKqSerial img;
    img.RxFreq(0, 150.0);
    img.EEWord(0, 1234);
    for (int32_t bad : {65536, -1}) {
        img.EEWord(1, bad);
        EXPECT_THROW(img.EEWord_to_Para(), OverflowError);
        EXPECT_DOUBLE_EQ(img.RxFreq(0), 0.0);
        EXPECT_EQ(img.EepromID(), 1234);
        EXPECT_EQ(img.Model(), 0);
    }
}

TEST(Codec, ReservedWordsSurviveConversions) {
    ClassKqSerial img;
    std::vector<int16_t> reserved = {2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15};
    for (int16_t a : reserved) img.EEWord(a, 1000 + a);
    for (int16_t a = 64; a < 128; ++a) img.EEWord(a, a);
    img.EEWord(2, 4660);
    for (int i = 0; i < 3; ++i) {
        img.Para_to_EEWord();
        img.EEWord_to_Para();
    }
    EXPECT_EQ(img.EEWord(2), 4660);
    for (int16_t a : reserved) {
        if (a != 2) {
            EXPECT_EQ(img.EEWord(a), 1000 + a) << a;
        }
    }
    for (int16_t a = 64; a < 128; ++a) EXPECT_EQ(img.EEWord(a), a);
}

TEST(Codec, OverflowKeepsWordsOfFailingAndLaterChannels) {
    ClassKqSerial img;
    img.Model(2);
    img.RFIF(-45.0);
    for (int16_t a = 0; a < 64; ++a) img.EEWord(a, 0x1111);
    img.RxFreq(0, 150.0);
    img.RxFreq(1, 150.0);
    img.RxFreq(2, 20000.0); // B div 256 plus the step flag passes 255
    img.RxFreq(3, 150.0);
    EXPECT_THROW(img.Para_to_EEWord(), OverflowError);
    EXPECT_EQ(img.EEWord(0), 50432);
    EXPECT_EQ(img.EEWord(1), 512);
    EXPECT_EQ(img.EEWord(16), 0x8106);
    EXPECT_EQ(img.EEWord(19), 0x8106);
    for (int16_t a = 22; a < 64; ++a) EXPECT_EQ(img.EEWord(a), 0x1111) << a;
    EXPECT_EQ(img.EEWord(2), 0x1111);
}

TEST(Codec, NegativeTransmitFrequencyIsRefused) {
    ClassKqSerial img;
    for (int16_t a = 16; a < 64; ++a) img.EEWord(a, 0x2222);
    img.TxFreq(0, 150.0);
    img.TxFreq(1, -0.005);
    EXPECT_THROW(img.Para_to_EEWord(), OverflowError);
    EXPECT_NE(img.EEWord(18), 0x2222);
    for (int16_t a = 19; a < 64; ++a) EXPECT_EQ(img.EEWord(a), 0x2222) << a;
}

TEST(Codec, ZeroScalerIsDivisionByZeroAfterHeader) {
    ClassKqSerial img;
    img.PLLScaler(0);
    img.EEWord(16, 0x3333);
    EXPECT_THROW(img.Para_to_EEWord(), DivisionByZero);
    EXPECT_EQ(img.EEWord(0), 50432);
    EXPECT_EQ(img.EEWord(16), 0x3333);
}

TEST(Codec, NonFiniteFrequencyIsAnOverflowNotGarbage) {
    ClassKqSerial img;
    img.EEWord(16, 0x4444);
    img.RxFreq(0, std::nan(""));
    EXPECT_THROW(img.Para_to_EEWord(), OverflowError);
    EXPECT_EQ(img.EEWord(16), 0x4444);
}
