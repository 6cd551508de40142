#include "KqFrames.h"

namespace kq {

namespace {
const char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned value, int digits) {
    for (int i = digits - 1; i >= 0; --i) out += kHex[(value >> (4 * i)) & 0xF];
}
} // namespace

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

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

namespace {

// got against one form of the reply: the echo (or none), then a read's
// digits, CR and optional LF.
ReplyCheck Against(const std::string& got, const std::string& echo, bool isRead) {
    ReplyCheck c;
    if (!isRead && echo.empty()) {
        // A write on a line without echo: nothing comes back.
        c.state = got.empty() ? ReplyCheck::Complete : ReplyCheck::Surprise;
        return c;
    }
    // Through the CR: the echo's own, or the read answer's.
    const size_t end = echo.size() + (isRead ? kWordDigits + 1 : 0);
    for (size_t i = 0; i < got.size(); ++i) {
        const char ch = got[i];
        const bool fits = i < echo.size() ? ch == echo[i]
                          : i + 1 < end   ? IsHexDigit(ch)
                          : i + 1 == end  ? ch == '\r'
                                          : isRead && i == end && ch == '\n';
        if (!fits) return c.state = ReplyCheck::Surprise, c;
    }
    if (got.size() < end) return c;
    c.state = ReplyCheck::Complete;
    c.echoed = !echo.empty();
    c.lfMayFollow = isRead && got.size() == end;
    if (isRead) c.word = ParseWordReply(got.substr(echo.size(), kWordDigits));
    return c;
}

} // namespace

ReplyCheck CheckReply(const std::string& got, const std::string& frame, bool isRead, Echo echo) {
    if (frame == "\r") {
        // The probe: one CR, whether it is the echo or the answer.
        ReplyCheck c;
        c.state = got.empty() ? ReplyCheck::Incomplete
                  : got == "\r" ? ReplyCheck::Complete
                               : ReplyCheck::Surprise;
        return c;
    }
    const ReplyCheck with = echo == Echo::Absent ? ReplyCheck{ReplyCheck::Surprise}
                                                 : Against(got, frame, isRead);
    // A write takes "nothing back" only on a line known to have no echo.
    const bool noEcho = echo == Echo::Absent || (echo == Echo::Unknown && isRead);
    const ReplyCheck without =
        noEcho ? Against(got, std::string(), isRead) : ReplyCheck{ReplyCheck::Surprise};
    // The two forms part at the fifth character at the latest (a read
    // frame's "M", a CR after four digits), so at most one is complete.
    if (with.state == ReplyCheck::Complete) return with;
    if (without.state == ReplyCheck::Complete) return without;
    if (with.state == ReplyCheck::Incomplete || without.state == ReplyCheck::Incomplete)
        return ReplyCheck{};
    return ReplyCheck{ReplyCheck::Surprise};
}

} // namespace kq
