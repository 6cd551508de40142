// Transfers against the kqradio emulator running as a child process.
#include "ChannelFile.h"
#include "KqRadioProcess.h"
#include "KqTransfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

int argc_ = 1;
char arg0_[] = "test";
char* argv_[] = {arg0_, nullptr};
QCoreApplication app_(argc_, argv_);

using Radio = kqtest::KqRadioProcess;

using Outcome = kq::KqTransfer::Outcome;
using Dir = kq::KqTransfer::Direction;

} // namespace

TEST(KqRadioLink, WriteThenSavedImageAndReadBack)
{
    QTemporaryDir tmp;
    const QString saved = tmp.filePath("saved.KQ");
    kq::ClassKQxx53 src;
    src.Model(1);
    src.TheRxFreq(3, src.TheRxFreq(3) + 1);
    src.Para_to_EEWord();
    {
        Radio r({"--save", saved});
        ASSERT_TRUE(r.device.startsWith("/dev/"));
        kq::KqSerialPort::SetPortMap({r.device});
        kq::KqTransfer w(src, Dir::Write);
        ASSERT_EQ(w.Run(), Outcome::Done);
        kq::ClassKQxx53 back;
        kq::KqTransfer rd(back, Dir::Read);
        ASSERT_EQ(rd.Run(), Outcome::Done);
        for (int a = 0; a < 64; ++a)
            EXPECT_EQ(back.EEWord(static_cast<int16_t>(a)), src.EEWord(static_cast<int16_t>(a))) << a;
    }
    // The emulator wrote its EEPROM out on exit: it loads as the same table.
    kq::ClassKQxx53 onDisk;
    kq::OpenChannelFile(onDisk, saved.toStdString());
    onDisk.Para_to_EEWord();
    for (int a = 0; a < 64; ++a)
        EXPECT_EQ(onDisk.EEWord(static_cast<int16_t>(a)), src.EEWord(static_cast<int16_t>(a))) << a;
    kq::KqSerialPort::SetPortMap({});
}

TEST(KqRadioLink, Faults)
{
    kq::ClassKQxx53 src;
    src.Model(1);
    struct Case { QStringList args; Dir dir; Outcome want; };
    const Case cases[] = {
        {{"--no-probe"}, Dir::Read, Outcome::NoRadio},
        {{"--silent-from", "10"}, Dir::Read, Outcome::LinkFailed},
        {{"--bad-id"}, Dir::Read, Outcome::NotInitiated},
        {{"--short-answer"}, Dir::Read, Outcome::LinkFailed},
        {{"--bad-readback", "5"}, Dir::Write, Outcome::LinkFailed},
        {{"--model", "3"}, Dir::Write, Outcome::ModelDeclined},
    };
    for (const auto& c : cases) {
        Radio r(c.args);
        kq::KqSerialPort::SetPortMap({r.device});
        kq::ClassKQxx53 dev = src;
        kq::KqTransfer t(dev, c.dir);
        EXPECT_EQ(t.Run(), c.want) << c.args.join(' ').toStdString();
        if (c.args.first() == "--silent-from") {
            EXPECT_EQ(t.WordsDone(), 10);
        }
        if (c.args.first() == "--bad-readback") {
            EXPECT_EQ(t.WordsDone(), 5);
        }
    }
    kq::KqSerialPort::SetPortMap({});
}
