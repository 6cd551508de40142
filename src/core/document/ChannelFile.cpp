#include "ChannelFile.h"

#include "MessageQuote.h"
#include "TextBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace kq {

namespace {

// Header fields: (length entry, first text byte, room in bytes).
constexpr int kModelLength = 0, kModelStart = 1, kModelRoom = 15;
constexpr int kVersionLength = 16, kVersionStart = 17, kVersionRoom = 15;

void appendUnit(std::string& out, uint32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
}

// The UTF-16LE bytes of text, cut to whole characters that fit room bytes.
std::string fittedBytes(const std::string& text, std::size_t room) {
    std::string bytes = Utf16LeBytes(text);
    std::size_t keep = std::min(bytes.size(), room - room % 2);
    // Never keep the first half of a surrogate pair.
    if (keep >= 2 && keep < bytes.size()) {
        const unsigned unit = static_cast<unsigned char>(bytes[keep - 2]) |
                              static_cast<unsigned char>(bytes[keep - 1]) << 8;
        if (unit >= 0xD800 && unit <= 0xDBFF) keep -= 2;
    }
    bytes.resize(keep);
    return bytes;
}

void putBytes(const std::string& bytes, ChannelFileHeader& header, int start) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(start) + i;
        if (start < 0 || at >= header.size()) break;
        header[at] = static_cast<uint8_t>(bytes[i]);
    }
}


// Enough bytes to show kShownChars characters of a field and to know that
// it goes on.
constexpr std::size_t kShownChars = 16, kKeptBytes = 4 * (kShownChars + 1);

// A field of the file as read: its text (possibly cut) and where it began.
struct Field {
    std::string text;
    std::size_t length = 0; // full length, the text may be cut
    int line = 0;
};

// Splits channel file text into number fields. A line end or a comma ends a
// field; blanks around and between numbers separate them too. Empty fields
// are reported so that a gap in the numbers is not silently skipped.
class FieldScanner {
public:
    explicit FieldScanner(const std::string& text) : m_Text(text) {}

    // False at the end of the text. empty is set for a record with no number.
    bool next(Field& f, bool& empty) {
        while (true) {
            if (m_Pos >= m_Text.size()) {
                if (!m_RecordHadToken && m_RecordOpen) {
                    // A last line without its line end holding only blanks.
                    m_RecordOpen = false;
                    f = Field{{}, 0, m_Line};
                    empty = true;
                    return true;
                }
                return false;
            }
            const char c = m_Text[m_Pos];
            if (c == '\n' || c == ',') {
                const bool hadToken = m_RecordHadToken;
                const int line = m_Line;
                ++m_Pos;
                if (c == '\n') ++m_Line;
                m_RecordHadToken = false;
                m_RecordOpen = (c == ',') || m_Pos < m_Text.size();
                if (!hadToken) {
                    f = Field{{}, 0, line};
                    empty = true;
                    return true;
                }
                continue;
            }
            if (isBlank(c)) {
                ++m_Pos;
                m_RecordOpen = true;
                continue;
            }
            f = Field{{}, 0, m_Line};
            while (m_Pos < m_Text.size()) {
                const char d = m_Text[m_Pos];
                if (d == '\n' || d == ',' || isBlank(d)) break;
                if (f.text.size() < kKeptBytes) f.text += d;
                ++f.length;
                ++m_Pos;
            }
            m_RecordHadToken = true;
            m_RecordOpen = true;
            empty = false;
            return true;
        }
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

    const std::string& m_Text;
    std::size_t m_Pos = 0;
    int m_Line = 1;
    bool m_RecordHadToken = false;
    bool m_RecordOpen = true;
};

// The byte a field holds, or -1 when it is not a whole number in 0..255.
int byteValue(const Field& f) {
    if (f.length == 0 || f.length > 6) return -1;
    int v = 0;
    for (char c : f.text) {
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v <= 255 ? v : -1;
}

std::string shown(const Field& f) { return QuoteForMessage(f.text, kShownChars); }

[[noreturn]] void damaged(const std::string& path, int line, const std::string& what) {
    throw FileError(path + ": line " + std::to_string(line) + ": " + what +
                    " The file is damaged; nothing was loaded.");
}

} // namespace

std::string Utf16LeBytes(const std::string& utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        // A broken sequence is skipped as one replacement character.
        if (const std::size_t n = DecodeUtf8(utf8, i, cp, &len)) len = n;
        else cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUnit(out, 0xD800 + (cp >> 10));
            appendUnit(out, 0xDC00 + (cp & 0x3FF));
        } else {
            appendUnit(out, cp);
        }
        i += len;
    }
    return out;
}

void PutStringBytes(const std::string& text, ChannelFileHeader& header, int start) {
    putBytes(Utf16LeBytes(text), header, start);
}

ChannelFileHeader MakeChannelFileHeader(const std::string& modelName, const std::string& version) {
    ChannelFileHeader h{};
    // A name longer than its field would run into the version's length
    // entry; it is cut to the characters that fit.
    const std::string model = fittedBytes(modelName, kModelRoom);
    h[kModelLength] = static_cast<uint8_t>(model.size());
    putBytes(model, h, kModelStart);
    const std::string ver = fittedBytes(version, kVersionRoom);
    h[kVersionLength] = static_cast<uint8_t>(ver.size());
    putBytes(ver, h, kVersionStart);
    return h;
}

std::string ChannelFileText(ClassKQxx53& dev) {
    // The model name is taken before the conversion, as the header has
    // always been.
    const std::string model = dev.ModelName();
    dev.Para_to_EEWord();
    std::vector<int32_t> words;
    for (int16_t k = 0; k < dev.TotalEEWords(); ++k) words.push_back(dev.EEWord(k));
    return ChannelFileTextOfWords(words, model);
}

std::string ChannelFileTextOfWords(const std::vector<int32_t>& words, const std::string& modelName) {
    const ChannelFileHeader h = MakeChannelFileHeader(modelName);
    std::string text;
    text.reserve((ChannelFileHeaderSize + 2 * words.size()) * 5);
    for (uint8_t v : h) {
        text += std::to_string(v);
        text += "\r\n";
    }
    for (std::size_t k = 0; k < words.size(); ++k) {
        const int32_t w = words[k];
        // A value beyond 16 bits would give a line no reader accepts.
        if (w < 0 || w > 0xFFFF) {
            throw OverflowError("Word " + std::to_string(k) + " holds " + std::to_string(w) +
                                ", which is not a 16-bit value.");
        }
        text += std::to_string(w / 256);
        text += "\r\n";
        text += std::to_string(w % 256);
        text += "\r\n";
    }
    return text;
}

void SaveChannelFile(ClassKQxx53& dev, const std::string& path) {
    std::string text;
    try {
        text = ChannelFileText(dev);
    } catch (const FileError&) {
        throw;
    } catch (const KqError& e) {
        throw FileError(PathForMessage(path) + ": not saved: " + e.what());
    }
    WriteFileReplacing(path, text);
}

std::vector<int32_t> ChannelFileWords(const std::string& text, const std::string& pathForMessages,
                                      int needed) {
    const std::string path = PathForMessage(pathForMessages);
    constexpr int kMaxPairs = WordSlots;
    std::array<int32_t, WordSlots> words{};
    int count = 0;     // numbers read, header included
    int lastLine = 0;  // line of the last number
    int emptyLine = 0; // first empty field not yet followed by a number
    int pendingHigh = -1;

    FieldScanner scan(text);
    Field f;
    bool empty = false;
    while (scan.next(f, empty)) {
        if (empty) {
            if (emptyLine == 0) emptyLine = f.line;
            continue;
        }
        // Blank lines at the very end are harmless; a gap between numbers is not.
        if (emptyLine != 0) damaged(path, emptyLine, "a number from 0 to 255 is missing.");
        const int v = byteValue(f);
        if (v < 0) damaged(path, f.line, shown(f) + " is not a number from 0 to 255.");
        if (count >= ChannelFileHeaderSize + 2 * kMaxPairs) {
            damaged(path, f.line,
                    "more than " + std::to_string(kMaxPairs) +
                        " words follow the header; the image holds " + std::to_string(kMaxPairs) +
                        ".");
        }
        if (count >= ChannelFileHeaderSize) {
            const int k = (count - ChannelFileHeaderSize) / 2;
            if (pendingHigh < 0) {
                pendingHigh = v;
            } else {
                words[static_cast<std::size_t>(k)] = pendingHigh * 256 + v;
                pendingHigh = -1;
            }
        }
        ++count;
        lastLine = f.line;
    }

    if (count < ChannelFileHeaderSize) {
        throw FileError(path + ": line " + std::to_string(std::max(lastLine, 1)) +
                        ": the file ends inside its header (" + std::to_string(count) +
                        " of 256 numbers). The file is damaged; nothing was loaded.");
    }
    if (pendingHigh >= 0) {
        damaged(path, lastLine, "the last word has its high byte but no low byte.");
    }
    const int pairs = (count - ChannelFileHeaderSize) / 2;
    // A short image would leave part of the radio's words at defaults while
    // looking complete, so a truncated file is refused.
    needed = std::min<int>(needed, kMaxPairs);
    if (pairs < needed) {
        throw FileError(path + ": line " + std::to_string(lastLine) + ": the file ends after " +
                        std::to_string(pairs) + " of its " + std::to_string(needed) +
                        " words; it is incomplete and was not loaded.");
    }
    return std::vector<int32_t>(words.begin(), words.begin() + pairs);
}

void ReadChannelFileText(ClassKQxx53& dev, const std::string& text,
                         const std::string& pathForMessages) {
    const std::string path = PathForMessage(pathForMessages);
    const std::vector<int32_t> words = ChannelFileWords(text, pathForMessages, dev.TotalEEWords());
    // Converted on a copy so that the caller's device changes only as a whole.
    try {
        dev = DecodeWords(dev, words);
    } catch (const KqError& e) {
        throw FileError(path + ": " + e.what() + " Nothing was loaded.");
    }
}

std::string ReadChannelFileBytes(const std::string& path) {
    if (path.empty()) throw FileError("No file name was given; nothing was loaded.");
    const fs::path p = fs::u8path(path);
    const std::string name = PathForMessage(path);
    std::error_code ec;
    const auto st = fs::status(p, ec);
    if (!fs::exists(st)) throw FileError(name + ": the file does not exist.");
    if (fs::is_directory(st)) throw FileError(name + ": this is a folder, not a channel file.");
    const auto size = fs::file_size(p, ec);
    if (!ec && size > MaxChannelFileBytes) {
        throw FileError(name + ": the file is too large to be a channel file; nothing was loaded.");
    }
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        throw FileError(name + ": the file cannot be opened (" + ErrnoText(errno) + ").");
    }
    std::string text;
    char buf[8192];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > MaxChannelFileBytes) {
            throw FileError(name +
                            ": the file is too large to be a channel file; nothing was loaded.");
        }
    }
    if (in.bad()) throw FileError(name + ": the file cannot be read (" + ErrnoText(errno) + ").");
    return text;
}

void OpenChannelFile(ClassKQxx53& dev, const std::string& path) {
    ReadChannelFileText(dev, ReadChannelFileBytes(path), path);
}

} // namespace kq
