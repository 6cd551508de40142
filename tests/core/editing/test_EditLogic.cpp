// The editing dialogs' decisions on plain values: text checks, the channel
// edit, the auto fill, the model choice and the Enter-key walk.
#include "AutoFill.h"
#include "ChannelEdit.h"
#include "SystemOption.h"
#include "TextChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kq;

TEST(TextChecks, DigitAndDecimalTexts) {
    EXPECT_TRUE(IsDigitText("0"));
    EXPECT_TRUE(IsDigitText("15"));
    EXPECT_FALSE(IsDigitText(""));
    EXPECT_FALSE(IsDigitText("1.5"));
    EXPECT_FALSE(IsDigitText(" 1"));
    EXPECT_FALSE(IsDigitText("-1"));
    EXPECT_FALSE(IsDigitText("\xd9\xa3")); // Arabic-Indic three is no ASCII digit

    EXPECT_TRUE(IsDecimalText("146.0125"));
    EXPECT_TRUE(IsDecimalText("1.2.3"));
    EXPECT_TRUE(IsDecimalText("."));
    EXPECT_FALSE(IsDecimalText(""));
    EXPECT_FALSE(IsDecimalText("146,0125")); // only after the comma is replaced
    EXPECT_TRUE(IsDecimalText(CommaToPoint("146,0125")));
    EXPECT_FALSE(IsDecimalText("146.0125 "));
    EXPECT_FALSE(IsDecimalText("1e3"));
}

TEST(TextChecks, FrequencyReading) {
    EXPECT_DOUBLE_EQ(ReadFreqText("146,0125"), 146.0125);
    EXPECT_EQ(ReadFreqText("146.0125"), 146.0125); // the nearest double, exactly
    EXPECT_DOUBLE_EQ(ReadFreqText("146.01.25"), 146.01);
    EXPECT_DOUBLE_EQ(ReadFreqText("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(ReadFreqText("12.5.5"), 12.5);
    EXPECT_EQ(ReadFreqText("."), 0);
    EXPECT_EQ(ReadFreqText(""), 0);
    EXPECT_EQ(ReadFreqText("150."), 150);
    EXPECT_EQ(ReadFreqText(".5"), 0.5);
    EXPECT_EQ(ReadFreqText("inf"), 0);
    EXPECT_EQ(ReadFreqText("nan"), 0);
    EXPECT_EQ(ReadDigitText("07"), 7);
    EXPECT_EQ(ReadDigitText("x"), 0);
    EXPECT_GT(ReadDigitText("99999999999999999999"), 15); // no overflow into range
}

namespace {
ClassKQxx53 deviceWith(int16_t ch, double rx, double tx, int32_t rxSp, int32_t txSp, int32_t pwr) {
    ClassKQxx53 dev;
    dev.NowCHNum = ch;
    dev.RxFreq(rx);
    dev.TxFreq(tx);
    dev.RxCHSpace(rxSp);
    dev.TxCHSpace(txSp);
    dev.RFPower(pwr);
    return dev;
}

void expectChannel(const ClassKQxx53& dev, int16_t ch, double rx, double tx, int32_t rxSp, int32_t txSp,
                   int32_t pwr) {
    EXPECT_EQ(dev.TheRxFreq(ch), rx) << "channel " << ch;
    EXPECT_EQ(dev.TheTxFreq(ch), tx) << "channel " << ch;
    EXPECT_EQ(dev.TheRxCHSpace(ch), rxSp) << "channel " << ch;
    EXPECT_EQ(dev.TheTxCHSpace(ch), txSp) << "channel " << ch;
    EXPECT_EQ(dev.TheRFPower(ch), pwr) << "channel " << ch;
}

std::string messageOf(ClassKQxx53& dev, const ChannelEditFields& f) {
    try {
        ApplyChannelEdit(dev, f);
    } catch (const InvalidEntry& e) {
        return e.what();
    }
    return "";
}
} // namespace

TEST(ChannelEdit, WritesBothModes) {
    ClassKQxx53 dev = deviceWith(5, 0, 0, 1, 1, 0);
    ChannelEditFields f = LoadChannelEdit(dev);
    f.RxText = "150,0125";
    f.TxText = "not a number"; // ignored with Tx=Rx
    f.TxEqualsRx = true;
    f.Rx25k = true;
    f.Tx25k = false;
    f.High = true;
    EXPECT_EQ(ApplyChannelEdit(dev, f), ChannelEditResult::Written);
    expectChannel(dev, 5, 150.0125, 150.0125, -1, -1, -1); // code 1 is stored as -1

    f.TxEqualsRx = false;
    f.RxText = "146.0125";
    f.TxText = "146.6125";
    f.Rx25k = false;
    f.Tx25k = true;
    f.High = false;
    EXPECT_EQ(ApplyChannelEdit(dev, f), ChannelEditResult::Written);
    expectChannel(dev, 5, 146.0125, 146.6125, 0, -1, 0);
}

TEST(ChannelEdit, RefusalsWriteNothing) {
    ClassKQxx53 dev = deviceWith(3, 146.0125, 146.0125, 0, 0, -1);
    const ChannelEditFields base = LoadChannelEdit(dev);
    auto with = [&base](std::string rx, std::string tx, bool same) {
        ChannelEditFields f = base;
        f.RxText = std::move(rx);
        f.TxText = std::move(tx);
        f.TxEqualsRx = same;
        f.Rx25k = true;
        return f;
    };
    for (const auto& f : {with("", "146", false), with("146.0125 ", "146", false), with("-146", "146", true),
                          with("1.2.3", "146", true), with("146.0125", "14x", false),
                          with("146.0126", "146", true), with("146.0125", "1000", false),
                          with("146.0125", "0", false), with("0", "146.0125", false)}) {
        EXPECT_EQ(messageOf(dev, f), "A Invalid Frequency Value.") << f.RxText << " / " << f.TxText;
        expectChannel(dev, 3, 146.0125, 146.0125, 0, 0, -1);
    }
    // Zero receive value (also a lone point) closes without writing.
    for (const auto& f : {with("0", "146", true), with(".", "146", true), with("0.0", "", true),
                          with("0", "0", false), with(".", "0,0", false)}) {
        EXPECT_EQ(ApplyChannelEdit(dev, f), ChannelEditResult::Unchanged) << f.RxText;
        expectChannel(dev, 3, 146.0125, 146.0125, 0, 0, -1);
    }
    dev.NowCHNum = 16;
    EXPECT_THROW(ApplyChannelEdit(dev, with("150", "150", true)), SubscriptOutOfRange);
}

namespace {
std::string fillMessage(ClassKQxx53& dev, AutoFillFields f) {
    try {
        AutoFill(dev, f);
    } catch (const InvalidEntry& e) {
        return e.what();
    }
    return "";
}
AutoFillFields fill(std::string from, std::string to, std::string start, std::string step,
                    int32_t mode = FillRxTx) {
    return {std::move(from), std::move(to), std::move(start), std::move(step), mode};
}
// A device whose 16 channels all differ, to see any unwanted write.
ClassKQxx53 markedDevice() {
    ClassKQxx53 dev;
    for (int16_t ch = 0; ch < 16; ++ch) {
        dev.TheRxFreq(ch, 400 + ch);
        dev.TheTxFreq(ch, 450 + ch);
        dev.TheRxCHSpace(ch, ch % 2 ? -1 : 0);
        dev.TheTxCHSpace(ch, ch % 3 ? -1 : 0);
        dev.TheRFPower(ch, ch % 5 ? -1 : 0);
    }
    return dev;
}
void expectUnchanged(const ClassKQxx53& dev) {
    const ClassKQxx53 ref = markedDevice();
    for (int16_t ch = 0; ch < 16; ++ch)
        expectChannel(dev, ch, ref.TheRxFreq(ch), ref.TheTxFreq(ch), ref.TheRxCHSpace(ch), ref.TheTxCHSpace(ch),
                      ref.TheRFPower(ch));
}
} // namespace

TEST(AutoFill, RunningSumInKilohertz) {
    ClassKQxx53 dev = markedDevice();
    AutoFill(dev, fill("0", "15", "146,0125", "12.5"));
    double khz = 146.0125 * 1000;
    for (int16_t ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(dev.TheRxFreq(ch), khz / 1000) << ch;
        EXPECT_EQ(dev.TheTxFreq(ch), khz / 1000) << ch;
        khz += 12.5;
    }
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(1), 146.025);
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(2), 146.0375);
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(3), 146.05);
    EXPECT_EQ(dev.NowCHNum, 15);
    // Spacing and power codes are not the fill's business.
    const ClassKQxx53 ref = markedDevice();
    for (int16_t ch = 0; ch < 16; ++ch) {
        EXPECT_EQ(dev.TheRxCHSpace(ch), ref.TheRxCHSpace(ch));
        EXPECT_EQ(dev.TheRFPower(ch), ref.TheRFPower(ch));
    }
}

TEST(AutoFill, SidesAndSingleChannel) {
    ClassKQxx53 dev = markedDevice();
    AutoFill(dev, fill("0", "15", "146", "25", FillRxOnly));
    for (int16_t ch = 0; ch < 16; ++ch) EXPECT_EQ(dev.TheTxFreq(ch), 450 + ch);
    EXPECT_DOUBLE_EQ(dev.TheRxFreq(15), 146.375);

    dev = markedDevice();
    AutoFill(dev, fill("4", "6", "150", "0", FillTxOnly));
    for (int16_t ch = 4; ch <= 6; ++ch) {
        EXPECT_EQ(dev.TheTxFreq(ch), 150);
        EXPECT_EQ(dev.TheRxFreq(ch), 400 + ch);
    }
    EXPECT_EQ(dev.TheTxFreq(7), 457);
    EXPECT_EQ(dev.NowCHNum, 6);

    dev = markedDevice();
    AutoFill(dev, fill("9", "9", "146.0125", "12.5.5"));
    EXPECT_EQ(dev.TheRxFreq(9), 146.0125);
    EXPECT_EQ(dev.TheRxFreq(10), 410);
}

TEST(AutoFill, MessagesInOrderAndNothingWritten) {
    struct Case {
        AutoFillFields f;
        std::string message;
    };
    const std::string badCh = " A Invalid Channel Number.";
    const std::vector<Case> cases = {
        {fill("", "3", "146", "12.5"), badCh},
        {fill("a", "3", "x", "12.5"), badCh},         // channel text before frequency text
        {fill("0", "3 ", "146", "12.5"), badCh},
        {fill("5", "2", "146", "12.5"), badCh},
        {fill("0", "16", "146", "12.5"), badCh},
        {fill("99", "3", "", "12.5"), " A Invalid Frequency Value. CH0:0"}, // text before range
        {fill("0", "3", "", "12.5"), " A Invalid Frequency Value. CH0:0"},
        {fill("0", "3", "146", "-5"), " A Invalid Frequency Value. CH0:0"},
        {fill("0", "16", "146", "x"), " A Invalid Frequency Value. CH0:0"},
        {fill("0", "5", "98.4625", "12.5"), " A Invalid Frequency Value. CH0:98.4625"},
        {fill("0", "5", "146", "12.3"), " A Invalid Frequency Value. CH1:146.0123"},
        // Only a channel in the middle fails; the ones before it stay too.
        {fill("0", "15", "999.9", "12.5"), " A Invalid Frequency Value. CH8:1000"},
        {fill("0", "3", "98.4625", "12.5", 7), "Unknown fill mode 7."},
    };
    for (const Case& c : cases) {
        ClassKQxx53 dev = markedDevice();
        dev.NowCHNum = 2;
        EXPECT_EQ(fillMessage(dev, c.f), c.message)
            << c.f.StartCH << "|" << c.f.StopCH << "|" << c.f.StartFreq << "|" << c.f.SpaceFreq;
        expectUnchanged(dev);
        EXPECT_EQ(dev.NowCHNum, 2);
    }
    EXPECT_EQ(InvalidFillFrequencyText(3, 98.5), " A Invalid Frequency Value. CH3:98.5");
}

TEST(SystemOption, ChoosingAModelAppliesItsValues) {
    const std::vector<std::string> items = ModelListItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], "KQ-0253    IF +45MHz");
    EXPECT_EQ(items[3], "KQ-0153    IF +21.4MHz");

    ClassKQxx53 dev;
    dev.TheRxFreq(4, 146.0125);
    dev.PLLScaler(32);
    dev.TotalEEWords(10);
    ApplySystemOption(dev, 3);
    EXPECT_EQ(dev.Model(), 3);
    EXPECT_EQ(dev.ModelName(), "KQ-0153");
    EXPECT_EQ(dev.RFIF(), 21.4);
    EXPECT_EQ(dev.ReferOSC(), 12.8);
    EXPECT_EQ(dev.PLLScaler(), 64);
    EXPECT_EQ(dev.TotalEEWords(), 64);
    EXPECT_EQ(dev.TheRxFreq(4), 146.0125);
    EXPECT_EQ(ModelListIndex(dev), 3);

    dev.Model(9);
    EXPECT_EQ(ModelListIndex(dev), -1);
    EXPECT_THROW(ApplySystemOption(dev, -1), KqError);
    EXPECT_THROW(ApplySystemOption(dev, 4), KqError);
    EXPECT_EQ(dev.Model(), 9);
    EXPECT_EQ(dev.RFIF(), 21.4);
}
