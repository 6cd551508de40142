#include "ChannelClipboard.h"

#include <algorithm>

namespace kq {

namespace {
std::vector<int16_t> sortedRows(std::vector<int16_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
} // namespace

void ChannelClipboard::CopyChannels(const ClassKQxx53& dev, std::vector<int16_t> rows) {
    rows = sortedRows(std::move(rows));
    if (rows.empty()) return;
    std::vector<ChannelPara> copied;
    for (int16_t ch : rows) copied.push_back(dev.Channel(ch)); // throws before any change
    m_Entries = std::move(copied);
}

void ChannelClipboard::CutChannels(ClassKQxx53& dev, std::vector<int16_t> rows) {
    rows = sortedRows(std::move(rows));
    CopyChannels(dev, rows);
    for (int16_t ch : rows) dev.DeleteOneChannel(ch);
}

bool ChannelClipboard::PasteChannels(ClassKQxx53& dev, int16_t firstRow) const {
    if (m_Entries.empty() || firstRow < 0) return false;
    int16_t ch = firstRow;
    for (const ChannelPara& p : m_Entries) {
        if (ch > ClassKQxx53::LastCHNumber()) break;
        dev.TheRxFreq(ch, p.RxFreq);
        dev.TheTxFreq(ch, p.TxFreq);
        dev.TheRFPower(ch, p.RFPower);
        dev.TheRxCHSpace(ch, p.RxCHSpace);
        dev.TheTxCHSpace(ch, p.TxCHSpace);
        ++ch;
    }
    return true;
}

void ChannelClipboard::DeleteChannels(ClassKQxx53& dev, const std::vector<int16_t>& rows) {
    for (int16_t ch : sortedRows(rows)) dev.DeleteOneChannel(ch);
}

} // namespace kq
