#include "MessageQuote.h"

#include "TextBytes.h"

#include <cstdint>
#include <cstdio>

namespace kq {

namespace {

// Characters a terminal or a log viewer would act on instead of showing.
bool mustEscape(uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 ||
           cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF;
}

} // namespace

std::string QuoteForMessage(const std::string& text, std::size_t maxChars) {
    std::string out = "\"";
    std::size_t i = 0, shown = 0;
    char buf[16];
    while (i < text.size()) {
        if (shown == maxChars) {
            out += "...";
            break;
        }
        uint32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned char>(text[i]));
            out += buf;
            i += 1;
        } else {
            if (cp == '\n')
                out += "\\n";
            else if (cp == '\r')
                out += "\\r";
            else if (cp == '\t')
                out += "\\t";
            else if (cp == '\\' || cp == '"')
                out += '\\', out += static_cast<char>(cp);
            else if (cp < 0x80 && mustEscape(cp)) {
                std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(cp));
                out += buf;
            } else if (mustEscape(cp)) {
                std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(cp));
                out += buf;
            } else {
                out.append(text, i, len);
            }
            i += len;
        }
        ++shown;
    }
    return out + "\"";
}

std::string PathForMessage(const std::string& path) {
    for (std::size_t i = 0; i < path.size();) {
        uint32_t cp = 0;
        const std::size_t len = DecodeUtf8(path, i, cp);
        if (len == 0 || mustEscape(cp)) return QuoteForMessage(path, path.size());
        i += len;
    }
    return path;
}

} // namespace kq
