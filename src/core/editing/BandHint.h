// Which channels lie outside the radio's band. Only a hint for the user:
// nothing is refused or changed because of it.
#pragma once

#include "ClassKQxx53.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kq {

// The channels, lowest first, whose receive or transmit frequency is in use
// (not 0) and lies outside dev's LowLimFQ..HiLimFQ; the limits themselves
// are inside.
std::vector<int16_t> ChannelsOutsideBand(const ClassKQxx53& dev);

// Those channels one per line, each frequency outside the band marked:
// "channel 5: RX 440 MHz (outside), TX 150 MHz"; "" when there are none.
// Told before a table is written, since the radio cannot use them.
std::string OutsideBandList(const ClassKQxx53& dev);

} // namespace kq
