#include "KqFrames.h"

#include <gtest/gtest.h>

TEST(Frames, BytesOfWriteAndReadFramesRepliesAndDigits) {
    const std::pair<std::string, std::string> frames[] = {
        {kq::WriteFrame(50432, 0), "\x30\x30\x43\x35\x30\x30\x0D"},
        {kq::WriteFrame(0, 10), "0A0000\r"},
        {kq::WriteFrame(5, 63), "3F0005\r"},
        {kq::WriteFrame(0x1ABCD, 255), "FFABCD\r"}, // low 16 bits of the word
        {kq::WriteFrame(1, 256), "000001\r"},       // low 8 bits of the address
        {kq::ReadFrame(1), "\x30\x31\x30\x30\x4D\x44\x0D"},
        {kq::ReadFrame(255), "FF00MD\r"},
        {kq::ReadFrame(256), "0000MD\r"},
    };
    for (const auto& [got, want] : frames) EXPECT_EQ(got, want);
    const std::pair<const char*, int> replies[] = {
        {"c5Zz\r", 0xC500}, {"ffff\r", 65535}, {"0123", 0x0123}, {"12\r", -1}};
    for (const auto& [reply, word] : replies) EXPECT_EQ(kq::ParseWordReply(reply), word) << reply;
    // Only a digit's first character counts; anything not a hex digit is 0.
    const std::pair<const char*, int> digits[] = {{"9", 9}, {"A", 10}, {"f", 15},  {"F7", 15},
                                                  {"G", 0}, {"", 0},   {"\xC1", 0}};
    for (const auto& [text, value] : digits) EXPECT_EQ(kq::HexDigitValue(text), value) << text;
}

// The one answer rule: what came back to a frame gives a word only as the
// frame's exact echo (or none, on a line without echo), four hex digits in
// either case, a CR and at most one LF. Late echoes, noise, cut answers and
// leftovers give none.
TEST(Frames, AWordIsTakenOnlyFromTheEchoFourDigitsAndCr) {
    using kq::Echo;
    using S = kq::ReplyCheck;
    const std::string read = kq::ReadFrame(1), write = kq::WriteFrame(0x1234, 2);
    struct Case {
        std::string got, frame;
        bool isRead;
        Echo echo;
        S::State state;
        int word;
    };
    const Case cases[] = {
        {"0100MD\rC500\r", read, true, Echo::Unknown, S::Complete, 0xC500},
        {"0100MD\rc5ab\r\n", read, true, Echo::Present, S::Complete, 0xC5AB},
        {"C500\r", read, true, Echo::Unknown, S::Complete, 0xC500}, // no echo
        {"C500\r", read, true, Echo::Present, S::Surprise, -1},     // the echo is missing
        {"0100MD\rC500\r", read, true, Echo::Absent, S::Surprise, -1},
        {"0100MD\rC5", read, true, Echo::Present, S::Incomplete, -1}, // cut short, so far
        {"0100", read, true, Echo::Unknown, S::Incomplete, -1},     // echo or answer: not yet told
        {"0100MD\rC5Z0\r", read, true, Echo::Present, S::Surprise, -1},
        {"0100MD\rC500\r\n\n", read, true, Echo::Present, S::Surprise, -1}, // left over
        {"0100MD\rC500\rKQ", read, true, Echo::Present, S::Surprise, -1},
        {"0100MD\rC5000\r", read, true, Echo::Present, S::Surprise, -1},   // noise among digits
        {"0100\r", read, true, Echo::Unknown, S::Complete, 0x0100}, // see below
        {"0100\rMD\rC500\r", read, true, Echo::Unknown, S::Surprise, -1},
        {"0000MD\r0100MD\rC500\r", read, true, Echo::Present, S::Surprise, -1}, // a late echo
        {"D\r50", read, true, Echo::Present, S::Surprise, -1},
        {"020000MD\r", read, true, Echo::Present, S::Surprise, -1},
        {"021234\r", write, false, Echo::Present, S::Complete, -1},
        {"021235\r", write, false, Echo::Present, S::Surprise, -1},
        {"0212", write, false, Echo::Unknown, S::Incomplete, -1},
        {"", write, false, Echo::Unknown, S::Incomplete, -1}, // nothing back is no echo only when known
        {"", write, false, Echo::Absent, S::Complete, -1},
        {"021234\r\n", write, false, Echo::Present, S::Surprise, -1},
        {"\r", "\r", false, Echo::Unknown, S::Complete, -1}, // the probe
        {"\r\r", "\r", false, Echo::Unknown, S::Surprise, -1},
        {"\rK", "\r", false, Echo::Present, S::Surprise, -1},
    };
    for (const Case& c : cases) {
        const S r = kq::CheckReply(c.got, c.frame, c.isRead, c.echo);
        EXPECT_EQ(r.state, c.state) << c.got;
        if (c.isRead) {
            EXPECT_EQ(r.word, c.word) << c.got;
        }
    }
    // Noise that turns an echo's "0100" into four digits and a CR looks like
    // an answer without echo: the rule cannot tell, so the link takes such
    // an answer only on a line known to lack echoes, or where nothing follows.
    EXPECT_TRUE(kq::CheckReply("0100MD\rC500\r", read, true, Echo::Unknown).echoed);
    EXPECT_TRUE(kq::CheckReply("0100MD\rC500\r", read, true, Echo::Unknown).lfMayFollow);
    EXPECT_FALSE(kq::CheckReply("C500\r", read, true, Echo::Unknown).echoed);
}
