// The link log: the recording line, the text and its parser, and the replay
// in virtual time against simulated radios of every failure class.
#include "CoreTestSupport.h"
#include "KqFrames.h"
#include "LinkLog.h"
#include "LinkReplay.h"
#include "MessageQuote.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kqtest;
using kq::LinkEvent;
using kq::RadioBehaviour;
using kq::WordFault;
using Outcome = kq::TransferOutcome;
using EK = LinkEvent::Kind;

namespace {

// A simulated line on which the user cancels once the time has come.
struct CancellingLine : SimLine {
    LinkTime at = LinkTime::max();
    std::function<void()> cancel;
    void SleepUntil(LinkTime t) override {
        SimLine::SleepUntil(t);
        if (Now() >= at && cancel) std::exchange(cancel, nullptr)();
    }
};

struct Recorded {
    kq::TransferResult result;
    kq::LinkLog log;
    std::string sent; // everything the computer sent
};

// A read (table empty) or a write of table through a recording line to a
// simulated radio; the model question is answered with ok after 3 s.
Recorded Record(RadioBehaviour b, int radioModel, bool fast, const kq::ClassKQxx53* table,
                bool ok = true, LinkTime cancelAt = LinkTime::max(), LinkTime pullAt = LinkTime::max(),
                unsigned jitter = 0) {
    b.paceInput = true;
    kq::RadioModel radio(b, ImageOf(radioModel, 146.0125));
    CancellingLine line;
    line.Attach("/dev/ttySIM", radio);
    line.PullAt(pullAt);
    // A busy machine wakes the program up to 6 ms late.
    if (jitter) line.WakeLate(kq::Millis(6), jitter);
    kq::LinkSettings settings;
    settings.ports = {"/dev/ttySIM", "/dev/ttyNONE"};
    settings.fast = fast;
    kq::LinkRecorder rec("test 1.0");
    rec.Settings(settings);
    kq::RecordingLine traced(line, line, rec);
    std::unique_ptr<kq::TransferSequence> seq;
    if (table) {
        kq::ClassKQxx53 copy = *table;
        const kq::WriteJob job = kq::PrepareWrite(copy);
        rec.Write(job);
        seq = std::make_unique<kq::TransferSequence>(job);
    } else {
        rec.Read(64);
        seq = std::make_unique<kq::TransferSequence>(64);
    }
    seq->confirmModelMismatch = [&](int model) {
        return rec.Ask("model-mismatch", model, [&] {
            line.SleepUntil(line.Now() + kq::Millis(3000));
            return ok;
        });
    };
    line.at = cancelAt;
    line.cancel = [&] {
        rec.Cancel();
        seq->Cancel();
    };
    Recorded r;
    {
        kq::Form_QVCom link(traced, traced, settings);
        r.result = seq->Run(link);
    }
    if (!table) kq::RadioTable(r.result, kq::ClassKQxx53());
    rec.Finish(r.result);
    r.log = rec.Log();
    r.sent = line.Sent();
    return r;
}

} // namespace

TEST(LinkLog, TheRecordingLineLogsEveryBurstAndChangesNothing) {
    const kq::ClassKQxx53 table = MarkedDevice(2);
    for (bool fast : {false, true}) {
        for (const kq::ClassKQxx53* job : {static_cast<const kq::ClassKQxx53*>(nullptr), &table}) {
            const Recorded rec = Record(RadioBehaviour(), 2, fast, job);
            // The same transfer on a plain line: the recording changes nothing.
            SimRadio plain(RadioBehaviour(), 2, fast);
            plain.settings.ports = {"/dev/ttySIM", "/dev/ttyNONE"};
            const kq::TransferResult r = job ? plain.Write(*job) : plain.Read();
            EXPECT_EQ(rec.result.outcome, Outcome::Done);
            EXPECT_EQ(rec.result.words, r.words);
            EXPECT_EQ(rec.sent, plain.line.Sent());

            std::string sent;
            LinkTime last(0);
            int opens = 0, closes = 0, received = 0;
            for (const LinkEvent& e : rec.log.events) {
                EXPECT_GE(e.at, last); // in time order
                EXPECT_LE(e.after, e.at);
                last = e.at;
                if (e.kind == EK::Sent) sent += e.data;
                if (e.kind == EK::Received) ++received;
                opens += e.kind == EK::Open;
                closes += e.kind == EK::Close;
            }
            EXPECT_EQ(sent, rec.sent);
            // The search opens both ports (COM2 first, not there), the
            // transfer its port once for a read, twice for a write.
            ASSERT_GE(rec.log.events.size(), 2u);
            EXPECT_EQ(rec.log.events[0].kind, EK::Open);
            EXPECT_EQ(rec.log.events[0].opened, kq::SerialLine::OpenResult::NoSuchPort);
            EXPECT_EQ(rec.log.events[0].problem, "no such device /dev/ttyNONE");
            EXPECT_EQ(opens, job ? 4 : 3);
            EXPECT_EQ(closes, opens - 1);
            EXPECT_GE(received, 64);
            // Each frame read is answered with its echo and the word.
            const std::string text = kq::FormatLinkLog(rec.log);
            EXPECT_NE(text.find(" > 3F00MD\\r\n"), std::string::npos);
            EXPECT_NE(text.find("outcome: Done\nexit: 0\n"), std::string::npos);
            EXPECT_LT(text.size(), 200u * 1024) << "fast " << fast;
        }
    }
}

TEST(LinkLog, TextRoundTripKeepsEveryByteAndRefusesWhatIsNotALog) {
    kq::LinkLog log;
    log.program = "kqtool 9.9.9";
    log.settings.ports = {"/dev/ttyUSB0", "/dev/my port"};
    log.settings.fast = true;
    log.settings.tickMs = 80;
    log.settings.eepromMs = 0;
    log.dir = kq::TransferDirection::Write;
    log.model = 3;
    log.image = {0xC500, 0x0300, 0xFFFF, 0};
    log.answers.push_back({"model-mismatch", 2, true, kq::Millis(1000), LinkTime(4000123)});
    std::string every;
    for (int c = 0; c < 256; ++c) every += static_cast<char>(c);
    LinkEvent open{EK::Open, LinkTime(5), LinkTime(5), "/dev/my port", kq::SerialLine::OpenResult::AlreadyOpen,
                   " busy \\ here "};
    LinkEvent sent{EK::Sent, LinkTime(1001), LinkTime(1001), every, {}, {}};
    LinkEvent got{EK::Received, LinkTime(41234), LinkTime(20000), "0001\r\n \\x", {}, {}};
    LinkEvent failed{EK::Failed, LinkTime(50000), LinkTime(45000), "the port stopped working", {}, {}};
    LinkEvent cancel{EK::Cancel, LinkTime(60000), LinkTime(60000), {}, {}, {}};
    LinkEvent close{EK::Close, LinkTime(123456789), LinkTime(123456789), {}, {}, {}};
    log.events = {open, sent, got, failed, cancel, close};
    log.truncated = true;
    log.finished = true;
    log.outcome = "LinkFailed";
    log.exitCode = 3;
    log.detail = "the radio stopped answering\tat word 0 ";

    const std::string text = kq::FormatLinkLog(log);
    // One line per event, whatever the bytes: 8 header lines, the answer,
    // the column heads, 6 events, truncated and 3 outcome lines.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 8 + 1 + 1 + 6 + 1 + 3) << text;
    EXPECT_NE(text.find("    41.234 < 0001\\r\\n\\x20\\\\x after 20.000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("123456.789 close\n"), std::string::npos) << text;
    const kq::LinkLog back = kq::ParseLinkLog(text);
    EXPECT_EQ(kq::FormatLinkLog(back), text);
    EXPECT_EQ(back.settings.ports, log.settings.ports);
    ASSERT_EQ(back.events.size(), log.events.size());
    EXPECT_EQ(back.events[0].problem, open.problem);
    EXPECT_EQ(back.events[1].data, every);
    EXPECT_EQ(back.events[2].after, got.after);
    EXPECT_EQ(back.events[3].after, failed.after);
    EXPECT_EQ(back.answers[0].answered, LinkTime(4000123));
    EXPECT_EQ(back.image, log.image);
    EXPECT_EQ(back.detail, log.detail);
    // Saved with CR LF by an editor: the same log.
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(kq::FormatLinkLog(kq::ParseLinkLog(crlf)), text);

    const std::pair<std::string, std::string> bad[] = {
        {"a channel file\n", "not a KQ link log"},
        {"KQ link log 1\njob: read 64\n  12.000 > 00\\q\n", "line 3 of the link log: an unknown escape \\q"},
        {"KQ link log 1\njob: read 64\n  12.000 jump\n", "line 3 of the link log: unknown event 'jump'"},
        {"KQ link log 1\njob: read 64\n  1x.000 > 00\n", "line 3 of the link log: '1x' is not a number"},
        {"KQ link log 1\npacing: fast\n", "line 2 of the link log: no job line"},
        {"KQ link log 1\njob: write model 2\n", "a write without its words"},
        {"KQ link log 1\njob: read 64\nwords: C5000\n", "'C5000' is not a word in hex"},
    };
    for (const auto& [textOf, message] : bad) {
        const std::string got = ErrorOf<kq::KqError>([&] { kq::ParseLinkLog(textOf); });
        EXPECT_NE(got.find(message), std::string::npos) << got;
    }
}

// Every failure class, read and write, in both pacings, recorded on time and
// on a busy machine: the replay (on time) ends as the recording did, with
// the same words and the same frames.
TEST(LinkReplay, EveryFailureClassReplaysToTheLoggedOutcome) {
    struct Case {
        const char* name;
        void (*behave)(RadioBehaviour&);
        int radioModel;
        bool ok;
        LinkTime cancelAt, pullAt;
        Outcome read, write; // in the default pacing
    };
    const LinkTime never = LinkTime::max();
    const Case cases[] = {
        {"done", [](RadioBehaviour&) {}, 2, true, never, never, Outcome::Done, Outcome::Done},
        {"no radio", [](RadioBehaviour& b) { b.noProbe = true; }, 2, true, never, never, Outcome::NoRadio,
         Outcome::NoRadio},
        {"silent",
         [](RadioBehaviour& b) {
             for (int w = 10; w < 64; ++w) b.faults.push_back({w, WordFault::Kind::Silent, true, 0, ""});
         },
         2, true, never, never, Outcome::LinkFailed, Outcome::LinkFailed},
        {"bad readback", [](RadioBehaviour& b) { b.faults = {{5, WordFault::Kind::Wrong, true, 0, ""}}; }, 2, true,
         never, never, Outcome::Done, Outcome::VerifyFailed},
        {"other model, declined", [](RadioBehaviour&) {}, 0, false, never, never, Outcome::Done,
         Outcome::ModelDeclined},
        {"other model, accepted", [](RadioBehaviour&) {}, 0, true, never, never, Outcome::Done, Outcome::Done},
        {"crlf, late, bursts",
         [](RadioBehaviour& b) {
             b.faults = {{WordFault::kEveryWord, WordFault::Kind::CrLf, true, 0, ""}};
             b.answerDelayMs = 25;
             b.latencyMs = 16;
         },
         2, true, never, never, Outcome::Done, Outcome::Done},
        // Every answer after the protocol's window: asked again, then the
        // wider window is kept.
        {"too late", [](RadioBehaviour& b) { b.answerDelayMs = 70; }, 2, true, never, never, Outcome::Done,
         Outcome::Done},
        {"odd answers",
         [](RadioBehaviour& b) {
             b.echoPerChar = true;
             b.faults = {{3, WordFault::Kind::Extra, false, 0, "XY"}, {7, WordFault::Kind::Late, false, 30, ""},
                         {9, WordFault::Kind::LowerCase, true, 0, ""}};
         },
         2, true, never, never, Outcome::Done, Outcome::Done},
        {"cancelled", [](RadioBehaviour&) {}, 2, true, kq::Millis(1500), never, Outcome::Cancelled, Outcome::Cancelled},
        {"cable pulled", [](RadioBehaviour&) {}, 2, true, never, kq::Millis(1700), Outcome::LinkFailed,
         Outcome::LinkFailed},
    };
    for (const Case& c : cases) {
        for (unsigned jitter : {0u, 7u, 1234u}) {
        for (bool fast : {false, true}) {
            for (bool write : {false, true}) {
                const kq::ClassKQxx53 table = MarkedDevice(2);
                RadioBehaviour b;
                c.behave(b);
                const Recorded rec =
                    Record(b, c.radioModel, fast, write ? &table : nullptr, c.ok, c.cancelAt, c.pullAt, jitter);
                const std::string what = std::string(c.name) + (fast ? " fast" : "") + (write ? " write" : " read") +
                                         " jitter " + std::to_string(jitter);
                if (!fast && !jitter) {
                    EXPECT_EQ(rec.result.outcome, write ? c.write : c.read) << what << rec.result.detail;
                }
                // Through the text, as a user sends it.
                const kq::LinkLog log = kq::ParseLinkLog(kq::FormatLinkLog(rec.log));
                const kq::ReplayReport r = kq::ReplayLinkLog(log);
                EXPECT_TRUE(r.SameOutcome(log)) << what << "\n" << kq::ReplayText(log, r);
                EXPECT_EQ(r.result.detail, rec.result.detail) << what;
                EXPECT_EQ(r.result.words, rec.result.words) << what;
                EXPECT_EQ(r.result.fallBack, rec.result.fallBack) << what;
                EXPECT_FALSE(r.diverged) << what << "\n" << kq::ReplayText(log, r);
                EXPECT_EQ(r.unanswered, 0) << what;
                EXPECT_NE(kq::ReplayText(log, r).find("as logged\n"), std::string::npos) << what;
            }
        }
        }
    }
}

TEST(LinkReplay, AChangedProgramShowsWhereItsFramesDifferFromTheLog) {
    const kq::ClassKQxx53 table = MarkedDevice(2);
    const Recorded rec = Record(RadioBehaviour(), 2, false, &table);
    ASSERT_EQ(rec.result.outcome, Outcome::Done);
    // A program that would send word 5 otherwise: the radio still answers as
    // logged, so the word reads back as it was written then.
    kq::LinkLog changed = rec.log;
    changed.image[5] ^= 0x0010;
    const kq::ReplayReport r = kq::ReplayLinkLog(changed);
    ASSERT_TRUE(r.diverged);
    EXPECT_EQ(r.expected, kq::WriteFrame(rec.log.image[5], 5));
    EXPECT_EQ(r.sent, kq::WriteFrame(changed.image[5], 5));
    // The bursts before it: the probes (2 per port that opened, 1 per
    // preparation), the model read, then a write and a read per word.
    EXPECT_EQ(r.burst, 2u + 2u + 1u + 5u * 2u + 1u);
    EXPECT_GT(r.at, LinkTime(0));
    // The word is written again, and the log has no answer for that.
    EXPECT_EQ(r.result.outcome, Outcome::LinkFailed);
    const std::string text = kq::ReplayText(changed, r);
    EXPECT_NE(text.find("logged:  Done (exit 0)"), std::string::npos) << text;
    EXPECT_NE(text.find("differ from the log at sent burst 16"), std::string::npos) << text;
    EXPECT_NE(text.find("expected " + kq::QuoteForMessage(r.expected) + ", sent " + kq::QuoteForMessage(r.sent)),
              std::string::npos)
        << text;

    // A log that ends early: the program's next frame has nothing to meet,
    // and the radio is silent.
    kq::LinkLog cut = rec.log;
    cut.events.resize(cut.events.size() / 2);
    cut.truncated = true;
    const kq::ReplayReport c = kq::ReplayLinkLog(cut);
    EXPECT_TRUE(c.diverged);
    EXPECT_EQ(c.expected, "");
    EXPECT_EQ(c.result.outcome, Outcome::LinkFailed);
    EXPECT_NE(kq::ReplayText(cut, c).find("cut short"), std::string::npos);

    // A question the log has no answer to is answered no.
    const Recorded declined = Record(RadioBehaviour(), 0, false, &table, true);
    kq::LinkLog noAnswer = declined.log;
    noAnswer.answers.clear();
    const kq::ReplayReport n = kq::ReplayLinkLog(noAnswer);
    EXPECT_EQ(n.unanswered, 1);
    EXPECT_EQ(n.result.outcome, Outcome::ModelDeclined);
}

TEST(LinkLog, ALineFullOfNoiseStopsTheLogUnder200KB) {
    SimLine line;
    kq::RadioModel radio(RadioBehaviour(), ImageOf(2, 146.0125));
    line.Attach("/dev/ttySIM", radio);
    kq::LinkRecorder rec("test");
    rec.Read(64);
    kq::RecordingLine traced(line, line, rec);
    ASSERT_EQ(traced.Open("/dev/ttySIM"), kq::SerialLine::OpenResult::Ok);
    for (int i = 0; i < 2000; ++i) traced.Write(std::string(100, '\x01'));
    rec.Cancel(); // the user's act is kept also past the limit
    const kq::LinkLog log = rec.Log();
    EXPECT_TRUE(log.truncated);
    EXPECT_EQ(log.events.back().kind, EK::Cancel);
    const std::string text = kq::FormatLinkLog(log);
    EXPECT_LT(text.size(), 200u * 1024);
    EXPECT_GT(text.size(), 150u * 1024);
    EXPECT_NE(text.find("truncated: "), std::string::npos);
}
