// The radio link on a serial port: finds the port a radio answers on and
// moves one EEPROM word per exchange. It keeps time with its own clock, a
// free-running 20 ms tick from when it is made, and blocks while it waits,
// so it belongs on a worker thread (LinkRunner); nothing the user interface
// does can stretch or shorten its waits. Like a message-queue timer, ticks
// missed while the thread was held up count once, not all at once: a busy
// machine makes a wait longer, never cuts an answer window short.
// Instances share no state: two links on two ports can run at once.
#pragma once

#include "KqSerialPort.h"
#include "LinkSettings.h"
#include "WordLink.h"

#include <QStringList>

#include <chrono>
#include <string>

namespace kq {

class Form_QVCom : public WordLink {
public:
    // Loading runs the port search.
    explicit Form_QVCom(const LinkSettings& link = {});
    ~Form_QVCom() override; // closes the port

    // Whether a radio answers the probe on device (the search on it alone).
    static bool RadioAnswers(const QString& device, LinkSettings link = {});

    int ActComPort() const override { return m_ActPort; }
    std::string ActDevice() const override;
    bool InitActPort() override;
    void WriteByte(int NewEEdata, short NewEEaddr) override;
    int ReadByte(short NewEEaddr) override;
    bool PortFailed() const override { return m_Port.Failed() || !m_Port.IsOpen(); }
    std::string PortProblem() const override;

    bool FastMode() const override { return m_Opt.fast; }
    void FallBack(const std::string& why) override;
    std::string Surprise() const override { return m_Surprise; }

private:
    using Clock = std::chrono::steady_clock;

    void Search();
    // Lets the "event loop" run once: at most one due tick lowers DelayCount.
    void TickOnce();
    // Blocks until a character arrives or the next tick is due.
    void Sleep();
    void Delay(short ticks);
    // For the fast mode's time limits: the n-th tick boundary from now.
    Clock::time_point TicksFromNow(int n) const;
    void PacedWrite(const std::string& frame);
    int PacedRead(short addr);
    // Fast: waits until at least n characters are in and the line has been
    // quiet for two character times; false at the deadline.
    bool WaitQuiet(int n, Clock::time_point deadline);
    // The fast mode's exchange: frame out, then what came back once n
    // characters are in and the line is quiet, or after the ticks; in says
    // whether they were in time.
    QByteArray FastExchange(const std::string& frame, int n, int ticks, bool& in);
    // Lets the line fall quiet and empties the receive buffer.
    void Drain();

    LinkSettings m_Opt;
    // COM1..COM4 as they were when the link was made: a change of the
    // system's list meanwhile must not move this transfer to another device.
    QStringList m_Ports;
    KqSerialPort m_Port;
    Clock::duration m_Tick;
    Clock::time_point m_T0, m_NextTick;
    short DelayCount = 0;
    int m_ActPort = 0;
    std::string m_Surprise;
    std::string m_SearchProblem;
};

} // namespace kq
