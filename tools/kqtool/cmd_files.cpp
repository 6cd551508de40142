// kqtool commands on channel files: show, report, export, import, new, words.
#include "Args.h"
#include "Commands.h"
#include "FileArgs.h"

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
    if (code < 0)
        throw UsageError{"unknown model '" + kq::PathForMessage(text) + "' (use " +
                         kq::ModelCodesText() + ")"};
    return code;
}

kq::ClassKQxx53 newDevice(const Args& a) {
    kq::ClassKQxx53 dev;
    if (const std::string* m = a.option("--model")) kq::ApplySystemOption(dev, modelCode(*m));
    return dev;
}

// ---- show, report, words -------------------------------------------------

int cmdShow(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 1);
    const kq::ClassKQxx53 dev = OpenChannel(a.positional[0]);
    std::ostringstream out;
    out << kq::ModelTitleText() << " " << kq::ModelText(dev) << "\n"
        << kq::RangeTitleText() << " " << kq::RFIFText(dev) << "\n"
        << kq::ReferOscTitleText() << " " << kq::ReferOscText(dev) << "\n"
        << kq::ChannelHeading() << "\n";
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber(); ++ch)
        out << kq::ChannelRow(dev, ch) << "\n";
    WriteOutput(nullptr, out.str());
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
    const kq::ClassKQxx53 dev = OpenChannel(path);
    // The window's caption of an opened file is its full path.
    std::error_code ec;
    fs::path full = fs::absolute(fs::u8path(path), ec);
    const std::string name = IsStdStream(path) ? InputName(path)
                             : ec              ? path
                                               : full.lexically_normal().u8string();
    const auto lines = kq::ReportLines(dev, name, kq::ReportDateText(clock));
    if (const std::string* out = a.option("-o")) {
        // A report file has the printout's CR LF line ends.
        WriteOutput(out, kq::ReportText(lines));
    } else {
        std::string text;
        for (const auto& line : lines) text += line + "\n";
        WriteOutput(nullptr, text);
    }
    return ExitOk;
}

int cmdWords(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {}, 1);
    const kq::ClassKQxx53 dev = OpenChannel(a.positional[0]);
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
    WriteOutput(nullptr, text);
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
    const kq::ClassKQxx53 dev = OpenChannel(a.positional[0]);
    WriteOutput(a.option("-o"), kq::ExportCsv(dev, layout));
    return ExitOk;
}

bool anyChannelInUse(const kq::ClassKQxx53& dev) {
    for (int16_t ch = kq::ClassKQxx53::FirstCHNumber(); ch <= kq::ClassKQxx53::LastCHNumber();
         ++ch) {
        if (dev.Channel(ch).RxFreq != 0 || dev.Channel(ch).TxFreq != 0) return true;
    }
    return false;
}

int cmdImport(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--model"}, 1, {"--skip-unfit"});
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"the channel file to write must be given with -o"};
    const std::string& path = a.positional[0];
    const std::string name = kq::PathForMessage(InputName(path));
    const std::string text = ReadInput(path, kq::MaxCsvBytes, "a channel list");
    kq::CsvImport imported =
        kq::ImportCsv(text, newDevice(a), InputName(path),
                      a.flag("--skip-unfit") ? kq::CsvUnfit::Skip : kq::CsvUnfit::Refuse);
    if (!imported.unfit.empty()) {
        std::cerr << "kqtool import: " << name << ": " << imported.unfit.size()
                  << " row(s) left out, this radio cannot hold them:\n";
        for (const auto& u : imported.unfit)
            std::cerr << "  row " << u.line << ": " << u.reason << "\n";
        // Nothing left but an empty table: that is no import.
        if (!anyChannelInUse(imported.device)) {
            throw kq::FileError(name + ": no channel is left to import; nothing was written.");
        }
    }
    if (!imported.dropped.empty()) {
        std::string names;
        for (const auto& d : imported.dropped)
            names += (names.empty() ? "" : ", ") + kq::QuoteForMessage(d);
        std::cerr << "kqtool import: " << name
                  << ": dropped, this radio cannot hold them: " << names << "\n";
    }
    SaveChannel(imported.device, *out);
    return ExitOk;
}

int cmdNew(const std::vector<std::string>& args) {
    const Args a = parseArgs(args, {"-o", "--model"}, 0);
    const std::string* out = a.option("-o");
    if (!out) throw UsageError{"the channel file to write must be given with -o"};
    kq::ClassKQxx53 dev = newDevice(a);
    SaveChannel(dev, *out);
    return ExitOk;
}

// A layout's columns as help text: blanks after the commas, so it wraps.
std::string columnList(kq::CsvLayout layout) {
    std::string text;
    for (char c : kq::CsvHeading(layout)) text += c == ',' ? std::string(", ") : std::string(1, c);
    return text;
}

} // namespace

void RegisterFileCommands() {
    const OptionHelp model = {"--model CODE", "the radio model by code or name: " + kq::ModelCodesText() +
                                                  " (default " + kq::ClassKQxx53().ModelName() +
                                                  ")"};
    AddCommand({"show", "show FILE.KQ", "print the model, IF, reference and the 16 channel rows",
                cmdShow});
    AddCommand(
        {"report",
         "report FILE.KQ [--date Y/M/D] [-o OUT.txt]",
         "print the channel report as the printout has it",
         cmdReport,
         {{"--date Y/M/D", "the day the report gives, also as Y-M-D (default: today)"},
          {"-o OUT.txt", "write the report to OUT.txt with the printout's CR LF line ends"}}});
    AddCommand({"export",
                "export FILE.KQ [--format kq|chirp] [-o OUT.csv]",
                "write the channels as CSV",
                cmdExport,
                {{"--format kq|chirp", "kq: a row per channel, " + columnList(kq::CsvLayout::Kq) +
                                           " (the default); chirp: the common layout of other "
                                           "programmers, channels in use"},
                 {"-o OUT.csv", "write the CSV to OUT.csv"}}});
    AddCommand({"import",
                "import IN.csv -o FILE.KQ [--model CODE] [--skip-unfit]",
                "build a channel file from CSV in either layout; Location is the channel, a Power "
                "in watts is high above " +
                    kq::DecimalText(kq::HighPowerAboveWatts) +
                    " W; rows the radio cannot hold (a channel outside 0 to 15, a frequency or "
                    "mode it cannot take) are all named and nothing is written (exit " + std::to_string(ExitFailure) + ")",
                cmdImport,
                {{"-o FILE.KQ", "the channel file to write"},
                 model,
                 {"--skip-unfit", "write the rows the radio can hold and list the others on "
                                  "standard error"}}});
    AddCommand({"new",
                "new -o FILE.KQ [--model CODE]",
                "write an empty channel table",
                cmdNew,
                {{"-o FILE.KQ", "the channel file to write"}, model}});
    AddCommand(
        {"words", "words FILE.KQ", "print the 64 EEPROM image words in hexadecimal", cmdWords});
}

} // namespace kqtool
