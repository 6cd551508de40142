// Reads, read lengths and a vanishing device are tested through Form_QVCom.
#include "KqSerialPort.h"
#include "PtyPeer.h"

#include <gtest/gtest.h>

TEST(KqSerialPort, OpenErrorsAndMapping) {
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
    // The environment names the ports unless the program chose its own.
    qputenv("KQ_SERIAL_PORTS", "/dev/a:/dev/b,/dev/c");
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({"/dev/kq-no-such-port", pty.Slave()}));
    kq::KqSerialPort::SetPortMap({});
    EXPECT_EQ(kq::KqSerialPort::PortMap(), QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    qunsetenv("KQ_SERIAL_PORTS");
}
