// The texts of the channel table window and its rows, shared with the
// printout and kqtool.
#pragma once

#include "ClassKQxx53.h"

#include <cstdint>
#include <string>

namespace kq {

// A value in its shortest decimal form, rounded to 15 significant digits,
// "." as decimal point and no exponent: -45 -> "-45", 12.8 -> "12.8".
std::string DecimalText(double v);

// A frequency in MHz as exactly 10 characters: "   NONE   " for 0,
// "150.012500", " 50.500000" (the sixth decimal is cut, not rounded).
// Values of 1000 MHz or more keep all their whole digits and lose decimals
// ("1234.56250"); a value whose whole part does not fit, or that is not a
// number, shows as "**********".
std::string FreqToText(double mhz);

// The 52-character list row of channel ch.
std::string ChannelRow(const ClassKQxx53& dev, int16_t ch);

// The list's column heading (53 characters, one trailing blank).
std::string ChannelHeading();

// Label_Model_Title and Label_Model.
std::string ModelTitleText();                  // "Model:"
std::string ModelText(const ClassKQxx53& dev); // the model name
// Label_Range_Title and Label_RFIF.
std::string RangeTitleText();                 // "IF:"
std::string RFIFText(const ClassKQxx53& dev); // "-45 MHz"
// Label1 and Label_ReferOsc.
std::string ReferOscTitleText();                  // "Refer Osc:"
std::string ReferOscText(const ClassKQxx53& dev); // "12.8 MHz"

} // namespace kq
