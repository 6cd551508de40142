// What the channel edit dialog reads from and writes into the current
// channel of a device, on plain field values.
#pragma once

#include "ClassKQxx53.h"

#include <string>

namespace kq {

struct ChannelEditFields {
    std::string RxText;
    std::string TxText;
    bool TxEqualsRx = false; // Check_RxTx
    bool Rx25k = false;      // else 12.5 kHz
    bool Tx25k = false;
    bool High = false; // else LOW
};

extern const char* const InvalidFrequencyText; // "A Invalid Frequency Value."

// "Channel N" for the device's current channel.
std::string ChannelEditCaption(const ClassKQxx53& dev);

// The fields as the dialog opens on the current channel; Tx=Rx is off.
ChannelEditFields LoadChannelEdit(const ClassKQxx53& dev);

enum class ChannelEditResult {
    Written,   // the channel holds the fields' values
    Unchanged, // a zero frequency: the dialog closes without writing
};

// The OK step on channel ch; the current channel stays as it is. Throws
// InvalidEntry (nothing written) for a text or value the device does not
// accept; SubscriptOutOfRange if ch is not a channel.
ChannelEditResult ApplyChannelEdit(ClassKQxx53& dev, int16_t ch, const ChannelEditFields& f);
// The same on the device's current channel.
inline ChannelEditResult ApplyChannelEdit(ClassKQxx53& dev, const ChannelEditFields& f) {
    return ApplyChannelEdit(dev, dev.NowCHNum, f);
}

} // namespace kq
