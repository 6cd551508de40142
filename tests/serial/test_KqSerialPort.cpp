#include "KqSerialPort.h"
#include "PtyPeer.h"

#include <gtest/gtest.h>

namespace {

// Waits (blocking on the port, no sleeps) until n characters are in.
int WaitFor(kq::KqSerialPort& p, int n)
{
    for (int i = 0; i < 500 && p.InBufferCount() < n; ++i)
        p.Wait(10);
    return p.InBufferCount();
}

} // namespace

TEST(KqSerialPort, OpenErrorsAndMapping)
{
    kqtest::PtyPeer pty([](const std::string&, const kqtest::PtyPeer::Send&) { return true; });
    kq::KqSerialPort::SetPortMap({"/dev/kq-no-such-port", pty.Slave()});
    kq::KqSerialPort port;
    for (int n : {1, 3, 5}) { // missing device, beyond the list, beyond COM4
        port.SetPort(n);
        EXPECT_EQ(port.Open(), kq::KqSerialPort::NoSuchPort) << n;
    }
    port.SetPort(2);
    ASSERT_EQ(port.Open(), kq::KqSerialPort::NoError);
    EXPECT_EQ(port.Open(), kq::KqSerialPort::PortAlreadyOpen);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    kq::KqSerialPort::SetPortMap({});

    // The environment names the ports unless the program chose its own.
    qputenv("KQ_SERIAL_PORTS", "/dev/a:/dev/b,/dev/c");
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    kq::KqSerialPort::SetPortMap({pty.Slave()});
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({pty.Slave()}));
    kq::KqSerialPort::SetPortMap({});
    qunsetenv("KQ_SERIAL_PORTS");
}

TEST(KqSerialPort, ReadLengthWaitingCountAndAVanishingDevice)
{
    kqtest::PtyPeer pty([](const std::string& f, const kqtest::PtyPeer::Send& send) {
        send(f == "0100MD\r" ? "ABCDEFGHIJ" : "?");
        return f != "hang up\r";
    });
    kq::KqSerialPort port;
    port.SetMap({pty.Slave()});
    port.SetPort(1);
    ASSERT_EQ(port.Open(), kq::KqSerialPort::NoError);
    EXPECT_TRUE(port.Read().isEmpty()); // nothing waits: returns at once
    port.Write("0100MD\r");
    EXPECT_EQ(WaitFor(port, 10), 10);
    port.SetReadLength(7);
    EXPECT_EQ(port.Read(), QByteArray("ABCDEFG"));
    port.SetReadLength(0);
    EXPECT_EQ(port.Read(), QByteArray("HIJ"));

    port.Write("hang up\r");
    WaitFor(port, 1000); // ends as soon as the device fails
    EXPECT_TRUE(port.Failed());
    EXPECT_TRUE(port.Problem().contains(pty.Slave())) << port.Problem().toStdString();
}
