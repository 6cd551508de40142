// The radio's side of the serial link: what a radio and its cable do with
// the characters the computer sends, with their timing. It takes each
// character with the time it reached the radio and schedules what the
// radio sends back with the time it reaches the computer; it never reads a
// clock, so tests run it in virtual time and kqradio in real time.
//
// The radio echoes every frame (after its CR, or character by character),
// answers a probe CR with CR, a read frame with four hex digits and CR, and
// programs a written word into its EEPROM, losing what arrives meanwhile.
#pragma once

#include "LinkTime.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace kq {

// A fault of one word's read answer (or, for LostWrite, its write).
struct WordFault {
    enum class Kind {
        Silent,    // no echo, no answer
        CrLf,      // the answer ends with CR LF
        Extra,     // text follows the answer's CR
        LowerCase, // the digits in lower case
        Late,      // the answer starts ms later
        Wrong,     // the answer's lowest bit flipped
        LostWrite, // the written word is not stored
        LateEcho,  // echo and answer start ms later
        Noise,     // text slips into the reply, ms characters into it
        Cut,       // the answer stops after ms characters (of its four digits and CR)
    };
    static constexpr int kEveryWord = -1;
    int word = 0; // kEveryWord: all of them
    Kind kind = Kind::Silent;
    bool always = false; // else only the first time
    int ms = 0;          // Late, LateEcho: how much; Noise, Cut: where
    std::string text;    // Extra, Noise: what
};

struct RadioBehaviour {
    bool paceOutput = true; // one character per character time, else at once
    bool paceInput = false; // the computer's characters at most one per character time
    int eepromMs = kEepromHoldMs; // programming time from a write frame's CR
    bool echoPerChar = false;
    bool noEcho = false;      // neither the radio nor the cable echoes
    bool noProbe = false;     // no answer to the probe
    std::string probeAnswer = "\r";
    // Sent 5 ms after answering a probe that follows 400 ms of silence.
    std::string probeExtra;
    int answerDelayMs = 0;
    int latencyMs = 0; // output reaches the computer in bursts this far apart
    std::vector<WordFault> faults;
};

class RadioModel {
public:
    RadioModel(RadioBehaviour behaviour, std::vector<int> words);

    // A character from the computer that reached the radio at time at
    // (calls in rising time order).
    void Receive(char c, LinkTime at);
    // The characters that have reached the computer by now, in order.
    std::string TakeDue(LinkTime now);
    // When the next character reaches the computer; LinkTime::max() if none.
    LinkTime NextDue() const;

    // Unplugged: every character is lost both ways.
    void Plugged(bool plugged) { m_Plugged = plugged; }
    const std::vector<int>& Words() const { return m_Words; }
    // Every complete frame received, in order ("\r" for a probe).
    const std::vector<std::string>& Frames() const { return m_Frames; }

private:
    // Queues s from start on (after what is already queued); returns when
    // its last character has left.
    LinkTime Send(const std::string& s, LinkTime start);
    void Frame(LinkTime at, bool afterSilence);
    // The fault of kind for word, used up unless it holds always.
    bool Fault(int word, WordFault::Kind kind, WordFault* out = nullptr);

    RadioBehaviour m_B;
    std::vector<int> m_Words;
    std::string m_Frame;
    std::vector<std::string> m_Frames;
    std::deque<std::pair<char, LinkTime>> m_Out;
    LinkTime m_LineFree{0}, m_LastIn{-1000000000}, m_BusyUntil{0};
    bool m_Plugged = true;
};

} // namespace kq
