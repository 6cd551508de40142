#include "ClassKQxx53.h"

namespace kq {

ClassKQxx53::ClassKQxx53() {
    m_Image.Model(DefaultModel);
    m_Image.ApplyModelTable();
    m_Image.EepromID(InitialisedEepromID);
    m_Image.VCORef1(DefaultVCORef1);
    m_Image.VCORef2(DefaultVCORef2);
    for (int16_t ch = FirstCHNumber(); ch <= LastCHNumber(); ++ch) m_Image.DeleteOneChannel(ch);
    NowCHNum = 1;
}

bool ClassKQxx53::IsGridFreq(double f) {
    if (!(f >= 100.0) || f >= 1000.0) return false; // also refuses NaN
    const double k = f * 1000.0;
    const int64_t a = RoundHalfEven(k * 100.0) % 625;
    const int64_t b = RoundHalfEven(k) % 5;
    return a == 0 || b == 0;
}

ClassKQxx53 DecodeWords(ClassKQxx53 base, const std::vector<int32_t>& words) {
    for (std::size_t k = 0; k < words.size(); ++k) base.EEWord(static_cast<int16_t>(k), words[k]);
    base.EEWord_to_Para();
    return base;
}

} // namespace kq
