// The editing dialogs' decisions on plain values: text checks, the channel
// edit, the auto fill, the model choice and the band hint.
#include "AutoFill.h"
#include "BandHint.h"
#include "ChannelEdit.h"
#include "CoreTestSupport.h"
#include "SystemOption.h"
#include "TextChecks.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace kq;

TEST(TextChecks, DigitDecimalAndFrequencyTexts) {
    for (const char* t : {"0", "15"}) EXPECT_TRUE(IsDigitText(t)) << t;
    for (const char* t : {"", "1.5", " 1", "-1", "\xd9\xa3"}) EXPECT_FALSE(IsDigitText(t)) << t;
    for (const char* t : {"146.0125", "1.2.3", "."}) EXPECT_TRUE(IsDecimalText(t)) << t;
    for (const char* t : {"", "146,0125", "146.0125 ", "1e3"}) EXPECT_FALSE(IsDecimalText(t)) << t;
    EXPECT_TRUE(IsDecimalText(CommaToPoint("146,0125")));
    const std::pair<const char*, double> reads[] = {{"146,0125", 146.0125}, {"146.0125", 146.0125},
                                                    {"146.01.25", 146.01},  {"12.5.5", 12.5},
                                                    {"150.", 150},          {".5", 0.5}};
    for (const auto& r : reads) EXPECT_EQ(ReadFreqText(r.first), r.second) << r.first;
    for (const char* t : {".", "", "inf", "nan"}) EXPECT_EQ(ReadFreqText(t), 0) << t;
    EXPECT_EQ(ReadDigitText("07"), 7);
    EXPECT_EQ(ReadDigitText("x"), 0);
    EXPECT_GT(ReadDigitText("99999999999999999999"), 15); // no overflow into range
}

TEST(ChannelEdit, RefusalsAndZeroWriteNothingOthersWriteTheCurrentChannel) {
    ClassKQxx53 dev;
    dev.NowCHNum = 3;
    dev.TheRxFreq(3, 146.0125);
    dev.TheTxFreq(3, 146.0125);
    dev.TheRFPower(3, -1);
    const ChannelPara before = dev.Channel(3);
    const std::string no = "A Invalid Frequency Value.";
    // Receive text, transmit text, Tx=Rx, and the message (no: refused, "": closes unwritten).
    const std::tuple<const char*, const char*, bool, std::string> cases[] = {
        {"", "146", false, no},          {"146.0125 ", "146", false, no}, {"-146", "146", true, no},
        {"1.2.3", "146", true, no},      {"146.0125", "14x", false, no},  {"146.0126", "146", true, no},
        {"146.0125", "1000", false, no}, {"146.0125", "0", false, no},    {"0", "146.0125", false, no},
        {"0", "146", true, ""},          {".", "146", true, ""},          {"0.0", "", true, ""},
        {"0", "0", false, ""},           {".", "0,0", false, ""}};
    for (const auto& [rx, tx, same, message] : cases) {
        ChannelEditFields f{rx, tx, same, true, false, false};
        EXPECT_EQ(kqtest::ErrorOf<InvalidEntry>([&] { ApplyChannelEdit(dev, f); }), message) << rx << " / " << tx;
        EXPECT_EQ(dev.Channel(3), before) << rx << " / " << tx;
    }
    // Written: with Tx=Rx the transmit text is not read and the spacing follows.
    const std::pair<ChannelEditFields, ChannelPara> written[] = {
        {{"150,0125", "not a number", true, true, false, true}, {150.0125, 150.0125, -1, -1, -1}},
        {{"146.0125", "146.6125", false, false, true, false}, {146.0125, 146.6125, 0, -1, 0}}};
    for (const auto& [fields, expected] : written) {
        dev.TheRxCHSpace(3, 1);
        EXPECT_EQ(ApplyChannelEdit(dev, fields), ChannelEditResult::Written);
        EXPECT_EQ(dev.Channel(3), expected) << fields.RxText;
    }
    dev.NowCHNum = 16;
    EXPECT_THROW(ApplyChannelEdit(dev, {"150", "150", true, true, false, false}), SubscriptOutOfRange);
}

namespace {
AutoFillFields fill(std::string from, std::string to, std::string start, std::string step, int32_t mode = FillRxTx) {
    return {std::move(from), std::move(to), std::move(start), std::move(step), mode};
}
} // namespace

TEST(AutoFill, RunningSumInKilohertzOnTheChosenSidesRefusalsWriteNothing) {
    ClassKQxx53 dev = kqtest::MarkedDevice();
    AutoFill(dev, fill("0", "15", "146,0125", "12.5"));
    const std::pair<int16_t, double> both[] = {{0, 146.0125}, {1, 146.025}, {3, 146.05}, {15, 146.2}};
    for (const auto& c : both) {
        EXPECT_DOUBLE_EQ(dev.TheRxFreq(c.first), c.second);
        EXPECT_DOUBLE_EQ(dev.TheTxFreq(c.first), c.second);
    }
    EXPECT_EQ(dev.NowCHNum, 15);
    EXPECT_EQ(dev.TheRxCHSpace(1), -1); // spacing and power are not the fill's business
    EXPECT_EQ(dev.TheRFPower(5), 0);

    for (int32_t mode : {FillRxOnly, FillTxOnly}) {
        dev = kqtest::MarkedDevice();
        AutoFill(dev, fill("4", "6", "150", "0", mode));
        for (int16_t ch = 4; ch <= 6; ++ch) {
            EXPECT_EQ(dev.TheRxFreq(ch), mode == FillRxOnly ? 150 : 400 + ch) << mode;
            EXPECT_EQ(dev.TheTxFreq(ch), mode == FillTxOnly ? 150 : 450 + ch) << mode;
        }
        EXPECT_EQ(dev.Channel(7), kqtest::MarkedDevice().Channel(7));
        EXPECT_EQ(dev.NowCHNum, 6);
    }

    // Refusals: messages in order, and nothing written.
    const std::string badCh = " A Invalid Channel Number.", badFreq = " A Invalid Frequency Value.";
    const std::pair<AutoFillFields, std::string> cases[] = {
        {fill("0", "3 ", "146", "12.5"), badCh},
        {fill("5", "2", "146", "12.5"), badCh},
        {fill("a", "3", "x", "12.5"), badCh}, // channel text before frequency text
        {fill("0", "16", "146", "12.5"), badCh},
        {fill("0", "3", "146", "-5"), badFreq + " CH0:0"},
        {fill("99", "3", "", "12.5"), badFreq + " CH0:0"}, // text before range
        {fill("0", "16", "146", "x"), badFreq + " CH0:0"},
        {fill("0", "5", "98.4625", "12.5"), badFreq + " CH0:98.4625"},
        {fill("0", "5", "146", "12.3"), badFreq + " CH1:146.0123"},
        // Only a channel in the middle fails; the ones before it stay too.
        {fill("0", "15", "999.9", "12.5"), badFreq + " CH8:1000"},
        {fill("0", "3", "98.4625", "12.5", 7), "Unknown fill mode 7."},
    };
    for (const auto& [f, message] : cases) {
        dev = kqtest::MarkedDevice();
        dev.NowCHNum = 2;
        EXPECT_EQ(kqtest::ErrorOf<InvalidEntry>([&, &f = f] { AutoFill(dev, f); }), message)
            << f.StartCH << "|" << f.StopCH << "|" << f.StartFreq << "|" << f.SpaceFreq;
        for (int16_t ch = 0; ch < 16; ++ch) EXPECT_EQ(dev.Channel(ch), kqtest::MarkedDevice().Channel(ch)) << ch;
        EXPECT_EQ(dev.NowCHNum, 2);
    }
}

TEST(SystemOption, ChoosingAModelAppliesTheModelTable) {
    const std::tuple<int, const char*, const char*, double> cases[] = {{0, "KQ-0253    IF +45MHz", "KQ-0253", 45.0},
                                                                       {1, "KQ-0353    IF -21.4MHz", "KQ-0353", -21.4},
                                                                       {2, "KQ-0453    IF -45MHz", "KQ-0453", -45.0},
                                                                       {3, "KQ-0153    IF +21.4MHz", "KQ-0153", 21.4}};
    for (const auto& [code, item, name, rfif] : cases) {
        ClassKQxx53 dev;
        dev.TheRxFreq(4, 146.0125);
        dev.PLLScaler(32);
        dev.ReferOSC(10.0);
        dev.TotalEEWords(10);
        EXPECT_EQ(ModelListItems().at(code), item);
        ApplySystemOption(dev, code);
        EXPECT_EQ(std::make_tuple(ModelListIndex(dev), dev.ModelName(), dev.RFIF(), dev.ReferOSC(), dev.PLLScaler()),
                  std::make_tuple(code, name, rfif, 12.8, 64));
        EXPECT_EQ(dev.TotalEEWords(), 64);
        EXPECT_EQ(dev.TheRxFreq(4), 146.0125); // channels are not touched
    }
    ClassKQxx53 dev;
    dev.Model(9); // a radio read with an unknown code has no item to select
    EXPECT_EQ(ModelListIndex(dev), -1);
    // The model question names both sides, the IF with its sign.
    EXPECT_EQ(ModelDescription(3) + ", " + ModelDescription(2) + ", " + ModelDescription(9),
              "KQ-0153 (IF +21.4 MHz), KQ-0453 (IF -45 MHz), an unknown model (code 9)");
    EXPECT_THROW(ApplySystemOption(dev, -1), KqError);
    EXPECT_THROW(ApplySystemOption(dev, 4), KqError);
    EXPECT_EQ(std::make_tuple(dev.Model(), dev.RFIF()), std::make_tuple(9, -45.0));
}

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
    // The list a write warns with marks only the side that is outside.
    EXPECT_EQ(OutsideBandList(dev), "channel 2: RX 133.9875 MHz (outside), TX 150 MHz\n"
                                     "channel 3: RX 150 MHz, TX 175.0125 MHz (outside)\n"
                                     "channel 4: RX 440 MHz (outside), TX unused\n"
                                     "channel 5: RX unused, TX 100 MHz (outside)\n"
                                     "channel 8: RX -146 MHz (outside), TX -146 MHz (outside)\n");
    EXPECT_EQ(OutsideBandList(ClassKQxx53{}), "");
}
