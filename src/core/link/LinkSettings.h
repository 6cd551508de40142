// How transfers use the serial link: one value, owned by the main window and
// by kqtool's command line, copied into each transfer.
#pragma once

#include "ComPorts.h"
#include "LinkTime.h"

#include <string>
#include <vector>

namespace kq {

struct LinkSettings {
    // Devices for COM1 .. COM<kComPortCount>, in that order; empty: the system's serial
    // ports, USB adapters first.
    std::vector<std::string> ports;
    // Finish each exchange as soon as its answer is in and checked; the
    // first surprise falls back to the default pacing.
    bool fast = false;
    // The pacing tick. The radio's protocol is timed on 20 ms; a longer tick
    // helps a slow adapter.
    int tickMs = kProtocolTickMs;
    // After a fast write's echo: the time the radio needs to program a word.
    int eepromMs = kEepromHoldMs;

    LinkTime Tick() const { return Millis(tickMs); }
    LinkTime EepromHold() const { return Millis(eepromMs); }
};

} // namespace kq
