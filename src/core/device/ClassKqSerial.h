// The device image of one radio: 16 channel records and the radio-wide
// settings side by side with the EEPROM word image. The two are kept in
// step only by the explicit conversions Para_to_EEWord / EEWord_to_Para.
#pragma once

#include "KqErrors.h"

#include <array>
#include <cstdint>
#include <string>

namespace kq {

// One channel as the user sees it. Frequencies in MHz, 0.0 = unused.
// Spacing: 0 = 12.5 kHz, nonzero (-1) = 25 kHz. Power: 0 = low, -1 = high.
struct ChannelPara {
    double RxFreq = 0.0;
    double TxFreq = 0.0;
    int32_t RxCHSpace = 0;
    int32_t TxCHSpace = 0;
    int32_t RFPower = 0;

    bool operator==(const ChannelPara& o) const {
        return RxFreq == o.RxFreq && TxFreq == o.TxFreq && RxCHSpace == o.RxCHSpace &&
               TxCHSpace == o.TxCHSpace && RFPower == o.RFPower;
    }
    bool operator!=(const ChannelPara& o) const { return !(*this == o); }
};

// One row of the model table; the code is the row's position.
struct ModelInfo {
    const char* ModelName;
    double ReferOSC; // MHz
    double RFIF;     // MHz, signed
    int32_t PLLScaler;
    const char* OptionText; // entry of the system option list
};

constexpr int KnownModelCount = 4;
// nullptr for a code outside 0..3.
const ModelInfo* FindModel(int code);

constexpr int16_t ChannelCount = 16;
constexpr int16_t WordSlots = 128;
// Words 16 + 3c .. 18 + 3c hold channel c; the words before them are the
// image's header (identification, model, reference divider).
constexpr int FirstChannelWord = 16;
constexpr int WordsPerChannel = 3;
constexpr int ChannelWord(int ch) { return FirstChannelWord + WordsPerChannel * ch; }
// Words exchanged with the radio and stored in files (TotalEEWords).
constexpr int16_t RadioEEWords = 64;
// Word 0 of an initialised radio; reading refuses any other value there.
constexpr int32_t InitialisedEepromID = 0xC500;
// The reference-divider words (words 8 and 9) of every model: dividers for
// the 5 kHz and the 6.25 kHz step from 12.8 MHz, shifted left, low bit set.
constexpr int32_t DefaultVCORef1 = 0x1401;
constexpr int32_t DefaultVCORef2 = 0x1001;

class ClassKqSerial {
public:
    ClassKqSerial();

    double ReferOSC() const { return m_ReferOSC; }
    void ReferOSC(double v) { m_ReferOSC = v; }
    double RFIF() const { return m_RFIF; }
    void RFIF(double v) { m_RFIF = v; }
    int32_t PLLScaler() const { return m_PLLScaler; }
    void PLLScaler(int32_t v) { m_PLLScaler = v; }
    int32_t EepromID() const { return m_EepromID; }
    void EepromID(int32_t v) { m_EepromID = v; }
    // Plain storage: setting the code does not apply the model table.
    uint8_t Model() const { return m_Model; }
    void Model(uint8_t v) { m_Model = v; }
    // Sets name, oscillator, IF and scaler from the model table for the
    // current code; an unknown code leaves them as they are.
    void ApplyModelTable();
    const std::string& ModelName() const { return m_ModelName; }
    void ModelName(const std::string& v) { m_ModelName = v; }
    int32_t VCORef1() const { return m_VCORef1; }
    void VCORef1(int32_t v) { m_VCORef1 = v; }
    int32_t VCORef2() const { return m_VCORef2; }
    void VCORef2(int32_t v) { m_VCORef2 = v; }

    double RxFreq(int16_t ch) const { return channel(ch).RxFreq; }
    void RxFreq(int16_t ch, double v) { channel(ch).RxFreq = v; }
    double TxFreq(int16_t ch) const { return channel(ch).TxFreq; }
    void TxFreq(int16_t ch, double v) { channel(ch).TxFreq = v; }
    int32_t RFPower(int16_t ch) const { return channel(ch).RFPower; }
    void RFPower(int16_t ch, int32_t v) { channel(ch).RFPower = v; }
    int32_t RxCHSpace(int16_t ch) const { return channel(ch).RxCHSpace; }
    void RxCHSpace(int16_t ch, int32_t v) { channel(ch).RxCHSpace = v; }
    int32_t TxCHSpace(int16_t ch) const { return channel(ch).TxCHSpace; }
    void TxCHSpace(int16_t ch, int32_t v) { channel(ch).TxCHSpace = v; }

    // One slot of the word image, stored and returned unchanged.
    int32_t EEWord(int16_t addr) const { return m_Words[wordIndex(addr)]; }
    void EEWord(int16_t addr, int32_t v) { m_Words[wordIndex(addr)] = v; }

    // Kept as a byte count in 16 bits, so values beyond +-16383 overflow.
    int16_t TotalEEWords() const { return static_cast<int16_t>(m_TotalEEBytes / 2); }
    // Takes a wider value so that a caller's out-of-range count is refused
    // here rather than silently truncated.
    void TotalEEWords(int32_t words);

    // Parameters to words. Throws OverflowError (a byte out of 0..255 or a
    // negative transmit frequency) or DivisionByZero (PLLScaler 0); the header
    // words and the channels before the failing one are already rewritten.
    void Para_to_EEWord();
    // Words to parameters. Throws OverflowError when word 1 does not hold a
    // 16-bit value; the channel records are then already cleared.
    void EEWord_to_Para();

    void DeleteOneChannel(int16_t ch) { channel(ch) = ChannelPara{}; }

    // The whole record, for callers that move channels about (clipboard).
    const ChannelPara& Channel(int16_t ch) const { return channel(ch); }

private:
    ChannelPara& channel(int16_t ch);
    const ChannelPara& channel(int16_t ch) const;
    static std::size_t wordIndex(int16_t addr);

    int32_t m_EepromID = InitialisedEepromID;
    uint8_t m_Model = 0;
    std::string m_ModelName;
    int32_t m_VCORef1 = DefaultVCORef1;
    int32_t m_VCORef2 = DefaultVCORef2;
    std::array<ChannelPara, ChannelCount> m_Channels{};
    std::array<int32_t, WordSlots> m_Words{};
    double m_ReferOSC = 12.8;
    double m_RFIF = 45.0;
    int32_t m_PLLScaler = 64;
    int16_t m_TotalEEBytes = RadioEEWords * 2;
};

// Nearest integer, halves to the even neighbour. Throws OverflowError for
// values that are not finite or too large to count exactly.
int64_t RoundHalfEven(double v);

} // namespace kq
