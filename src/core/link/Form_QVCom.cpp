#include "Form_QVCom.h"

#include "ClassKqSerial.h"
#include "KqFrames.h"
#include "MessageQuote.h"

#include <algorithm>

namespace kq {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Four hex digits and a CR at the start of answer.
bool IsWordAnswer(const std::string& answer) {
    return answer.size() >= 5 && IsHexDigit(answer[0]) && IsHexDigit(answer[1]) &&
           IsHexDigit(answer[2]) && IsHexDigit(answer[3]) && answer[4] == '\r';
}

// Whether got can still grow into frame's echo and, for a read, four hex
// digits, CR and an optional LF.
bool CouldBeReply(const std::string& got, const std::string& frame, bool isRead) {
    for (size_t i = 0; i < got.size(); ++i) {
        const char c = got[i];
        const bool ok = i < frame.size() ? c == frame[i]
                        : !isRead        ? false
                        : i < 11         ? IsHexDigit(c)
                        : i == 11        ? c == '\r'
                                         : i == 12 && c == '\n';
        if (!ok) return false;
    }
    return true;
}

// What came back, quoted for a message, control characters escaped.
std::string Shown(const std::string& b) { return QuoteForMessage(b, b.size()); }

} // namespace

Form_QVCom::Form_QVCom(SerialLine& line, TimeSource& time, const LinkSettings& settings)
    : m_Line(line), m_Clock(time, LinkTime(static_cast<long long>(settings.tickMs) * 1000)),
      m_Settings(settings) {
    Search();
}

Form_QVCom::~Form_QVCom() { m_Line.Close(); }

std::string Form_QVCom::Device(int port) const {
    if (port < 1 || port > 4 || static_cast<size_t>(port) > m_Settings.ports.size()) return {};
    return m_Settings.ports[static_cast<size_t>(port) - 1];
}

std::string Form_QVCom::ActDevice() const { return Device(m_ActPort); }

std::string Form_QVCom::PortProblem() const {
    // A port the search could not open matters only when no radio answered.
    const std::string p = m_Line.Problem();
    return !p.empty() ? p : m_ActPort == 0 ? m_SearchProblem : std::string();
}

void Form_QVCom::Search() {
    m_ActPort = 0;
    for (int n = 4; n >= 1; --n) {
        const std::string device = Device(n);
        if (device.empty()) continue;
        if (m_Line.Open(device) != SerialLine::OpenResult::Ok) {
            if (m_SearchProblem.empty()) m_SearchProblem = m_Line.Problem();
            continue;
        }
        m_Line.Read();
        m_Line.Write("\r");
        m_Clock.Delay(2);
        m_Line.Read();
        m_Line.Read();
        m_Line.Write("\r");
        m_Clock.Delay(2);
        if (m_Line.Read() == "\r") m_ActPort = n;
        m_Line.Close();
    }
}

bool Form_QVCom::InitActPort() {
    m_Line.Close();
    m_Rx.clear();
    m_Ahead = -1;
    m_LastRead = -2;
    if (m_ActPort == 0 || m_Line.Open(ActDevice()) != SerialLine::OpenResult::Ok) return false;
    m_Line.Read();
    m_Line.Write("\r");
    if (Fast()) {
        // Done once the probe's CR is back and the line is quiet; anything
        // later shows at the first exchange as a surprise.
        std::string got;
        if (Collect("\r", false, m_Clock.Now(), got, -1)) {
            m_Clock.SleepUntil(m_Clock.Now() + 2 * kCharTime);
            if (m_Rx.empty() && m_Line.InBufferCount() == 0) return true;
        }
    }
    m_Clock.Delay(4);
    m_Line.Read();
    return true;
}

void Form_QVCom::FallBack(const std::string& why) {
    if (m_Surprise.empty()) m_Surprise = why.empty() ? "fell back to the default pacing" : why;
}

void Form_QVCom::PacedWrite(const std::string& frame) {
    m_Line.Write(frame);
    m_Clock.Delay(2);
    m_Line.Read(7);
}

int Form_QVCom::PacedRead(short addr, int answerTicks, std::string* drop, std::string* answer) {
    m_Line.Write(ReadFrame(addr));
    m_Clock.Delay(2);
    const std::string d = m_Line.Read(7);
    if (drop) *drop = d;
    const LinkTime deadline = m_Clock.TicksFromNow(answerTicks);
    for (;;) {
        // The time-out test comes first: an answer completed on the last
        // tick is too late.
        if (m_Clock.Now() >= deadline) return -1;
        if (m_Line.InBufferCount() >= 5) break;
        if (m_Line.Failed()) return -1;
        m_Line.WaitInput(deadline);
    }
    const std::string a = m_Line.Read(7);
    if (answer) *answer = a;
    return ParseWordReply(a);
}

int Form_QVCom::CheckedRead(short addr) {
    const std::string frame = ReadFrame(addr);
    for (int attempt = 0; attempt < 3 && !m_Line.Failed(); ++attempt) {
        if (attempt > 0) Drain();
        // Sent on a tick, and twice the answer window: every answer the
        // pacing could take at any moment comes in time.
        m_Clock.Delay(1);
        std::string drop, answer;
        const int w = PacedRead(addr, 4, &drop, &answer);
        if (w >= 0 && drop == frame && IsWordAnswer(answer)) return w;
    }
    return -1;
}

void Form_QVCom::Drain() {
    m_Rx.clear();
    m_Ahead = -1;
    // Quiet for two ticks, or give up after a second of chatter: the
    // checked exchange that follows copes with what is left.
    const LinkTime giveUp = m_Clock.Now() + LinkTime(1000000);
    while (!m_Line.Failed() && m_Clock.Now() < giveUp) {
        m_Line.Read();
        const LinkTime quietUntil = m_Clock.Now() + 2 * m_Clock.Tick();
        while (m_Clock.Now() < quietUntil && m_Line.InBufferCount() == 0 && !m_Line.Failed())
            m_Line.WaitInput(quietUntil);
        if (m_Line.InBufferCount() == 0) return;
    }
}

bool Form_QVCom::LineClear() {
    m_Early = m_Rx + (m_Line.InBufferCount() ? m_Line.Read() : std::string());
    m_Rx.clear();
    return m_Early.empty() || m_Early == "\n";
}

bool Form_QVCom::Collect(const std::string& frame, bool isRead, LinkTime sent, std::string& got,
                         short ahead) {
    const size_t want = isRead ? 12 : frame.size();
    // A read waits as long as the paced exchange's answer window could last.
    const LinkTime deadline = sent + (isRead ? 4 : 2) * m_Clock.Tick();
    got.clear();
    for (;;) {
        m_Rx += m_Line.Read();
        // The LF of the previous answer's CR LF comes after its CR.
        if (got.empty() && !m_Rx.empty() && m_Rx[0] == '\n') m_Rx.erase(0, 1);
        const size_t take = std::min(want - got.size(), m_Rx.size());
        got += m_Rx.substr(0, take);
        m_Rx.erase(0, take);
        if (!CouldBeReply(got, frame, isRead)) return false;
        if (ahead >= 0 && got.size() >= 7 && m_Ahead < 0) {
            // The echo is in: the next read frame goes out while the answer
            // comes back.
            m_Line.Write(ReadFrame(ahead));
            m_Ahead = ahead;
            m_AheadAt = m_Clock.Now();
        }
        if (got.size() == want) return true;
        if (m_Clock.Now() >= deadline || m_Line.Failed()) return false;
        m_Line.WaitInput(deadline);
    }
}

std::string Form_QVCom::WhyNotTaken(bool settled, bool clear, const std::string& otherwise) const {
    return !settled ? m_Early : !clear ? Shown(m_Early) + " waiting before the frame" : otherwise;
}

bool Form_QVCom::SettleAhead() {
    if (m_Ahead < 0) return true;
    const short addr = m_Ahead;
    m_Ahead = -1;
    std::string got;
    if (Collect(ReadFrame(addr), true, m_AheadAt, got, -1)) return true;
    m_Early =
        "reply " + Shown(got) + " to the read of word " + std::to_string(addr) + " sent ahead";
    return false;
}

void Form_QVCom::WriteByte(int NewEEdata, short NewEEaddr) {
    const std::string frame = WriteFrame(NewEEdata, NewEEaddr);
    m_LastRead = -2;
    if (!Fast()) {
        if (m_Ahead >= 0 || !m_Rx.empty()) Drain();
        // After a fall-back, sent on a tick: the most time the pacing ever
        // gives the radio to program the word.
        if (m_Settings.fast) m_Clock.Delay(1);
        PacedWrite(frame);
        return;
    }
    std::string echo;
    const bool settled = SettleAhead();
    const bool clear = settled && LineClear();
    if (clear) m_Line.Write(frame);
    if (clear && Collect(frame, false, m_Clock.Now(), echo, -1)) {
        // The radio programs the word now and would lose what we send.
        m_Clock.SleepUntil(m_Clock.Now() + LinkTime(m_Settings.eepromMs * 1000LL));
        return;
    }
    if (m_Line.Failed()) return;
    FallBack("write of word " + std::to_string(NewEEaddr) + ": " +
             WhyNotTaken(settled, clear, "echo " + Shown(echo) + " instead of " + Shown(frame)));
    Drain();
    m_Clock.Delay(1);
    PacedWrite(frame);
}

int Form_QVCom::ReadByte(short NewEEaddr) {
    if (!m_Settings.fast) return PacedRead(NewEEaddr, 2);
    if (!Fast()) {
        if (m_Ahead >= 0 || !m_Rx.empty()) Drain();
        return CheckedRead(NewEEaddr);
    }
    const std::string frame = ReadFrame(NewEEaddr);
    bool settled = true, clear = true;
    // The answer may take as long as the paced exchange would give it from
    // now, also when the frame went out ahead.
    const LinkTime sent = m_Clock.Now();
    if (m_Ahead == NewEEaddr) {
        m_Ahead = -1; // its frame is out already
    } else {
        settled = SettleAhead();
        clear = settled && LineClear();
        if (clear) m_Line.Write(frame);
    }
    // Words read in a row: the next one is asked for while this one's
    // answer comes in.
    const short ahead =
        m_LastRead == NewEEaddr - 1 && NewEEaddr + 1 < RadioEEWords ? NewEEaddr + 1 : -1;
    m_LastRead = NewEEaddr;
    std::string got;
    if (clear && Collect(frame, true, sent, got, ahead)) return ParseWordReply(got.substr(7));
    if (m_Line.Failed()) return -1;
    FallBack("read of word " + std::to_string(NewEEaddr) + ": " +
             WhyNotTaken(settled, clear,
                         "answer " + Shown(got) + " is not the echo, four hex digits and CR"));
    Drain();
    return CheckedRead(NewEEaddr);
}

} // namespace kq
