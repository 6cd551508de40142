// kqtool commands on channel files: show, report, export, import, new, words.
#include "Commands.h"
#include "Args.h"

#include "ChannelFile.h"
#include "ChannelText.h"
#include "ReportText.h"
#include "SystemOption.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace kqtool {

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// --model takes a code 0..3 or a model name such as KQ-0253.
int modelCode(const std::string& text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '3') return text[0] - '0';
    for (int c = 0; c < kq::KnownModelCount; ++c) {
        if (lower(text) == lower(kq::FindModel(c)->ModelName)) return c;
    }
    throw UsageError{"unknown model '" + text + "' (use 0 to 3 or KQ-0253, KQ-0353, KQ-0453, KQ-0153)"};
}

kq::ClassKQxx53 newDevice(const Args& a) {
    kq::ClassKQxx53 dev;
    if (const std::string* m = a.option("--model")) kq::ApplySystemOption(dev, modelCode(*m));
    return dev;
}

kq::ClassKQxx53 openFile(const std::string& path) {
    kq::ClassKQxx53 dev;
    kq::OpenChannelFile(dev, path);
    return dev;
}

void writeOutput(const std::string* path, const std::string& text) {
    if (path) {
        kq::WriteFileReplacing(*path, text);
    } else {
        std::cout << text;
        std::cout.flush();
        if (!std::cout) throw std::runtime_error("the output could not be written");
    }
}

// ---- show, report, words -------------------------------------------------

int cmdShow(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 1);
    const kq::ClassKQxx53 dev = openFile(a.positional[0]);
    std::ostringstream out;
    out << kq::ModelTitleText() << " " << kq::ModelText(dev) << "\n"
        << kq::RangeTitleText() << " " << kq::RFIFText(dev) << "\n"
        << kq::ReferOscTitleText() << " " << kq::ReferOscText(dev) << "\n"
        << kq::ChannelHeading() << "\n";
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber(); ++ch)
        out << kq::ChannelRow(dev, ch) << "\n";
    writeOutput(nullptr, out.str());
    return ExitOk;
}

// --date takes Y/M/D or Y-M-D, so that a report can be made for another day.
kq::CalendarDate dateOption(const std::string& text) {
    int y = 0, m = 0, d = 0;
    char s1 = 0, s2 = 0, extra = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c%d%c", &y, &s1, &m, &s2, &d, &extra) != 5 ||
        s1 != s2 || (s1 != '/' && s1 != '-') || y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 ||
        d > 31) {
        throw UsageError{"bad date '" + text + "' (use YEAR/MONTH/DAY)"};
    }
    return {y, m, d};
}

int cmdReport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"--date", "-o"}, 1);
    const std::string& path = a.positional[0];
    kq::Clock clock = kq::SystemClock;
    if (const std::string* date = a.option("--date")) {
        clock = [day = dateOption(*date)] { return day; };
    }
    const kq::ClassKQxx53 dev = openFile(path);
    // The window's caption of an opened file is its full path.
    std::error_code ec;
    fs::path full = fs::absolute(fs::u8path(path), ec);
    const std::string name = ec ? path : full.lexically_normal().u8string();
    const auto lines = kq::ReportLines(dev, name, kq::ReportDateText(clock));
    if (const std::string* out = a.option("-o")) {
        // A report file has the printout's CR LF line ends.
        writeOutput(out, kq::ReportText(lines));
    } else {
        std::string text;
        for (const auto& line : lines) text += line + "\n";
        writeOutput(nullptr, text);
    }
    return ExitOk;
}

int cmdWords(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 1);
    const kq::ClassKQxx53 dev = openFile(a.positional[0]);
    std::string text;
    char buf[16];
    const int n = dev.TotalEEWords();
    for (int k = 0; k < n; ++k) {
        if (k % 8 == 0) {
            std::snprintf(buf, sizeof buf, "%02X:", k);
            text += buf;
        }
        std::snprintf(buf, sizeof buf, " %04X", static_cast<unsigned>(dev.EEWord(static_cast<int16_t>(k))));
        text += buf;
        if (k % 8 == 7 || k == n - 1) text += "\n";
    }
    writeOutput(nullptr, text);
    return ExitOk;
}

// ---- CSV -----------------------------------------------------------------

const char* const kCsvColumns[] = {"channel", "rx_mhz", "tx_mhz", "rx_spacing_khz",
                                   "tx_spacing_khz", "power"};
constexpr std::size_t kCsvColumnCount = 6;

std::string csvHeader() {
    std::string h;
    for (std::size_t i = 0; i < kCsvColumnCount; ++i) h += (i ? "," : "") + std::string(kCsvColumns[i]);
    return h;
}

int cmdExport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o"}, 1);
    const kq::ClassKQxx53 dev = openFile(a.positional[0]);
    std::string text = csvHeader() + "\n";
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber(); ++ch) {
        const kq::ChannelPara& p = dev.Channel(ch);
        text += std::to_string(ch) + "," + kq::DecimalText(p.RxFreq) + "," +
                kq::DecimalText(p.TxFreq) + "," + (p.RxCHSpace ? "25" : "12.5") + "," +
                (p.TxCHSpace ? "25" : "12.5") + "," + (p.RFPower ? "high" : "low") + "\n";
    }
    writeOutput(a.option("-o"), text);
    return ExitOk;
}

// One CSV line split into fields; double quotes may enclose a field.
bool splitCsvLine(const std::string& line, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool quoted = false, wasQuoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"' && trim(fields.back()).empty() && !wasQuoted) {
            fields.back().clear();
            quoted = wasQuoted = true;
        } else if (c == ',') {
            fields.emplace_back();
            wasQuoted = false;
        } else if (wasQuoted && c != ' ' && c != '\t' && c != '\r') {
            return false; // text after a closing quote
        } else {
            fields.back() += c;
        }
    }
    if (quoted) return false;
    for (auto& f : fields) f = trim(f);
    return true;
}

[[noreturn]] void badRow(const std::string& path, int row, const std::string& what) {
    throw kq::FileError(path + ": row " + std::to_string(row) + ": " + what +
                        "; nothing was written.");
}

// An unsigned decimal number (digits with at most one point), or -1.
double decimalValue(const std::string& s) {
    if (s.empty() || s.size() > 32) return -1;
    int points = 0, digits = 0;
    for (char c : s) {
        if (c == '.') ++points;
        else if (c >= '0' && c <= '9') ++digits;
        else return -1;
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

struct CsvChannel {
    int16_t ch;
    kq::ChannelPara para;
};

std::vector<CsvChannel> readCsv(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) throw kq::FileError(path + ": the file cannot be opened.");
    std::vector<CsvChannel> rows;
    std::set<int> seen;
    std::string line;
    int row = 0;
    bool header = false;
    std::vector<std::string> f;
    while (std::getline(in, line)) {
        ++row;
        if (row == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        if (row > 1000) badRow(path, row, "too many rows for a 16-channel table");
        if (trim(line).empty()) continue;
        if (!splitCsvLine(line, f)) badRow(path, row, "a quoted field is not closed properly");
        if (!header) {
            bool ok = f.size() == kCsvColumnCount;
            for (std::size_t i = 0; ok && i < kCsvColumnCount; ++i) ok = lower(f[i]) == kCsvColumns[i];
            if (!ok) badRow(path, row, "the first row must be the heading " + csvHeader());
            header = true;
            continue;
        }
        if (f.size() != kCsvColumnCount) {
            badRow(path, row, std::to_string(f.size()) + " fields instead of " +
                                  std::to_string(kCsvColumnCount));
        }
        CsvChannel c{};
        const std::string& chText = f[0];
        if (chText.empty() || chText.size() > 2 ||
            chText.find_first_not_of("0123456789") != std::string::npos || std::stoi(chText) > 15) {
            badRow(path, row, "channel '" + chText + "' is not a channel number from 0 to 15");
        }
        c.ch = static_cast<int16_t>(std::stoi(chText));
        if (!seen.insert(c.ch).second) {
            badRow(path, row, "channel " + chText + " appears twice");
        }
        const double rx = decimalValue(f[1]);
        if (rx != 0 && !(rx > 0 && kq::ClassKQxx53::IsRxFreq(rx))) {
            badRow(path, row, "rx_mhz '" + f[1] + "' is not a receive frequency (0 for unused)");
        }
        const double tx = decimalValue(f[2]);
        if (tx != 0 && !(tx > 0 && kq::ClassKQxx53::IsTxFreq(tx))) {
            badRow(path, row, "tx_mhz '" + f[2] + "' is not a transmit frequency (0 for unused)");
        }
        const int rs = spacingValue(f[3]);
        if (rs > 0) badRow(path, row, "rx_spacing_khz '" + f[3] + "' is neither 12.5 nor 25");
        const int ts = spacingValue(f[4]);
        if (ts > 0) badRow(path, row, "tx_spacing_khz '" + f[4] + "' is neither 12.5 nor 25");
        const std::string pw = lower(f[5]);
        if (pw != "high" && pw != "low" && pw != "h" && pw != "l") {
            badRow(path, row, "power '" + f[5] + "' is neither high nor low");
        }
        c.para.RxFreq = rx;
        c.para.TxFreq = tx;
        c.para.RxCHSpace = rs;
        c.para.TxCHSpace = ts;
        c.para.RFPower = (pw[0] == 'h') ? -1 : 0;
        rows.push_back(c);
    }
    if (in.bad()) throw kq::FileError(path + ": the file cannot be read.");
    if (!header) badRow(path, std::max(row, 1), "the file is empty; the first row must be the heading " + csvHeader());
    return rows;
}

int cmdImport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--model"}, 1);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"the channel file to write must be given with -o"};
    kq::ClassKQxx53 dev = newDevice(a);
    // Every row is checked before anything is written.
    for (const CsvChannel& c : readCsv(a.positional[0])) {
        dev.TheRxFreq(c.ch, c.para.RxFreq);
        dev.TheTxFreq(c.ch, c.para.TxFreq);
        dev.TheRxCHSpace(c.ch, c.para.RxCHSpace);
        dev.TheTxCHSpace(c.ch, c.para.TxCHSpace);
        dev.TheRFPower(c.ch, c.para.RFPower);
    }
    kq::SaveChannelFile(dev, *out);
    return ExitOk;
}

int cmdNew(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--model"}, 0);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"the channel file to write must be given with -o"};
    kq::ClassKQxx53 dev = newDevice(a);
    kq::SaveChannelFile(dev, *out);
    return ExitOk;
}

} // namespace

void RegisterFileCommands() {
    AddCommand({"show", "show FILE.KQ", "print the model, IF, reference and the 16 channel rows",
                cmdShow});
    AddCommand({"report", "report FILE.KQ [--date Y/M/D] [-o OUT.txt]",
                "print the channel report as the printout has it", cmdReport});
    AddCommand({"export", "export FILE.KQ [-o OUT.csv]",
                "write the channels as CSV (" + csvHeader() + ")", cmdExport});
    AddCommand({"import", "import IN.csv -o FILE.KQ [--model CODE]",
                "build a channel file from CSV; nothing is written if any row is bad", cmdImport});
    AddCommand({"new", "new -o FILE.KQ [--model CODE]",
                "write an empty channel table (CODE 0 to 3 or a name like KQ-0253; default KQ-0453)",
                cmdNew});
    AddCommand({"words", "words FILE.KQ", "print the 64 EEPROM image words in hexadecimal",
                cmdWords});
}

} // namespace kqtool
