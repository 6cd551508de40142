#include "DiffText.h"

#include "ChannelText.h"

#include <cstdio>

namespace kqtool {

namespace {

std::string wordText(int k, int32_t w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "word %02X: %04X", static_cast<unsigned>(k),
                  static_cast<unsigned>(w));
    return buf;
}

} // namespace

std::string DifferenceText(const kq::ClassKQxx53& a, const kq::ClassKQxx53& b,
                           const kq::ImageDiff& d, const std::string& tagA,
                           const std::string& tagB) {
    std::string out;
    auto pair = [&](const std::string& left, const std::string& right) {
        out += tagA + left + "\n" + tagB + right + "\n";
    };
    for (int16_t k : d.headerWords) pair(wordText(k, a.EEWord(k)), wordText(k, b.EEWord(k)));
    if (!d.channels.empty()) out += std::string(tagA.size(), ' ') + kq::ChannelHeading() + "\n";
    for (int16_t ch : d.channels) {
        const std::string rows[2] = {kq::ChannelRow(a, ch), kq::ChannelRow(b, ch)};
        if (rows[0] != rows[1]) {
            pair(rows[0], rows[1]);
            continue;
        }
        // Words can differ in bits the row does not show; then the words tell.
        std::string words[2];
        for (int k = kq::ChannelWord(ch); k < kq::ChannelWord(ch) + kq::WordsPerChannel; ++k) {
            words[0] += " " + wordText(k, a.EEWord(static_cast<int16_t>(k))).substr(9);
            words[1] += " " + wordText(k, b.EEWord(static_cast<int16_t>(k))).substr(9);
        }
        pair(rows[0] + " words" + words[0], rows[1] + " words" + words[1]);
    }
    return out;
}

} // namespace kqtool
