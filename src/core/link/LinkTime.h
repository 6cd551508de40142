// Time as the link sees it: microseconds from an origin the time source
// chooses. The link never reads a clock of its own, so tests run it in
// virtual time and the program in real time, through the same code.
#pragma once

#include <chrono>

namespace kq {

using LinkTime = std::chrono::microseconds;

// One character at 9600 baud with a start, 8 data and 2 stop bits.
constexpr LinkTime kCharTime{1146};
// The radio protocol's pacing tick.
constexpr int kProtocolTickMs = 20;
// How long a radio programs a written word into its EEPROM.
constexpr int kEepromHoldMs = 10;

constexpr LinkTime Millis(long long ms) { return LinkTime(ms * 1000); }

class TimeSource {
public:
    virtual ~TimeSource() = default;
    virtual LinkTime Now() = 0;
    // Blocks until Now() has reached t (returns at once when it has).
    virtual void SleepUntil(LinkTime t) = 0;
};

} // namespace kq
