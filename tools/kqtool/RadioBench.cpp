#include "RadioBench.h"

#include "FileSave.h"
#include "KqVersion.h"
#include "LinkRunner.h"
#include "RadioLink.h"
#include "RadioBackups.h"

#include <QThread>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kqtool {

namespace {

// Lock-free, so safe in a signal handler and seen by every thread.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler needs a lock-free flag");

void onInterrupt(int) { g_interrupted = true; }

// How often an idle port is probed for a radio coming or going.
constexpr std::chrono::milliseconds kProbeEvery(500);

std::string localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

// A write's outcome in words, with the device's name in front.
std::string outcomeText(const kq::TransferResult& r) {
    using O = kq::TransferOutcome;
    const std::string backup = r.backupFile.empty() ? "" : "; backup " + r.backupFile;
    switch (r.outcome) {
    case O::Done:
        if (r.fallBack.empty()) return "written and verified" + backup;
        return "written and verified (the fast link fell back to the default pacing: " +
               r.fallBack + ")" + backup;
    case O::ModelDeclined: return "NOT WRITTEN: " + kq::TerminalLineOf(r, r.device);
    case O::Cancelled:
        if (r.wordsWritten == 0)
            return "CANCELLED before the first word; the radio is untouched" + backup;
        return "CANCELLED: " + kq::TerminalLineOf(r, r.device);
    default: return "FAILED: " + kq::TerminalLineOf(r, r.device);
    }
}

// path with "-n" before its extension: trace.log, 2 gives trace-2.log.
std::string numbered(const std::string& path, int n) {
    const size_t slash = path.find_last_of('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot <= base) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

class Bench {
public:
    Bench(const kq::WriteJob& job, const BenchOptions& o) : m_Job(job), m_Opt(o) {}

    int Run() {
        // QThreads rather than plain threads: the serial ports need one.
        std::vector<std::unique_ptr<QThread>> workers;
        m_Running = static_cast<int>(m_Opt.ports.size());
        for (const QString& port : m_Opt.ports) {
            workers.emplace_back(QThread::create([this, port] { Worker(port); }));
            workers.back()->start();
        }
        {
            std::unique_lock<std::mutex> l(m_Mutex);
            while (m_Running > 0) {
                // A signal handler cannot notify: look at its flag now and then.
                m_Cv.wait_for(l, std::chrono::milliseconds(50));
                if (Interrupted() && !m_Cancelled) {
                    m_Cancelled = m_Stop = true;
                    for (const auto& [seq, trace] : m_Active) {
                        if (trace) trace->Cancel();
                        seq->Cancel();
                    }
                    m_Cv.notify_all();
                }
            }
        }
        for (auto& w : workers) w->wait();
        std::printf("written %d, failed %d\n", m_Written, m_Failed);
        std::fflush(stdout);
        return m_Failed == 0 ? ExitOk : m_FirstFailure;
    }

private:
    // One port: one radio, or radio after radio.
    void Worker(const QString& port) {
        kq::LinkSettings link = m_Opt.link;
        link.ports = {port.toStdString()};
        const std::string name = port.toStdString();
        std::string problem;
        while (m_Opt.repeat) {
            Status(name + ": waiting for a radio");
            bool found = false;
            while (!found && !Stopping()) {
                const auto next = std::chrono::steady_clock::now() + kProbeEvery;
                kq::PortLink probe(link, nullptr, LinkEnds());
                found = probe.Link().ActComPort() != 0;
                if (!found && probe.Link().PortProblem() != problem &&
                    !(problem = probe.Link().PortProblem()).empty())
                    Status(name + ": " + problem);
                if (!found) PauseUntil(next);
            }
            if (!found || !Claim()) break;
            Program(link);
            // The same radio must not be written twice: wait for it to go.
            bool gone = false;
            while (!gone && !Stopping()) {
                const auto next = std::chrono::steady_clock::now() + kProbeEvery;
                gone = !kq::PortLink::RadioAnswers(name, link, LinkEnds());
                if (!gone) PauseUntil(next);
            }
            if (!gone) break;
            Status(name + ": radio unplugged");
        }
        if (!m_Opt.repeat && Claim()) Program(link);
        std::lock_guard<std::mutex> l(m_Mutex);
        --m_Running;
        m_Cv.notify_all();
    }

    void Program(const kq::LinkSettings& link) {
        kq::TransferSequence seq(m_Job);
        std::unique_ptr<kq::LinkRecorder> trace;
        if (!m_Opt.trace.empty()) {
            trace = std::make_unique<kq::LinkRecorder>(std::string("kqtool ") + kq::ProgramVersion);
            trace->Write(m_Job);
        }
        const bool yes = m_Opt.yes;
        // Nobody to ask at a bench: only --yes overwrites another model.
        kq::TransferHooks hooks;
        hooks.confirmModelMismatch = [yes](int) { return yes; };
        hooks.confirmUninitiated = [yes](int) { return yes; };
        if (m_Opt.backup) hooks.keepBackup = kq::KeepRadioBackup;
        {
            std::lock_guard<std::mutex> l(m_Mutex);
            m_Active[&seq] = trace.get();
            if (m_Cancelled) {
                if (trace) trace->Cancel();
                seq.Cancel();
            }
        }
        const kq::TransferResult out = kq::RunTransfer(seq, link, hooks, trace.get(), LinkEnds());
        std::lock_guard<std::mutex> l(m_Mutex);
        m_Active.erase(&seq);
        ++m_Done;
        if (trace) {
            try {
                kq::WriteFileReplacing(numbered(m_Opt.trace, m_Done), trace->Text());
            } catch (const std::exception& e) {
                Line(stderr, "kqtool: the link log was not saved: " + std::string(e.what()));
            }
        }
        if (out.outcome == kq::TransferOutcome::Done) {
            ++m_Written;
        } else if (++m_Failed == 1) {
            m_FirstFailure = kq::ExitCodeOf(out.outcome);
        }
        Line(stdout, "#" + std::to_string(m_Done) + " " + localTime() + " " + link.ports.at(0) +
                         ": " + outcomeText(out));
        if (m_Opt.count > 0 && m_Done >= m_Opt.count) {
            m_Stop = true;
            m_Cv.notify_all();
        }
    }

    // Whether one more radio may be written (--count not reached, not stopping).
    bool Claim() {
        std::lock_guard<std::mutex> l(m_Mutex);
        if (m_Stop || (m_Opt.count > 0 && m_Claimed >= m_Opt.count)) return false;
        ++m_Claimed;
        return true;
    }

    bool Stopping() {
        std::lock_guard<std::mutex> l(m_Mutex);
        return m_Stop || (m_Opt.count > 0 && m_Claimed >= m_Opt.count);
    }

    void PauseUntil(std::chrono::steady_clock::time_point t) {
        std::unique_lock<std::mutex> l(m_Mutex);
        m_Cv.wait_until(l, t, [this] { return m_Stop; });
    }

    void Status(const std::string& s) {
        std::lock_guard<std::mutex> l(m_Mutex);
        Line(stderr, "kqtool: " + s);
    }

    // Whole lines, written at once, under m_Mutex: workers never interleave.
    static void Line(std::FILE* f, const std::string& s) {
        const std::string line = s + "\n";
        std::fwrite(line.data(), 1, line.size(), f);
        std::fflush(f);
    }

    const kq::WriteJob& m_Job;
    const BenchOptions& m_Opt;
    std::mutex m_Mutex;
    std::condition_variable m_Cv;
    // The transfers running, with their link logs (or null).
    std::map<kq::TransferSequence*, kq::LinkRecorder*> m_Active;
    int m_Running = 0, m_Claimed = 0, m_Done = 0, m_Written = 0, m_Failed = 0,
        m_FirstFailure = ExitOk;
    bool m_Stop = false, m_Cancelled = false;
};

} // namespace

void CatchInterrupts() {
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    // Restarted calls keep the link's waits whole; the second signal ends
    // the program as usual.
    sa.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    // A reader of our output that goes away (a pipe into a closed tee) must
    // not end a transfer half-way: writing to it just fails.
    signal(SIGPIPE, SIG_IGN);
}

bool Interrupted() { return g_interrupted; }

int RunBench(const kq::ClassKQxx53& table, const BenchOptions& o) {
    // A table the codec refuses would fail on every radio: refused once, before any.
    kq::ClassKQxx53 converted = table;
    const kq::WriteJob job = kq::PrepareWrite(converted);
    if (!job.refused.empty()) {
        const kq::TransferResult r =
            kq::TransferSequence(job).Result(kq::TransferOutcome::TableInvalid);
        std::fprintf(stderr, "kqtool: %s\n", kq::TerminalLineOf(r, {}).c_str());
        return kq::ExitCodeOf(r.outcome);
    }
    Bench b(job, o);
    return b.Run();
}

} // namespace kqtool
