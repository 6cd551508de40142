// The link in virtual time at the real 20 ms tick: every wait held to its
// ticks, the port search, the read answer window, and the radios of the
// issue that a stale tick or a careless fast mode got wrong.
#include "ExitStatus.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

using namespace kqtest;
using kq::RadioBehaviour;
using kq::WordFault;
using Outcome = kq::TransferSequence::Outcome;

namespace {
constexpr LinkTime kTick(20000);
} // namespace

TEST(TickClock, AWaitEndsOnTheNthBoundaryWhateverCameBefore) {
    SimLine time;
    time.SleepUntil(LinkTime(3456)); // the link is made off any boundary
    kq::TickClock clock(time, kTick);
    // Pauses of any length (a model question, a fast exchange, a drain),
    // then calls spread over a tick period.
    for (LinkTime pause : {kq::Millis(0), kq::Millis(1), kq::Millis(19), kq::Millis(20), kq::Millis(41), kq::Millis(2500), kq::Millis(10000)}) {
        for (LinkTime into = LinkTime(0); into < kTick; into += LinkTime(997)) {
            time.SleepUntil(time.Now() + pause + into);
            for (int n = 1; n <= 4; ++n) {
                const LinkTime start = time.Now();
                clock.Delay(n);
                const LinkTime took = time.Now() - start;
                EXPECT_GT(took, (n - 1) * kTick) << pause.count() << " " << into.count() << " " << n;
                EXPECT_LE(took, n * kTick) << pause.count() << " " << into.count() << " " << n;
                EXPECT_EQ((time.Now() - LinkTime(3456)) % kTick, LinkTime(0)); // on a boundary
            }
        }
    }
}

TEST(Form_QVCom, PortSearchTakesTheLowestPortWhoseProbeIsAnsweredByOneCr) {
    const std::vector<int> words(64, 0);
    RadioBehaviour silent, twoCr, crAndMore, slow;
    silent.noProbe = true;
    twoCr.probeAnswer = "\r\r";
    crAndMore.probeAnswer = "\rK";
    slow.latencyMs = 100; // its probe answer comes after the protocol's window
    kq::RadioModel a(silent, words), b(RadioBehaviour(), words), c(RadioBehaviour(), words), d(twoCr, words),
        e(crAndMore, words), f(slow, words);
    SimLine line;
    for (auto [dev, radio] : {std::pair{"a", &a}, {"b", &b}, {"c", &c}, {"d", &d}, {"e", &e}, {"f", &f}})
        line.Attach(dev, *radio);
    kq::LinkSettings s;
    s.ports = {"a", "b", "c"};
    const LinkTime start = line.Now();
    kq::Form_QVCom found(line, line, s);
    EXPECT_EQ(found.ActComPort(), 2);
    EXPECT_EQ(found.ActDevice(), "b");
    // A port that answers in time gets the protocol's two probes, 2 + 2
    // ticks; a silent one three more, each with a wider window.
    EXPECT_EQ(b.Frames(), std::vector<std::string>(2, "\r"));
    EXPECT_EQ(c.Frames(), std::vector<std::string>(2, "\r"));
    EXPECT_EQ(a.Frames(), std::vector<std::string>(5, "\r"));
    EXPECT_GE(line.Now() - start, 3 * 4 * kTick);
    // Odd answers every time are passed over; a missing device and a port
    // held by another program are named, every one of them.
    line.Hold("held");
    s.ports = {"a", "/dev/none", "d", "held"};
    kq::Form_QVCom none(line, line, s);
    EXPECT_EQ(none.ActComPort(), 0);
    EXPECT_FALSE(none.InitActPort());
    EXPECT_EQ(none.PortProblem(), "no such device /dev/none; port busy: held is in use by another program");
    EXPECT_TRUE(none.PortBusy());
    const kq::TransferResult busy = kq::TransferSequence(64).Run(none);
    EXPECT_EQ(busy.outcome, Outcome::PortBusy);
    EXPECT_EQ(kq::ExitCodeOf(busy.outcome), kq::ExitPortBusy);
    s.ports = {"e"};
    EXPECT_EQ(kq::Form_QVCom(line, line, s).ActComPort(), 0);
    // A slow adapter's port is found once a wider probe is answered.
    s.ports = {"f"};
    EXPECT_EQ(kq::Form_QVCom(line, line, s).ActComPort(), 1);
}

TEST(Form_QVCom, AnAnswerInTheProtocolsWindowIsTakenAtOnceALaterOneAskedAgain) {
    // The answer (four digits and CR) starts d ms after the echo; the read
    // takes it at once only when it is complete before the window's second
    // tick, else it asks again with a wider window: the word is never lost
    // nor taken from the wrong answer.
    int taken = 0, late = 0;
    for (int d = 0; d <= 60; ++d) {
        for (LinkTime into : {LinkTime(0), kq::Millis(7), LinkTime(19999)}) {
            RadioBehaviour b;
            b.answerDelayMs = d;
            SimRadio r(b);
            const kq::TickClock ticks(r.line, kTick); // the link's, made at the same time
            auto link = r.Link();
            ASSERT_TRUE(link->InitActPort());
            r.line.SleepUntil(r.line.Now() + into);
            const LinkTime sent = r.line.Now();
            EXPECT_EQ(link->ReadByte(7), r.radio.Words()[7]) << d << " " << into.count();
            // The echo ends 14 characters after sending (7 out, 7 back).
            const LinkTime complete = sent + 19 * kq::kCharTime + kq::Millis(d);
            const LinkTime dropped = ticks.TickAfter(sent, 2);
            const bool inTime = complete < ticks.TickAfter(dropped, 2);
            EXPECT_EQ(link->AskedAgain(), inTime ? 0 : 1) << d << " " << into.count();
            if (inTime) {
                EXPECT_EQ(r.line.Now(), std::max(complete, dropped)) << d << " " << into.count();
            }
            EXPECT_EQ(r.radio.Frames().size(), inTime ? 4u : 5u); // three probes and the reads
            ++(inTime ? taken : late);
        }
    }
    EXPECT_GT(taken, 0);
    EXPECT_GT(late, 0);
    // The echo, then four digits and no CR, every time: no word, and the
    // failure quotes what came.
    RadioBehaviour shortAnswer;
    shortAnswer.faults = {{kq::WordFault::kEveryWord, WordFault::Kind::Cut, true, 4, ""}};
    SimRadio r(shortAnswer);
    const kq::TransferResult res = r.Read();
    EXPECT_EQ(res.outcome, Outcome::LinkFailed);
    EXPECT_NE(res.detail.find("the radio stopped answering at word 0 (got \"0000MD\\rC500\")"), std::string::npos)
        << res.detail;
}

TEST(Form_QVCom, WriteToAnotherModelAfterAPauseOfAnyLengthAtTheQuestion) {
    // kqradio --model 0 --echo-per-char --pace-input --eeprom-ms 10 against
    // a model-2 table: the first write's verify must not reach the radio
    // while it still programs the word, however long the user thought.
    for (bool fast : {false, true}) {
        for (LinkTime pause : {kq::Millis(0), kq::Millis(3), kq::Millis(19), kq::Millis(2000), kq::Millis(2517), kq::Millis(3000), kq::Millis(10000)}) {
            RadioBehaviour b;
            b.echoPerChar = true;
            SimRadio r(b, 0, fast);
            const kq::ClassKQxx53 untitled; // model 2
            const kq::TransferResult res = r.Write(untitled, pause);
            EXPECT_EQ(res.outcome, Outcome::Done) << fast << " " << pause.count() << res.detail;
            EXPECT_EQ(r.radio.Words(), WordsOf(untitled)) << fast << " " << pause.count();
        }
    }
}

// A CR LF radio is read fast throughout (odd answers of one word are
// among the property test's regression cases).
TEST(Form_QVCom, ACrLfRadioIsReadFastWithoutFallingBack) {
    RadioBehaviour crlf;
    crlf.faults = {{kq::WordFault::kEveryWord, WordFault::Kind::CrLf, true, 0, ""}};
    SimRadio r(crlf, 2, true);
    const kq::TransferResult res = r.Read();
    ASSERT_EQ(res.outcome, Outcome::Done);
    EXPECT_EQ(std::vector<int>(res.words.begin(), res.words.end()), r.radio.Words());
    EXPECT_EQ(res.fallBack, "");
}

TEST(Form_QVCom, APulledCableEndsTheTransferAtOnce) {
    for (bool fast : {false, true}) {
        SimRadio r({}, 2, fast);
        r.line.PullAt(kq::Millis(1000)); // after the search and a few words
        const kq::TransferResult res = r.Read();
        EXPECT_EQ(res.outcome, Outcome::LinkFailed);
        EXPECT_GT(res.wordsDone, 0);
        EXPECT_LE(r.line.Now(), kq::Millis(1000) + 4 * kTick);
        EXPECT_NE(res.portProblem.find("stopped working"), std::string::npos) << res.portProblem;
    }
}

// Adapters that deliver in bursts, echoing per character or per frame, in
// both pacings: the right words every time, and in the default pacing a
// line of up to 64 ms costs at most three times the time of a quick one,
// since its window is learnt once.
TEST(Form_QVCom, SlowAdaptersAreReadAndWrittenInBothPacings) {
    kq::ClassKQxx53 table;
    table.TheRxFreq(5, 150.0125);
    std::printf("latency  echo   pacing   read ms (asked again)  write ms (asked again)\n");
    for (const bool perChar : {false, true}) {
        for (const bool fast : {false, true}) {
            LinkTime atZero[2]{};
            for (const int latency : {0, 16, 36, 48, 64, 100}) {
                LinkTime took[2]{};
                int again[2]{};
                for (const bool write : {false, true}) {
                    RadioBehaviour b;
                    b.latencyMs = latency;
                    b.echoPerChar = perChar;
                    SimRadio r(b, 2, fast);
                    const kq::TransferResult res = write ? r.Write(table) : r.Read();
                    const std::string name = std::to_string(latency) + (perChar ? " per char" : " per frame") +
                                             (fast ? " fast" : " default") + (write ? " write" : " read");
                    ASSERT_EQ(res.outcome, Outcome::Done) << name << ": " << res.detail;
                    EXPECT_EQ(write ? WordsOf(table) : std::vector<int>(res.words.begin(), res.words.end()),
                              r.radio.Words())
                        << name;
                    took[write] = r.line.Now();
                    again[write] = res.askedAgain;
                    if (latency == 0) atZero[write] = took[write];
                    if (!fast && latency <= 64) {
                        EXPECT_LE(took[write], 3 * atZero[write]) << name;
                    }
                }
                std::printf("%4d ms  %-6s %-8s %6lld (%d)             %6lld (%d)\n", latency,
                            perChar ? "char" : "frame", fast ? "fast" : "default",
                            static_cast<long long>(took[0].count() / 1000), again[0],
                            static_cast<long long>(took[1].count() / 1000), again[1]);
            }
        }
    }
}

// A line without any echo: the answers alone, read and written in both
// pacings, and a late answer on it is asked again, not shifted.
TEST(Form_QVCom, ALineWithoutEchoIsReadAndWritten) {
    kq::ClassKQxx53 table;
    table.TheTxFreq(2, 145.5);
    for (const bool fast : {false, true}) {
        RadioBehaviour b;
        b.noEcho = true;
        b.faults = {{9, WordFault::Kind::Late, false, 120, ""}};
        SimRadio r(b, 2, fast);
        const kq::TransferResult read = r.Read();
        ASSERT_EQ(read.outcome, Outcome::Done) << read.detail;
        EXPECT_EQ(std::vector<int>(read.words.begin(), read.words.end()), r.radio.Words());
        EXPECT_GE(read.askedAgain, 1);
        const kq::TransferResult write = r.Write(table);
        ASSERT_EQ(write.outcome, Outcome::Done) << write.detail;
        EXPECT_EQ(WordsOf(table), r.radio.Words());
    }
}
