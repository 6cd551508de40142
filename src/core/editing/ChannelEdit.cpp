#include "ChannelEdit.h"

#include "ChannelText.h"
#include "TextChecks.h"

namespace kq {

const char* const InvalidFrequencyText = "A Invalid Frequency Value.";

std::string ChannelEditCaption(const ClassKQxx53& dev) {
    return "Channel " + std::to_string(dev.NowCHNum);
}

ChannelEditFields LoadChannelEdit(const ClassKQxx53& dev) {
    const ChannelPara& p = dev.Channel(dev.NowCHNum);
    ChannelEditFields f;
    f.High = p.RFPower != 0;
    f.Rx25k = p.RxCHSpace != 0;
    f.Tx25k = p.TxCHSpace != 0;
    f.RxText = DecimalText(p.RxFreq);
    f.TxText = DecimalText(p.TxFreq);
    return f;
}

namespace {
void checkText(const std::string& text) {
    if (!IsDecimalText(CommaToPoint(text))) throw InvalidEntry(InvalidFrequencyText);
}
} // namespace

ChannelEditResult ApplyChannelEdit(ClassKQxx53& dev, int16_t ch, const ChannelEditFields& f) {
    checkText(f.RxText);
    const double rx = ReadFreqText(f.RxText);
    double tx = ReadFreqText(f.TxText);
    bool tx25k = f.Tx25k;
    if (f.TxEqualsRx) {
        if (rx == 0) return ChannelEditResult::Unchanged;
        if (!dev.IsRxFreq(rx)) throw InvalidEntry(InvalidFrequencyText);
        tx = rx;
        tx25k = f.Rx25k;
    } else {
        checkText(f.TxText);
        if (rx == 0 && tx == 0) return ChannelEditResult::Unchanged;
        // One zero side is refused rather than dropped silently: the user
        // typed a frequency for the other side and would lose it unseen.
        if (!dev.IsRxFreq(rx)) throw InvalidEntry(InvalidFrequencyText);
        if (!dev.IsTxFreq(tx)) throw InvalidEntry(InvalidFrequencyText);
    }
    // Checked before the first write so a bad channel number cannot leave
    // the channel half written.
    if (!ClassKQxx53::IsValidCH(ch))
        throw SubscriptOutOfRange("Channel " + std::to_string(ch) + " is not a channel (0 to 15).");
    dev.TheRxFreq(ch, rx);
    dev.TheRxCHSpace(ch, f.Rx25k ? -1 : 0);
    dev.TheTxFreq(ch, tx);
    dev.TheTxCHSpace(ch, tx25k ? -1 : 0);
    dev.TheRFPower(ch, f.High ? -1 : 0);
    return ChannelEditResult::Written;
}

} // namespace kq
