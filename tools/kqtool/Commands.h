// kqtool's subcommands. Each cmd_*.cpp file registers its commands through a
// function listed in main.cpp, so adding a command touches one file and one
// line.
#pragma once

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace kqtool {

// One option line of a command's help.
struct OptionHelp {
    std::string names; // as typed, with its value: "-o OUT.csv", "--rx, --tx"
    std::string text;
};

struct Command {
    std::string name;
    std::string usage;   // one line, without the program name
    std::string summary; // one line
    // Arguments after the command name. Returns the exit status; throws
    // kq::KqError (or std::exception) for a failure to report in one line.
    int (*run)(const std::vector<std::string>& args);
    std::vector<OptionHelp> options = {}; // of this usage, for --help
};

// Exit statuses shared by all commands.
enum Exit : int {
    ExitOk = 0,
    ExitFailure = 1, // any error with a message
    ExitUsage = 2,   // bad command line
    // Not 1 (diff: the files differ) nor 7 (verify: the radio differs): a
    // script comparing must not take a missing or damaged file for a
    // difference.
    ExitCannotRead = 8,
};

// Thrown for a bad command line; main prints the message and the usage.
class UsageError : public std::exception {
public:
    explicit UsageError(std::string message) : m_Message(std::move(message)) {}
    const char* what() const noexcept override { return m_Message.c_str(); }

private:
    std::string m_Message;
};

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
