#include "Form_QVCom.h"

#include "ClassKqSerial.h"
#include "MessageQuote.h"

#include <algorithm>

namespace kq {

namespace {

// What came back, quoted for a message, control characters escaped.
std::string Shown(const std::string& b) { return QuoteForMessage(b, b.size()); }

// A burst of chatter longer than this is left to the exchange that follows.
constexpr LinkTime kDrainGivesUp = Millis(2000);

} // namespace

Form_QVCom::Form_QVCom(SerialLine& line, TimeSource& time, const LinkSettings& settings)
    : m_Line(line), m_Clock(time, settings.Tick()),
      m_Settings(settings) {
    m_LastRx = m_Clock.Now();
    Search();
}

Form_QVCom::~Form_QVCom() { m_Line.Close(); }

std::string Form_QVCom::Device(int port) const {
    if (port < 1 || port > 4 || static_cast<size_t>(port) > m_Settings.ports.size()) return {};
    return m_Settings.ports[static_cast<size_t>(port) - 1];
}

std::string Form_QVCom::ActDevice() const { return Device(m_ActPort); }

std::string Form_QVCom::PortProblem() const {
    const std::string p = m_Line.Problem();
    if (!p.empty() || m_ActPort != 0) return p;
    // No radio answered: every port that could not be used, in port order.
    std::string all;
    for (const std::string& problem : m_SearchProblems)
        if (!problem.empty()) all += (all.empty() ? "" : "; ") + problem;
    return all;
}

LinkTime Form_QVCom::Window(int level) const {
    // The protocol's read: 2 ticks to the drop and 2 for the answer.
    return 4 * m_Clock.Tick() * (1 << level);
}

std::string Form_QVCom::Read() {
    std::string s = m_Line.Read();
    if (!s.empty()) m_LastRx = m_Clock.Now();
    return s;
}

void Form_QVCom::Search() {
    m_ActPort = 0;
    m_SearchProblems.assign(kComPortCount, std::string());
    for (int n = kComPortCount; n >= 1; --n) {
        const std::string device = Device(n);
        if (device.empty()) continue;
        const SerialLine::OpenResult opened = m_Line.Open(device);
        if (opened != SerialLine::OpenResult::Ok) {
            m_SearchProblems[static_cast<size_t>(n) - 1] = m_Line.Problem();
            m_SearchBusy |= opened == SerialLine::OpenResult::Busy;
            continue;
        }
        if (Probe()) m_ActPort = n;
        m_Line.Close();
    }
}

bool Form_QVCom::Probe() {
    m_LfOwed = false;
    Read();
    m_Line.Write("\r");
    m_Clock.Delay(2);
    Read();
    Read();
    m_Line.Write("\r");
    m_Clock.Delay(2);
    std::string got = Read();
    if (got == "\r") return true;
    // Late or odd: the same probe alone, on a quiet line, with a wider
    // window each time, before the port is passed over.
    bool late = got.empty();
    for (int level = 1; level <= kRepeats && !m_Line.Failed(); ++level) {
        const LinkTime window = Window(level) / 2;
        Drain(window);
        m_Clock.Delay(1);
        m_Line.Write("\r");
        const LinkTime deadline = m_Clock.Now() + window;
        // The whole window: a second character after the CR makes it odd.
        got.clear();
        while (m_Clock.Now() < deadline && got.size() < 2 && !m_Line.Failed()) {
            m_Line.WaitInput(deadline);
            got += Read();
        }
        if (got == "\r") {
            if (late) m_Level = std::max(m_Level, level);
            return true;
        }
        late |= got.empty();
    }
    return false;
}

bool Form_QVCom::InitActPort() {
    m_Line.Close();
    m_Rx.clear();
    m_Ahead.reset();
    m_LastRead.reset();
    m_LfOwed = false;
    if (m_ActPort == 0 || m_Line.Open(ActDevice()) != SerialLine::OpenResult::Ok) return false;
    Read();
    m_Line.Write("\r");
    if (Fast()) {
        // Done once the probe's CR is back and the line is quiet; anything
        // later shows at the first exchange as a surprise.
        std::string got;
        int unused = -1;
        if (Collect("\r", false, m_Clock.Now(), got, std::nullopt, unused)) {
            m_Clock.SleepUntil(m_Clock.Now() + 2 * kCharTime);
            if (m_Rx.empty() && m_Line.InBufferCount() == 0) return true;
        }
    }
    m_Clock.Delay(4);
    Read();
    // A slow line's answer to the probe may still be on its way.
    if (m_Level > 0) Drain(Window(m_Level) / 2);
    return true;
}

void Form_QVCom::FallBack(const std::string& why) {
    m_Doubt = true;
    if (m_Surprise.empty()) m_Surprise = why.empty() ? "fell back to the default pacing" : why;
}

void Form_QVCom::DropOwedLf(std::string& first) {
    // The LF of the last answer's CR LF may come after its CR was taken.
    if (!m_LfOwed || first.empty()) return;
    if (first[0] == '\n') first.erase(0, 1);
    m_LfOwed = false;
}

bool Form_QVCom::LineClear(std::string& waiting) {
    waiting = m_Rx + Read();
    m_Rx.clear();
    DropOwedLf(waiting);
    return waiting.empty();
}

Echo Form_QVCom::Expected() const {
    // Once an answer was late or odd, only the echo ties an answer to its
    // frame: a line not yet known to lack one must show it.
    return m_Echo == Echo::Unknown && m_Doubt ? Echo::Present : m_Echo;
}

bool Form_QVCom::Taken(const ReplyCheck& c, const std::string& frame) {
    if (m_Echo == Echo::Unknown && frame != "\r") {
        // The first answer decides whether the line echoes (a probe's CR
        // tells nothing). Four digits and a CR without an echo must be all
        // that comes: noise in an echo's "AA00" would look the same, and
        // the rest of the echo would follow.
        if (!c.echoed && !QuietFor(Window(m_Level), c.lfMayFollow)) return false;
        m_Echo = c.echoed ? Echo::Present : Echo::Absent;
    }
    m_LfOwed = c.lfMayFollow;
    return true;
}

bool Form_QVCom::QuietFor(LinkTime span, bool lfMayFollow) {
    if (!m_Rx.empty()) return false;
    const LinkTime until = m_Clock.Now() + span;
    std::string came;
    while (m_Clock.Now() < until && !m_Line.Failed()) {
        m_Line.WaitInput(until);
        came += Read();
        if (came == "\n" && lfMayFollow) {
            came.clear();
            lfMayFollow = false;
        }
        if (!came.empty()) {
            m_Rx += came; // seen by the next exchange as waiting
            return false;
        }
    }
    return true;
}

Form_QVCom::Reply Form_QVCom::Exchange(const std::string& frame, bool isRead, int level,
                                       Echo echo) {
    Reply r;
    if (!LineClear(r.got)) {
        r.kind = Reply::Odd; // a late answer or noise: this frame's reply could not be told apart
        return r;
    }
    const auto more = [&] {
        std::string s = Read();
        DropOwedLf(s);
        r.got += s;
    };
    const auto ended = [&](Reply::Kind kind) {
        r.kind = kind == Reply::Late && m_Line.Failed() ? Reply::Dead : kind;
        return r;
    };
    if (level == 0) {
        // The protocol's pacing: the drop 2 ticks after sending, then a
        // read's answer within 2 more.
        m_Line.Write(frame);
        m_Clock.Delay(2);
        more();
        const LinkTime deadline = m_Clock.TicksFromNow(2);
        for (;;) {
            const ReplyCheck c = CheckReply(r.got, frame, isRead, echo);
            if (c.state == ReplyCheck::Surprise) return ended(Reply::Odd);
            // The time-out test comes first: an answer completed on the
            // last tick is late. A write's echo is due at the drop.
            if (isRead && m_Clock.Now() >= deadline) return ended(Reply::Late);
            if (c.state == ReplyCheck::Complete) {
                if (!Taken(c, frame)) return ended(Reply::Odd);
                r.word = c.word;
                return ended(Reply::Taken);
            }
            if (!isRead || m_Line.Failed()) return ended(Reply::Late);
            m_Line.WaitInput(deadline);
            more();
        }
    }
    // Wider: sent on a tick, taken as soon as the reply is complete.
    m_Clock.Delay(1);
    const LinkTime sent = m_Clock.Now();
    m_Line.Write(frame);
    const LinkTime deadline = sent + Window(level);
    for (;;) {
        more();
        const ReplyCheck c = CheckReply(r.got, frame, isRead, echo);
        if (c.state == ReplyCheck::Surprise) return ended(Reply::Odd);
        if (c.state == ReplyCheck::Complete) {
            if (!Taken(c, frame)) return ended(Reply::Odd);
            r.word = c.word;
            // A written word is programmed now; what came during it is lost.
            if (!isRead)
                m_Clock.SleepUntil(
                    std::max(m_Clock.Now() + m_Settings.EepromHold(),
                             m_Clock.TickAfter(sent, 2)));
            return ended(Reply::Taken);
        }
        if (m_Line.Failed() || m_Clock.Now() >= deadline) return ended(Reply::Late);
        m_Line.WaitInput(deadline);
    }
}

Form_QVCom::Reply Form_QVCom::Ask(const std::string& frame, bool isRead) {
    Reply r;
    bool late = false;
    for (int attempt = 0;; ++attempt) {
        const int level = std::min(m_Level + attempt, kRepeats);
        r = Exchange(frame, isRead, level, Expected());
        if (r.kind == Reply::Taken) {
            if (attempt > 0) ++m_AskedAgain;
            // A slow line stays slow: later frames get this window at once.
            if (late) m_Level = std::max(m_Level, level);
            return r;
        }
        late |= r.kind == Reply::Late;
        m_Doubt = true;
        m_LastReply = Shown(r.got);
        if (r.kind == Reply::Dead || attempt == kRepeats || m_Line.Failed()) break;
        Drain(Window(std::min(level + 1, kRepeats)));
    }
    ++m_AskedAgain;
    return r;
}

void Form_QVCom::Drain(LinkTime quiet) {
    // Without an echo only time keeps a late answer from the next frame.
    if (m_Echo == Echo::Absent) quiet *= 4;
    m_Rx.clear();
    m_Ahead.reset();
    m_LfOwed = false;
    const LinkTime giveUp = m_Clock.Now() + kDrainGivesUp;
    for (;;) {
        Read();
        const LinkTime quietUntil = m_LastRx + quiet;
        if (m_Clock.Now() >= quietUntil || m_Clock.Now() >= giveUp || m_Line.Failed()) return;
        m_Line.WaitInput(std::min(quietUntil, giveUp));
    }
}

bool Form_QVCom::Collect(const std::string& frame, bool isRead, LinkTime sent, std::string& got,
                         std::optional<short> ahead, int& word) {
    // A read waits as long as the paced exchange's answer window could last.
    const LinkTime deadline = sent + (isRead ? 4 : 2) * m_Clock.Tick();
    got.clear();
    for (;;) {
        m_Rx += Read();
        DropOwedLf(m_Rx);
        // One character at a time: what follows the reply stays for the next.
        while (!m_Rx.empty()) {
            got += m_Rx[0];
            m_Rx.erase(0, 1);
            ReplyCheck c = CheckReply(got, frame, isRead, Expected());
            if (c.state == ReplyCheck::Surprise) return false;
            if (ahead && !m_Ahead && got == frame) {
                // The echo is in: the next read frame goes out while the
                // answer comes back.
                m_Line.Write(ReadFrame(*ahead));
                m_Ahead = ahead;
                m_AheadAt = m_Clock.Now();
            }
            if (c.state == ReplyCheck::Complete) {
                if (c.lfMayFollow && !m_Rx.empty() && m_Rx[0] == '\n') {
                    got += '\n';
                    m_Rx.erase(0, 1);
                    c.lfMayFollow = false;
                }
                word = c.word;
                return Taken(c, frame);
            }
        }
        if (m_Clock.Now() >= deadline || m_Line.Failed()) return false;
        m_Line.WaitInput(deadline);
    }
}

std::string Form_QVCom::WhyNotTaken(const std::string& otherwise) const {
    if (!m_AheadProblem.empty()) return m_AheadProblem;
    if (!m_Waiting.empty()) return Shown(m_Waiting) + " waiting before the frame";
    return otherwise;
}

bool Form_QVCom::SettleAhead() {
    if (!m_Ahead) return true;
    const short addr = *m_Ahead;
    m_Ahead.reset();
    std::string got;
    int unused = -1;
    if (Collect(ReadFrame(addr), true, m_AheadAt, got, std::nullopt, unused)) return true;
    m_AheadProblem =
        "reply " + Shown(got) + " to the read of word " + std::to_string(addr) + " sent ahead";
    return false;
}

void Form_QVCom::WriteByte(int NewEEdata, short NewEEaddr) {
    const std::string frame = WriteFrame(NewEEdata, NewEEaddr);
    m_LastRead.reset();
    if (!Fast()) {
        if (m_Ahead || !m_Rx.empty()) Drain(Window(m_Level));
        Ask(frame, false);
        return;
    }
    m_AheadProblem.clear();
    m_Waiting.clear();
    std::string echo;
    int unused = -1;
    const bool clear = SettleAhead() && LineClear(m_Waiting);
    if (clear) m_Line.Write(frame);
    if (clear && Collect(frame, false, m_Clock.Now(), echo, std::nullopt, unused)) {
        // The radio programs the word now and would lose what we send.
        m_Clock.SleepUntil(m_Clock.Now() + m_Settings.EepromHold());
        return;
    }
    if (m_Line.Failed()) return;
    FallBack("write of word " + std::to_string(NewEEaddr) + ": " +
             WhyNotTaken("echo " + Shown(echo) + " instead of " + Shown(frame)));
    Drain(Window(1));
    ++m_AskedAgain;
    Ask(frame, false);
}

int Form_QVCom::ReadByte(short NewEEaddr) {
    const std::string frame = ReadFrame(NewEEaddr);
    if (!Fast()) {
        if (m_Ahead || !m_Rx.empty()) Drain(Window(m_Level));
        const Reply r = Ask(frame, true);
        return r.kind == Reply::Taken ? r.word : -1;
    }
    m_AheadProblem.clear();
    m_Waiting.clear();
    bool clear = true;
    // The answer may take as long as the paced exchange would give it from
    // now, also when the frame went out ahead.
    const LinkTime sent = m_Clock.Now();
    if (m_Ahead == NewEEaddr) {
        m_Ahead.reset(); // its frame is out already
    } else {
        clear = SettleAhead() && LineClear(m_Waiting);
        if (clear) m_Line.Write(frame);
    }
    // Words read in a row on an echoing line: the next one is asked for
    // while this one's answer comes in.
    std::optional<short> ahead;
    if (m_LastRead && *m_LastRead == NewEEaddr - 1 && NewEEaddr + 1 < RadioEEWords &&
        m_Echo == Echo::Present)
        ahead = static_cast<short>(NewEEaddr + 1);
    m_LastRead = NewEEaddr;
    std::string got;
    int word = -1;
    if (clear && Collect(frame, true, sent, got, ahead, word)) return word;
    if (m_Line.Failed()) return -1;
    FallBack("read of word " + std::to_string(NewEEaddr) + ": " +
             WhyNotTaken("answer " + Shown(got) + " is not the echo, four hex digits and CR"));
    Drain(Window(1));
    ++m_AskedAgain;
    const Reply r = Ask(frame, true);
    return r.kind == Reply::Taken ? r.word : -1;
}

} // namespace kq
