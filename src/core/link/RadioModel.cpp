#include "RadioModel.h"

#include "KqFrames.h"

#include <algorithm>
#include <cctype>

namespace kq {

namespace {

int HexValue(const std::string& s, size_t from, size_t n) {
    int v = 0;
    for (size_t i = from; i < from + n && i < s.size(); ++i)
        v = v * 16 + HexDigitValue(s.substr(i, 1));
    return v;
}
} // namespace

RadioModel::RadioModel(RadioBehaviour behaviour, std::vector<int> words)
    : m_B(std::move(behaviour)), m_Words(std::move(words)) {
    if (m_Words.empty()) m_Words.assign(64, 0);
}

bool RadioModel::Fault(int word, WordFault::Kind kind, WordFault* out) {
    for (auto it = m_B.faults.begin(); it != m_B.faults.end(); ++it) {
        if ((it->word != word && it->word != WordFault::kEveryWord) || it->kind != kind) continue;
        if (out) *out = *it;
        if (!it->always) m_B.faults.erase(it);
        return true;
    }
    return false;
}

LinkTime RadioModel::Send(const std::string& s, LinkTime start) {
    LinkTime t = std::max(start, m_LineFree);
    for (char c : s) {
        if (m_B.paceOutput) t += kCharTime;
        LinkTime release = t;
        if (m_B.latencyMs > 0) {
            // A USB adapter hands over what it has at the end of each period.
            const LinkTime period = Millis(m_B.latencyMs);
            release = period * ((t.count() + period.count() - 1) / period.count());
        }
        if (!m_Out.empty()) release = std::max(release, m_Out.back().second);
        m_Out.emplace_back(c, release);
    }
    m_LineFree = t;
    return t;
}

std::string RadioModel::TakeDue(LinkTime now) {
    std::string s;
    while (!m_Out.empty() && m_Out.front().second <= now) {
        if (m_Plugged) s += m_Out.front().first;
        m_Out.pop_front();
    }
    return s;
}

LinkTime RadioModel::NextDue() const {
    return m_Out.empty() ? LinkTime::max() : m_Out.front().second;
}

void RadioModel::Receive(char c, LinkTime at) {
    // The line brings the computer's characters one by one.
    if (m_B.paceInput) at = std::max(at, m_LastIn + kCharTime);
    const bool afterSilence = at - m_LastIn > Millis(400);
    m_LastIn = at;
    if (at < m_BusyUntil) return; // programming the EEPROM: the character is lost
    if (!m_Plugged) {
        m_Frame.clear(); // nothing reaches the radio
        return;
    }
    const bool probe = c == '\r' && m_Frame.empty();
    if (m_B.echoPerChar && !m_B.noEcho && !(probe && m_B.noProbe)) Send(std::string(1, c), at);
    m_Frame += c;
    if (c != '\r' && m_Frame.size() < 16) return;
    Frame(at, afterSilence);
    m_Frame.clear();
}

void RadioModel::Frame(LinkTime at, bool afterSilence) {
    m_Frames.push_back(m_Frame);
    const bool framesEchoed = !m_B.echoPerChar && !m_B.noEcho;
    if (m_Frame == "\r") {
        if (m_B.noProbe) return;
        // With a per-character echo the echo is the answer.
        const LinkTime answered =
            m_B.echoPerChar && !m_B.noEcho ? Send("", at) : Send(m_B.probeAnswer, at);
        if (!m_B.probeExtra.empty() && afterSilence) Send(m_B.probeExtra, answered + Millis(5));
        return;
    }
    if (m_Frame.size() != kFrameChars) return;
    const int addr = HexValue(m_Frame, 0, 2) % static_cast<int>(m_Words.size());
    const bool isRead = m_Frame.compare(2, 4, "00MD") == 0;
    if (isRead && Fault(addr, WordFault::Kind::Silent)) return;
    WordFault f;
    const LinkTime start = at + (isRead && Fault(addr, WordFault::Kind::LateEcho, &f) ? Millis(f.ms) : LinkTime(0));
    if (!isRead) {
        if (framesEchoed) Send(m_Frame, start);
        if (!Fault(addr, WordFault::Kind::LostWrite))
            m_Words[static_cast<size_t>(addr)] = HexValue(m_Frame, 2, 4);
        m_BusyUntil = at + Millis(m_B.eepromMs);
        return;
    }
    int w = m_Words[static_cast<size_t>(addr)];
    if (Fault(addr, WordFault::Kind::Wrong)) w ^= 0x0001;
    std::string answer = WriteFrame(w, 0).substr(2, 4);
    if (Fault(addr, WordFault::Kind::LowerCase))
        for (char& ch : answer)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    answer += Fault(addr, WordFault::Kind::CrLf) ? "\r\n" : "\r";
    if (Fault(addr, WordFault::Kind::Cut, &f)) answer.resize(std::min(answer.size(), size_t(f.ms)));
    if (Fault(addr, WordFault::Kind::Extra, &f)) answer += f.text.empty() ? "KQ" : f.text;
    std::string reply = framesEchoed ? m_Frame : std::string();
    const int late = Fault(addr, WordFault::Kind::Late, &f) ? f.ms : 0;
    if (Fault(addr, WordFault::Kind::Noise, &f)) {
        // Noise on the line: it lands among the characters wherever it falls.
        std::string all = reply + answer;
        all.insert(std::min(all.size(), size_t(f.ms)), f.text.empty() ? "~" : f.text);
        Send(all, start);
        return;
    }
    if (!reply.empty()) Send(reply, start);
    Send(answer, std::max(start, m_LineFree) + Millis(m_B.answerDelayMs + late));
}

} // namespace kq
