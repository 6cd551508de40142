// Thousands of generated radios, each read or written in both
// pacings in virtual time. The default pacing sends exactly the frames of
// the protocol and stops where it must; the fast mode never claims a word
// the radio did not send or hold, never writes a radio of another model
// without consent, and transfers every radio the default pacing transfers.
//
// KQ_PROPERTY_SEED=<n> reruns from seed n; KQ_PROPERTY_CASES=<n> runs n cases.
#include "KqFrames.h"
#include "SimRadio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

using namespace kqtest;
using kq::RadioBehaviour;
using kq::WordFault;
using Outcome = kq::TransferSequence::Outcome;

namespace {

enum class Op { Read, Write };

struct Case {
    Op op;
    RadioBehaviour radio;
    int radioModel;
    LinkTime pause; // at the model question
    bool consent;
    std::string Describe() const {
        std::ostringstream s;
        s << (op == Op::Read ? "read" : "write") << " model " << radioModel << " echoPerChar " << radio.echoPerChar << " crlf " << radio.crlf << " latency "
          << radio.latencyMs << " answerDelay " << radio.answerDelayMs << " eeprom " << radio.eepromMs << " pause "
          << pause.count() << " consent " << consent << " faults";
        for (const WordFault& f : radio.faults)
            s << " [" << f.word << " kind " << int(f.kind) << (f.always ? " always" : " once") << " " << f.ms << "]";
        return s.str();
    }
};

Case Generate(std::mt19937_64& rng) {
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Case c;
    c.op = static_cast<Op>(pick(2));
    c.radioModel = pick(3) ? 2 : pick(4);
    c.pause = LinkTime(pick(2) ? 0 : pick(10000001));
    c.consent = pick(5) != 0;
    RadioBehaviour& b = c.radio;
    b.paceInput = true;
    b.echoPerChar = pick(2);
    b.crlf = pick(5) == 0;
    b.latencyMs = pick(3) ? 0 : 1 + pick(20);
    b.answerDelayMs = pick(3) ? 0 : pick(31);
    b.eepromMs = pick(16);
    if (pick(8) == 0) b.probeExtra = "KQ\r\n";
    for (int n = pick(4); n > 0; --n) {
        WordFault f;
        f.word = pick(64);
        // A wrong answer to a read is the radio's word for a reader: only a
        // write, which knows what it wrote, can tell.
        const int kinds = c.op == Op::Write ? 7 : 5;
        f.kind = static_cast<WordFault::Kind>(pick(kinds));
        f.always = pick(5) == 0;
        f.ms = 10 + pick(400);
        const char* extras[] = {"x", "\r\n00", "KQ", "\n", "5"};
        f.text = extras[pick(5)];
        b.faults.push_back(f);
    }
    return c;
}

// The frames the computer sent, probes left out.
std::vector<std::string> WordFrames(const std::string& sent) {
    std::vector<std::string> frames;
    std::string f;
    for (char ch : sent) {
        f += ch;
        if (ch != '\r') continue;
        if (f != "\r") frames.push_back(f);
        f.clear();
    }
    return frames;
}

struct Result {
    Outcome out;
    std::vector<int> image;      // read: the words returned; write: the table's
    std::vector<int> radioAfter; // what the radio holds at the end
    std::vector<std::string> frames;
    int wordsDone;
    bool asked = false, wroteBeforeConsent = false;
    std::string detail;
};

Result Transfer(const Case& c, bool fast) {
    SimRadio r(c.radio, c.radioModel, fast);
    Result run;
    kq::ClassKQxx53 table; // a new table: model 2
    table.TheRxFreq(3, 440.0125);
    table.TheTxFreq(9, 146.5);
    kq::TransferResult res;
    if (c.op == Op::Write) {
        res = r.Write(table, c.pause, c.consent, [&] {
            run.asked = true;
            for (const std::string& f : WordFrames(r.line.Sent()))
                run.wroteBeforeConsent |= f.find("MD") == std::string::npos;
        });
        run.image = WordsOf(table);
    } else {
        res = r.Read();
        run.image.assign(res.words.begin(), res.words.end());
    }
    run.out = res.outcome;
    run.wordsDone = res.wordsDone;
    run.detail = res.detail;
    run.radioAfter = r.radio.Words();
    run.frames = WordFrames(r.line.Sent());
    return run;
}

// The word frames the protocol sends for what the default pacing did.
std::vector<std::string> ExpectedFrames(const Case& c, const Result& run) {
    std::vector<std::string> want;
    const bool failed = run.out == Outcome::LinkFailed || run.out == Outcome::VerifyFailed;
    const int n = run.wordsDone + (failed ? 1 : 0);
    if (c.op != Op::Write) {
        for (int a = 0; a < n; ++a) want.push_back(kq::ReadFrame(a));
        return want;
    }
    want.push_back(kq::ReadFrame(1));
    if (run.out == Outcome::ModelDeclined) return want;
    for (int a = 0; a < n; ++a) {
        want.push_back(kq::WriteFrame(run.image[size_t(a)], a));
        want.push_back(kq::ReadFrame(a));
    }
    return want;
}

// A radio and cable within the protocol's timing, with only the odd
// answers it allows: both pacings must transfer it, and the fast mode
// without a fall-back (a write: no read of its own per word).
bool Clean(const Case& c) {
    const RadioBehaviour& b = c.radio;
    for (const WordFault& f : b.faults)
        if (f.kind != WordFault::Kind::LowerCase && f.kind != WordFault::Kind::CrLf) return false;
    return b.latencyMs == 0 && b.answerDelayMs <= 10 && b.eepromMs <= 10 && b.probeExtra.empty() &&
           (c.op == Op::Read || c.radioModel == 2 || c.consent);
}

bool Correct(const Result& run) {
    return run.out == Outcome::Done && run.radioAfter == run.image;
}

unsigned long long EnvNumber(const char* name, unsigned long long otherwise) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : otherwise;
}

} // namespace

TEST(LinkProperty, FastModeNeverLiesAndTransfersWhatTheDefaultPacingTransfers) {
    const unsigned long long seed = EnvNumber("KQ_PROPERTY_SEED", 20261207);
    const unsigned long long cases = EnvNumber("KQ_PROPERTY_CASES", 3000);
    std::printf("%llu generated radios from seed %llu (rerun one: KQ_PROPERTY_SEED=<seed> "
                "KQ_PROPERTY_CASES=1)\n",
                cases, seed);
    // Radios that once found a fault, first.
    std::vector<unsigned long long> seeds = {1018142, 2012746, 3016825, 7003048};
    for (unsigned long long i = 0; i < cases; ++i) seeds.push_back(seed + i);
    int defaultCorrect = 0, fastFellBack = 0, clean = 0;
    for (const unsigned long long caseSeed : seeds) {
        std::mt19937_64 rng(caseSeed);
        const Case c = Generate(rng);
        const std::string name = "seed " + std::to_string(caseSeed) + ": " + c.Describe();
        const Result paced = Transfer(c, false), fast = Transfer(c, true);
        // The default pacing: the protocol's frames, in order, and no more.
        ASSERT_EQ(paced.frames, ExpectedFrames(c, paced)) << name << "\n" << paced.detail;
        const bool otherModel = c.radioModel != 2;
        if (c.op == Op::Write && otherModel && paced.out != Outcome::LinkFailed) {
            ASSERT_TRUE(paced.asked) << name;
        }
        // The fast mode never claims what is not so.
        if (fast.out == Outcome::Done || fast.out == Outcome::NotInitiated) {
            ASSERT_EQ(fast.radioAfter, fast.image) << name << "\n" << fast.detail;
        }
        // ... nor writes another model without being asked, or after a no.
        if (c.op == Op::Write) {
            ASSERT_FALSE(fast.wroteBeforeConsent) << name;
            const bool wrote = fast.radioAfter != ImageOf(c.radioModel, 146.0125);
            ASSERT_TRUE(!wrote || !otherModel || (fast.asked && c.consent)) << name;
        }
        if (Clean(c)) {
            ASSERT_TRUE(Correct(paced) && Correct(fast)) << name << "\n" << paced.detail << "\n" << fast.detail;
            ASSERT_EQ(fast.frames.size(), c.op == Op::Read ? 64u : 1 + 64 + 64u) << name << "\n" << fast.detail;
            ++clean;
        }
        // ... and does at least as well as the default pacing.
        if (Correct(paced)) {
            ++defaultCorrect;
            ASSERT_TRUE(Correct(fast)) << name << "\n" << fast.detail;
        }
        fastFellBack += fast.frames.size() > paced.frames.size();
    }
    std::printf("default pacing correct in %d, fast mode sent more frames in %d, clean radios %d\n",
                defaultCorrect, fastFellBack, clean);
    EXPECT_GT(clean, static_cast<int>(cases / 20)); // the generator is not all faults
}
