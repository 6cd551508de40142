// The link log: what passed over the serial line during one transfer, with
// the settings, the job, the user's answers and the outcome, as plain text a
// user can send. A RecordingLine writes it while the transfer runs; a replay
// (LinkReplay.h) re-runs the transfer against a radio that answers as logged.
//
//   kq::LinkRecorder log("kqtool " + version);
//   log.Read(64);
//   kq::RecordingLine line(portLine, time, log);       // the link uses line
//   ... the transfer ...
//   log.Finish(result);
//   save(log.Text());
#pragma once

#include "LinkSettings.h"
#include "LinkTime.h"
#include "SerialLine.h"
#include "TransferOutcome.h"
#include "TransferSequence.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace kq {

struct LinkEvent {
    enum class Kind { Open, Close, Sent, Received, Failed, Cancel, Woke };
    Kind kind = Kind::Sent;
    // Sent: when the program handed it to the line; Received: when the
    // program first saw it.
    LinkTime at{0};
    // Received, Failed: the program last looked at this time and it was not
    // there, so it came after it. Equal to at when the program was waiting
    // for input and it came. Woke: the time the program slept until (at:
    // when it woke, later on a busy machine).
    LinkTime after{0};
    // Sent, Received: the bytes; Open: the device; Failed: the line's problem.
    std::string data;
    SerialLine::OpenResult opened = SerialLine::OpenResult::Ok; // Open
    std::string problem;                                        // Open: why it failed
};

// A question asked during the transfer and what the user answered.
struct LinkAnswer {
    std::string question; // "model-mismatch", "not-initiated"
    int value = 0;        // what it was about (the radio's model code)
    bool yes = false;
    LinkTime asked{0}, answered{0};
};

struct LinkLog {
    std::string program; // name and version of what recorded it
    LinkSettings settings;
    TransferDirection dir = TransferDirection::Read;
    int words = 64;             // a read's word count
    int model = 0;              // a write's model
    std::vector<int32_t> image; // a write's words
    std::string refused;        // a write: why the codec refused the table
    bool backup = false;        // a write read the radio for a backup first
    bool asksUninitiated = false; // a write would ask about a radio never initiated
    std::string backupFile;     // where it was kept
    std::string backupFailed;   // why it could not be kept
    std::vector<LinkAnswer> answers;
    std::vector<LinkEvent> events;
    // The events stopped at the size limit; the rest of the transfer was not logged.
    bool truncated = false;
    bool finished = false; // the outcome below is known
    std::string outcome;   // OutcomeName
    int exitCode = 0;
    std::string detail;
};

// "Done", "LinkFailed", ...
std::string OutcomeName(TransferOutcome o);
// A time in the log's milliseconds, to the microsecond ("12.345").
std::string LogMs(LinkTime t);

// One line per event, bytes escaped (\r, \n, \\, \xNN) so that each stays
// one line.
std::string FormatLinkLog(const LinkLog& log);
// Throws KqError naming the line for text that is not a link log.
LinkLog ParseLinkLog(const std::string& text);

// A link log being recorded. Its events come from a RecordingLine on the
// transfer's thread; Cancel() and the text may be taken from another thread.
class LinkRecorder {
public:
    // Events beyond this many bytes of text are not kept: a line full of
    // noise must not fill the memory or the disk.
    static constexpr std::size_t kMaxEventBytes = 190 * 1024;

    explicit LinkRecorder(std::string program);

    // The settings the transfer runs with, its ports as searched.
    void Settings(const LinkSettings& settings);
    void Read(int words);
    void Write(const WriteJob& job);
    // A write that reads the radio for a backup first; the backup kept in
    // file, or not kept, for problem.
    void Backup();
    // A write that asks before it writes a radio never initiated (and so
    // reads word 0 also without a backup).
    void AsksUninitiated();
    void BackupKept(const std::string& file);
    void BackupFailed(const std::string& problem);
    // Asks the user through ask and notes the answer with its times.
    bool Ask(const std::string& question, int value, const std::function<bool()>& ask);
    // The user cancelled now (call it before cancelling the transfer).
    void Cancel();
    void Finish(const TransferResult& r);

    LinkLog Log() const;
    std::string Text() const { return FormatLinkLog(Log()); }

private:
    friend class RecordingLine;
    void Attach(TimeSource* time);
    void Add(LinkEvent e);
    LinkTime NowLocked() const;

    mutable std::mutex m_Mutex;
    LinkLog m_Log;
    TimeSource* m_Time = nullptr;
    std::size_t m_EventBytes = 0;
};

// A SerialLine that passes everything to another and records it in a
// LinkRecorder. It takes what arrives as soon as the program looks, so each
// received burst is logged with the time the program could first see it.
// It is also the link's time source, so that how late the program woke from
// each wait is logged and the replay wakes it as late.
class RecordingLine : public SerialLine, public TimeSource {
public:
    RecordingLine(SerialLine& inner, TimeSource& time, LinkRecorder& log);
    ~RecordingLine() override;

    OpenResult Open(const std::string& device) override;
    void Close() override;
    bool IsOpen() const override { return m_Inner.IsOpen(); }
    void Write(const std::string& data) override;
    std::string Read(int max = 0) override;
    int InBufferCount() override;
    void WaitInput(LinkTime until) override;
    bool Failed() const override;
    std::string Problem() const override { return m_Inner.Problem(); }

    LinkTime Now() override { return m_Time.Now(); }
    void SleepUntil(LinkTime t) override;

private:
    // Takes what waits on the inner line; waited: the program was waiting
    // for it.
    void Pull(bool waited);
    // Notes the first time the inner line says it failed.
    void NoteFailure(LinkTime now) const;

    SerialLine& m_Inner;
    TimeSource& m_Time;
    LinkRecorder& m_Log;
    std::string m_Buffer;
    LinkTime m_LastLook{0};
    mutable bool m_FailureNoted = false;
};

} // namespace kq
