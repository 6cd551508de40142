// The device object the rest of the program works with: one device image
// plus a current channel, the channel numbering and the frequency checks.
#pragma once

#include "ClassKqSerial.h"

#include <string>
#include <vector>

namespace kq {

// A new device is this model ("KQ-0453", IF -45 MHz).
constexpr uint8_t DefaultModel = 2;

class ClassKQxx53 {
public:
    ClassKQxx53();

    double HiLimFQ() const { return m_HiLimFQ; }
    double LowLimFQ() const { return m_LowLimFQ; }

    uint8_t Model() const { return m_Image.Model(); }
    void Model(uint8_t v) { m_Image.Model(v); }
    void ApplyModelTable() { m_Image.ApplyModelTable(); }
    const std::string& ModelName() const { return m_Image.ModelName(); }
    void ModelName(const std::string& v) { m_Image.ModelName(v); }
    double ReferOSC() const { return m_Image.ReferOSC(); }
    void ReferOSC(double v) { m_Image.ReferOSC(v); }
    double RFIF() const { return m_Image.RFIF(); }
    void RFIF(double v) { m_Image.RFIF(v); }
    int32_t PLLScaler() const { return m_Image.PLLScaler(); }
    void PLLScaler(int32_t v) { m_Image.PLLScaler(v); }

    // One channel's fields; the current channel is the caller's to name.
    double TheRxFreq(int16_t ch) const { return m_Image.RxFreq(ch); }
    void TheRxFreq(int16_t ch, double v) { m_Image.RxFreq(ch, v); }
    double TheTxFreq(int16_t ch) const { return m_Image.TxFreq(ch); }
    void TheTxFreq(int16_t ch, double v) { m_Image.TxFreq(ch, v); }
    int32_t TheRFPower(int16_t ch) const { return m_Image.RFPower(ch); }
    void TheRFPower(int16_t ch, int32_t v) { m_Image.RFPower(ch, v); }
    int32_t TheRxCHSpace(int16_t ch) const { return m_Image.RxCHSpace(ch); }
    void TheRxCHSpace(int16_t ch, int32_t v) { m_Image.RxCHSpace(ch, v); }
    int32_t TheTxCHSpace(int16_t ch) const { return m_Image.TxCHSpace(ch); }
    void TheTxCHSpace(int16_t ch, int32_t v) { m_Image.TxCHSpace(ch, v); }

    static bool IsValidCH(int16_t ch) { return ch >= FirstCHNumber() && ch <= LastCHNumber(); }
    static constexpr int16_t FirstCHNumber() { return 0; }
    static constexpr int16_t LastCHNumber() { return ChannelCount - 1; }

    int16_t TotalEEWords() const { return m_Image.TotalEEWords(); }
    void TotalEEWords(int32_t v) { m_Image.TotalEEWords(v); }
    int32_t EEWord(int16_t addr) const { return m_Image.EEWord(addr); }
    void EEWord(int16_t addr, int32_t v) { m_Image.EEWord(addr, v); }

    void Para_to_EEWord() { m_Image.Para_to_EEWord(); }
    void EEWord_to_Para() { m_Image.EEWord_to_Para(); }

    static std::string DeviceModel() { return "KQ Serial"; }

    // Band limits are deliberately not applied: any model's grid frequency
    // in [100, 1000) MHz is accepted.
    static bool IsRxFreq(double f) { return IsGridFreq(f); }
    static bool IsTxFreq(double f) { return IsGridFreq(f); }

    void DeleteOneChannel(int16_t ch) { m_Image.DeleteOneChannel(ch); }

    const ChannelPara& Channel(int16_t ch) const { return m_Image.Channel(ch); }

    // Plain field; out-of-range values fail only when used.
    int16_t NowCHNum = 1;

    // Everything of from but the current channel, which stays this one's:
    // a table replaced (undo, an import) leaves the user on the same row.
    void TakeTable(const ClassKQxx53& from) {
        const int16_t now = NowCHNum;
        *this = from;
        NowCHNum = now;
    }

private:
    static bool IsGridFreq(double f);

    ClassKqSerial m_Image;
    double m_HiLimFQ = 175.0;
    double m_LowLimFQ = 134.0;
};

// base with its first words replaced by these and its table decoded from
// them: the words a file or a radio gave. Throws as EEWord_to_Para does;
// base is a copy, so a refused image changes no caller's device.
ClassKQxx53 DecodeWords(ClassKQxx53 base, const std::vector<int32_t>& words);

} // namespace kq
