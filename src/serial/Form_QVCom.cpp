#include "Form_QVCom.h"

#include "KqFrames.h"

#include <thread>

namespace kq {

namespace {
// One character at 9600 baud with a start, 8 data and 2 stop bits.
constexpr std::chrono::microseconds kCharTime(1146);

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }

std::string Shown(const QByteArray& b) {
    std::string s;
    for (char c : b) {
        if (c == '\r')
            s += "\\r";
        else if (c == '\n')
            s += "\\n";
        else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F)
            s += '?';
        else
            s += c;
    }
    return '"' + s + '"';
}
} // namespace

Form_QVCom::Form_QVCom(const LinkSettings& link)
    : m_Opt(link), m_Ports(SearchedPorts(link)), m_Tick(std::chrono::milliseconds(m_Opt.tickMs)),
      m_T0(Clock::now()), m_NextTick(m_T0 + m_Tick) {
    m_Port.SetMap(m_Ports);
    Search();
}

Form_QVCom::~Form_QVCom() { m_Port.Close(); }

bool Form_QVCom::RadioAnswers(const QString& device, LinkSettings link) {
    link.ports = {device.toStdString()};
    return Form_QVCom(link).ActComPort() == 1;
}

std::string Form_QVCom::ActDevice() const {
    if (m_ActPort == 0) return {};
    return m_Ports.value(m_ActPort - 1).toStdString();
}

std::string Form_QVCom::PortProblem() const {
    // A port the search could not open matters only when no radio answered.
    const QString p = m_Port.Problem();
    return !p.isEmpty() ? p.toStdString() : m_ActPort == 0 ? m_SearchProblem : std::string();
}

Form_QVCom::Clock::time_point Form_QVCom::TicksFromNow(int n) const {
    const auto passed = (Clock::now() - m_T0) / m_Tick;
    return m_T0 + m_Tick * (passed + n);
}

void Form_QVCom::TickOnce() {
    const auto now = Clock::now();
    if (now < m_NextTick) return;
    if (DelayCount > 0) --DelayCount;
    m_NextTick = m_T0 + m_Tick * ((now - m_T0) / m_Tick + 1);
}

void Form_QVCom::Sleep() {
    const auto now = Clock::now();
    if (now >= m_NextTick) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(m_NextTick - now).count();
    if (m_Port.IsOpen() && !m_Port.Failed() && ms > 0)
        m_Port.Wait(static_cast<int>(ms));
    else
        std::this_thread::sleep_until(m_NextTick);
}

void Form_QVCom::Delay(short ticks) {
    DelayCount = ticks;
    while (DelayCount > 0 && !m_Port.Failed()) {
        Sleep();
        TickOnce();
    }
}

void Form_QVCom::Search() {
    m_ActPort = 0;
    for (int n = 4; n >= 1; --n) {
        m_Port.SetPort(n);
        if (m_Port.Open() != KqSerialPort::NoError) {
            if (!m_Port.Problem().isEmpty() && m_SearchProblem.empty())
                m_SearchProblem = m_Port.Problem().toStdString();
            continue;
        }
        m_Port.SetReadLength(0);
        m_Port.Read();
        m_Port.Write("\r");
        Delay(2);
        m_Port.Read();
        m_Port.SetReadLength(0);
        m_Port.Read();
        m_Port.Write("\r");
        Delay(2);
        if (m_Port.Read() == QByteArray("\r")) m_ActPort = n;
        m_Port.Close();
    }
}

bool Form_QVCom::InitActPort() {
    m_Port.Close();
    m_Port.SetPort(m_ActPort);
    if (m_ActPort == 0 || m_Port.Open() != KqSerialPort::NoError) return false;
    m_Port.SetReadLength(0);
    m_Port.Read();
    m_Port.Write("\r");
    Delay(4);
    m_Port.Read();
    return true;
}

void Form_QVCom::FallBack(const std::string& why) {
    if (m_Surprise.empty()) m_Surprise = why.empty() ? "fell back to the default pacing" : why;
}

void Form_QVCom::PacedWrite(const std::string& frame) {
    m_Port.Write(Bytes(frame));
    Delay(2);
    m_Port.SetReadLength(7);
    m_Port.Read();
}

int Form_QVCom::PacedRead(short addr) {
    m_Port.Write(Bytes(ReadFrame(addr)));
    Delay(2);
    m_Port.SetReadLength(7);
    m_Port.Read();
    DelayCount = 2;
    for (;;) {
        m_Port.Wait(0); // the event loop runs once
        TickOnce();
        if (DelayCount == 0) return -1; // time-out first: a last-tick arrival is too late
        if (m_Port.InBufferCount() >= 5) break;
        if (m_Port.Failed()) return -1;
        Sleep();
    }
    m_Port.SetReadLength(7);
    return ParseWordReply(m_Port.Read().toStdString());
}

bool Form_QVCom::WaitQuiet(int n, Clock::time_point deadline) {
    int count = m_Port.InBufferCount();
    auto lastArrival = Clock::now();
    for (;;) {
        const auto now = Clock::now();
        if (count >= n && now - lastArrival >= 2 * kCharTime) return true;
        if (now >= deadline || m_Port.Failed()) return false;
        m_Port.Wait(1);
        const int c = m_Port.InBufferCount();
        if (c != count) {
            count = c;
            lastArrival = Clock::now();
        }
    }
}

void Form_QVCom::Drain() {
    // Quiet for two ticks, or give up after a second of chatter: the paced
    // exchange that follows copes with what is left, as it always would.
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    while (!m_Port.Failed() && Clock::now() < giveUp) {
        m_Port.SetReadLength(0);
        m_Port.Read();
        const auto quietUntil = Clock::now() + 2 * m_Tick;
        while (Clock::now() < quietUntil && m_Port.InBufferCount() == 0 && !m_Port.Failed())
            m_Port.Wait(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             quietUntil - Clock::now())
                                             .count()) +
                        1);
        if (m_Port.InBufferCount() == 0) return;
    }
}

QByteArray Form_QVCom::FastExchange(const std::string& frame, int n, int ticks, bool& in) {
    m_Port.Write(Bytes(frame));
    in = WaitQuiet(n, TicksFromNow(ticks));
    m_Port.SetReadLength(0);
    return m_Port.Read();
}

void Form_QVCom::WriteByte(int NewEEdata, short NewEEaddr) {
    const std::string frame = WriteFrame(NewEEdata, NewEEaddr);
    if (!m_Opt.fast || !m_Surprise.empty()) {
        PacedWrite(frame);
        return;
    }
    const int early = m_Port.InBufferCount();
    QByteArray echo;
    if (early == 0) {
        bool in = false;
        echo = FastExchange(frame, 7, 2, in);
        if (in && echo == Bytes(frame)) {
            // The radio programs the word now and would lose what we send.
            std::this_thread::sleep_for(std::chrono::milliseconds(m_Opt.eepromMs));
            return;
        }
    }
    if (m_Port.Failed()) return;
    FallBack("write of word " + std::to_string(NewEEaddr) + ": " +
             (early ? std::to_string(early) + " characters waiting before the frame"
                    : "echo " + Shown(echo) + " instead of " + Shown(Bytes(frame))));
    Drain();
    PacedWrite(frame);
}

int Form_QVCom::ReadByte(short NewEEaddr) {
    if (!m_Opt.fast || !m_Surprise.empty()) return PacedRead(NewEEaddr);
    const std::string frame = ReadFrame(NewEEaddr);
    const int early = m_Port.InBufferCount();
    QByteArray got;
    if (early == 0) {
        bool in = false;
        got = FastExchange(frame, 12, 3, in);
        // Exactly the echo, four hex digits and CR: what the default pacing
        // would read too. Anything else is left to it.
        if (in && got.size() == 12 && got.left(7) == Bytes(frame) && IsHexDigit(got[7]) &&
            IsHexDigit(got[8]) && IsHexDigit(got[9]) && IsHexDigit(got[10]) && got[11] == '\r')
            return ParseWordReply(got.mid(7).toStdString());
    }
    if (m_Port.Failed()) return -1;
    FallBack("read of word " + std::to_string(NewEEaddr) + ": " +
             (early ? std::to_string(early) + " characters waiting before the frame"
                    : "answer " + Shown(got) + " is not the echo, four hex digits and CR"));
    Drain();
    return PacedRead(NewEEaddr);
}

} // namespace kq
