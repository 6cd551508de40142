// kqprogrammer's command line: the options answered on the terminal before
// any window opens, and those that start the windows.
#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace kq {

// Handles --help, --version and --readme-path: prints the answer and returns
// the exit status. Returns -1 when the program should start its windows.
// Qt's own options are still in argv here, so nothing else is judged yet.
int HandleInfoOptions(int argc, char** argv);

// What the windows start with.
struct ProgramArgs {
    QStringList files;                             // to open, each in a window
    std::optional<std::vector<std::string>> ports; // --port: COM1, COM2, ...
};

// args as the application has them, Qt's own options taken out, the
// program's name first. Throws UsageError for a bad command line.
ProgramArgs ParseProgramArgs(const QStringList& args);

// Reports a bad command line on standard error; returns the exit status.
int ReportUsageError(const std::string& message);

} // namespace kq
