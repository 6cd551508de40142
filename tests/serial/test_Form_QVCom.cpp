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

// Ticks of 80 ms: on a loaded machine a pseudo-terminal can deliver tens of ms late.
kq::LinkSettings On(const QStringList& devices, bool fast = false) { return {kq::ToStdStrings(devices), fast, 80, 10}; }

PtyPeer::Answer Sends(std::string s) {
    return [s](const std::string&, const Send& send) { return send(s), true; };
}

} // namespace

TEST(Form_QVCom, LowestAnsweringPortWinsAndOddAnswersAreNotTaken) {
    PtyPeer silent(Sends("")), twoCr(Sends("\r\r")), crAndMore(Sends("\rK"));
    PtyPeer radio2(kqtest::Radio(Word)), radio3(kqtest::Radio(Word));
    kq::Form_QVCom found(On({silent.Slave(), radio2.Slave(), radio3.Slave(), twoCr.Slave()}));
    EXPECT_EQ(found.ActComPort(), 2);
    EXPECT_EQ(found.ActDevice(), radio2.Slave().toStdString());
    kq::Form_QVCom none(On({silent.Slave(), "/dev/kq-none", twoCr.Slave(), crAndMore.Slave()}));
    EXPECT_EQ(none.ActComPort(), 0);
    EXPECT_FALSE(none.InitActPort());
    EXPECT_TRUE(kq::Form_QVCom::RadioAnswers(radio3.Slave(), On({"/dev/kq-none"})));
}

TEST(KqSerialPort, OpenErrorsAndMapping) {
    PtyPeer pty(Sends(""));
    kq::KqSerialPort port;
    port.SetMap({"/dev/kq-no-such-port", pty.Slave()});
    for (int n : {1, 3, 5}) { // missing device, beyond the list, beyond COM4
        port.SetPort(n);
        EXPECT_EQ(port.Open(), kq::KqSerialPort::NoSuchPort) << n;
    }
    port.SetPort(2);
    ASSERT_EQ(port.Open(), kq::KqSerialPort::NoError);
    EXPECT_EQ(port.Open(), kq::KqSerialPort::PortAlreadyOpen);
    // The environment names the ports unless the settings choose their own.
    qputenv("KQ_SERIAL_PORTS", "/dev/a:/dev/b,/dev/c");
    EXPECT_EQ(kq::SearchedPorts(On({"/dev/x", ""})), QStringList({"/dev/x", ""}));
    EXPECT_EQ(kq::SearchedPorts({}), QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    qunsetenv("KQ_SERIAL_PORTS");
}

TEST(Form_QVCom, ReadAnswersInBothModes) {
    // The answer window is 2 + 2 ticks: an answer a tick after the echo is in
    // time; an answer without the echo, or four digits without CR, are not.
    // Word 1 answers odd digits, 2 a tick late with CR LF, 3 without the echo,
    // 4 without CR (last: it leaves its digits for the next exchange).
    const PtyPeer peer([](const std::string& f, const Send& send) {
        const int addr = f.size() == 7 && f[5] == 'D' ? f[1] - '0' : 0;
        if (addr != 3) send(f);
        if (addr == 2) std::this_thread::sleep_for(std::chrono::milliseconds(80)); // a tick late, on purpose
        const char* answers[] = {"", "c5Zz\r", "1A2b\r\n", "ffff\r", "1234"};
        return send(answers[addr]), true;
    });
    const int want[] = {0, 0xC500, 0x1A2B, -1, -1};
    // The default pacing reads them all on one link; the fast mode checks
    // each on a link of its own, since its first surprise ends it.
    {
        kq::Form_QVCom paced(On({peer.Slave()}));
        ASSERT_TRUE(paced.InitActPort());
        paced.WriteByte(0x1234, 3);
        for (short addr = 1; addr <= 4; ++addr) EXPECT_EQ(paced.ReadByte(addr), want[addr]) << addr;
        EXPECT_EQ(paced.Surprise(), "");
    }
    for (short addr = 1; addr <= 4; ++addr) {
        kq::Form_QVCom fast(On({peer.Slave()}, true));
        ASSERT_TRUE(fast.InitActPort());
        fast.WriteByte(0x1234, 3);
        EXPECT_EQ(fast.ReadByte(addr), want[addr]) << "fast " << addr;
        EXPECT_NE(fast.Surprise(), "") << addr; // none of these is clean
    }
}

TEST(Form_QVCom, TwoLinksOnTwoPortsAtOnce) {
    PtyPeer a(kqtest::Radio([](int addr) { return addr ? "00A1\r" : "C500\r"; }));
    PtyPeer b(kqtest::Radio([](int addr) { return addr ? "00B2\r" : "C500\r"; }));
    kq::TransferResult readA, readB;
    const auto run = [](kq::TransferResult& r, const PtyPeer& peer) {
        kq::Form_QVCom link(On({peer.Slave()}, true));
        r = kq::TransferSequence().Run(link);
        EXPECT_EQ(r.outcome, Outcome::Done);
    };
    std::thread ta(run, std::ref(readA), std::cref(a));
    run(readB, b);
    ta.join();
    EXPECT_EQ(readA.words.back(), 0xA1);
    EXPECT_EQ(readB.words.back(), 0xB2);
}

TEST(Form_QVCom, APortThatVanishesEndsTheTransferAtOnce) {
    for (bool fast : {false, true}) {
        PtyPeer peer([](const std::string& f, const Send& send) {
            send(f);
            if (f == "0500MD\r") return false; // the adapter is pulled
            if (f.size() == 7) send(f.compare(0, 2, "00") == 0 ? "C500\r" : "0000\r");
            return true;
        });
        kq::Form_QVCom link(On({peer.Slave()}, fast));
        const kq::TransferResult r = kq::TransferSequence().Run(link);
        EXPECT_EQ(r.outcome, Outcome::LinkFailed);
        EXPECT_EQ(r.wordsDone, 5);
        EXPECT_NE(r.detail.find("stopped working"), std::string::npos) << r.detail;
    }
}
