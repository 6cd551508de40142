#include "AutoFill.h"

#include "ChannelText.h"
#include "TextChecks.h"

namespace kq {

const char* const InvalidChannelText = " A Invalid Channel Number.";

std::string InvalidFillFrequencyText(int ch, double mhz) {
    return " A Invalid Frequency Value. CH" + std::to_string(ch) + ":" + DecimalText(mhz);
}

namespace {

bool passes(int32_t mode, double mhz) {
    switch (mode) {
    case FillRxTx: return ClassKQxx53::IsRxFreq(mhz) && ClassKQxx53::IsTxFreq(mhz);
    case FillRxOnly: return ClassKQxx53::IsRxFreq(mhz);
    case FillTxOnly: return ClassKQxx53::IsTxFreq(mhz);
    default: return false;
    }
}

double checkedFreqText(const std::string& text) {
    const std::string t = CommaToPoint(text);
    if (!IsDecimalText(t)) throw InvalidEntry(InvalidFillFrequencyText(0, 0));
    return ReadFreqText(t);
}

} // namespace

void AutoFill(ClassKQxx53& dev, const AutoFillFields& f) {
    if (!IsDigitText(f.StartCH)) throw InvalidEntry(InvalidChannelText);
    const int start = ReadDigitText(f.StartCH);
    if (!IsDigitText(f.StopCH)) throw InvalidEntry(InvalidChannelText);
    const int stop = ReadDigitText(f.StopCH);
    const double startKHz = checkedFreqText(f.StartFreq) * 1000;
    const double spaceKHz = checkedFreqText(f.SpaceFreq);
    if (start < ClassKQxx53::FirstCHNumber() || start > ClassKQxx53::LastCHNumber() ||
        stop < ClassKQxx53::FirstCHNumber() || stop > ClassKQxx53::LastCHNumber() || start > stop)
        throw InvalidEntry(InvalidChannelText);
    if (f.FillMode < FillRxTx || f.FillMode > FillTxOnly)
        throw InvalidEntry("Unknown fill mode " + std::to_string(f.FillMode) + ".");

    // Both passes add the spacing the same way, one addition per channel, so
    // the values written are exactly the values checked.
    double khz = startKHz;
    for (int ch = start; ch <= stop; ++ch) {
        const double mhz = khz / 1000;
        if (!passes(f.FillMode, mhz)) throw InvalidEntry(InvalidFillFrequencyText(ch, mhz));
        khz = khz + spaceKHz;
    }
    khz = startKHz;
    for (int ch = start; ch <= stop; ++ch) {
        const auto c = static_cast<int16_t>(ch);
        if (f.FillMode != FillTxOnly) dev.TheRxFreq(c, khz / 1000);
        if (f.FillMode != FillRxOnly) dev.TheTxFreq(c, khz / 1000);
        dev.NowCHNum = c;
        khz = khz + spaceKHz;
    }
}

} // namespace kq
