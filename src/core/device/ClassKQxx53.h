// The device object the rest of the program works with: one device image
// plus a current channel, the channel numbering and the frequency checks.
#pragma once

#include "ClassKqSerial.h"

#include <string>

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

    // Current channel (NowCHNum).
    double RxFreq() const { return m_Image.RxFreq(NowCHNum); }
    void RxFreq(double v) { m_Image.RxFreq(NowCHNum, v); }
    double TxFreq() const { return m_Image.TxFreq(NowCHNum); }
    void TxFreq(double v) { m_Image.TxFreq(NowCHNum, v); }
    int32_t RFPower() const { return m_Image.RFPower(NowCHNum); }
    void RFPower(int32_t v) { m_Image.RFPower(NowCHNum, v); }
    int32_t RxCHSpace() const { return m_Image.RxCHSpace(NowCHNum); }
    void RxCHSpace(int32_t v) { m_Image.RxCHSpace(NowCHNum, v); }
    int32_t TxCHSpace() const { return m_Image.TxCHSpace(NowCHNum); }
    void TxCHSpace(int32_t v) { m_Image.TxCHSpace(NowCHNum, v); }

    // Any channel.
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

private:
    static bool IsGridFreq(double f);

    ClassKqSerial m_Image;
    double m_HiLimFQ = 175.0;
    double m_LowLimFQ = 134.0;
};

} // namespace kq
