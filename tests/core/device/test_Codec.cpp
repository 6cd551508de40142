// Parameters <-> EEPROM words: the worked examples, the grid round trip and
// the failure cases with their partial results.
#include "ClassKqSerial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

using namespace kq;

namespace {

void applyModel(ClassKqSerial& img, int code) {
    img.Model(static_cast<uint8_t>(code));
    img.ApplyModelTable();
}

struct Example {
    int model;
    double rx, tx;
    int32_t rxSpace, txSpace, power;
    int32_t w0, w1, w2;
};

const Example kExamples[] = {
    {2, 150.0, 150.0, -1, -1, -1, 0xC106, 0x40E1, 0x7700},  {2, 145.015, 145.015, 0, 0, 0, 0x0138, 0x4601, 0xC516},
    {2, 0.0, 0.0, 0, 0, 0, 0x8000, 0x0080, 0x0000},         {0, 0.0, 0.0, 0, 0, 0, 0x8070, 0x4080, 0x0000},
    {2, 134.2, 134.2, 0, 0, 0, 0x80DF, 0x0081, 0x4F40},     {3, 150.0125, 155.0, 0, -1, 0, 0x81AC, 0x44C1, 0x8340},
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
    EXPECT_EQ(img.EEWord(1), e.model * 256);
    ClassKqSerial back;
    for (int16_t a = 0; a < 64; ++a) back.EEWord(a, img.EEWord(a));
    back.EEWord_to_Para();
    EXPECT_EQ(back.Model(), e.model);
    for (int16_t c = 0; c < ChannelCount; ++c) {
        EXPECT_EQ(img.EEWord(16 + 3 * c), e.w0) << "channel " << c;
        EXPECT_EQ(img.EEWord(17 + 3 * c), e.w1) << "channel " << c;
        EXPECT_EQ(img.EEWord(18 + 3 * c), e.w2) << "channel " << c;
        const ChannelPara& got = back.Channel(c);
        EXPECT_NEAR(got.RxFreq, e.rx, 1e-9);
        EXPECT_NEAR(got.TxFreq, e.tx, 1e-9);
        EXPECT_EQ(std::make_tuple(got.RxCHSpace, got.TxCHSpace, got.RFPower),
                  std::make_tuple(e.rxSpace, e.txSpace, e.power));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedExample, ::testing::ValuesIn(kExamples));

// Every 5 kHz and 6.25 kHz grid point in [100, 1000) MHz, per model and side:
// in 10 Hz units, multiples of 500 or of 625.
class GridRoundTrip : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(GridRoundTrip, EveryGridFrequencyReadsBack) {
    const auto [model, receive] = GetParam();
    ClassKqSerial img;
    applyModel(img, model);
    std::vector<double> points; // MHz
    for (int64_t u = 10000000; u < 100000000; u += 125)
        if (u % 500 == 0 || u % 625 == 0) points.push_back(u / 100000.0);
    points.resize((points.size() + 15) / 16 * 16, 0.0); // whole tables; 0 is unused
    for (std::size_t i = 0; i < points.size(); i += ChannelCount) {
        const auto f = [&](int16_t c) { return points[i + static_cast<std::size_t>(c)]; };
        for (int16_t c = 0; c < ChannelCount; ++c) {
            img.RxFreq(c, receive ? f(c) : 0.0);
            img.TxFreq(c, receive ? 0.0 : f(c));
        }
        img.Para_to_EEWord();
        img.EEWord_to_Para();
        for (int16_t c = 0; c < ChannelCount; ++c)
            ASSERT_NEAR(receive ? img.RxFreq(c) : img.TxFreq(c), f(c), 1e-9)
                << "model " << model << (receive ? " rx" : " tx");
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, GridRoundTrip,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3), ::testing::Bool()));

// Frequencies the grids do not hold exactly: below |IF| (no receive divider)
// and off-grid values that the 5 kHz check lets through.
TEST(Codec, UnusedAndOffGridFrequenciesReadBackAsTheRadioHasThem) {
    const std::tuple<double, double, double, double> cases[] = {
        {0.0, 0.0, 0.0, 0.0}, {30.0, 30.0, 0.0, 30.0}, {150.0004, 150.0026, 150.0, 150.005}};
    for (const auto& [rx, tx, rxBack, txBack] : cases) {
        ClassKqSerial img;
        applyModel(img, 2);
        img.RxFreq(4, rx);
        img.TxFreq(4, tx);
        img.Para_to_EEWord();
        img.EEWord_to_Para();
        EXPECT_NEAR(img.RxFreq(4), rxBack, 1e-9) << rx;
        EXPECT_NEAR(img.TxFreq(4), txBack, 1e-9) << tx;
    }
}

TEST(Codec, ModelCodeOfWordOneReservedWordsKeptAndOutOfRangeFails) {
    ClassKqSerial img;
    for (int16_t a : {2, 7, 10, 15, 64, 127}) img.EEWord(a, 4660 + a);
    img.EEWord(1, 0x01AB); // the low byte is ignored on reading and written as 0
    img.EEWord_to_Para();
    EXPECT_EQ(img.Model(), 1);
    EXPECT_EQ(img.RFIF(), -21.4);
    img.Para_to_EEWord();
    EXPECT_EQ(img.EEWord(1), 0x0100);
    for (int16_t a : {2, 7, 10, 15, 64, 127}) EXPECT_EQ(img.EEWord(a), 4660 + a) << a;

    // Unknown code: stored, table not applied, channels decoded with the old values.
    img.PLLScaler(32);
    img.EEWord(1, 0x0700);
    img.EEWord(16, 0x8000 | 200); // B 200, fine step, A 0
    img.EEWord_to_Para();
    EXPECT_EQ(img.Model(), 7);
    EXPECT_EQ(img.ModelName(), "KQ-0353");
    EXPECT_EQ(img.PLLScaler(), 32);
    EXPECT_NEAR(img.RxFreq(0), 32 * 200 * 6.25 / 1000 + 21.4, 1e-9);

    // Out of 16 bits: fails after clearing the channels; the model and ID stay.
    img.EEWord(0, 1234);
    for (int32_t bad : {65536, -1}) {
        img.EEWord(1, bad);
        EXPECT_THROW(img.EEWord_to_Para(), OverflowError);
        EXPECT_DOUBLE_EQ(img.RxFreq(0), 0.0);
        EXPECT_EQ(img.EepromID(), 1234);
        EXPECT_EQ(img.Model(), 7);
    }
}

// A failing conversion leaves the header written, the channels before the
// failing one rewritten and the failing and later ones as they were.
TEST(Codec, FailuresKeepTheWordsFromTheFailingChannelOn) {
    // What fails, channel 2's frequencies, the scaler and the first word kept.
    const std::tuple<const char*, double, double, int32_t, int16_t> cases[] = {
        {"divider byte beyond 255", 20000.0, 0.0, 64, 22},
        {"negative transmit frequency", 150.0, -0.005, 64, 22},
        {"not a number", std::nan(""), 0.0, 64, 22},
        {"scaler 0", 150.0, 0.0, 0, 16}};
    for (const auto& [what, rx2, tx2, scaler, firstKept] : cases) {
        ClassKqSerial img;
        applyModel(img, 2);
        img.PLLScaler(scaler);
        for (int16_t a = 0; a < 64; ++a) img.EEWord(a, 0x1111);
        for (int16_t ch = 0; ch < 4; ++ch) img.RxFreq(ch, 150.0);
        img.RxFreq(2, rx2);
        img.TxFreq(2, tx2);
        EXPECT_THROW(img.Para_to_EEWord(), KqError) << what;
        EXPECT_EQ(std::make_tuple(img.EEWord(0), img.EEWord(1), img.EEWord(2)), std::make_tuple(50432, 512, 0x1111))
            << what;
        for (int16_t a = 16; a < firstKept; ++a) EXPECT_NE(img.EEWord(a), 0x1111) << what;
        for (int16_t a = firstKept; a < 64; ++a) EXPECT_EQ(img.EEWord(a), 0x1111) << what << a;
    }
}
