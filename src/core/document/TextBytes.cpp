#include "TextBytes.h"

#include <cstring>

namespace kq {

std::size_t DecodeUtf8(const std::string& s, std::size_t i, uint32_t& cp, std::size_t* broken) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (broken) *broken = 1;
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    if (b < 0xC2 || b > 0xF4) return 0;
    const std::size_t need = b < 0xE0 ? 2 : (b < 0xF0 ? 3 : 4);
    uint32_t v = b & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
    std::size_t k = 1;
    for (; k < need && i + k < s.size(); ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) break;
        v = (v << 6) | (c & 0x3F);
    }
    if (broken) *broken = k;
    const uint32_t minimum = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
    if (k < need || v < minimum || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
    cp = v;
    return need;
}

std::string ErrnoText(int err) { return err ? std::string(std::strerror(err)) : "unknown error"; }

std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace kq
