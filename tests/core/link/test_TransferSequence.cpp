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
        const auto table = kq::RadioTable(r, kqtest::MarkedDevice(1));
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
        ClassKQxx53 dev = kqtest::MarkedDevice(1);
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
        ClassKQxx53 dev = kqtest::MarkedDevice(1);
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

// A write that keeps the radio's table first: the backup holds what the
// radio held, a radio never initiated is written only on a yes, and when
// the backup cannot be read or kept nothing is written.
TEST(TransferSequence, AWriteKeepsTheRadiosTableBeforeWritingAWord) {
    struct Case {
        void (*fault)(FakeLink&);
        int uninitiatedAnswer; // -1: not asked
        bool keepFails;
        Outcome want;
        const char* detail;
    };
    const Case cases[] = {
        {[](FakeLink&) {}, -1, false, Outcome::Done, "; backup kept.KQ"},
        {[](FakeLink& l) { l.words[0] = 0x1234; }, 0, false, Outcome::NotInitiated, "word 0 is 0x1234"},
        {[](FakeLink& l) { l.words[0] = 0x1234; }, 1, false, Outcome::Done, "; backup kept.KQ"},
        {[](FakeLink&) {}, -1, true, Outcome::BackupFailed, "disk full; nothing was written"},
        {[](FakeLink& l) { l.silentFrom = 40; }, -1, false, Outcome::LinkFailed,
         "at word 40 while its table was read for the backup; nothing was written"},
    };
    for (const Case& c : cases) {
        FakeLink radio = Radio(1);
        c.fault(radio);
        const std::vector<int> old = radio.words;
        ClassKQxx53 dev = kqtest::MarkedDevice(1);
        Seq seq(kq::PrepareWrite(dev));
        std::vector<int32_t> kept;
        seq.keepBackup = [&](const std::vector<int32_t>& words) {
            if (c.keepFails) throw kq::KqError("disk full");
            kept = words;
            return std::string("kept.KQ");
        };
        int asked = -1;
        seq.confirmUninitiated = [&](int word0) { return asked = word0, c.uninitiatedAnswer == 1; };
        const kq::TransferResult r = seq.Run(radio);
        EXPECT_EQ(r.outcome, c.want) << c.detail;
        EXPECT_NE(r.detail.find(c.detail), std::string::npos) << r.detail;
        EXPECT_EQ(asked, c.uninitiatedAnswer < 0 ? -1 : 0x1234) << c.detail;
        EXPECT_EQ(r.wordsWritten, c.want == Outcome::Done ? 64 : 0) << c.detail;
        if (c.want == Outcome::Done) {
            EXPECT_EQ(std::vector<int>(kept.begin(), kept.end()), old) << c.detail;
            EXPECT_EQ(r.backupFile, "kept.KQ");
        } else {
            EXPECT_EQ(radio.words, old) << c.detail; // untouched
        }
        // The model check reads no word twice: one read of each for the
        // backup, then the write's own read-backs.
        if (c.want == Outcome::Done) {
            EXPECT_EQ(radio.reads, 64 + 64) << c.detail;
        }
    }
}

// The cable pulled as any word of a write goes out, for each model: the
// failure counts the words sent, names the backup and how to restore it,
// and one more write or a restore of the backup leaves the radio holding
// the table or what it held before, every time.
TEST(TransferSequence, AfterAnInterruptedWriteTheRadioHoldsTheTableOrItsBackup) {
    for (int model = 0; model < 4; ++model) {
        for (int word = 0; word < 64; ++word) {
            for (const bool restore : {false, true}) {
                kqtest::SimRadio r({}, model);
                const std::vector<int> before = r.radio.Words();
                ClassKQxx53 table = kqtest::MarkedDevice(static_cast<uint8_t>(model));
                const kq::WriteJob job = kq::PrepareWrite(table);
                std::vector<int32_t> kept;
                const auto run = [&](const kq::WriteJob& j) {
                    Seq seq(j);
                    seq.keepBackup = [&](const std::vector<int32_t>& words) {
                        if (kept.empty()) kept = words;
                        return std::string("backup.KQ");
                    };
                    return seq.Run(*r.Link());
                };
                r.line.PullAtFrame(kq::WriteFrame(job.image[size_t(word)], word));
                const kq::TransferResult cut = run(job);
                const std::string name = std::to_string(model) + " " + std::to_string(word);
                ASSERT_EQ(cut.outcome, Outcome::LinkFailed) << name << cut.detail;
                EXPECT_EQ(cut.wordsWritten, word) << name;
                EXPECT_EQ(kq::StatusOf(cut, "").find("partly written") != std::string::npos, word > 0) << name;
                EXPECT_EQ(kq::StatusOf(cut, "").find("kqtool restore 'backup.KQ'") != std::string::npos, word > 0)
                    << name;
                r.line.PullAt(kq::LinkTime::max()); // plugged in again
                const kq::WriteJob back{kept, static_cast<int>(kept[1] / 256), {}};
                const kq::TransferResult again = run(restore ? back : job);
                ASSERT_EQ(again.outcome, Outcome::Done) << name << again.detail;
                EXPECT_EQ(r.radio.Words(), restore ? before : std::vector<int>(job.image.begin(), job.image.end()))
                    << name;
            }
        }
    }
}

// A write counts the words it has sent into the radio, whatever its bar
// shows: cancelled right after word 0 went out, one word was written.
TEST(TransferSequence, ACancelledWriteCountsTheWordsSentIntoTheRadio) {
    for (const bool fast : {false, true}) {
        for (const int after : {0, 5, 40}) {
            kqtest::SimRadio r({}, 2, fast);
            ClassKQxx53 table = kqtest::MarkedDevice();
            const kq::WriteJob job = kq::PrepareWrite(table);
            Seq seq(job);
            const std::string frame = kq::WriteFrame(job.image[size_t(after)], after);
            r.line.onSend = [&](const std::string& sent) {
                if (sent == frame) seq.Cancel();
            };
            const kq::TransferResult res = seq.Run(*r.Link());
            const std::string name = std::to_string(fast) + " " + std::to_string(after);
            ASSERT_EQ(res.outcome, Outcome::Cancelled) << name;
            int holds = 0; // words of the table the radio holds now
            for (size_t a = 0; a < 64; ++a) holds += r.radio.Words()[a] == job.image[a] && r.radio.Words()[a] != kqtest::ImageOf(2, 146.0125)[a];
            EXPECT_EQ(res.wordsWritten, after + 1) << name;
            EXPECT_NE(res.detail.find("cancelled after " + std::to_string(after + 1) + " of 64 words"), std::string::npos)
                << name << res.detail;
            EXPECT_NE(kq::StatusOf(res, "").find("partly written"), std::string::npos) << name;
            EXPECT_LE(holds, after + 1) << name;
        }
    }
}
