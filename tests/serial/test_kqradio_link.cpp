// Write and read back against kqradio paced at 9600 baud, as a real radio
// and cable might behave: the default pacing must pass against each, and
// the fast mode must give the same result (slower where it falls back).
#include "ChannelFile.h"
#include "KqRadioProcess.h"
#include "LinkRunner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

int argc_ = 1;
char* argv_[] = {const_cast<char*>("test"), nullptr};
QCoreApplication app_(argc_, argv_);

using Outcome = kq::TransferSequence::Outcome;
using Dir = kq::TransferSequence::Direction;

struct Behaviour {
    QStringList args;
    bool write;         // write (and verify) instead of read
    bool fastFallsBack; // the fast mode must notice and fall back
};

class KqRadioLink : public ::testing::TestWithParam<Behaviour> {};

} // namespace

TEST_P(KqRadioLink, DefaultAndFastGiveTheSameImage) {
    const Behaviour& b = GetParam();
    // Four words: the identification, the model and two words of distinct
    // digits, so a shifted or misread answer shows.
    const int16_t words = 4;
    kq::ClassKQxx53 table;
    table.EEWord(2, 0xA5F0);
    table.EEWord(3, 0x0F1E);
    QTemporaryDir dir;
    const QString image = dir.filePath("radio.KQ");
    kq::SaveChannelFile(table, image.toStdString());
    kqtest::KqRadioProcess radio(b.args + QStringList{"--image", image}, /*pace=*/true);
    for (bool fast : {false, true}) {
        // Ticks of 80 ms: on a loaded machine a pseudo-terminal can deliver tens of ms late.
        const kq::LinkSettings link{{radio.device.toStdString()}, fast, 80, 10};
        kq::ClassKQxx53 dev = table;
        dev.EEWord(3, fast ? 0x1234 : 0xBCDE); // each mode writes something new
        dev.TotalEEWords(words);
        // A write verifies every word, and a fast one reads them all back.
        kq::TransferSequence write(kq::PrepareWrite(dev)), read(words);
        const kq::TransferResult r = kq::LinkRunner::Run(b.write ? write : read, link);
        ASSERT_EQ(r.outcome, Outcome::Done) << (fast ? "fast: " : "default: ") << r.detail;
        for (int16_t a = 0; a < words && !b.write; ++a)
            ASSERT_EQ(r.words[static_cast<size_t>(a)], table.EEWord(a)) << fast << " word " << a;
        EXPECT_TRUE(!fast || !b.fastFallsBack || !r.fallBack.empty()); // it noticed
    }
}

INSTANTIATE_TEST_SUITE_P(Radios, KqRadioLink,
                         ::testing::Values(Behaviour{{}, true, false}, // 10 ms EEPROM time
                                           Behaviour{{"--crlf"}, false, true},
                                           Behaviour{{"--probe-extra", "KQ\\r\\n"}, false, false},
                                           Behaviour{{"--answer-delay", "30"}, false, false},
                                           Behaviour{{"--latency", "4"}, true, false},
                                           Behaviour{{"--echo-per-char"}, true, false}));
