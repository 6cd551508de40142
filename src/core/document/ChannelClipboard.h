// The channel clipboard that all channel table windows share, and the four
// edit commands on it. Rows are channel numbers; the desktop clipboard is
// not used.
#pragma once

#include "ClassKQxx53.h"

#include <vector>

namespace kq {

class ChannelClipboard {
public:
    bool Empty() const { return m_Entries.empty(); }
    const std::vector<ChannelPara>& Entries() const { return m_Entries; }

    // COPY: with at least one selected row, the clipboard becomes those
    // channels, lowest first; with none it keeps what it held.
    void CopyChannels(const ClassKQxx53& dev, std::vector<int16_t> rows);
    // CUT: as COPY, and each copied channel is cleared.
    void CutChannels(ClassKQxx53& dev, std::vector<int16_t> rows);
    // PASTE: the entries go into consecutive channels from firstRow on;
    // those beyond the last channel are dropped. Returns false when nothing
    // was pasted (empty clipboard or no row).
    bool PasteChannels(ClassKQxx53& dev, int16_t firstRow) const;
    // DELETE: clears the selected channels; the clipboard is untouched.
    static void DeleteChannels(ClassKQxx53& dev, const std::vector<int16_t>& rows);

private:
    std::vector<ChannelPara> m_Entries;
};

} // namespace kq
