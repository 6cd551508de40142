// The real port under the link: what opening a device says, and which
// devices a transfer searches.
#include "QtSerialLine.h"
#include "SerialPorts.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using Open = kq::SerialLine::OpenResult;

TEST(QtSerialLine, OpenNamesWhatIsWrongWithADevice) {
    kq::SteadyTime time;
    kq::QtSerialLine line(time);
    EXPECT_EQ(line.Open("/dev/null"), Open::NoSuchPort);
    EXPECT_NE(line.Problem().find("/dev/null is not a serial port"), std::string::npos) << line.Problem();
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0);
    ASSERT_EQ(line.Open(ptsname(master)), Open::Ok);
    EXPECT_EQ(line.Problem(), "");
    EXPECT_EQ(line.Open(ptsname(master)), Open::AlreadyOpen);
    // What the other side sends is read, and waited for no longer than asked.
    ASSERT_EQ(::write(master, "C5", 2), 2);
    line.WaitInput(time.Now() + kq::LinkTime(2000000));
    EXPECT_EQ(line.Read(1) + line.Read(), "C5");
    const kq::LinkTime until = time.Now() + kq::LinkTime(30000);
    line.WaitInput(until);
    EXPECT_GE(time.Now(), until);
    line.Close();
    close(master);
}

TEST(SerialPorts, ChosenPortsBeatTheEnvironmentWhichBeatsTheSystem) {
    setenv("KQ_SERIAL_PORTS", "/dev/a:/dev/b,/dev/c", 1);
    kq::LinkSettings chosen;
    chosen.ports = {"/dev/x", ""};
    EXPECT_EQ(kq::SearchedPorts(chosen), QStringList({"/dev/x", ""}));
    EXPECT_EQ(kq::SearchedPorts({}), QStringList({"/dev/a", "/dev/b", "/dev/c"}));
    unsetenv("KQ_SERIAL_PORTS");
}
