#include "ChannelText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kq {

namespace {

const char* const kNoneText = "   NONE   ";
// Shown when a value cannot be put into the 10-character field truthfully.
const char* const kUnfitText = "**********";
constexpr std::size_t kFreqWidth = 10;

std::string spacingText(int32_t code) { return code == 0 ? "12.5K" : "25.0K"; }

std::string padRight(std::string s, std::size_t width) {
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

} // namespace

std::string DecimalText(double v) {
    if (v == 0) return "0"; // also -0
    if (!std::isfinite(v)) return std::isnan(v) ? "NaN" : (v > 0 ? "Infinity" : "-Infinity");
    // The decimal exponent after rounding to 15 significant digits decides
    // how many decimals those digits need.
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const char* e = std::strchr(buf, 'e');
    const int exp10 = e ? std::atoi(e + 1) : 0;
    int decimals = 14 - exp10;
    if (decimals < 0) decimals = 0;
    if (decimals > 400) decimals = 400;
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

std::string FreqToText(double mhz) {
    if (mhz == 0) return kNoneText;
    if (!std::isfinite(mhz)) return kUnfitText;
    std::string t = DecimalText(mhz);
    // A whole part of ten or more characters leaves no room for the point.
    const std::size_t n = DecimalText(std::trunc(mhz)).size();
    if (n >= kFreqWidth) return kUnfitText;
    if (t.find('.') == std::string::npos) t += '.';
    // Up to 999 MHz the point stays in column 4; longer whole parts push it
    // right and give up decimals rather than widen the field.
    if (n < 3) t.insert(0, 3 - n, ' ');
    t += "0000000";
    return t.substr(0, kFreqWidth);
}

std::string ChannelRow(const ClassKQxx53& dev, int16_t ch) {
    const ChannelPara& p = dev.Channel(ch);
    char hex[4];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(ch));
    std::string row;
    row.reserve(52);
    row += padRight(std::to_string(ch), 2);
    row += "  ";
    row += padRight(hex, 2);
    row += " ";
    row += FreqToText(p.RxFreq);
    row += "  ";
    row += spacingText(p.RxCHSpace);
    row += "    ";
    row += FreqToText(p.TxFreq);
    row += "  ";
    row += spacingText(p.TxCHSpace);
    row += "    ";
    // Any nonzero code is written to the radio as high power, so it must
    // show as high too.
    row += p.RFPower != 0 ? "H" : "L";
    row += "  ";
    return row;
}

std::string ChannelHeading() { return "CH CHSW RX Freq.  RX Space   TX Freq.  TX Space  PWR "; }

std::string ModelTitleText() { return "Model:"; }
std::string ModelText(const ClassKQxx53& dev) { return dev.ModelName(); }
std::string RangeTitleText() { return "IF:"; }
std::string RFIFText(const ClassKQxx53& dev) { return DecimalText(dev.RFIF()) + " MHz"; }
std::string ReferOscTitleText() { return "Refer Osc:"; }
std::string ReferOscText(const ClassKQxx53& dev) { return DecimalText(dev.ReferOSC()) + " MHz"; }

} // namespace kq
