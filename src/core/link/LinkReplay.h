// Replaying a link log: the logged transfer runs again, in virtual time,
// against a line whose radio answers as the log says. Each received burst
// is tied to what the program sent (or opened) last before it and comes at
// the same offset after the program sends its matching burst, so a changed
// program meets the radio the user had, and where its frames differ from
// the log shows.
#pragma once

#include "LinkLog.h"

#include <cstddef>
#include <string>

namespace kq {

struct ReplayReport {
    TransferResult result; // the replayed transfer's
    // The frames differ from the log: the first burst the program sent
    // otherwise (1-based among the sent bursts), when, and both texts ("" on
    // one side when it has no such burst). An open of another device counts.
    bool diverged = false;
    std::size_t burst = 0;
    LinkTime at{0}, loggedAt{0};
    std::string expected, sent;
    std::size_t burstsSent = 0;
    // Questions the log had no answer for (answered no).
    int unanswered = 0;

    bool SameOutcome(const LinkLog& log) const;
};

ReplayReport ReplayLinkLog(const LinkLog& log);

// What a replay found, in a few lines for a terminal.
std::string ReplayText(const LinkLog& log, const ReplayReport& r);

} // namespace kq
