// kqtool commands on channel files: show, report, export, import, new, words.
#include "Args.h"
#include "Commands.h"

#include "ChannelCsv.h"
#include "ChannelFile.h"
#include "ChannelText.h"
#include "MessageQuote.h"
#include "ReportText.h"
#include "SystemOption.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fs = std::filesystem;

namespace kqtool {

namespace {

// --model takes a code 0..3 or a model name such as KQ-0253.
int modelCode(const std::string& text) {
    const int code = kq::ParseModelCode(text);
    if (code < 0) throw UsageError{"unknown model '" + text + "' (use " + kq::ModelCodesText() + ")"};
    return code;
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
    if (std::sscanf(text.c_str(), "%d%c%d%c%d%c", &y, &s1, &m, &s2, &d, &extra) != 5 || s1 != s2 ||
        (s1 != '/' && s1 != '-') || y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) {
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
        std::snprintf(buf, sizeof buf, " %04X",
                      static_cast<unsigned>(dev.EEWord(static_cast<int16_t>(k))));
        text += buf;
        if (k % 8 == 7 || k == n - 1) text += "\n";
    }
    writeOutput(nullptr, text);
    return ExitOk;
}

// ---- CSV -----------------------------------------------------------------

int cmdExport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--format"}, 1);
    kq::CsvLayout layout = kq::CsvLayout::Kq;
    if (const std::string* f = a.option("--format")) {
        if (*f == "chirp")
            layout = kq::CsvLayout::Chirp;
        else if (*f != "kq")
            throw UsageError{"unknown format '" + *f + "' (use kq or chirp)"};
    }
    const kq::ClassKQxx53 dev = openFile(a.positional[0]);
    writeOutput(a.option("-o"), kq::ExportCsv(dev, layout));
    return ExitOk;
}

std::string readCsvFile(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) throw kq::FileError(path + ": the file cannot be opened.");
    std::string text;
    char buf[8192];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        text.append(buf, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kq::MaxCsvBytes)
            throw kq::FileError(path + ": the file is too large for a channel list.");
    }
    if (in.bad()) throw kq::FileError(path + ": the file cannot be read.");
    return text;
}

int cmdImport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--model"}, 1);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"the channel file to write must be given with -o"};
    const std::string& path = a.positional[0];
    kq::CsvImport imported = kq::ImportCsv(readCsvFile(path), newDevice(a), path);
    if (!imported.dropped.empty()) {
        std::string names;
        for (const auto& d : imported.dropped)
            names += (names.empty() ? "" : ", ") + kq::QuoteForMessage(d);
        std::cerr << "kqtool import: " << path
                  << ": dropped, this radio cannot hold them: " << names << "\n";
    }
    kq::SaveChannelFile(imported.device, *out);
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
    AddCommand({"export", "export FILE.KQ [--format kq|chirp] [-o OUT.csv]",
                "write the channels as CSV: kq (" + kq::CsvHeading(kq::CsvLayout::Kq) +
                    ") or chirp (the common layout, channels in use)",
                cmdExport});
    AddCommand(
        {"import", "import IN.csv -o FILE.KQ [--model CODE]",
         "build a channel file from CSV in either layout; nothing is written if any row is bad",
         cmdImport});
    AddCommand(
        {"new", "new -o FILE.KQ [--model CODE]",
         "write an empty channel table (CODE 0 to 3 or a name like KQ-0253; default KQ-0453)",
         cmdNew});
    AddCommand(
        {"words", "words FILE.KQ", "print the 64 EEPROM image words in hexadecimal", cmdWords});
}

} // namespace kqtool
