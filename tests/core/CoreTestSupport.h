// What the core tests share: the message of an expected error, and a
// device whose channels all differ.
#pragma once

#include "ClassKQxx53.h"

#include <string>

namespace kqtest {

// The message of the error E that f throws, "" when it throws none.
template <class E, class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

// A device whose 16 channels all differ, so any record moved or written
// where it should not be shows.
inline kq::ClassKQxx53 MarkedDevice() {
    kq::ClassKQxx53 dev;
    for (int16_t ch = 0; ch < 16; ++ch) {
        dev.TheRxFreq(ch, 400 + ch);
        dev.TheTxFreq(ch, 450 + ch);
        dev.TheRxCHSpace(ch, ch % 2 ? -1 : 0);
        dev.TheTxCHSpace(ch, ch % 3 ? -1 : 0);
        dev.TheRFPower(ch, ch % 5 ? -1 : 0);
    }
    return dev;
}

} // namespace kqtest
