// Transfers against the kqradio emulator running as a child process.
#include "KqRadioProcess.h"
#include "KqTransfer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

namespace {

int argc_ = 1;
char arg0_[] = "test";
char* argv_[] = {arg0_, nullptr};
QCoreApplication app_(argc_, argv_);

using Radio = kqtest::KqRadioProcess;

using Outcome = kq::KqTransfer::Outcome;
using Dir = kq::KqTransfer::Direction;

} // namespace

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
