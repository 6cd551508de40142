// The radio's ASCII word frames, and the one rule by which an answer to
// them is taken.
#pragma once

#include <cstddef>
#include <string>

namespace kq {

// Both word frames are 7 characters: 2 address digits, 4 data digits (a
// read: "00MD"), CR. A read's answer is 4 hex digits and a CR.
constexpr std::size_t kFrameChars = 7;
constexpr std::size_t kWordDigits = 4;

// Value of the first character read as a hex digit; anything else counts 0.
short HexDigitValue(const std::string& s);
bool IsHexDigit(char c);

// "AAdddd\r": low 8 bits of the address, low 16 bits of the word.
std::string WriteFrame(int word, int addr);
// "AA00MD\r": asks the radio for the word at addr.
std::string ReadFrame(int addr);
// The word in the first four characters of a reply (fewer than four: -1).
int ParseWordReply(const std::string& reply);

// Whether the line echoes the frames: learnt from the first answer taken.
enum class Echo { Unknown, Present, Absent };

// What came back to a frame, judged by the one answer rule. A reply is
// taken only when it is the frame's exact echo (or nothing, on a line
// without echo), then for a read four hex digits in either case, a CR and
// at most one LF. Anything else is a surprise and gives no word: a
// character outside the rule or characters left over.
struct ReplyCheck {
    enum State { Incomplete, Complete, Surprise } state = Incomplete;
    int word = -1;           // a read's word when Complete
    bool echoed = false;     // Complete with the echo
    bool lfMayFollow = false; // Complete at a read's CR; one LF may still come
};
// got: everything that came back since the frame was sent. The probe's
// frame is "\r" and its answer a CR, echo or not.
ReplyCheck CheckReply(const std::string& got, const std::string& frame, bool isRead, Echo echo);

} // namespace kq
