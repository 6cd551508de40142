#include "TextChecks.h"

#include <cstdlib>

namespace kq {

namespace {
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool IsDigitText(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!isAsciiDigit(c)) return false;
    return true;
}

bool IsDecimalText(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!isAsciiDigit(c) && c != '.') return false;
    return true;
}

std::string CommaToPoint(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

double ReadFreqText(const std::string& text) {
    const std::string t = CommaToPoint(text);
    // Only the leading digits, one point and the digits after it are
    // handed to strtod, which would otherwise take a sign, blanks,
    // exponents, "inf" or "nan" that the dialogs never accept.
    std::string number = "0";
    size_t i = 0;
    for (; i < t.size() && isAsciiDigit(t[i]); ++i) number += t[i];
    if (i < t.size() && t[i] == '.') {
        number += '.';
        for (++i; i < t.size() && isAsciiDigit(t[i]); ++i) number += t[i];
    }
    return std::strtod(number.c_str(), nullptr);
}

int ReadDigitText(const std::string& text) {
    if (!IsDigitText(text)) return 0;
    int v = 0;
    for (char c : text) {
        v = v * 10 + (c - '0');
        if (v > 1000000) return v; // far out of any channel range already
    }
    return v;
}

} // namespace kq
