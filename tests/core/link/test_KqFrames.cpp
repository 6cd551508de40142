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
