#include "KqTransfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <string>
#include <thread>

namespace {

// An EEPROM behind a pty master, answering like the radio does.
class FakeRadio {
public:
    std::array<int, 64> ee{};
    int silentFrom = -1; // stop answering read frames from this address

    FakeRadio()
    {
        ee[0] = 0xC500;
        ee[1] = 0x0150;
        for (int a = 2; a < 64; ++a)
            ee[a] = (a * 0x1111) & 0xFFFF;
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        slave_ = QString::fromLocal8Bit(ptsname(master_));
        kq::KqSerialPort::SetPortMap({slave_});
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeRadio()
    {
        stop_ = true;
        thread_.join();
        close(master_);
        kq::KqSerialPort::SetPortMap({});
    }

private:
    static int Hex(const std::string& s)
    {
        return std::stoi(s, nullptr, 16);
    }
    void Send(const std::string& s)
    {
        if (::write(master_, s.data(), s.size()) < 0)
            stop_ = true;
    }
    void Run()
    {
        std::string f;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            char c;
            if (poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN) || ::read(master_, &c, 1) != 1)
                continue;
            f += c;
            if (c != '\r')
                continue;
            if (f == "\r") {
                Send("\r");
            } else if (f.size() == 7) {
                const int a = Hex(f.substr(0, 2)) & 63;
                if (f.substr(2, 4) == "00MD") {
                    if (silentFrom < 0 || a < silentFrom) {
                        char buf[8];
                        snprintf(buf, sizeof buf, "%04X\r", ee[a]);
                        Send(f + buf);
                    }
                } else {
                    ee[a] = Hex(f.substr(2, 4));
                    Send(f);
                }
            }
            f.clear();
        }
    }
    int master_ = -1;
    QString slave_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

int argc_ = 1;
char arg0_[] = "test";
char* argv_[] = {arg0_, nullptr};
QCoreApplication app_(argc_, argv_);

using Outcome = kq::KqTransfer::Outcome;
using Dir = kq::KqTransfer::Direction;

} // namespace

TEST(KqTransfer, ReadWholeRadioWithProgress)
{
    FakeRadio radio;
    kq::ClassKQxx53 dev;
    kq::KqTransfer t(dev, Dir::Read);
    std::vector<int> seen;
    t.hooks.progress = [&](int v) { seen.push_back(v); };
    ASSERT_EQ(t.Run(), Outcome::Done);
    for (int a = 0; a < 64; ++a)
        EXPECT_EQ(dev.EEWord(static_cast<int16_t>(a)), radio.ee[a]) << a;
    EXPECT_EQ(dev.Model(), 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 15);
    EXPECT_EQ(t.Device(), kq::KqSerialPort::PortMap().value(0));
}

TEST(KqTransfer, ReadFailuresLeaveTheDeviceUntouched)
{
    {
        FakeRadio radio;
        radio.silentFrom = 10;
        kq::ClassKQxx53 dev;
        dev.TheRxFreq(3, 146.0125);
        dev.Para_to_EEWord();
        const kq::ClassKQxx53 before = dev;
        kq::KqTransfer t(dev, Dir::Read);
        EXPECT_EQ(t.Run(), Outcome::LinkFailed);
        EXPECT_EQ(kq::KqTransfer::Message(Outcome::LinkFailed), " ComPort Error! ");
        for (int16_t a = 0; a < 64; ++a)
            EXPECT_EQ(dev.EEWord(a), before.EEWord(a)) << a;
        EXPECT_EQ(dev.TheRxFreq(3), 146.0125);
        EXPECT_EQ(t.WordsDone(), 10);
    }
    {
        FakeRadio radio;
        radio.ee[0] = 0xC501;
        kq::ClassKQxx53 dev;
        kq::KqTransfer t(dev, Dir::Read);
        EXPECT_EQ(t.Run(), Outcome::NotInitiated);
        EXPECT_EQ(kq::KqTransfer::Message(Outcome::NotInitiated), "EEPROM must be initiated!");
        const kq::ClassKQxx53 fresh;
        for (int16_t a = 0; a < 64; ++a)
            EXPECT_EQ(dev.EEWord(a), fresh.EEWord(a)) << a;
    }
    kq::ClassKQxx53 dev;
    kq::KqSerialPort::SetPortMap({"/dev/kq-none"});
    EXPECT_EQ(kq::KqTransfer(dev, Dir::Read).Run(), Outcome::NoRadio);
    kq::KqSerialPort::SetPortMap({});
}

TEST(KqTransfer, WriteModelCheckVerifyAndCancel)
{
    FakeRadio radio;
    kq::ClassKQxx53 src;
    src.Model(2);
    src.Para_to_EEWord();
    const auto old = radio.ee;
    {
        kq::KqTransfer t(src, Dir::Write);
        int asked = -99;
        t.hooks.confirmModelMismatch = [&](int m) { asked = m; return false; };
        EXPECT_EQ(t.Run(), Outcome::ModelDeclined);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(radio.ee, old);
    }
    {
        kq::KqTransfer t(src, Dir::Write);
        t.hooks.progress = [&](int v) { if (v >= 3) t.Cancel(); };
        t.hooks.confirmModelMismatch = [](int) { return true; };
        EXPECT_EQ(t.Run(), Outcome::Cancelled);
        EXPECT_EQ(t.WordsDone(), 8);
        EXPECT_EQ(radio.ee[7], src.EEWord(7));
        EXPECT_EQ(radio.ee[8], old[8]);
    }
    {
        kq::KqTransfer t(src, Dir::Write);
        t.hooks.confirmModelMismatch = [](int) { return true; };
        ASSERT_EQ(t.Run(), Outcome::Done);
        EXPECT_EQ(t.Progress(), 15);
        for (int a = 0; a < 64; ++a)
            EXPECT_EQ(radio.ee[a], src.EEWord(static_cast<int16_t>(a))) << a;
    }
    // Radio now holds model 2: no question.
    kq::KqTransfer t(src, Dir::Write);
    EXPECT_EQ(t.Run(), Outcome::Done);
}
