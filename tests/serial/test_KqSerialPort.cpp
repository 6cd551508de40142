#include "KqSerialPort.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

struct Pty {
    int master = -1;
    QString slave;
    Pty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master);
        unlockpt(master);
        slave = QString::fromLocal8Bit(ptsname(master));
    }
    ~Pty() { close(master); }
};

QByteArray ReadFor(kq::KqSerialPort& p, int want)
{
    QByteArray got;
    for (int i = 0; i < 200 && got.size() < want; ++i) {
        got += p.Read();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

} // namespace

TEST(KqSerialPort, OpenErrorsAndMapping)
{
    Pty pty;
    kq::KqSerialPort::SetPortMap({"/dev/kq-no-such-port", pty.slave});
    kq::KqSerialPort port;
    port.SetPort(1);
    EXPECT_EQ(port.Open(), kq::KqSerialPort::NoSuchPort);
    port.SetPort(3); // beyond the list
    EXPECT_EQ(port.Open(), kq::KqSerialPort::NoSuchPort);
    port.SetPort(5);
    EXPECT_EQ(port.Open(), kq::KqSerialPort::NoSuchPort);
    port.SetPort(2);
    ASSERT_EQ(port.Open(), kq::KqSerialPort::NoError);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Open(), kq::KqSerialPort::PortAlreadyOpen);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    kq::KqSerialPort::SetPortMap({});

    // The environment names the ports unless the program chose its own.
    qputenv("KQ_SERIAL_PORTS", "/dev/a:/dev/b,/dev/c");
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    kq::KqSerialPort::SetPortMap({pty.slave});
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({pty.slave}));
    kq::KqSerialPort::SetPortMap({});
    qunsetenv("KQ_SERIAL_PORTS");
}

TEST(KqSerialPort, ReadLengthAndWaitingCount)
{
    Pty pty;
    kq::KqSerialPort::SetPortMap({pty.slave});
    kq::KqSerialPort port;
    port.SetPort(1);
    ASSERT_EQ(port.Open(), kq::KqSerialPort::NoError);
    EXPECT_TRUE(port.Read().isEmpty()); // nothing waits: returns at once

    port.Write("0100MD\r");
    char buf[16] = {};
    ssize_t n = 0;
    for (int i = 0; i < 200 && n < 7; ++i) {
        ssize_t r = ::read(pty.master, buf + n, sizeof buf - 1 - n);
        if (r > 0)
            n += r;
    }
    EXPECT_EQ(QByteArray(buf, static_cast<int>(n)), QByteArray("0100MD\r"));

    ASSERT_EQ(::write(pty.master, "ABCDEFGHIJ", 10), 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(port.InBufferCount(), 10);
    port.SetReadLength(7);
    EXPECT_EQ(ReadFor(port, 7), QByteArray("ABCDEFG"));
    port.SetReadLength(0);
    EXPECT_EQ(ReadFor(port, 3), QByteArray("HIJ"));
    kq::KqSerialPort::SetPortMap({});
}
