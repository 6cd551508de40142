// What kqtool's radio commands share: their exit statuses, Ctrl+C, and the
// dealer's bench: one table written into radio after radio (--repeat) and on
// several ports at once (--parallel).
#pragma once

#include "ClassKQxx53.h"
#include "Commands.h"
#include "LinkSettings.h"
#include "TransferSequence.h"

#include <QStringList>

#include <cstdint>

namespace kqtool {

// A link log is under 200 KB; room for one edited by hand.
constexpr std::uintmax_t kMaxLinkLogBytes = 4 * 1024 * 1024;

// From here on SIGINT and SIGTERM only set a flag, so that a transfer can be
// cancelled between words and said so; a second signal ends the program.
void CatchInterrupts();
bool Interrupted();

struct BenchOptions {
    QStringList ports; // one worker each
    bool repeat = false;
    int count = 0; // with repeat: stop after this many radios (0: until interrupted)
    bool yes = false;    // another model or a never-initiated radio is written
    bool backup = true;  // each radio's table kept before it is written
    kq::LinkSettings link; // each worker's, with its own port
    // The link log of each radio goes to trace with "-N" added, N the
    // radio's number in the printed lines ("": none).
    std::string trace;
};

// Writes table into the radios on the ports; prints one line per radio and a
// summary. Returns 0 when every radio was written, else the first failure's
// exit status. Needs a QCoreApplication.
int RunBench(const kq::ClassKQxx53& table, const BenchOptions& o);

} // namespace kqtool
