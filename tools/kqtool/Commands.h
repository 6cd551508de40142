// kqtool's subcommands. Each cmd_*.cpp file registers its commands through a
// function listed in main.cpp, so adding a command touches one file and one
// line.
#pragma once

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace kqtool {

struct Command {
    std::string name;
    std::string usage;   // one line, without the program name
    std::string summary; // one line
    // Arguments after the command name. Returns the exit status; throws
    // kq::KqError (or std::exception) for a failure to report in one line.
    int (*run)(const std::vector<std::string>& args);
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

} // namespace kqtool
