#include "Form_QVCom.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace {

// A radio side on a pty master: the reply function maps each frame (up to
// and including its carriage return) onto what goes back.
class Peer {
public:
    explicit Peer(std::function<std::string(const std::string&)> reply) : reply_(std::move(reply))
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        slave_ = QString::fromLocal8Bit(ptsname(master_));
        thread_ = std::thread([this] { Run(); });
    }
    ~Peer()
    {
        stop_ = true;
        thread_.join();
        close(master_);
    }
    QString Slave() const { return slave_; }

private:
    void Run()
    {
        std::string frame;
        while (!stop_) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN))
                continue;
            char c;
            if (::read(master_, &c, 1) != 1)
                continue;
            frame += c;
            if (c == '\r') {
                const std::string r = reply_(frame);
                if (!r.empty() && ::write(master_, r.data(), r.size()) < 0)
                    return;
                frame.clear();
            }
        }
    }
    std::function<std::string(const std::string&)> reply_;
    int master_ = -1;
    QString slave_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

std::string Radio(const std::string& f)
{
    if (f == "\r")
        return "\r";
    if (f.size() == 7 && f.substr(2, 4) == "00MD")
        return f + "c5Zz\r";
    return f;
}

int argc_ = 1;
char arg0_[] = "test";
char* argv_[] = {arg0_, nullptr};
QCoreApplication app_(argc_, argv_);

} // namespace

TEST(Form_QVCom, LowestAnsweringPortWinsAndOddAnswersAreNotTaken)
{
    Peer silent([](const std::string&) { return std::string(); });
    Peer radio2(Radio), radio3(Radio);
    Peer twoCr([](const std::string&) { return std::string("\r\r"); });
    kq::KqSerialPort::SetPortMap({silent.Slave(), radio2.Slave(), radio3.Slave(), twoCr.Slave()});
    {
        kq::Form_QVCom com;
        EXPECT_EQ(com.ActComPort(), 2);
        EXPECT_EQ(com.ActDevice(), radio2.Slave());
    }
    kq::KqSerialPort::SetPortMap({silent.Slave(), "/dev/kq-none", twoCr.Slave()});
    {
        kq::Form_QVCom com;
        EXPECT_EQ(com.ActComPort(), 0);
        EXPECT_FALSE(com.InitActPort());
    }
    kq::KqSerialPort::SetPortMap({});
}

TEST(Form_QVCom, ReadAnswersAndShortAnswers)
{
    for (bool early : {true, false}) {
        Peer radio(Radio);
        Peer shortRadio([](const std::string& f) { return f == "\r" ? f : f.size() == 7 && f[5] == 'D' ? f + "1234" : f; });
        Peer noEcho([](const std::string& f) { return f == "\r" ? f : std::string("ffff\r"); });
        for (auto* peer : {&radio, &shortRadio, &noEcho}) {
            kq::KqSerialPort::SetPortMap({peer->Slave()});
            kq::Form_QVCom com(kq::Form_QVCom::Options{early});
            ASSERT_EQ(com.ActComPort(), 1);
            ASSERT_TRUE(com.InitActPort());
            com.WriteByte(0x1234, 3);
            const int got = com.ReadByte(1);
            EXPECT_EQ(got, peer == &radio ? 0xC500 : -1) << "early finish " << early;
        }
    }
    kq::KqSerialPort::SetPortMap({});
}
