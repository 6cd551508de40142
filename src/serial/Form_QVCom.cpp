#include "Form_QVCom.h"

#include "KqFrames.h"

#include <thread>

namespace kq {

namespace {
// One character at 9600 baud with a start, 8 data and 2 stop bits.
constexpr std::chrono::microseconds kCharTime(1146);

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

QByteArray Bytes(const std::string& s) { return QByteArray::fromStdString(s); }

std::string Shown(const QByteArray& b)
{
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

Form_QVCom::Form_QVCom(Options opt)
    : opt_(std::move(opt)), tick_(std::chrono::milliseconds(opt_.tickMs)), t0_(Clock::now()), nextTick_(t0_ + tick_)
{
    // The ports as they are now: a change of the port list meanwhile must not
    // move this transfer to another device.
    if (opt_.ports.isEmpty())
        opt_.ports = KqSerialPort::PortMap();
    port_.SetMap(opt_.ports);
    Search();
}

Form_QVCom::Form_QVCom() : Form_QVCom(Options{}) {}

Form_QVCom::~Form_QVCom() { port_.Close(); }

bool Form_QVCom::RadioAnswers(const QString& device) { return RadioAnswers(device, Options{}); }

bool Form_QVCom::RadioAnswers(const QString& device, Options opt)
{
    opt.ports = QStringList{device};
    return Form_QVCom(opt).ActComPort() == 1;
}

std::string Form_QVCom::ActDevice() const
{
    if (actPort_ == 0)
        return {};
    KqSerialPort p;
    p.SetMap(opt_.ports);
    p.SetPort(actPort_);
    return p.DevicePath().toStdString();
}

std::string Form_QVCom::PortProblem() const
{
    // A port the search could not open matters only when no radio answered.
    const QString p = port_.Problem();
    return !p.isEmpty() ? p.toStdString() : actPort_ == 0 ? searchProblem_ : std::string();
}

Form_QVCom::Clock::time_point Form_QVCom::TicksFromNow(int n) const
{
    const auto passed = (Clock::now() - t0_) / tick_;
    return t0_ + tick_ * (passed + n);
}

void Form_QVCom::TickOnce()
{
    const auto now = Clock::now();
    if (now < nextTick_)
        return;
    if (DelayCount > 0)
        --DelayCount;
    nextTick_ = t0_ + tick_ * ((now - t0_) / tick_ + 1);
}

void Form_QVCom::Sleep()
{
    const auto now = Clock::now();
    if (now >= nextTick_)
        return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick_ - now).count();
    if (port_.IsOpen() && !port_.Failed() && ms > 0)
        port_.Wait(static_cast<int>(ms));
    else
        std::this_thread::sleep_until(nextTick_);
}

void Form_QVCom::Delay(short ticks)
{
    DelayCount = ticks;
    while (DelayCount > 0 && !port_.Failed()) {
        Sleep();
        TickOnce();
    }
}

void Form_QVCom::Search()
{
    actPort_ = 0;
    for (int n = 4; n >= 1; --n) {
        port_.SetPort(n);
        if (port_.Open() != KqSerialPort::NoError) {
            if (!port_.Problem().isEmpty() && searchProblem_.empty())
                searchProblem_ = port_.Problem().toStdString();
            continue;
        }
        port_.SetReadLength(0);
        port_.Read();
        port_.Write("\r");
        Delay(2);
        port_.Read();
        port_.SetReadLength(0);
        port_.Read();
        port_.Write("\r");
        Delay(2);
        if (port_.Read() == QByteArray("\r"))
            actPort_ = n;
        port_.Close();
    }
}

bool Form_QVCom::InitActPort()
{
    port_.Close();
    port_.SetPort(actPort_);
    if (actPort_ == 0 || port_.Open() != KqSerialPort::NoError)
        return false;
    port_.SetReadLength(0);
    port_.Read();
    port_.Write("\r");
    Delay(4);
    port_.Read();
    return true;
}

void Form_QVCom::FallBack(const std::string& why)
{
    if (surprise_.empty())
        surprise_ = why.empty() ? "fell back to the default pacing" : why;
}

void Form_QVCom::PacedWrite(const std::string& frame)
{
    port_.Write(Bytes(frame));
    Delay(2);
    port_.SetReadLength(7);
    port_.Read();
}

int Form_QVCom::PacedRead(short addr)
{
    port_.Write(Bytes(ReadFrame(addr)));
    Delay(2);
    port_.SetReadLength(7);
    port_.Read();
    DelayCount = 2;
    for (;;) {
        port_.Wait(0); // the event loop runs once
        TickOnce();
        if (DelayCount == 0)
            return -1; // time-out first: a last-tick arrival is too late
        if (port_.InBufferCount() >= 5)
            break;
        if (port_.Failed())
            return -1;
        Sleep();
    }
    port_.SetReadLength(7);
    return ParseWordReply(port_.Read().toStdString());
}

bool Form_QVCom::WaitQuiet(int n, Clock::time_point deadline)
{
    int count = port_.InBufferCount();
    auto lastArrival = Clock::now();
    for (;;) {
        const auto now = Clock::now();
        if (count >= n && now - lastArrival >= 2 * kCharTime)
            return true;
        if (now >= deadline || port_.Failed())
            return false;
        port_.Wait(1);
        const int c = port_.InBufferCount();
        if (c != count) {
            count = c;
            lastArrival = Clock::now();
        }
    }
}

void Form_QVCom::Drain()
{
    // Quiet for two ticks, or give up after a second of chatter: the paced
    // exchange that follows copes with what is left, as it always would.
    const auto giveUp = Clock::now() + std::chrono::seconds(1);
    while (!port_.Failed() && Clock::now() < giveUp) {
        port_.SetReadLength(0);
        port_.Read();
        const auto quietUntil = Clock::now() + 2 * tick_;
        while (Clock::now() < quietUntil && port_.InBufferCount() == 0 && !port_.Failed())
            port_.Wait(static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(quietUntil - Clock::now()).count()) + 1);
        if (port_.InBufferCount() == 0)
            return;
    }
}

void Form_QVCom::WriteByte(int NewEEdata, short NewEEaddr)
{
    const std::string frame = WriteFrame(NewEEdata, NewEEaddr);
    if (!opt_.fast || !surprise_.empty()) {
        PacedWrite(frame);
        return;
    }
    const int early = port_.InBufferCount();
    QByteArray echo;
    if (early == 0) {
        port_.Write(Bytes(frame));
        const bool in = WaitQuiet(7, TicksFromNow(2));
        port_.SetReadLength(0);
        echo = port_.Read();
        if (in && echo == Bytes(frame)) {
            // The radio programs the word now and would lose what we send.
            std::this_thread::sleep_for(std::chrono::milliseconds(opt_.eepromMs));
            return;
        }
    }
    if (port_.Failed())
        return;
    FallBack("write of word " + std::to_string(NewEEaddr) + ": " +
             (early ? std::to_string(early) + " characters waiting before the frame"
                    : "echo " + Shown(echo) + " instead of " + Shown(Bytes(frame))));
    Drain();
    PacedWrite(frame);
}

int Form_QVCom::ReadByte(short NewEEaddr)
{
    if (!opt_.fast || !surprise_.empty())
        return PacedRead(NewEEaddr);
    const std::string frame = ReadFrame(NewEEaddr);
    const int early = port_.InBufferCount();
    QByteArray got;
    if (early == 0) {
        port_.Write(Bytes(frame));
        const bool in = WaitQuiet(12, TicksFromNow(3));
        port_.SetReadLength(0);
        got = port_.Read();
        // Exactly the echo, four hex digits and CR: what the default pacing
        // would read too. Anything else is left to it.
        if (in && got.size() == 12 && got.left(7) == Bytes(frame) && IsHexDigit(got[7]) && IsHexDigit(got[8]) &&
            IsHexDigit(got[9]) && IsHexDigit(got[10]) && got[11] == '\r')
            return ParseWordReply(got.mid(7).toStdString());
    }
    if (port_.Failed())
        return -1;
    FallBack("read of word " + std::to_string(NewEEaddr) + ": " +
             (early ? std::to_string(early) + " characters waiting before the frame"
                    : "answer " + Shown(got) + " is not the echo, four hex digits and CR"));
    Drain();
    return PacedRead(NewEEaddr);
}

} // namespace kq
