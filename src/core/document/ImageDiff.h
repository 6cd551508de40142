// Where two EEPROM images differ: the header words and the channels, for
// kqtool's diff (two files) and verify (a file and a radio).
#pragma once

#include "ClassKQxx53.h"

#include <cstdint>
#include <vector>

namespace kq {

struct ImageDiff {
    std::vector<int16_t> headerWords; // addresses below FirstChannelWord, rising
    std::vector<int16_t> channels;    // channels with any of their words different, rising
    bool Same() const { return headerWords.empty() && channels.empty(); }
};

// Compares the words of a and b (the parameters are not looked at).
ImageDiff CompareImages(const ClassKQxx53& a, const ClassKQxx53& b);

} // namespace kq
