// kqtool as a function: its commands, and the dispatch of its command line.
#include "Commands.h"
#include "Kqtool.h"

#include "KqErrors.h"
#include "KqVersion.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace kqtool {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> commands;
    return commands;
}
} // namespace

void AddCommand(Command c) { registry().push_back(std::move(c)); }
const std::vector<Command>& AllCommands() { return registry(); }

// Each command file provides one of these.
void RegisterFileCommands();
void RegisterFillCommands();
void RegisterRadioCommands();
void RegisterDiffCommands();
void RegisterPortCommands();

} // namespace kqtool

namespace {

bool isHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Asked anywhere among a command's options (not after "--").
bool asksHelp(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--") return false;
        if (isHelp(a)) return true;
    }
    return false;
}

} // namespace

int kqtool::Main(int argc, char** argv) {
    // Once, however often a test runs the program in-process.
    static const bool registered = [] {
        kqtool::RegisterFileCommands();
        kqtool::RegisterFillCommands();
        kqtool::RegisterRadioCommands();
        kqtool::RegisterDiffCommands();
        kqtool::RegisterPortCommands();
        return true;
    }();
    (void)registered;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || isHelp(args[0]) || (args[0] == "help" && args.size() == 1)) {
        (args.empty() ? std::cerr : std::cout) << kqtool::ProgramHelp(kqtool::HelpWidth());
        return args.empty() ? kqtool::ExitUsage : kqtool::ExitOk;
    }
    // "kqtool help COMMAND" as well as "kqtool COMMAND --help".
    if (args[0] == "help") args = {args[1], "--help"};
    if (args[0] == "--version") {
        std::cout << "kqtool " << kq::ProgramVersion << "\n";
        return kqtool::ExitOk;
    }
    for (const auto& c : kqtool::AllCommands()) {
        if (c.name != args[0]) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (asksHelp(rest)) {
            std::cout << kqtool::CommandHelp(c.name, kqtool::HelpWidth());
            return kqtool::ExitOk;
        }
        try {
            return c.run(rest);
        } catch (const kqtool::UsageError& e) {
            std::cerr << "kqtool " << c.name << ": " << e.what() << "\nusage: kqtool " << c.usage
                      << "\n";
            return kqtool::ExitUsage;
        } catch (const std::exception& e) {
            std::cerr << "kqtool " << c.name << ": " << e.what() << "\n";
            return kqtool::ExitFailure;
        }
    }
    std::cerr << "kqtool: unknown command '" << args[0] << "' (try kqtool --help)\n";
    return kqtool::ExitUsage;
}
