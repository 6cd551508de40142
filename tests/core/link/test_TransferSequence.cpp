#include "FakeLink.h"
#include "TransferSequence.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;
using kqtest::FakeLink;
using Seq = kq::TransferSequence;
using Outcome = Seq::Outcome;
using Dir = Seq::Direction;

namespace {

// A radio holding a table of model 1 with a few channels.
FakeLink RadioWithTable(int model = 1)
{
    ClassKQxx53 d;
    d.Model(static_cast<uint8_t>(model));
    d.TheRxFreq(0, 146.0125);
    d.TheTxFreq(3, 150.5);
    d.Para_to_EEWord();
    FakeLink link;
    for (int16_t a = 0; a < 64; ++a)
        link.words[static_cast<size_t>(a)] = d.EEWord(a);
    return link;
}

ClassKQxx53 TableToWrite(int model = 1)
{
    ClassKQxx53 d;
    d.Model(static_cast<uint8_t>(model));
    d.TheRxFreq(5, 440.0125);
    d.TheTxFreq(5, 445.0);
    d.Para_to_EEWord();
    return d;
}

std::vector<int> WordsOf(const ClassKQxx53& d)
{
    std::vector<int> w;
    for (int16_t a = 0; a < 64; ++a)
        w.push_back(d.EEWord(a));
    return w;
}

} // namespace

TEST(TransferSequence, ReadOutcomesAndWhatTheyLeave)
{
    struct Case {
        const char* name;
        std::function<void(FakeLink&)> fault;
        Outcome want;
        int wordsDone;
        const char* detail;
    };
    const Case cases[] = {
        {"ok", [](FakeLink&) {}, Outcome::Done, 64, "read 64 words from /dev/fake"},
        {"no radio", [](FakeLink& l) { l.port = 0; }, Outcome::NoRadio, 0, "no radio answered"},
        {"init fails", [](FakeLink& l) { l.initFails = true; }, Outcome::LinkFailed, 0, "could not be prepared"},
        {"silent at 10", [](FakeLink& l) { l.silentFrom = 10; }, Outcome::LinkFailed, 10, "at word 10 (10 of 64"},
        {"port dies", [](FakeLink& l) { l.diesAt = 7; }, Outcome::LinkFailed, 7, "/dev/fake went away"},
        {"0xC501", [](FakeLink& l) { l.words[0] = 0xC501; }, Outcome::NotInitiated, 64, "word 0 is 0xC501"},
    };
    for (const Case& c : cases) {
        FakeLink radio = RadioWithTable(2); // the default model: same IF on both sides
        c.fault(radio);
        ClassKQxx53 dev;
        dev.TheRxFreq(9, 430.0);
        const ClassKQxx53 before = dev;
        Seq seq(dev, Dir::Read);
        const Outcome got = seq.Run(radio);
        EXPECT_EQ(got, c.want) << c.name;
        EXPECT_EQ(seq.WordsDone(), c.wordsDone) << c.name;
        EXPECT_NE(seq.Detail(got).find(c.detail), std::string::npos) << c.name << ": " << seq.Detail(got);
        if (got == Outcome::Done) {
            EXPECT_EQ(WordsOf(dev), radio.words);
            EXPECT_DOUBLE_EQ(dev.TheRxFreq(0), 146.0125);
            EXPECT_DOUBLE_EQ(dev.TheRxFreq(9), 0.0);
        } else {
            EXPECT_EQ(WordsOf(dev), WordsOf(before)) << c.name;
            EXPECT_DOUBLE_EQ(dev.TheRxFreq(9), 430.0) << c.name;
        }
        // The same radio read into a separate image: the words, no device.
        FakeLink again = RadioWithTable(2);
        c.fault(again);
        Seq image;
        EXPECT_EQ(image.Run(again), c.want) << c.name;
        EXPECT_EQ(image.Image(), std::vector<int>(again.words.begin(), again.words.begin() + c.wordsDone)) << c.name;
    }
}

TEST(TransferSequence, WriteOutcomesAndWhatTheRadioHolds)
{
    struct Case {
        const char* name;
        int radioModel;
        std::function<void(FakeLink&)> fault;
        int answer; // to the model question: -1 not asked, 0 Cancel, 1 OK
        Outcome want;
        int written; // words of the new table in the radio, from 0
        const char* detail;
    };
    const Case cases[] = {
        {"same model", 1, [](FakeLink&) {}, -1, Outcome::Done, 64, "wrote and verified 64 words on /dev/fake"},
        {"other model declined", 3, [](FakeLink&) {}, 0, Outcome::ModelDeclined, 0, "another model"},
        {"other model accepted", 3, [](FakeLink&) {}, 1, Outcome::Done, 64, "wrote and verified"},
        {"word 1 unanswered", 1, [](FakeLink& l) { l.silentFrom = 1; }, 0, Outcome::ModelDeclined, 0, "another"},
        {"no radio", 1, [](FakeLink& l) { l.port = 0; }, -1, Outcome::NoRadio, 0, "no radio"},
        {"bad read-back", 1, [](FakeLink& l) { l.badReadback = 5; }, -1, Outcome::VerifyFailed, 6,
         "word 5 read back as 0x"},
        {"silent at 20", 1, [](FakeLink& l) { l.silentFrom = 20; }, -1, Outcome::LinkFailed, 21, "at word 20"},
    };
    const ClassKQxx53 table = TableToWrite(1);
    for (const Case& c : cases) {
        FakeLink radio = RadioWithTable(c.radioModel);
        const std::vector<int> old = radio.words;
        c.fault(radio);
        ClassKQxx53 dev = TableToWrite(1);
        Seq seq(dev, Dir::Write);
        int asked = -2;
        if (c.answer >= 0)
            seq.confirmModelMismatch = [&](int m) {
                asked = m;
                return c.answer == 1;
            };
        const Outcome got = seq.Run(radio);
        EXPECT_EQ(got, c.want) << c.name;
        EXPECT_NE(seq.Detail(got).find(c.detail), std::string::npos) << c.name << ": " << seq.Detail(got);
        if (c.answer >= 0) {
            EXPECT_EQ(asked, radio.silentFrom == 1 ? -1 : c.radioModel) << c.name;
        }
        for (int16_t a = 0; a < 64; ++a)
            EXPECT_EQ(radio.words[static_cast<size_t>(a)], a < c.written ? table.EEWord(a) : old[static_cast<size_t>(a)])
                << c.name << " word " << a;
    }
}

TEST(TransferSequence, TableTheCodecRefusesSendsNothing)
{
    ClassKQxx53 dev;
    dev.TheRxFreq(2, 99999.0);
    Seq seq(dev, Dir::Write);
    FakeLink radio;
    EXPECT_EQ(seq.Prepare(), Outcome::TableInvalid);
    EXPECT_EQ(seq.Run(radio), Outcome::TableInvalid);
    EXPECT_EQ(radio.reads + radio.writes, 0);
    EXPECT_NE(seq.Message(Outcome::TableInvalid).find("Channel 2"), std::string::npos);
    EXPECT_EQ(seq.Message(Outcome::VerifyFailed), " ComPort Error! ");
}

TEST(TransferSequence, ProgressAsTheBarsShowItAndCancelBetweenWords)
{
    for (Dir dir : {Dir::Read, Dir::Write}) {
        FakeLink radio = RadioWithTable();
        ClassKQxx53 dev = TableToWrite();
        Seq seq(dev, dir);
        std::vector<int> bar(65, -1); // bar value when word n is asked for
        int verifies = 0;
        radio.onRead = [&](int addr) {
            if (dir == Dir::Write && verifies++ == 0)
                return; // the model check
            bar[static_cast<size_t>(addr)] = seq.Progress();
            if (addr == 40)
                seq.Cancel();
        };
        EXPECT_EQ(seq.Run(radio), Outcome::Cancelled);
        const int ahead = dir == Dir::Write ? 1 : 0;
        EXPECT_EQ(bar[0], ahead);
        EXPECT_EQ(bar[4], 1 + ahead);
        EXPECT_EQ(bar[30], 7 + ahead);
        EXPECT_EQ(bar[41], -1); // nothing after the cancel
        EXPECT_EQ(seq.WordsDone(), 41);
        if (dir == Dir::Read) {
            EXPECT_DOUBLE_EQ(dev.TheRxFreq(5), 440.0125); // untouched
        } else {
            EXPECT_EQ(radio.words[40], dev.EEWord(40));
        }
    }
    FakeLink radio = RadioWithTable();
    ClassKQxx53 dev = TableToWrite();
    Seq seq(dev, Dir::Write);
    ASSERT_EQ(seq.Run(radio), Outcome::Done);
    EXPECT_EQ(seq.Progress(), 15);
}

TEST(TransferSequence, FastWriteFallsBackOnSurprisesAndReadsEverythingBack)
{
    struct Case {
        const char* name;
        std::function<void(FakeLink&)> fault;
        const char* surprise; // "" when the fast mode held
        int writes, reads;
    };
    // Reads: the model check, one verify per write, then the read-back
    // (up to the first difference).
    const Case cases[] = {
        {"clean", [](FakeLink&) {}, "", 64, 1 + 64 + 64},
        {"verify missed", [](FakeLink& l) { l.fastMissAt = 16; }, "word 16 read back as", 65, 1 + 65 + 64},
        {"later word disturbs word 0", [](FakeLink& l) { l.disturb = 9; },
         "word 0 read back as 0xC510 instead of 0xC500 in the final read-back", 128, 1 + 64 + 1 + 64},
    };
    for (const Case& c : cases) {
        FakeLink radio = RadioWithTable();
        radio.fast = true;
        c.fault(radio);
        ClassKQxx53 dev = TableToWrite();
        Seq seq(dev, Dir::Write);
        EXPECT_EQ(seq.Run(radio), Outcome::Done) << c.name;
        EXPECT_EQ(radio.words, WordsOf(dev)) << c.name;
        EXPECT_EQ(radio.writes, c.writes) << c.name;
        EXPECT_NE(seq.Surprise().find(c.surprise), std::string::npos) << c.name << ": " << seq.Surprise();
        EXPECT_EQ(seq.Surprise().empty(), std::string(c.surprise).empty()) << c.name;
        EXPECT_EQ(radio.reads, c.reads) << c.name;
    }
}
