#include "LinkLog.h"

#include "KqErrors.h"
#include "KqFrames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <utility>

namespace kq {

namespace {

constexpr const char* kFirstLine = "KQ link log 1";

const std::pair<TransferOutcome, const char*> kOutcomeNames[] = {
    {TransferOutcome::Done, "Done"},
    {TransferOutcome::NoRadio, "NoRadio"},
    {TransferOutcome::LinkFailed, "LinkFailed"},
    {TransferOutcome::VerifyFailed, "VerifyFailed"},
    {TransferOutcome::NotInitiated, "NotInitiated"},
    {TransferOutcome::ModelDeclined, "ModelDeclined"},
    {TransferOutcome::TableInvalid, "TableInvalid"},
    {TransferOutcome::Cancelled, "Cancelled"},
};

const std::pair<SerialLine::OpenResult, const char*> kOpenResults[] = {
    {SerialLine::OpenResult::Ok, "ok"},
    {SerialLine::OpenResult::NoSuchPort, "no-such-port"},
    {SerialLine::OpenResult::AlreadyOpen, "already-open"},
};

// Bytes as one line: printable ASCII as it is, the rest escaped. Spaces are
// escaped too inside a field (a device, the bytes on the line), and at the
// ends of a free text, where an editor might drop them.
std::string Escape(const std::string& s, bool field) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        const bool edgeSpace = c == ' ' && (field || i == 0 || i + 1 == s.size());
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c > 0x7E || edgeSpace) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A character's value as a hex digit, through the frames' own digit rules.
int HexValue(char c) { return HexDigitValue(std::string(1, c)); }


std::string EventLine(const LinkEvent& e) {
    std::string s = LogMs(e.at);
    if (s.size() < 10) s.insert(0, 10 - s.size(), ' ');
    using K = LinkEvent::Kind;
    switch (e.kind) {
    case K::Open: {
        std::string result;
        for (const auto& [r, name] : kOpenResults)
            if (r == e.opened) result = name;
        s += " open " + Escape(e.data, true) + " " + result;
        if (!e.problem.empty()) s += " " + Escape(e.problem, false);
        break;
    }
    case K::Close: s += " close"; break;
    case K::Sent: s += " > " + Escape(e.data, true); break;
    case K::Received:
        s += " < " + Escape(e.data, true);
        if (e.after != e.at) s += " after " + LogMs(e.after);
        break;
    case K::Failed:
        s += " failed";
        if (e.after != e.at) s += " after " + LogMs(e.after);
        s += " " + Escape(e.data, false);
        break;
    case K::Cancel: s += " cancel"; break;
    case K::Woke: s += " woke " + LogMs(e.after); break;
    }
    return s + "\n";
}

class Parser {
public:
    explicit Parser(const std::string& text) : m_In(text) {}

    LinkLog Run() {
        std::string line;
        if (!std::getline(m_In, line) || Chomp(line) != kFirstLine)
            throw KqError("not a KQ link log (its first line is not \"" + std::string(kFirstLine) +
                          "\")");
        m_Line = 1;
        bool sawJob = false;
        while (std::getline(m_In, line)) {
            ++m_Line;
            line = Chomp(line);
            if (line.empty() || line[0] == '#') continue;
            const size_t colon = line.find(": ");
            const size_t firstSpace = line.find_first_not_of(' ');
            if (firstSpace != std::string::npos &&
                (std::isdigit(static_cast<unsigned char>(line[firstSpace])) ||
                 line[firstSpace] == '-')) {
                Event(line);
                continue;
            }
            if (colon == std::string::npos) Fail("a line that is neither a field nor an event");
            const std::string key = line.substr(0, colon), value = line.substr(colon + 2);
            std::istringstream v(value);
            if (key == "program") {
                m_Log.program = Unescape(value);
            } else if (key == "pacing") {
                if (value != "fast" && value != "default") Fail("pacing is fast or default");
                m_Log.settings.fast = value == "fast";
            } else if (key == "tick") {
                m_Log.settings.tickMs = Milliseconds(value);
            } else if (key == "eeprom-hold") {
                m_Log.settings.eepromMs = Milliseconds(value);
            } else if (key == "ports") {
                m_Log.settings.ports.clear();
                for (std::string p; v >> p;) m_Log.settings.ports.push_back(Unescape(p));
            } else if (key == "job") {
                Job(v);
                sawJob = true;
            } else if (key == "words") {
                m_Log.image.clear();
                for (std::string w; v >> w;) m_Log.image.push_back(Hex(w));
            } else if (key == "refused") {
                m_Log.refused = Unescape(value);
            } else if (key == "backup") {
                if (value != "yes" && value != "no") Fail("backup is yes or no");
                m_Log.backup = value == "yes";
            } else if (key == "asks") {
                if (value != "not-initiated") Fail("asks: not-initiated");
                m_Log.asksUninitiated = true;
            } else if (key == "backup-file") {
                m_Log.backupFile = Unescape(value);
            } else if (key == "backup-failed") {
                m_Log.backupFailed = Unescape(value);
            } else if (key == "answer") {
                Answer(v);
            } else if (key == "truncated") {
                m_Log.truncated = true;
            } else if (key == "outcome") {
                m_Log.outcome = value;
                m_Log.finished = true;
            } else if (key == "exit") {
                m_Log.exitCode = Number(value);
            } else if (key == "detail") {
                m_Log.detail = Unescape(value);
            } else {
                Fail("unknown field '" + key + "'");
            }
        }
        if (!sawJob) Fail("no job line");
        if (m_Log.dir == TransferDirection::Write && m_Log.image.empty() && m_Log.refused.empty())
            Fail("a write without its words");
        return m_Log;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw KqError("line " + std::to_string(m_Line) + " of the link log: " + what);
    }

    static std::string Chomp(std::string s) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        return s;
    }

    std::string Unescape(const std::string& s) const {
        std::string out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '\\') {
                out += s[i];
                continue;
            }
            if (i + 1 >= s.size()) Fail("a lone \\ at the end of a line");
            const char c = s[++i];
            if (c == 'r') {
                out += '\r';
            } else if (c == 'n') {
                out += '\n';
            } else if (c == '\\') {
                out += '\\';
            } else if (c == 'x' && i + 2 < s.size() && IsHexDigit(s[i + 1]) &&
                       IsHexDigit(s[i + 2])) {
                out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
                i += 2;
            } else {
                Fail("an unknown escape \\" + std::string(1, c));
            }
        }
        return out;
    }

    int Number(const std::string& s) const {
        size_t used = 0;
        int n = 0;
        try {
            n = std::stoi(s, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != s.size()) Fail("'" + s + "' is not a number");
        return n;
    }

    int Milliseconds(const std::string& s) const {
        if (s.size() < 4 || s.compare(s.size() - 3, 3, " ms") != 0) Fail("a time in ms");
        return Number(s.substr(0, s.size() - 3));
    }

    int32_t Hex(const std::string& s) const {
        int32_t w = 0;
        for (char c : s) {
            if (!IsHexDigit(c) || s.size() > 4) Fail("'" + s + "' is not a word in hex");
            w = w * 16 + HexValue(c);
        }
        return w;
    }

    LinkTime Time(const std::string& s) const {
        // Milliseconds with up to three decimals.
        const size_t dot = s.find('.');
        const std::string whole = s.substr(0, dot);
        std::string frac = dot == std::string::npos ? "" : s.substr(dot + 1);
        if (frac.size() > 3 || frac.find_first_not_of("0123456789") != std::string::npos)
            Fail("'" + s + "' is not a time in ms");
        frac.append(3 - frac.size(), '0');
        const long long ms = Number(whole);
        const long long us = Number(frac);
        return LinkTime(ms * 1000 + (whole[0] == '-' ? -us : us));
    }

    void Job(std::istringstream& v) {
        std::string dir, word;
        v >> dir;
        if (dir == "read") {
            m_Log.dir = TransferDirection::Read;
            std::string n;
            v >> n;
            m_Log.words = Number(n);
        } else if (dir == "write") {
            m_Log.dir = TransferDirection::Write;
            std::string n;
            v >> word >> n;
            if (word != "model") Fail("job: write model N");
            m_Log.model = Number(n);
        } else {
            Fail("the job is a read or a write");
        }
    }

    void Answer(std::istringstream& v) {
        LinkAnswer a;
        std::string value, yes, askedWord, asked, answeredWord, answered;
        v >> a.question >> value >> yes >> askedWord >> asked >> answeredWord >> answered;
        if ((yes != "yes" && yes != "no") || askedWord != "asked" || answeredWord != "answered")
            Fail("answer: QUESTION VALUE yes|no asked MS answered MS");
        a.value = Number(value);
        a.yes = yes == "yes";
        a.asked = Time(asked);
        a.answered = Time(answered);
        m_Log.answers.push_back(a);
    }

    void Event(const std::string& line) {
        std::istringstream in(line);
        std::string time, what;
        in >> time >> what;
        LinkEvent e;
        e.at = e.after = Time(time);
        using K = LinkEvent::Kind;
        std::string rest;
        const auto restOfLine = [&in]() {
            std::string r;
            std::getline(in, r);
            return r.empty() ? r : r.substr(1);
        };
        if (what == "open") {
            e.kind = K::Open;
            std::string device, result;
            in >> device >> result;
            e.data = Unescape(device);
            bool known = false;
            for (const auto& [r, name] : kOpenResults)
                if (result == name) e.opened = r, known = true;
            if (!known) Fail("open DEVICE ok|no-such-port|already-open");
            e.problem = Unescape(restOfLine());
        } else if (what == "close") {
            e.kind = K::Close;
        } else if (what == "cancel") {
            e.kind = K::Cancel;
        } else if (what == ">" || what == "<") {
            e.kind = what == ">" ? K::Sent : K::Received;
            std::string data, after, t;
            in >> data >> after >> t;
            e.data = Unescape(data);
            if (e.data.empty()) Fail("a burst without bytes");
            if (after == "after")
                e.after = Time(t);
            else if (!after.empty())
                Fail("after the bytes only 'after MS'");
        } else if (what == "woke") {
            e.kind = K::Woke;
            std::string t;
            in >> t;
            e.after = Time(t);
        } else if (what == "failed") {
            e.kind = K::Failed;
            std::string r = restOfLine();
            if (r.rfind("after ", 0) == 0) {
                const size_t end = r.find(' ', 6);
                e.after = Time(r.substr(6, end - 6));
                r = end == std::string::npos ? "" : r.substr(end + 1);
            }
            e.data = Unescape(r);
        } else {
            Fail("unknown event '" + what + "'");
        }
        m_Log.events.push_back(std::move(e));
    }

    std::istringstream m_In;
    int m_Line = 0;
    LinkLog m_Log;
};

} // namespace

std::string LogMs(LinkTime t) {
    const long long us = t.count();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%lld.%03lld", us < 0 ? "-" : "", (us < 0 ? -us : us) / 1000,
                  (us < 0 ? -us : us) % 1000);
    return buf;
}

std::string OutcomeName(TransferOutcome o) {
    for (const auto& [outcome, name] : kOutcomeNames)
        if (outcome == o) return name;
    return "Outcome" + std::to_string(static_cast<int>(o));
}

std::string FormatLinkLog(const LinkLog& log) {
    std::string s = std::string(kFirstLine) + "\n";
    s += "program: " + Escape(log.program, false) + "\n";
    s += "pacing: " + std::string(log.settings.fast ? "fast" : "default") + "\n";
    s += "tick: " + std::to_string(log.settings.tickMs) + " ms\n";
    s += "eeprom-hold: " + std::to_string(log.settings.eepromMs) + " ms\n";
    s += "ports:";
    for (const std::string& p : log.settings.ports) s += " " + Escape(p, true);
    s += "\n";
    if (log.dir == TransferDirection::Read) {
        s += "job: read " + std::to_string(log.words) + "\n";
    } else {
        s += "job: write model " + std::to_string(log.model) + "\nwords:";
        for (const int32_t w : log.image) {
            char buf[8];
            std::snprintf(buf, sizeof buf, " %04X", static_cast<unsigned>(w) & 0xFFFFu);
            s += buf;
        }
        s += "\n";
        if (!log.refused.empty()) s += "refused: " + Escape(log.refused, false) + "\n";
        if (log.backup) s += "backup: yes\n";
        if (log.asksUninitiated) s += "asks: not-initiated\n";
        if (!log.backupFile.empty()) s += "backup-file: " + Escape(log.backupFile, false) + "\n";
        if (!log.backupFailed.empty())
            s += "backup-failed: " + Escape(log.backupFailed, false) + "\n";
    }
    for (const LinkAnswer& a : log.answers)
        s += "answer: " + a.question + " " + std::to_string(a.value) + (a.yes ? " yes" : " no") +
             " asked " + LogMs(a.asked) + " answered " + LogMs(a.answered) + "\n";
    s += "#       ms event\n";
    for (const LinkEvent& e : log.events) s += EventLine(e);
    if (log.truncated)
        s += "truncated: the log stops here; the rest of the transfer was not recorded\n";
    if (log.finished) {
        s += "outcome: " + log.outcome + "\n";
        s += "exit: " + std::to_string(log.exitCode) + "\n";
        s += "detail: " + Escape(log.detail, false) + "\n";
    }
    return s;
}

LinkLog ParseLinkLog(const std::string& text) { return Parser(text).Run(); }

LinkRecorder::LinkRecorder(std::string program) { m_Log.program = std::move(program); }

void LinkRecorder::Settings(const LinkSettings& settings) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.settings = settings;
}

void LinkRecorder::Read(int words) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.dir = TransferDirection::Read;
    m_Log.words = words;
}

void LinkRecorder::Write(const WriteJob& job) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.dir = TransferDirection::Write;
    m_Log.model = job.model;
    m_Log.image = job.image;
    m_Log.refused = job.refused;
}

void LinkRecorder::Backup() {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.backup = true;
}

void LinkRecorder::AsksUninitiated() {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.asksUninitiated = true;
}

void LinkRecorder::BackupKept(const std::string& file) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.backupFile = file;
}

void LinkRecorder::BackupFailed(const std::string& problem) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.backupFailed = problem;
}

bool LinkRecorder::Ask(const std::string& question, int value, const std::function<bool()>& ask) {
    LinkAnswer a;
    a.question = question;
    a.value = value;
    {
        std::lock_guard<std::mutex> l(m_Mutex);
        a.asked = NowLocked();
    }
    a.yes = ask();
    std::lock_guard<std::mutex> l(m_Mutex);
    a.answered = NowLocked();
    m_Log.answers.push_back(a);
    return a.yes;
}

void LinkRecorder::Cancel() {
    LinkEvent e;
    e.kind = LinkEvent::Kind::Cancel;
    std::lock_guard<std::mutex> l(m_Mutex);
    e.at = e.after = NowLocked();
    m_Log.events.push_back(e); // always kept: the replay needs it
}

void LinkRecorder::Finish(const TransferResult& r) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Log.finished = true;
    m_Log.outcome = OutcomeName(r.outcome);
    m_Log.exitCode = ExitCodeOf(r.outcome);
    m_Log.detail = r.detail;
}

LinkLog LinkRecorder::Log() const {
    std::lock_guard<std::mutex> l(m_Mutex);
    return m_Log;
}

void LinkRecorder::Attach(TimeSource* time) {
    std::lock_guard<std::mutex> l(m_Mutex);
    m_Time = time;
}

LinkTime LinkRecorder::NowLocked() const { return m_Time ? m_Time->Now() : LinkTime(0); }

void LinkRecorder::Add(LinkEvent e) {
    std::lock_guard<std::mutex> l(m_Mutex);
    if (m_Log.truncated) return;
    m_EventBytes += EventLine(e).size();
    if (m_EventBytes > kMaxEventBytes) {
        m_Log.truncated = true;
        return;
    }
    m_Log.events.push_back(std::move(e));
}

RecordingLine::RecordingLine(SerialLine& inner, TimeSource& time, LinkRecorder& log)
    : m_Inner(inner), m_Time(time), m_Log(log) {
    m_Log.Attach(&m_Time);
}

RecordingLine::~RecordingLine() { m_Log.Attach(nullptr); }

SerialLine::OpenResult RecordingLine::Open(const std::string& device) {
    const OpenResult r = m_Inner.Open(device);
    LinkEvent e;
    e.kind = LinkEvent::Kind::Open;
    e.at = e.after = m_LastLook = m_Time.Now();
    e.data = device;
    e.opened = r;
    if (r != OpenResult::Ok) e.problem = m_Inner.Problem();
    m_Log.Add(std::move(e));
    m_Buffer.clear();
    m_FailureNoted = false;
    return r;
}

void RecordingLine::Close() {
    const bool wasOpen = m_Inner.IsOpen();
    m_Inner.Close();
    m_Buffer.clear();
    if (!wasOpen) return;
    LinkEvent e;
    e.kind = LinkEvent::Kind::Close;
    e.at = e.after = m_Time.Now();
    m_Log.Add(std::move(e));
}

void RecordingLine::Write(const std::string& data) {
    if (!data.empty()) {
        LinkEvent e;
        e.kind = LinkEvent::Kind::Sent;
        e.at = e.after = m_Time.Now();
        e.data = data;
        m_Log.Add(std::move(e));
    }
    m_Inner.Write(data);
    NoteFailure(m_Time.Now());
}

void RecordingLine::SleepUntil(LinkTime t) {
    m_Time.SleepUntil(t);
    LinkEvent e;
    e.kind = LinkEvent::Kind::Woke;
    e.at = m_Time.Now();
    e.after = t;
    m_Log.Add(std::move(e));
}

void RecordingLine::Pull(bool waited) {
    const LinkTime now = m_Time.Now();
    const std::string got = m_Inner.Read();
    if (!got.empty()) {
        LinkEvent e;
        e.kind = LinkEvent::Kind::Received;
        e.at = now;
        e.after = waited ? now : m_LastLook;
        e.data = got;
        m_Log.Add(std::move(e));
        m_Buffer += got;
    }
    NoteFailure(now);
    m_LastLook = now;
}

bool RecordingLine::Failed() const {
    // A line may fail with time alone, seen by nothing but this question.
    NoteFailure(m_Time.Now());
    return m_Inner.Failed();
}

void RecordingLine::NoteFailure(LinkTime now) const {
    if (m_FailureNoted || !m_Inner.Failed()) return;
    m_FailureNoted = true;
    LinkEvent e;
    e.kind = LinkEvent::Kind::Failed;
    e.at = now;
    e.after = m_LastLook;
    e.data = m_Inner.Problem();
    m_Log.Add(std::move(e));
}

std::string RecordingLine::Read(int max) {
    Pull(false);
    return TakeFront(m_Buffer, max);
}

int RecordingLine::InBufferCount() {
    Pull(false);
    return static_cast<int>(m_Buffer.size());
}

void RecordingLine::WaitInput(LinkTime until) {
    m_Inner.WaitInput(until);
    Pull(true);
}

} // namespace kq
