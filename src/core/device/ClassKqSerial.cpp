#include "ClassKqSerial.h"

#include <cmath>
#include <limits>

namespace kq {

namespace {

const ModelInfo kModels[KnownModelCount] = {
    {"KQ-0253", 12.8, 45.0, 64, "KQ-0253    IF +45MHz"},
    {"KQ-0353", 12.8, -21.4, 64, "KQ-0353    IF -21.4MHz"},
    {"KQ-0453", 12.8, -45.0, 64, "KQ-0453    IF -45MHz"},
    {"KQ-0153", 12.8, 21.4, 64, "KQ-0153    IF +21.4MHz"},
};

// Codec constants: kHz per MHz, 10 Hz units per kHz, the 6.25 kHz grid in
// 10 Hz units, and the flag bits of the channel bytes.
constexpr double kKHzPerMHz = 1000.0;
constexpr double kTenHzPerKHz = 100.0;
constexpr int64_t kFineGrid = 625;
constexpr double kFineStep = 6.25;
constexpr double kCoarseStep = 5.0;
constexpr int64_t kStepFlag = 128;
constexpr int64_t kSpacingBit = 64;
constexpr int64_t kPowerBit = 32;

// Mathematical floor division and modulo so that negative values (which only
// a bad scaler can produce) end in the byte check instead of wrapping.
int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}
int64_t floorMod(int64_t a, int64_t b) { return a - floorDiv(a, b) * b; }

struct DividerBytes {
    int64_t high; // B div 256 plus step flag
    int64_t low;  // B mod 256
    int64_t a2;   // 2 * A
};

DividerBytes encodeDivider(double xKHz, int32_t scaler) {
    const int64_t r = floorMod(RoundHalfEven(xKHz * kTenHzPerKHz), kFineGrid);
    const bool fine = (r == 0);
    const double step = fine ? kFineStep : kCoarseStep;
    // N is rounded before the split; rounding after would turn 14271.99..
    // into B and A of the wrong divider.
    const int64_t n = RoundHalfEven(xKHz / step);
    const int64_t b = floorDiv(n, scaler);
    const int64_t a = floorMod(n, scaler);
    return {floorDiv(b, 256) + (fine ? kStepFlag : 0), floorMod(b, 256), 2 * a};
}

void checkByte(int64_t v, int ch, const char* which) {
    if (v < 0 || v > 255) {
        throw OverflowError("Channel " + std::to_string(ch) + ": the " + which +
                            " frequency does not fit the radio's divider (overflow).");
    }
}

} // namespace

const ModelInfo* FindModel(int code) {
    if (code < 0 || code >= KnownModelCount) return nullptr;
    return &kModels[code];
}

int64_t RoundHalfEven(double v) {
    // 2^53: beyond it every double is already whole, and int64 still holds it.
    constexpr double kLimit = 9007199254740992.0;
    if (!std::isfinite(v) || v > kLimit || v < -kLimit) {
        throw OverflowError("Overflow: a value is too large to be converted.");
    }
    return static_cast<int64_t>(std::nearbyint(v)); // default mode: to nearest, ties to even
}

ClassKqSerial::ClassKqSerial() = default;

void ClassKqSerial::ApplyModelTable() {
    const ModelInfo* info = FindModel(m_Model);
    if (!info) return;
    m_ModelName = info->ModelName;
    m_ReferOSC = info->ReferOSC;
    m_RFIF = info->RFIF;
    m_PLLScaler = info->PLLScaler;
}

ChannelPara& ClassKqSerial::channel(int16_t ch) {
    return const_cast<ChannelPara&>(static_cast<const ClassKqSerial*>(this)->channel(ch));
}

const ChannelPara& ClassKqSerial::channel(int16_t ch) const {
    if (ch < 0 || ch >= ChannelCount) {
        throw SubscriptOutOfRange("Subscript out of range: channel " + std::to_string(ch) +
                                  " (channels are 0 to 15).");
    }
    return m_Channels[static_cast<std::size_t>(ch)];
}

std::size_t ClassKqSerial::wordIndex(int16_t addr) {
    if (addr < 0 || addr >= WordSlots) {
        throw SubscriptOutOfRange("Subscript out of range: word address " + std::to_string(addr) +
                                  " (addresses are 0 to 127).");
    }
    return static_cast<std::size_t>(addr);
}

void ClassKqSerial::TotalEEWords(int32_t words) {
    const int64_t bytes = int64_t{words} * 2;
    if (bytes > std::numeric_limits<int16_t>::max() ||
        bytes < std::numeric_limits<int16_t>::min()) {
        throw OverflowError("Overflow: " + std::to_string(words) +
                            " words cannot be counted (at most 16383).");
    }
    m_TotalEEBytes = static_cast<int16_t>(bytes);
}

void ClassKqSerial::Para_to_EEWord() {
    m_Words[0] = m_EepromID;
    m_Words[1] = int32_t{m_Model} * 256;
    m_Words[8] = m_VCORef1;
    m_Words[9] = m_VCORef2;

    if (m_PLLScaler == 0) {
        throw DivisionByZero("Division by zero: the PLL scaler of this model is 0.");
    }
    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelPara& p = m_Channels[static_cast<std::size_t>(c)];
        double rx = (p.RxFreq + m_RFIF) * kKHzPerMHz;
        if (rx < 0) rx = 0;
        const double tx = p.TxFreq * kKHzPerMHz;
        // A negative transmit frequency has no divider; refusing it keeps
        // every written byte inside 0..255.
        if (tx < 0) {
            throw OverflowError("Channel " + std::to_string(c) +
                                ": a negative transmit frequency cannot be written (overflow).");
        }
        DividerBytes r = encodeDivider(rx, m_PLLScaler);
        DividerBytes t = encodeDivider(tx, m_PLLScaler);
        checkByte(r.high, c, "receive");
        checkByte(r.low, c, "receive");
        checkByte(r.a2, c, "receive");
        checkByte(t.high, c, "transmit");
        checkByte(t.low, c, "transmit");
        checkByte(t.a2, c, "transmit");

        int64_t b1 = p.RxCHSpace != 0 ? (r.high | kSpacingBit) : (r.high & ~kSpacingBit);
        int64_t b4 = p.TxCHSpace != 0 ? (t.high | kSpacingBit) : (t.high & ~kSpacingBit);
        b4 = p.RFPower != 0 ? (b4 | kPowerBit) : (b4 & ~kPowerBit);

        const std::size_t w = static_cast<std::size_t>(ChannelWord(c));
        m_Words[w] = static_cast<int32_t>(b1 * 256 + r.low);
        m_Words[w + 1] = static_cast<int32_t>(r.a2 * 256 + b4);
        m_Words[w + 2] = static_cast<int32_t>(t.low * 256 + t.a2);
    }
}

void ClassKqSerial::EEWord_to_Para() {
    m_Channels.fill(ChannelPara{});

    m_EepromID = m_Words[0];
    const int32_t w1 = m_Words[1];
    if (w1 < 0 || w1 > 65535) {
        throw OverflowError("Overflow: word 1 (" + std::to_string(w1) +
                            ") does not hold a model code.");
    }
    m_Model = static_cast<uint8_t>(w1 / 256);
    m_VCORef1 = m_Words[8];
    m_VCORef2 = m_Words[9];

    ApplyModelTable();

    auto hi = [](int32_t w) { return (w >> 8) & 0xFF; };
    auto lo = [](int32_t w) { return w & 0xFF; };
    const double p = m_PLLScaler;
    for (std::size_t c = 0; c < static_cast<std::size_t>(ChannelCount); ++c) {
        const std::size_t w = static_cast<std::size_t>(ChannelWord(static_cast<int>(c)));
        const int32_t w0 = m_Words[w];
        const int32_t wS = m_Words[w + 1];
        const int32_t w2 = m_Words[w + 2];
        ChannelPara& ch = m_Channels[c];

        const int rxB = (hi(w0) & 15) * 256 + lo(w0);
        const int rxA = (hi(wS) & 254) / 2;
        const double rxStep = (hi(w0) & kStepFlag) ? kFineStep : kCoarseStep;
        const int txB = (lo(wS) & 15) * 256 + hi(w2);
        const int txA = (lo(w2) & 254) / 2;
        const double txStep = (lo(wS) & kStepFlag) ? kFineStep : kCoarseStep;

        ch.RFPower = (lo(wS) & kPowerBit) ? -1 : 0;
        ch.RxCHSpace = (hi(w0) & kSpacingBit) ? -1 : 0;
        ch.TxCHSpace = (lo(wS) & kSpacingBit) ? -1 : 0;

        const double v = (p * rxB + rxA) * rxStep / kKHzPerMHz;
        ch.RxFreq = v - m_RFIF;
        if (!(v > 0) || !(ch.RxFreq > 0)) ch.RxFreq = 0.0;
        ch.TxFreq = (p * txB + txA) * txStep / kKHzPerMHz;
    }
}

} // namespace kq
