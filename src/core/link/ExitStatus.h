// The exit statuses of the programs: one table that the code, the help texts
// and the manual pages all take their numbers and meanings from.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kq {

enum ExitStatus : int {
    ExitOk = 0,
    ExitFailure = 1, // any error with a message
    ExitUsage = 2,   // bad command line
    ExitLinkFailed = 3,
    ExitNotInitiated = 4,
    ExitModelDeclined = 5,
    ExitCancelled = 6,
    // Neither 1 (diff: the files differ) nor 7 (verify: the radio differs):
    // a script comparing must not take a missing or damaged file for a
    // difference.
    ExitDiffers = 7,
    ExitCannotRead = 8,
    ExitPortBusy = 9,
    ExitDiverged = 10,
};

struct ExitStatusRow {
    ExitStatus code;
    const char* name;
    const char* meaning; // a sentence, for the help's exit status section
};

// Every status, in ascending order.
const std::vector<ExitStatusRow>& ExitStatuses();

// "exit 3 no radio, 9 port busy" for a command's summary: each status's
// number followed by what it means there.
using ExitCases = std::vector<std::pair<ExitStatus, std::string>>;
std::string ExitText(const ExitCases& cases);

// The "Exit status:" section of a --help text (help2man makes it a part of
// the manual page), width columns wide: each case's number and meaning, the
// table's meaning where a case's is empty.
std::string ExitStatusHelp(const ExitCases& cases, std::size_t width);

} // namespace kq
