// The auto frequency fill on plain field texts: every channel of the range
// is checked before any is written, so a fill is all or nothing.
#pragma once

#include "ClassKQxx53.h"

#include <cstdint>
#include <string>

namespace kq {

enum FillModes : int32_t { FillRxTx = 0, FillRxOnly = 1, FillTxOnly = 2 };

struct AutoFillFields {
    std::string StartCH;   // first channel, digits
    std::string StopCH;    // last channel, digits
    std::string StartFreq; // MHz
    std::string SpaceFreq; // kHz
    int32_t FillMode = FillRxTx;
};

extern const char* const InvalidChannelText; // " A Invalid Channel Number."

// " A Invalid Frequency Value. CH<ch>:<mhz>"
std::string InvalidFillFrequencyText(int ch, double mhz);

// Fills the range; afterwards NowCHNum is the last channel of it. Throws
// InvalidEntry with the dialog's message, the device untouched.
void AutoFill(ClassKQxx53& dev, const AutoFillFields& f);

} // namespace kq
