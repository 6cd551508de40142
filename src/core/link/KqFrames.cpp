#include "KqFrames.h"

namespace kq {

namespace {
const char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
}
} // namespace

short HexDigitValue(const std::string& s) {
    if (s.empty()) return 0;
    const unsigned char c = static_cast<unsigned char>(s[0]);
    if (c >= 'A' && c <= 'F') return static_cast<short>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<short>(c - 'a' + 10);
    if (c >= '0' && c <= '9') return static_cast<short>(c - '0');
    return 0;
}

std::string WriteFrame(int word, int addr) {
    std::string f;
    AppendHex(f, static_cast<unsigned>(addr) & 0xFF, 2);
    AppendHex(f, static_cast<unsigned>(word) & 0xFFFF, 4);
    f += '\r';
    return f;
}

std::string ReadFrame(int addr) {
    std::string f;
    AppendHex(f, static_cast<unsigned>(addr) & 0xFF, 2);
    f += "00MD\r";
    return f;
}

int ParseWordReply(const std::string& r) {
    if (r.size() < 4) return -1;
    auto v = [&](size_t i) { return HexDigitValue(r.substr(i, 1)); };
    return (16 * v(0) + v(1)) * 256 + 16 * v(2) + v(3);
}

} // namespace kq
