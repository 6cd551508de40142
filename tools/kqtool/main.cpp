// kqtool: channel files and radio transfers from the command line.
#include "Commands.h"

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

} // namespace kqtool

namespace {

void printHelp(std::ostream& out) {
    out << "Usage: kqtool COMMAND [ARGS]\n"
           "Work with KQ radio channel files (.KQ) and radios without the window.\n\n"
           "Commands:\n";
    for (const auto& c : kqtool::AllCommands()) {
        out << "  kqtool " << c.usage << "\n      " << c.summary << "\n";
    }
    out << "\n  kqtool --help\n      this text\n"
           "  kqtool --version\n      the program's version\n";
}

} // namespace

int main(int argc, char** argv) {
    kqtool::RegisterFileCommands();
    kqtool::RegisterFillCommands();
    kqtool::RegisterRadioCommands();
    kqtool::RegisterDiffCommands();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printHelp(args.empty() ? std::cerr : std::cout);
        return args.empty() ? kqtool::ExitUsage : kqtool::ExitOk;
    }
    if (args[0] == "--version") {
        std::cout << "kqtool " << kq::ProgramVersion << "\n";
        return kqtool::ExitOk;
    }
    for (const auto& c : kqtool::AllCommands()) {
        if (c.name != args[0]) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
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
