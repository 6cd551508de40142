// The radio link over a serial line: finds the port a radio answers on and
// moves one EEPROM word per exchange, paced by a free-running 20 ms tick.
// It blocks while it waits, so a program runs it on a worker thread.
//
// Every answer is judged by one rule (CheckReply): the frame's exact echo,
// four hex digits, CR, at most one LF. A late or odd answer gives no word:
// the link waits until the line is quiet and asks again with a wider window
// (a USB adapter may deliver in bursts, a busy machine may wake late), up
// to three times. A window that had to be widened stays wide for the rest
// of the transfer, so a slow line costs one repeat, not one per word.
// Where the radio answers in time, the frames go out at the protocol's
// ticks.
//
// Fast mode ends each exchange as soon as its answer is in. Its first
// surprise falls back to the paced exchanges with their repeats.
#pragma once

#include "KqFrames.h"
#include "LinkSettings.h"
#include "SerialLine.h"
#include "TickClock.h"
#include "WordLink.h"

#include <optional>
#include <string>
#include <vector>

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
    bool PortBusy() const override { return m_ActPort == 0 && m_SearchBusy; }
    int AskedAgain() const override { return m_AskedAgain; }
    std::string LastReply() const override { return m_LastReply; }

    bool FastMode() const override { return m_Settings.fast; }
    void FallBack(const std::string& why) override;
    std::string Surprise() const override { return m_Surprise; }

    // How often one exchange is asked again, each time with a window twice
    // as wide, before it fails.
    static constexpr int kRepeats = 3;

private:
    struct Reply {
        enum Kind { Taken, Late, Odd, Dead } kind = Dead;
        int word = -1;
        std::string got; // what came back, for the message
    };

    bool Fast() const { return m_Settings.fast && m_Surprise.empty(); }
    std::string Device(int port) const;
    void Search();
    // The probe on the open port: the protocol's pair, then wider probes
    // while the answer is late or odd.
    bool Probe();
    // An exchange's time for its answer at a level of widening (0: the
    // protocol's pacing).
    LinkTime Window(int level) const;
    // One frame and its answer, judged by the rule.
    Reply Exchange(const std::string& frame, bool isRead, int level, Echo echo);
    // The same frame asked again after a late or odd answer, each time
    // with a wider window, until one is taken or the repeats run out.
    Reply Ask(const std::string& frame, bool isRead);
    // Takes what waits on the line; true when nothing but the LF the last
    // answer may still owe.
    bool LineClear(std::string& waiting);
    // Drops the LF the last answer may still owe from the front of the
    // first characters that came after it.
    void DropOwedLf(std::string& first);
    // Takes what a complete reply tells of the line; false when its form
    // turns out to be noise.
    bool Taken(const ReplyCheck& c, const std::string& frame);
    // Nothing comes for span (but the LF an answer may owe); what came
    // stays for the next exchange.
    bool QuietFor(LinkTime span, bool lfMayFollow);
    Echo Expected() const;
    // Lets the line fall quiet for quiet and empties the receive buffer.
    void Drain(LinkTime quiet);
    std::string Read();

    // Fast: collects the reply to frame, sent at sent; false when it stops
    // matching or is not complete 2 tick intervals (a read: 4) after
    // sending. Characters after it stay for the next exchange. ahead: the
    // read frame for that word goes out as soon as the echo is in.
    bool Collect(const std::string& frame, bool isRead, LinkTime sent, std::string& got,
                 std::optional<short> ahead, int& word);
    // Collects the reply to a read sent ahead that nobody asked for.
    bool SettleAhead();
    // Why a fast exchange was not taken.
    std::string WhyNotTaken(const std::string& otherwise) const;

    SerialLine& m_Line;
    TickClock m_Clock;
    LinkSettings m_Settings;
    int m_ActPort = 0;
    std::string m_Surprise;
    std::vector<std::string> m_SearchProblems; // each port's, in search order
    bool m_SearchBusy = false;

    // What the line has shown in this transfer.
    int m_Level = 0;           // the window's widening learnt so far
    Echo m_Echo = Echo::Unknown;
    bool m_Doubt = false;      // an answer was late or odd: one may still be on its way
    bool m_LfOwed = false;     // the last answer ended at its CR
    LinkTime m_LastRx{0};      // when characters last came in
    int m_AskedAgain = 0;
    std::string m_LastReply;

    // Fast mode's pipeline.
    std::string m_Rx; // received beyond the last fast reply
    std::optional<short> m_Ahead; // the word whose read frame was sent ahead
    LinkTime m_AheadAt{0};
    std::optional<short> m_LastRead;
    std::string m_Waiting;      // characters found waiting before a fast frame
    std::string m_AheadProblem; // why the read sent ahead was not taken
};

} // namespace kq
