// kqtool's help texts, wrapped to the terminal in a shape help2man reads: a
// "Usage:" line, sections ending in ":", option lines starting with blanks.
#include "Commands.h"
#include "TextFill.h"

#include <algorithm>
#include <cctype>

#ifndef _WIN32
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kqtool {

namespace {

constexpr std::size_t kMaxWidth = 80;
// Narrower than this, wrapping would only stack words.
constexpr std::size_t kMinWidth = 40;
// Option names longer than this put their text on the next line.
const std::vector<OptionHelp> kHelpOption = {
    {"-h, --help", "print this help and exit"},
};

std::string sentence(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + ".";
}

} // namespace

std::size_t HelpWidth() {
#ifndef _WIN32
    struct winsize ws {};
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return std::clamp<std::size_t>(ws.ws_col, kMinWidth, kMaxWidth);
#endif
    return kMaxWidth;
}

std::string ProgramHelp(std::size_t width) {
    std::string out = "Usage: kqtool COMMAND [ARGUMENT]... [OPTION]...\n";
    out +=
        kq::FillText("Work with KQ radio channel files (.KQ) and radios without the window. A file "
                     "name - reads standard input or writes standard output. An option's value may "
                     "follow it as --option VALUE or --option=VALUE; -- ends the options.",
                     0, 0, width);
    // A section per command (help2man makes each a subsection): its usages,
    // each with what it does, then its options.
    std::vector<std::string> names;
    for (const auto& c : AllCommands()) {
        if (std::find(names.begin(), names.end(), c.name) == names.end()) names.push_back(c.name);
    }
    for (const auto& name : names) {
        out += "\nkqtool " + name + ":\n";
        std::vector<OptionHelp> options;
        for (const auto& c : AllCommands()) {
            if (c.name != name) continue;
            out += kq::FillText("kqtool " + c.usage, 2, 2, width) +
                   kq::FillText(sentence(c.summary), 4, 4, width);
            options.insert(options.end(), c.options.begin(), c.options.end());
        }
        out += kq::OptionTable(options, 2, width);
    }
    out += "\nOptions:\n";
    out += kq::OptionTable({{"-h, --help", "print this help and exit; kqtool COMMAND --help prints "
                                       "one command's help"},
                        {"--version", "print the program's version and exit"}},
                       2, width);
    kq::ExitCases codes;
    for (const auto& row : kq::ExitStatuses()) codes.emplace_back(row.code, "");
    return out + kq::ExitStatusHelp(codes, width);
}

std::string CommandHelp(const std::string& name, std::size_t width) {
    std::string usage, about;
    std::vector<OptionHelp> options;
    for (const auto& c : AllCommands()) {
        if (c.name != name) continue;
        usage += usage.empty() ? kq::FillText("Usage: kqtool " + c.usage, 0, 8, width)
                               : kq::FillText("or: kqtool " + c.usage, 2, 8, width);
        about += kq::FillText(sentence(c.summary), 0, 0, width);
        for (const auto& o : c.options) {
            const bool known =
                std::any_of(options.begin(), options.end(),
                            [&o](const OptionHelp& k) { return k.names == o.names; });
            if (!known) options.push_back(o);
        }
    }
    options.insert(options.end(), kHelpOption.begin(), kHelpOption.end());
    return usage + about + "\nOptions:\n" + kq::OptionTable(options, 2, width);
}

} // namespace kqtool
