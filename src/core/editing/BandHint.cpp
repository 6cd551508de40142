#include "BandHint.h"

#include "ChannelText.h"

namespace kq {

std::vector<int16_t> ChannelsOutsideBand(const ClassKQxx53& dev) {
    const auto outside = [&dev](double f) {
        return f != 0.0 && (f < dev.LowLimFQ() || f > dev.HiLimFQ());
    };
    std::vector<int16_t> channels;
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch)
        if (outside(dev.TheRxFreq(ch)) || outside(dev.TheTxFreq(ch))) channels.push_back(ch);
    return channels;
}

std::string OutsideBandList(const ClassKQxx53& dev) {
    const auto side = [&dev](const char* name, double f) {
        const bool outside = f != 0.0 && (f < dev.LowLimFQ() || f > dev.HiLimFQ());
        return std::string(name) + " " + (f == 0.0 ? "unused" : DecimalText(f) + " MHz") +
               (outside ? " (outside)" : "");
    };
    std::string text;
    for (int16_t ch : ChannelsOutsideBand(dev))
        text += "channel " + std::to_string(ch) + ": " + side("RX", dev.TheRxFreq(ch)) + ", " +
                side("TX", dev.TheTxFreq(ch)) + "\n";
    return text;
}

} // namespace kq
