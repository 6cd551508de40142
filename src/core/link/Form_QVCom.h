// The radio link over a serial line: finds the port a radio answers on and
// moves one EEPROM word per exchange, paced by a free-running 20 ms tick.
// It blocks while it waits, so a program runs it on a worker thread.
//
// Fast mode ends each exchange as soon as its answer is in and exactly as
// expected. The first surprise falls back to the default pacing for the
// rest of the transfer, with every answer then checked as strictly (echo,
// four digits, CR) and the exchange repeated after a drain when it is not:
// a surprise may cost time, never a wrong word.
#pragma once

#include "LinkSettings.h"
#include "SerialLine.h"
#include "TickClock.h"
#include "WordLink.h"

#include <string>

namespace kq {

class Form_QVCom : public WordLink {
public:
    // Runs the port search over settings.ports (COM1..COM4 in that order).
    Form_QVCom(SerialLine& line, TimeSource& time, const LinkSettings& settings);
    ~Form_QVCom() override; // closes the port

    int ActComPort() const override { return m_ActPort; }
    std::string ActDevice() const override;
    bool InitActPort() override;
    void WriteByte(int NewEEdata, short NewEEaddr) override;
    int ReadByte(short NewEEaddr) override;
    bool PortFailed() const override { return m_Line.Failed() || !m_Line.IsOpen(); }
    std::string PortProblem() const override;

    bool FastMode() const override { return m_Settings.fast; }
    void FallBack(const std::string& why) override;
    std::string Surprise() const override { return m_Surprise; }

private:
    bool Fast() const { return m_Settings.fast && m_Surprise.empty(); }
    std::string Device(int port) const;
    void Search();
    void PacedWrite(const std::string& frame);
    // The read exchange in the default pacing (an answer window of 2
    // ticks); the drop and the answer as they were read, for the strict
    // check after a fall-back.
    int PacedRead(short addr, int answerTicks, std::string* drop = nullptr,
                  std::string* answer = nullptr);
    // After a fall-back: the paced read, sent on a tick with a window of 4
    // ticks and accepted only when the drop is the echo and the answer four
    // hex digits and CR; else drained and tried again, -1 after three tries.
    // The radio sends in order, so a late answer shows before an echo,
    // never between an echo and its answer.
    int CheckedRead(short addr);
    // Fast: collects the reply to frame, sent at sent, until it is the echo
    // and, for a read, four hex digits and CR; false when it stops matching
    // or is not complete 2 tick intervals (a read: 4) after sending. Characters after
    // it stay for the next exchange. ahead >= 0: the read frame for that
    // word goes out as soon as the echo is in.
    bool Collect(const std::string& frame, bool isRead, LinkTime sent, std::string& got,
                 short ahead);
    // Collects the reply to a read sent ahead that nobody asked for.
    bool SettleAhead();
    // Lets the line fall quiet and empties the receive buffer.
    void Drain();
    // Nothing waiting before a fast frame but perhaps the LF of a CR LF
    // answer; what waited is in m_Early.
    bool LineClear();
    // Why a fast exchange was not taken: the read sent ahead went wrong
    // (!settled), characters waited before the frame (!clear), or else what
    // came back (otherwise).
    std::string WhyNotTaken(bool settled, bool clear, const std::string& otherwise) const;

    SerialLine& m_Line;
    TickClock m_Clock;
    LinkSettings m_Settings;
    int m_ActPort = 0;
    std::string m_Surprise;
    std::string m_SearchProblem;
    std::string m_Early; // what a fast exchange found waiting, for the surprise
    std::string m_Rx;    // received beyond the last fast reply
    short m_Ahead = -1;  // the word whose read frame was sent ahead
    LinkTime m_AheadAt{0};
    short m_LastRead = -2;
};

} // namespace kq
