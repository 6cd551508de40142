#include "Form_QVCom.h"
#include "PtyPeer.h"
#include "TransferSequence.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using kqtest::PtyPeer;
using Send = PtyPeer::Send;
using Outcome = kq::TransferSequence::Outcome;

namespace {

std::string Word(int addr) { return addr == 0 ? "C500\r" : "c5Zz\r"; }

// Ticks of 40 ms: a loaded machine's pseudo-terminal can be tens of ms late.
kq::Form_QVCom::Options On(QStringList devices, bool fast = false)
{
    kq::Form_QVCom::Options o;
    o.fast = fast;
    o.ports = devices;
    o.tickMs = 40;
    return o;
}

} // namespace

TEST(Form_QVCom, LowestAnsweringPortWinsAndOddAnswersAreNotTaken)
{
    PtyPeer silent([](const std::string&, const Send&) { return true; });
    PtyPeer radio2(kqtest::Radio(Word)), radio3(kqtest::Radio(Word));
    PtyPeer twoCr([](const std::string&, const Send& send) { return send("\r\r"), true; });
    PtyPeer crAndMore([](const std::string&, const Send& send) { return send("\rK"), true; });
    kq::KqSerialPort::SetPortMap({silent.Slave(), radio2.Slave(), radio3.Slave(), twoCr.Slave()});
    {
        kq::Form_QVCom com(On({})); // the program's port map
        EXPECT_EQ(com.ActComPort(), 2);
        EXPECT_EQ(com.ActDevice(), radio2.Slave().toStdString());
    }
    kq::KqSerialPort::SetPortMap({});
    {
        kq::Form_QVCom com(On({silent.Slave(), "/dev/kq-none", twoCr.Slave(), crAndMore.Slave()}));
        EXPECT_EQ(com.ActComPort(), 0);
        EXPECT_FALSE(com.InitActPort());
    }
    EXPECT_TRUE(kq::Form_QVCom::RadioAnswers(radio3.Slave(), On({})));
    EXPECT_FALSE(kq::Form_QVCom::RadioAnswers(crAndMore.Slave(), On({})));
}

TEST(Form_QVCom, ReadAnswersInBothModes)
{
    // The answer window is 2 + 2 ticks: an answer a tick after the echo is in
    // time; four digits without CR, or an answer without the echo, are not.
    const PtyPeer::Answer late = [](const std::string& f, const Send& send) {
        send(f);
        if (f.size() == 7 && f[5] == 'D') {
            std::this_thread::sleep_for(std::chrono::milliseconds(40)); // the radio's own delay
            send("1A2b\r\n");
        }
        return true;
    };
    struct Case {
        const char* name;
        PtyPeer::Answer answer;
        int want;
    };
    const Case cases[] = {
        {"odd digits", kqtest::Radio(Word), 0xC500},
        {"late, CR LF", late, 0x1A2B},
        {"no CR", kqtest::Radio([](int) { return std::string("1234"); }), -1},
        {"no echo", [](const std::string& f, const Send& send) { return send(f == "\r" ? f : "ffff\r"), true; }, -1},
    };
    for (bool fast : {false, true}) {
        for (const Case& c : cases) {
            PtyPeer peer(c.answer);
            kq::Form_QVCom com(On({peer.Slave()}, fast));
            ASSERT_EQ(com.ActComPort(), 1) << c.name;
            ASSERT_TRUE(com.InitActPort());
            com.WriteByte(0x1234, 3);
            EXPECT_EQ(com.ReadByte(1), c.want) << c.name << (fast ? " fast" : "");
            EXPECT_EQ(com.Surprise().empty(), !fast) << c.name; // none of these is clean
        }
    }
}

TEST(Form_QVCom, TwoLinksOnTwoPortsAtOnce)
{
    PtyPeer a(kqtest::Radio([](int addr) { return addr ? "00A1\r" : "C500\r"; }));
    PtyPeer b(kqtest::Radio([](int addr) { return addr ? "00B2\r" : "C500\r"; }));
    kq::TransferSequence readA, readB;
    Outcome outA = Outcome::Cancelled, outB = Outcome::Cancelled;
    std::thread ta([&] {
        kq::Form_QVCom link(On({a.Slave()}, true));
        outA = readA.Run(link);
    });
    kq::Form_QVCom link(On({b.Slave()}, true));
    outB = readB.Run(link);
    ta.join();
    ASSERT_EQ(outA, Outcome::Done);
    ASSERT_EQ(outB, Outcome::Done);
    EXPECT_EQ(readA.Image()[63], 0xA1);
    EXPECT_EQ(readB.Image()[63], 0xB2);
}

TEST(Form_QVCom, APortThatVanishesEndsTheTransferAtOnce)
{
    for (bool fast : {false, true}) {
        PtyPeer peer([](const std::string& f, const Send& send) {
            send(f);
            if (f == "0500MD\r")
                return false; // the adapter is pulled
            if (f.size() == 7)
                send(f[0] == '0' && f[1] == '0' ? "C500\r" : "0000\r");
            return true;
        });
        kq::Form_QVCom link(On({peer.Slave()}, fast));
        kq::TransferSequence seq;
        const Outcome out = seq.Run(link);
        EXPECT_EQ(out, Outcome::LinkFailed);
        EXPECT_EQ(seq.WordsDone(), 5);
        EXPECT_EQ(seq.Message(out), " ComPort Error! ");
        EXPECT_NE(seq.Detail(out).find("stopped working"), std::string::npos) << seq.Detail(out);
    }
}
