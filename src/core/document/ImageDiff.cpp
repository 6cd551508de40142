#include "ImageDiff.h"

#include <algorithm>

namespace kq {

ImageDiff CompareImages(const ClassKQxx53& a, const ClassKQxx53& b) {
    ImageDiff d;
    const int n = std::max(a.TotalEEWords(), b.TotalEEWords());
    auto differs = [&](int k) {
        return a.EEWord(static_cast<int16_t>(k)) != b.EEWord(static_cast<int16_t>(k));
    };
    for (int k = 0; k < std::min(n, FirstChannelWord); ++k)
        if (differs(k)) d.headerWords.push_back(static_cast<int16_t>(k));
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch) {
        const int first = ChannelWord(ch);
        for (int k = first; k < first + WordsPerChannel && k < n; ++k) {
            if (differs(k)) {
                d.channels.push_back(ch);
                break;
            }
        }
    }
    return d;
}

} // namespace kq
