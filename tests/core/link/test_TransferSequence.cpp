#include "CoreTestSupport.h"
#include "FakeLink.h"
#include "SimRadio.h"
#include "TransferSequence.h"

#include <gtest/gtest.h>

using kq::ClassKQxx53;
using kqtest::FakeLink;
using Seq = kq::TransferSequence;
using Outcome = Seq::Outcome;

namespace {

// A radio holding a table of the given model.
FakeLink Radio(int model = 2) {
    FakeLink link;
    link.words = kqtest::ImageOf(model, 146.0125);
    return link;
}

// The table written (its words set by PrepareWrite): of model 1, its channels all differ.
ClassKQxx53 Table() {
    ClassKQxx53 d = kqtest::MarkedDevice();
    d.Model(1);
    return d;
}

} // namespace

TEST(TransferSequence, ReadOutcomesAndWhatTheyLeave) {
    // The box shows the short text, the status bar or terminal the detail.
    const std::string cpe = " ComPort Error! ", uninit = "EEPROM must be initiated!";
    struct Case {
        void (*fault)(FakeLink&);
        Outcome want;
        int wordsDone;
        std::string box;
        const char* detail;
    };
    const Case cases[] = {
        {[](FakeLink&) {}, Outcome::Done, 64, "", "read 64 words from COM1 (/dev/fake)"},
        {[](FakeLink& l) { l.port = 0; }, Outcome::NoRadio, 0, cpe, "no radio answered"},
        {[](FakeLink& l) { l.initFails = true; }, Outcome::LinkFailed, 0, cpe, "could not be prepared"},
        {[](FakeLink& l) { l.silentFrom = 10; }, Outcome::LinkFailed, 10, cpe, "at word 10 (10 of 64"},
        {[](FakeLink& l) { l.diesAt = 7; }, Outcome::LinkFailed, 7, cpe, "/dev/fake went away"},
        {[](FakeLink& l) { l.words[0] = 0xC501; }, Outcome::NotInitiated, 64, uninit, "word 0 is 0xC501"},
    };
    for (const Case& c : cases) {
        FakeLink radio = Radio();
        c.fault(radio);
        Seq seq(64);
        kq::TransferResult r = seq.Run(radio);
        EXPECT_EQ(r.outcome, c.want) << c.detail;
        EXPECT_EQ(r.wordsDone, c.wordsDone) << c.detail;
        EXPECT_NE(r.detail.find(c.detail), std::string::npos) << r.detail;
        EXPECT_EQ(kq::MessageOf(r), c.box) << c.detail;
        EXPECT_EQ(r.words, std::vector<int>(radio.words.begin(), radio.words.begin() + c.wordsDone));
        // Only a complete, checked read gives a table, of the radio's words and channels.
        const auto table = kq::RadioTable(r, Table());
        ASSERT_EQ(table.has_value(), c.want == Outcome::Done) << c.detail;
        EXPECT_TRUE(!table || (kqtest::WordsOf(*table) == radio.words && table->TheRxFreq(0) == 146.0125));
    }
    // Words the codec refuses give no table, and say why.
    kq::TransferResult odd;
    odd.words = Radio().words;
    odd.words[1] = 70000; // no model code
    EXPECT_FALSE(kq::RadioTable(odd, ClassKQxx53()).has_value());
    EXPECT_EQ(odd.outcome, Outcome::TableInvalid);
    EXPECT_EQ(kq::MessageOf(odd), odd.detail);
}

TEST(TransferSequence, WriteOutcomesAndWhatTheRadioHolds) {
    struct Case {
        int radioModel;
        void (*fault)(FakeLink&);
        int answer; // to the model question: -1 not asked, 0 Cancel, 1 OK
        int asked;  // the radio model the question names
        Outcome want;
        int written; // words of the new table in the radio, from 0
        const char* detail;
    };
    const auto none = [](FakeLink&) {};
    const Case cases[] = {
        {1, none, -1, 0, Outcome::Done, 64, "wrote and verified 64 words on COM1 (/dev/fake)"},
        {3, none, 0, 3, Outcome::ModelDeclined, 0, "another model"},
        {3, none, 1, 3, Outcome::Done, 64, "wrote and verified"},
        // No answer to word 1 is no model: nothing asked, nothing written.
        {1, [](FakeLink& l) { l.silentFrom = 1; }, -1, 0, Outcome::LinkFailed, 0, "at word 1"},
        {1, [](FakeLink& l) { l.badReadback = 17; }, -1, 0, Outcome::VerifyFailed, 18, "word 17 read back as 0x"},
        {1, [](FakeLink& l) { l.silentFrom = 20; }, -1, 0, Outcome::LinkFailed, 21, "at word 20"},
    };
    for (const Case& c : cases) {
        FakeLink radio = Radio(c.radioModel);
        const std::vector<int> old = radio.words;
        c.fault(radio);
        ClassKQxx53 dev = Table();
        Seq seq(kq::PrepareWrite(dev));
        int asked = 99;
        if (c.answer >= 0) seq.confirmModelMismatch = [&](int m) { return asked = m, c.answer == 1; };
        const kq::TransferResult r = seq.Run(radio);
        const std::string name = c.detail + std::to_string(c.radioModel) + std::to_string(c.answer);
        EXPECT_EQ(r.outcome, c.want) << name;
        EXPECT_NE(r.detail.find(c.detail), std::string::npos) << r.detail;
        EXPECT_EQ(asked, c.answer >= 0 ? c.asked : 99) << name;
        const bool linkFault = r.outcome == Outcome::LinkFailed || r.outcome == Outcome::VerifyFailed;
        EXPECT_EQ(kq::MessageOf(r), linkFault ? " ComPort Error! " : "") << name;
        // A radio left half-written says so, wherever the line is shown.
        EXPECT_EQ(kq::StatusOf(r, "").find("partly written") != std::string::npos,
                  c.written > 0 && r.outcome != Outcome::Done)
            << name;
        EXPECT_EQ(seq.Progress(), r.outcome == Outcome::Done ? 15 : c.written / 4 + 1) << name;
        for (size_t a = 0; a < 64; ++a)
            EXPECT_EQ(radio.words[a], a < size_t(c.written) ? dev.EEWord(int16_t(a)) : old[a]) << name << a;
    }
    // A table the codec refuses: its message, and nothing sent.
    ClassKQxx53 dev;
    dev.TheRxFreq(2, 99999.0);
    Seq seq(kq::PrepareWrite(dev));
    FakeLink radio;
    const kq::TransferResult r = seq.Run(radio);
    EXPECT_EQ(r.outcome, Outcome::TableInvalid);
    EXPECT_EQ(radio.reads + radio.writes, 0);
    EXPECT_NE(kq::MessageOf(r).find("Channel 2"), std::string::npos);
    EXPECT_EQ(kq::TerminalLineOf(r, ""), kq::MessageOf(r) + "; nothing was sent");
}

TEST(TransferSequence, ProgressAsTheBarsShowItAndCancelBetweenWords) {
    for (Seq::Direction dir : {Seq::Direction::Read, Seq::Direction::Write}) {
        FakeLink radio = Radio(1);
        ClassKQxx53 dev = Table();
        Seq read(64), write(kq::PrepareWrite(dev));
        Seq& seq = dir == Seq::Direction::Write ? write : read;
        std::vector<int> bar(65, -1); // the bar when word n is asked for
        bool modelChecked = dir == Seq::Direction::Read;
        radio.onRead = [&](int addr) {
            if (!modelChecked) return void(modelChecked = true);
            bar[static_cast<size_t>(addr)] = seq.Progress();
            if (addr == 40) seq.Cancel();
        };
        EXPECT_EQ(seq.Run(radio).outcome, Outcome::Cancelled);
        const int ahead = dir == Seq::Direction::Write ? 1 : 0; // a write's bar runs one step ahead
        EXPECT_EQ(std::vector<int>({bar[0], bar[3], bar[4], bar[30], bar[40], bar[41]}),
                  std::vector<int>({ahead, ahead, 1 + ahead, 7 + ahead, 10 + ahead, -1}));
        EXPECT_EQ(seq.WordsDone(), 41);
        EXPECT_EQ(radio.words[31] == dev.EEWord(31), dir == Seq::Direction::Write); // channel 5
    }
}
