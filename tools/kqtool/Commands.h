// kqtool's subcommands. Each cmd_*.cpp file registers its commands through a
// function listed in main.cpp, so adding a command touches one file and one
// line.
#pragma once

#include "ExitStatus.h"
#include "OptionParser.h"
#include "TextFill.h"

#include <string>
#include <utility>
#include <vector>

namespace kqtool {

using kq::OptionHelp;

struct Command {
    std::string name;
    std::string usage;   // one line, without the program name
    std::string summary; // one line
    // Arguments after the command name. Returns the exit status; throws
    // kq::KqError (or std::exception) for a failure to report in one line.
    int (*run)(const std::vector<std::string>& args);
    std::vector<OptionHelp> options = {}; // of this usage, for --help
};

using kq::ExitCannotRead;
using kq::ExitFailure;
using kq::ExitOk;
using kq::ExitUsage;
using kq::UsageError;

void AddCommand(Command c);
const std::vector<Command>& AllCommands();

// The help of the whole program, and of the command name with all its
// usages; lines of at most width columns.
std::string ProgramHelp(std::size_t width);
std::string CommandHelp(const std::string& name, std::size_t width);

// The columns help is laid out for: the terminal's width on standard
// output, at most 80 (80 when it is not a terminal).
std::size_t HelpWidth();

} // namespace kqtool
