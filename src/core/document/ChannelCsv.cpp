#include "ChannelCsv.h"

#include "ChannelText.h"
#include "MessageQuote.h"
#include "TextBytes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

namespace kq {

namespace {

const char* const kKqColumns[] = {"channel",        "rx_mhz",         "tx_mhz",
                                  "rx_spacing_khz", "tx_spacing_khz", "power"};
constexpr std::size_t kKqColumnCount = 6;

const char* const kChirpColumns[] = {
    "Location", "Name",         "Frequency", "Duplex", "Offset", "Tone",  "rToneFreq", "cToneFreq",
    "DtcsCode", "DtcsPolarity", "Mode",      "TStep",  "Skip",   "Power", "Comment"};

// Columns of the common layout whose content this radio has no place for.
const char* const kDroppable[] = {"name",   "tone",     "skip",     "comment",
                                  "urcall", "rpt1call", "rpt2call", "dvcode"};

// Far more rows than any channel list; beyond this the text is not one.
constexpr int kMaxRows = 10000;

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

struct Record {
    int row = 0; // the line the record starts on
    std::vector<std::string> fields;
};

// Text that is not a channel list at all: the whole file is refused.
[[noreturn]] void badRow(const std::string& source, int row, const std::string& what) {
    throw FileError(source + ": row " + std::to_string(row) + ": " + what +
                    "; nothing was imported.");
}

// A sound row the radio cannot hold; the caller decides whether that
// refuses the file or only the row.
struct RowUnfit {
    std::string reason;
};

[[noreturn]] void unfit(std::string reason) { throw RowUnfit{std::move(reason)}; }

// Fields beyond the heading's columns are what some programmers write after
// the last column; any content there means the columns are not understood.
void checkExtraFields(const Record& r, std::size_t columns, const std::string& source) {
    for (std::size_t i = columns; i < r.fields.size(); ++i) {
        if (!r.fields[i].empty()) {
            badRow(source, r.row,
                   "field " + std::to_string(i + 1) + " holds " + QuoteForMessage(r.fields[i]) +
                       " but the heading names " + std::to_string(columns) + " columns");
        }
    }
}

// Splits the text into records. Double quotes may enclose a field, which
// may then hold commas, doubled quotes and line ends. Blank lines are
// skipped; every field is trimmed.
std::vector<Record> splitRecords(const std::string& text, const std::string& source) {
    std::vector<Record> records;
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int line = 1;
    while (i < text.size()) {
        Record r;
        r.row = line;
        r.fields.emplace_back();
        bool quoted = false, wasQuoted = false, anyQuoted = false;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\n') ++line;
            if (quoted) {
                if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                    r.fields.back() += '"';
                    ++i;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    r.fields.back() += c;
                }
            } else if (c == '\n') {
                ++i;
                break;
            } else if (c == '"' && trim(r.fields.back()).empty() && !wasQuoted) {
                r.fields.back().clear();
                quoted = wasQuoted = anyQuoted = true;
            } else if (c == ',') {
                r.fields.emplace_back();
                wasQuoted = false;
            } else if (wasQuoted && c != ' ' && c != '\t' && c != '\r') {
                badRow(source, r.row, "text follows a closing quote");
            } else {
                r.fields.back() += c;
            }
        }
        if (quoted) badRow(source, r.row, "a quoted field is not closed");
        for (auto& f : r.fields) f = trim(f);
        // A row of nothing but commas is how spreadsheets save a blank line.
        const bool blank = std::all_of(r.fields.begin(), r.fields.end(),
                                       [](const std::string& f) { return f.empty(); });
        if (blank && !anyQuoted) continue;
        if (records.size() >= kMaxRows) badRow(source, r.row, "too many rows for a channel list");
        records.push_back(std::move(r));
    }
    return records;
}

// ---- our own layout --------------------------------------------------------

// An unsigned decimal number (digits with at most one point), or -1.
double decimalValue(const std::string& s) {
    if (s.empty() || s.size() > 32) return -1;
    int points = 0, digits = 0;
    for (char c : s) {
        if (c == '.')
            ++points;
        else if (c >= '0' && c <= '9')
            ++digits;
        else
            return -1;
    }
    if (points > 1 || digits == 0) return -1;
    return std::strtod(s.c_str(), nullptr);
}

int spacingValue(const std::string& s) {
    const double v = decimalValue(s);
    if (v == 12.5) return 0;
    if (v == 25) return -1;
    return 1; // neither
}

int16_t channelNumber(const std::string& text, const std::string& column) {
    if (text.empty() || text.size() > 2 ||
        text.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(text.c_str()) > ClassKQxx53::LastCHNumber()) {
        unfit(column + " " + QuoteForMessage(text) + " is not a channel number from 0 to 15");
    }
    return static_cast<int16_t>(std::atoi(text.c_str()));
}

ChannelPara kqRow(const Record& r) {
    const auto& f = r.fields;
    auto bad = [&](std::size_t i, const std::string& what) {
        unfit(std::string(kKqColumns[i]) + " " + QuoteForMessage(f[i]) + " " + what);
    };
    ChannelPara p;
    p.RxFreq = decimalValue(f[1]);
    if (p.RxFreq != 0 && !(p.RxFreq > 0 && ClassKQxx53::IsRxFreq(p.RxFreq))) {
        bad(1, "is not a receive frequency (0 for unused)");
    }
    p.TxFreq = decimalValue(f[2]);
    if (p.TxFreq != 0 && !(p.TxFreq > 0 && ClassKQxx53::IsTxFreq(p.TxFreq))) {
        bad(2, "is not a transmit frequency (0 for unused)");
    }
    p.RxCHSpace = spacingValue(f[3]);
    if (p.RxCHSpace > 0) bad(3, "is neither 12.5 nor 25");
    p.TxCHSpace = spacingValue(f[4]);
    if (p.TxCHSpace > 0) bad(4, "is neither 12.5 nor 25");
    const std::string pw = AsciiLower(f[5]);
    if (pw != "high" && pw != "low" && pw != "h" && pw != "l") bad(5, "is neither high nor low");
    p.RFPower = pw[0] == 'h' ? -1 : 0;
    return p;
}

// ---- the common layout -------------------------------------------------------

// A decimal number of MHz as whole hertz, or -1 when it is not a plain
// unsigned decimal with at most six places.
int64_t hertz(const std::string& s) {
    const std::size_t point = s.find('.');
    const std::string whole = s.substr(0, point);
    std::string frac = point == std::string::npos ? "" : s.substr(point + 1);
    while (frac.size() > 6 && frac.back() == '0') frac.pop_back();
    if (whole.empty() || whole.size() > 5 || frac.size() > 6 ||
        whole.find_first_not_of("0123456789") != std::string::npos ||
        frac.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::atoll(whole.c_str()) * 1000000 + std::atoll((frac + "000000").substr(0, 6).c_str());
}

std::string mhzText(int64_t hz) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%06lld", static_cast<long long>(hz / 1000000),
                  static_cast<long long>(hz % 1000000));
    return buf;
}

int64_t toHertz(double mhz) { return std::llround(mhz * 1e6); }

// "High", "Low", or watts ("5", "0.5W", "5.0 W").
int powerValue(const std::string& text) {
    const std::string p = AsciiLower(text);
    if (p.empty() || p == "low" || p == "l") return 0;
    if (p == "high" || p == "h") return -1;
    std::string number = p;
    if (!number.empty() && number.back() == 'w') number = trim(number.substr(0, number.size() - 1));
    const double watts = decimalValue(number);
    if (watts < 0) return 1;
    return watts > HighPowerAboveWatts ? -1 : 0;
}

struct ChirpColumns {
    std::map<std::string, std::size_t> index; // lower-case name -> column
    std::vector<std::string> names;           // as written in the heading
};

const std::string* field(const Record& r, const ChirpColumns& c, const char* name) {
    static const std::string empty;
    const auto it = c.index.find(name);
    if (it == c.index.end()) return nullptr;
    return it->second < r.fields.size() ? &r.fields[it->second] : &empty;
}

ChannelPara chirpRow(const Record& r, const ChirpColumns& c) {
    auto bad = [&](const char* column, const std::string& what) {
        unfit(c.names[c.index.at(column)] + " " + QuoteForMessage(*field(r, c, column)) + " " +
              what);
    };
    ChannelPara p;
    const int64_t rx = hertz(*field(r, c, "frequency"));
    if (rx <= 0 || !ClassKQxx53::IsRxFreq(rx / 1e6)) {
        bad("frequency", "is not a receive frequency this radio can hold");
    }
    p.RxFreq = rx / 1e6;
    const std::string duplex = AsciiLower(*field(r, c, "duplex"));
    const std::string& offsetText = *field(r, c, "offset");
    int64_t tx = rx;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
        const int64_t off = hertz(offsetText);
        if (off < 0) bad("offset", "is not a frequency in MHz");
        tx = duplex == "split" ? off : duplex == "+" ? rx + off : rx - off;
        if (tx <= 0 || !ClassKQxx53::IsTxFreq(tx / 1e6)) {
            unfit("the transmit frequency " + mhzText(std::max<int64_t>(tx, 0)) + " MHz (Duplex " +
                  QuoteForMessage(duplex) + ", Offset " + QuoteForMessage(offsetText) +
                  ") is not one this radio can hold");
        }
    } else if (duplex == "off") {
        tx = 0;
    } else if (!duplex.empty()) {
        bad("duplex", "is none of blank, +, -, split and off");
    }
    p.TxFreq = tx / 1e6;
    const std::string mode = AsciiLower(*field(r, c, "mode"));
    if (mode != "fm" && mode != "nfm") bad("mode", "is neither FM (25 kHz) nor NFM (12.5 kHz)");
    p.RxCHSpace = p.TxCHSpace = mode == "fm" ? -1 : 0;
    const std::string* power = field(r, c, "power");
    p.RFPower = power ? powerValue(*power) : 0;
    if (p.RFPower > 0) bad("power", "is neither High, Low nor a number of watts");
    return p;
}

} // namespace

std::string CsvHeading(CsvLayout layout) {
    std::string h;
    if (layout == CsvLayout::Kq) {
        for (const char* c : kKqColumns) h += (h.empty() ? "" : ",") + std::string(c);
    } else {
        for (const char* c : kChirpColumns) h += (h.empty() ? "" : ",") + std::string(c);
    }
    return h;
}

std::string ExportCsv(const ClassKQxx53& dev, CsvLayout layout) {
    std::string text = CsvHeading(layout) + "\n";
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch) {
        const ChannelPara& p = dev.Channel(ch);
        if (layout == CsvLayout::Kq) {
            text += std::to_string(ch) + "," + DecimalText(p.RxFreq) + "," + DecimalText(p.TxFreq) +
                    "," + (p.RxCHSpace ? "25" : "12.5") + "," + (p.TxCHSpace ? "25" : "12.5") +
                    "," + (p.RFPower ? "high" : "low") + "\n";
            continue;
        }
        const std::string name = "channel " + std::to_string(ch) + ": ";
        if (p.RxFreq == 0) {
            if (p.TxFreq != 0) {
                throw FileError(name + "a transmit frequency without a receive frequency has no "
                                       "row in the common CSV layout; nothing was exported.");
            }
            continue; // unused
        }
        if ((p.RxCHSpace != 0) != (p.TxCHSpace != 0)) {
            throw FileError(name + "receive and transmit spacing differ, but the common CSV layout "
                                   "has one Mode per channel; nothing was exported.");
        }
        const int64_t rx = toHertz(p.RxFreq), tx = toHertz(p.TxFreq);
        std::string duplex, offset = mhzText(0);
        if (tx == 0) {
            duplex = "off";
        } else if (tx != rx && std::llabs(tx - rx) <= toHertz(LargestDuplexOffsetMHz)) {
            duplex = tx > rx ? "+" : "-";
            offset = mhzText(std::llabs(tx - rx));
        } else if (tx != rx) {
            duplex = "split";
            offset = mhzText(tx);
        }
        text += std::to_string(ch) + ",," + mhzText(rx) + "," + duplex + "," + offset +
                ",,88.5,88.5,023,NN," + (p.RxCHSpace ? "FM" : "NFM") + "," +
                (rx % 5000 == 0 ? "5.00" : "6.25") + ",," + (p.RFPower ? "High" : "Low") + ",\n";
    }
    return text;
}

CsvImport ImportCsv(const std::string& text, const ClassKQxx53& base, const std::string& sourceName,
                    CsvUnfit unfitRows) {
    const std::string source = PathForMessage(sourceName);
    if (text.size() > MaxCsvBytes) {
        throw FileError(source + ": the file is too large for a channel list (over " +
                        std::to_string(MaxCsvBytes / 1024) + " kB); nothing was imported.");
    }
    const std::vector<Record> records = splitRecords(text, source);
    if (records.empty()) {
        badRow(source, 1, "the text is empty; the first row must be a heading");
    }
    CsvImport result{base, CsvLayout::Kq, {}, {}};
    const Record& head = records[0];
    // Trailing empty heading fields name no column.
    std::size_t columns = head.fields.size();
    while (columns > 1 && head.fields[columns - 1].empty()) --columns;
    ChirpColumns chirp;
    for (std::size_t i = 0; i < columns; ++i) {
        const std::string name = AsciiLower(head.fields[i]);
        if (!name.empty() && !chirp.index.emplace(name, i).second) {
            badRow(source, head.row,
                   "the column " + QuoteForMessage(head.fields[i]) + " appears twice");
        }
        chirp.names.push_back(head.fields[i]);
    }
    bool kq = columns == kKqColumnCount;
    for (std::size_t i = 0; kq && i < kKqColumnCount; ++i)
        kq = AsciiLower(head.fields[i]) == kKqColumns[i];
    if (!kq) {
        if (!chirp.index.count("location") || !chirp.index.count("frequency")) {
            badRow(source, head.row,
                   "the first row must be the heading " + CsvHeading(CsvLayout::Kq) +
                       " or one with Location and Frequency columns");
        }
        for (const char* need : {"duplex", "offset", "mode"}) {
            if (!chirp.index.count(need)) {
                badRow(source, head.row, std::string("the heading has no ") + need + " column");
            }
        }
        result.layout = CsvLayout::Chirp;
    }

    // The whole text is checked before any row is judged, so a file that is
    // not a channel list is refused as such, not as a list of unfit rows.
    for (std::size_t k = 1; k < records.size(); ++k) {
        const Record& r = records[k];
        if (result.layout == CsvLayout::Kq && r.fields.size() < kKqColumnCount) {
            badRow(source, r.row,
                   std::to_string(r.fields.size()) + " fields instead of " +
                       std::to_string(kKqColumnCount));
        }
        checkExtraFields(r, columns, source);
    }

    std::vector<std::pair<int16_t, ChannelPara>> channels;
    std::map<int16_t, int> rowOf; // channel -> the row that holds it
    std::set<std::string> dropped;
    for (std::size_t k = 1; k < records.size(); ++k) {
        const Record& r = records[k];
        try {
            int16_t ch = 0;
            ChannelPara p;
            if (result.layout == CsvLayout::Kq) {
                ch = channelNumber(r.fields[0], kKqColumns[0]);
                p = kqRow(r);
            } else {
                ch = channelNumber(*field(r, chirp, "location"), "Location");
                p = chirpRow(r, chirp);
            }
            const auto [at, added] = rowOf.emplace(ch, r.row);
            if (!added) {
                unfit("channel " + std::to_string(ch) + " appears twice (first on row " +
                      std::to_string(at->second) + ")");
            }
            channels.emplace_back(ch, p);
        } catch (const RowUnfit& u) {
            result.unfit.push_back({r.row, u.reason});
            continue;
        }
        if (result.layout == CsvLayout::Chirp) {
            for (const char* d : kDroppable) {
                const std::string* f = field(r, chirp, d);
                if (f && !f->empty() && dropped.insert(d).second) {
                    result.dropped.push_back(chirp.names[chirp.index.at(d)]);
                }
            }
        }
    }
    if (unfitRows == CsvUnfit::Refuse && !result.unfit.empty()) {
        if (result.unfit.size() == 1) badRow(source, result.unfit[0].line, result.unfit[0].reason);
        std::string msg = source + ": " + std::to_string(result.unfit.size()) +
                          " rows cannot be held by this radio; nothing was imported:";
        for (const CsvUnfitRow& u : result.unfit)
            msg += "\n  row " + std::to_string(u.line) + ": " + u.reason;
        throw FileError(msg);
    }
    ClassKQxx53& dev = result.device;
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch) {
        dev.DeleteOneChannel(ch);
    }
    for (const auto& [ch, p] : channels) {
        dev.TheRxFreq(ch, p.RxFreq);
        dev.TheTxFreq(ch, p.TxFreq);
        dev.TheRxCHSpace(ch, p.RxCHSpace);
        dev.TheTxCHSpace(ch, p.TxCHSpace);
        dev.TheRFPower(ch, p.RFPower);
    }
    return result;
}

} // namespace kq
