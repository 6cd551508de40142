#include "BandHint.h"

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

} // namespace kq
