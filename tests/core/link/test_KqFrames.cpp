#include "KqFrames.h"

#include <gtest/gtest.h>

using kq::HexDigitValue;

TEST(HexDigitValue, DigitsBothCasesAndOthers)
{
    EXPECT_EQ(HexDigitValue("0"), 0);
    EXPECT_EQ(HexDigitValue("9"), 9);
    EXPECT_EQ(HexDigitValue("A"), 10);
    EXPECT_EQ(HexDigitValue("f"), 15);
    EXPECT_EQ(HexDigitValue("F7"), 15); // only the first character counts
    EXPECT_EQ(HexDigitValue("G"), 0);
    EXPECT_EQ(HexDigitValue("z"), 0);
    EXPECT_EQ(HexDigitValue("\r"), 0);
    EXPECT_EQ(HexDigitValue(""), 0);
    EXPECT_EQ(HexDigitValue("\xC1"), 0);
}

TEST(Frames, WriteFrameBytes)
{
    EXPECT_EQ(kq::WriteFrame(50432, 0), std::string("\x30\x30\x43\x35\x30\x30\x0D"));
    EXPECT_EQ(kq::WriteFrame(0, 10), "0A0000\r");
    EXPECT_EQ(kq::WriteFrame(5, 63), "3F0005\r");
    EXPECT_EQ(kq::WriteFrame(0x1ABCD, 255), "FFABCD\r"); // low 16 bits of the word
    EXPECT_EQ(kq::WriteFrame(1, 256), "000001\r");       // low 8 bits of the address
}

TEST(Frames, ReadFrameBytes)
{
    EXPECT_EQ(kq::ReadFrame(1), std::string("\x30\x31\x30\x30\x4D\x44\x0D"));
    EXPECT_EQ(kq::ReadFrame(255), "FF00MD\r");
    EXPECT_EQ(kq::ReadFrame(256), "0000MD\r");
}

TEST(Frames, ReplyParsing)
{
    EXPECT_EQ(kq::ParseWordReply("c5Zz\r"), 0xC500);
    EXPECT_EQ(kq::ParseWordReply("ffff\r"), 65535);
    EXPECT_EQ(kq::ParseWordReply("0123"), 0x0123);
    EXPECT_EQ(kq::ParseWordReply("12\r"), -1);
}
