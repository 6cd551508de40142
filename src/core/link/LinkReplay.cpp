#include "LinkReplay.h"

#include "ClassKQxx53.h"
#include "Form_QVCom.h"
#include "MessageQuote.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>

namespace kq {

namespace {

using K = LinkEvent::Kind;

// The computer's side of a line to the logged radio, in virtual time.
class ReplayLine : public SerialLine, public TimeSource {
public:
    ReplayLine(const LinkLog& log, ReplayReport& report, std::function<void()> cancel)
        : m_Log(log), m_Report(report), m_Cancel(std::move(cancel)) {
        m_Followers.resize(log.events.size() + 1);
        size_t anchor = log.events.size(); // none yet
        for (size_t i = 0; i < log.events.size(); ++i) {
            const K k = log.events[i].kind;
            if (k == K::Open) m_Opens.push_back(i);
            if (k == K::Sent) m_Sends.push_back(i);
            if (k == K::Woke) m_Wakes.push_back(i);
            if (k == K::Open || k == K::Sent) anchor = i;
            if (k == K::Received || k == K::Failed || k == K::Cancel)
                m_Followers[anchor].push_back(i);
        }
    }

    // What came before the first open or send (a cancel at once).
    void Start() { Schedule(m_Log.events.size(), LinkTime(0), LinkTime(0)); }

    // Sent bursts of the log the program never sent.
    void Finish() {
        if (m_NextSend < m_Sends.size())
            Diverge(m_NextSend + 1, m_Log.events[m_Sends[m_NextSend]].data, "",
                    m_Log.events[m_Sends[m_NextSend]].at);
        m_Report.burstsSent = m_NextSend;
    }

    LinkTime Now() override { return m_Now; }
    // The program wakes as late as it did then.
    void SleepUntil(LinkTime t) override {
        LinkTime late(0);
        if (m_NextWake < m_Wakes.size()) {
            const LinkEvent& e = m_Log.events[m_Wakes[m_NextWake++]];
            late = std::max(LinkTime(0), e.at - e.after);
        }
        Pass(t + late);
    }
    // Time passes without the program waiting (the user thinks).
    void Pass(LinkTime t) { m_Now = std::max(m_Now, t); }

    OpenResult Open(const std::string& device) override {
        if (m_Open) return OpenResult::AlreadyOpen;
        m_In.clear();
        m_Pending.clear();
        m_Failed = false;
        if (m_NextOpen >= m_Opens.size()) {
            Diverge(m_NextSend + 1, "", "open " + device, m_Now);
            m_Problem = "no such device " + device + " (not in the link log)";
            return OpenResult::NoSuchPort;
        }
        const size_t i = m_Opens[m_NextOpen++];
        const LinkEvent& e = m_Log.events[i];
        if (e.data != device) Diverge(m_NextSend + 1, "open " + e.data, "open " + device, e.at);
        m_Problem = e.problem;
        if (e.opened != OpenResult::Ok) return e.opened;
        m_Open = true;
        Schedule(i, e.at, m_Now);
        return OpenResult::Ok;
    }

    void Close() override {
        m_Open = false;
        m_Failed = false;
        m_In.clear();
        m_Pending.clear(); // what the radio sends now is lost
    }

    bool IsOpen() const override { return m_Open; }

    void Write(const std::string& data) override {
        if (data.empty()) return;
        const size_t n = m_NextSend++;
        if (n >= m_Sends.size()) {
            Diverge(n + 1, "", data, m_Now);
            return;
        }
        const LinkEvent& e = m_Log.events[m_Sends[n]];
        if (e.data != data) Diverge(n + 1, e.data, data, e.at);
        if (m_Open) Schedule(m_Sends[n], e.at, m_Now);
    }

    std::string Read(int max = 0) override {
        Deliver();
        return TakeFront(m_In, max);
    }

    int InBufferCount() override {
        Deliver();
        return static_cast<int>(m_In.size());
    }

    void WaitInput(LinkTime until) override {
        const size_t had = m_In.size();
        Deliver();
        if (m_In.size() > had || Failed()) return;
        const LinkTime next = m_Open && !m_Pending.empty() ? m_Pending.front().at : until;
        m_Now = std::max(m_Now, std::min(next, until));
        Deliver();
    }

    bool Failed() const override {
        if (m_Failed) return true;
        for (const Due& d : m_Pending)
            if (d.at <= m_Now && m_Log.events[d.event].kind == K::Failed) return true;
        return false;
    }

    std::string Problem() const override {
        if (!Failed()) return m_Open ? std::string() : m_Problem;
        for (const Due& d : m_Pending)
            if (d.at <= m_Now && m_Log.events[d.event].kind == K::Failed)
                return m_Log.events[d.event].data;
        return m_Problem;
    }

private:
    struct Due {
        LinkTime at;
        size_t event;
    };

    // The answers and failures that followed the logged event anchor (logged
    // at loggedAt) come after its replay at now, as long after as in the log.
    void Schedule(size_t anchor, LinkTime loggedAt, LinkTime now) {
        const LinkTime shift = now - loggedAt;
        for (const size_t i : m_Followers[anchor]) {
            const LinkEvent& e = m_Log.events[i];
            if (e.kind == K::Cancel) {
                // The user's cancel came after this burst and before the
                // next: the transfer sees it at its next check, as it did.
                if (m_Cancel) m_Cancel();
                continue;
            }
            // Seen without waiting: it came some time after the program's
            // last look, so it is there by the same look in the replay.
            const LinkTime arrived = e.after < e.at ? e.after + LinkTime(1) : e.at;
            LinkTime at = std::max(arrived + shift, now);
            if (!m_Pending.empty()) at = std::max(at, m_Pending.back().at);
            m_Pending.push_back({at, i});
        }
    }

    void Deliver() {
        while (m_Open && !m_Pending.empty() && m_Pending.front().at <= m_Now) {
            const LinkEvent& e = m_Log.events[m_Pending.front().event];
            if (e.kind == K::Failed) {
                m_Failed = true;
                m_Problem = e.data;
            } else if (!m_Failed) {
                m_In += e.data;
            }
            m_Pending.pop_front();
        }
    }

    void Diverge(size_t burst, const std::string& expected, const std::string& sent,
                 LinkTime loggedAt) {
        if (m_Report.diverged) return;
        m_Report.diverged = true;
        m_Report.burst = burst;
        m_Report.at = m_Now;
        m_Report.loggedAt = loggedAt;
        m_Report.expected = expected;
        m_Report.sent = sent;
    }

    const LinkLog& m_Log;
    ReplayReport& m_Report;
    std::function<void()> m_Cancel;
    std::vector<size_t> m_Opens, m_Sends, m_Wakes;
    std::vector<std::vector<size_t>> m_Followers; // by anchor; the last: before any
    size_t m_NextOpen = 0, m_NextSend = 0, m_NextWake = 0;
    std::deque<Due> m_Pending;
    std::string m_In, m_Problem;
    bool m_Open = false, m_Failed = false;
    LinkTime m_Now{0};
};

std::string Quoted(const std::string& s) { return s.empty() ? "nothing" : QuoteForMessage(s, 60); }


} // namespace

bool ReplayReport::SameOutcome(const LinkLog& log) const {
    return log.finished && OutcomeName(result.outcome) == log.outcome &&
           ExitCodeOf(result.outcome) == log.exitCode;
}

ReplayReport ReplayLinkLog(const LinkLog& log) {
    ReplayReport report;
    std::unique_ptr<TransferSequence> seq =
        log.dir == TransferDirection::Write
            ? std::make_unique<TransferSequence>(WriteJob{log.image, log.model, log.refused})
            : std::make_unique<TransferSequence>(log.words);
    ReplayLine line(log, report, [&seq] { seq->Cancel(); });
    // Each question answered as logged, in its order among those of its kind.
    std::map<std::string, size_t> nextAnswer;
    const auto answer = [&](const std::string& question) {
        size_t& next = nextAnswer[question];
        while (next < log.answers.size() && log.answers[next].question != question) ++next;
        if (next >= log.answers.size()) {
            ++report.unanswered;
            return false;
        }
        const LinkAnswer& a = log.answers[next++];
        // The user took as long as then; the radio's time went on.
        line.Pass(line.Now() + (a.answered - a.asked));
        return a.yes;
    };
    seq->confirmModelMismatch = [&](int) { return answer("model-mismatch"); };
    if (log.asksUninitiated) seq->confirmUninitiated = [&](int) { return answer("not-initiated"); };
    // The backup read is replayed and named as logged; nothing is kept on disk.
    if (log.backup) {
        seq->keepBackup = [&log](const std::vector<int32_t>&) {
            if (!log.backupFailed.empty()) throw KqError(log.backupFailed);
            return log.backupFile;
        };
    }
    line.Start();
    if (seq->Refused()) {
        report.result = seq->Result(TransferOutcome::TableInvalid); // no port is opened
    } else {
        Form_QVCom link(line, line, log.settings);
        report.result = seq->Run(link);
    }
    line.Finish();
    // A read's words become a table as the programs take them.
    if (log.dir == TransferDirection::Read) RadioTable(report.result, ClassKQxx53());
    return report;
}

std::string ReplayText(const LinkLog& log, const ReplayReport& r) {
    std::string s =
        "replayed " + (log.program.empty() ? "a link log" : "the link log of " + log.program) +
        ": " +
        (log.dir == TransferDirection::Read ? "read " + std::to_string(log.words) + " words"
                                            : "write model " + std::to_string(log.model)) +
        ", " + (log.settings.fast ? "fast link" : "default pacing") + ", tick " +
        std::to_string(log.settings.tickMs) + " ms\n";
    s += "outcome: " + OutcomeName(r.result.outcome) + " (exit " +
         std::to_string(ExitCodeOf(r.result.outcome)) + "): " + r.result.detail + "\n";
    if (!log.finished)
        s += "the log has no outcome (the recording program did not finish)\n";
    else if (!r.SameOutcome(log))
        s += "logged:  " + log.outcome + " (exit " + std::to_string(log.exitCode) +
             "): " + log.detail + "\n";
    else
        s += "as logged\n";
    if (log.truncated) s += "the log was cut short; the radio is silent after its end\n";
    if (r.unanswered > 0)
        s += std::to_string(r.unanswered) + " question(s) the log has no answer to, answered no\n";
    if (r.diverged)
        s += "the frames differ from the log at sent burst " + std::to_string(r.burst) + " (at " +
             LogMs(r.at) + " ms, logged at " + LogMs(r.loggedAt) + " ms): expected " + Quoted(r.expected) +
             ", sent " + Quoted(r.sent) + "\n";
    else
        s += "the program's frames are the logged ones (" + std::to_string(r.burstsSent) +
             " bursts sent)\n";
    return s;
}

} // namespace kq
