// Runs a TransferSequence over a link whose line and clock come from
// outside: the machine's serial ports in real time, or a simulated radio
// in virtual time (tests). The same runner serves the windows, kqtool and
// the bench.
//
//   kq::TransferSequence seq(64);
//   kq::LinkRunner run(seq, linkSettings, hooks, trace);     // real ports
//   connect(&run, &kq::LinkRunner::PortFound, ...);          // show the window
//   connect(&run, &kq::LinkRunner::Finished, ...);           // the result
//   run.Start();
//
// The link blocks while it waits, so it runs on a worker thread of its own
// with what it needs by value; questions are asked on the runner's thread
// while the worker waits for the answer, and the signals come there too.
// seq.Progress() and Cancel() may be used from the runner's thread
// meanwhile (a timer, a CANCEL button). With a trace, the line is recorded
// in it, with the ports searched, the answers, a cancel and the outcome.
#pragma once

#include "Form_QVCom.h"
#include "LinkLog.h"
#include "LinkSettings.h"
#include "TransferSequence.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

namespace kq {

class SimLine;

// The line and clock one link runs on, made on the thread that runs it.
class LinkEnds {
public:
    virtual ~LinkEnds() = default;
    virtual SerialLine& Line() = 0;
    virtual TimeSource& Time() = 0;
    // The devices the search goes over, as COM1..COM4, fixed when the link
    // is made: a change of the system's list meanwhile must not move a
    // transfer to another device.
    virtual std::vector<std::string> Ports(const LinkSettings& settings) = 0;
};
using LinkEndsMaker = std::function<std::unique_ptr<LinkEnds>()>;

// The machine's serial ports, in real time.
LinkEndsMaker SerialPortEnds();
// The radios attached to line, in its virtual time; without settings'
// ports, all of its devices are searched.
LinkEndsMaker SimulatedEnds(SimLine& line);

// One link: the core's Form_QVCom over ends made by make. Making it runs
// the port search; it blocks while it waits. With a trace, the line is
// recorded in it from the search on.
class PortLink {
public:
    explicit PortLink(LinkSettings settings, LinkRecorder* trace = nullptr,
                      const LinkEndsMaker& make = SerialPortEnds());
    ~PortLink();
    Form_QVCom& Link() { return *m_Link; }
    // Whether a radio answers the probe on device (the search on it alone).
    static bool RadioAnswers(const std::string& device, LinkSettings settings,
                             const LinkEndsMaker& make = SerialPortEnds());

private:
    std::unique_ptr<LinkEnds> m_Ends;
    std::unique_ptr<RecordingLine> m_Traced;
    std::unique_ptr<Form_QVCom> m_Link;
};

// What a transfer asks of its caller. The runner calls them on its own
// thread; RunTransfer on the thread that runs the link.
struct TransferHooks {
    // The radio's model code (word 1 was answered); true = overwrite.
    // Unset: the mismatch is declined.
    std::function<bool(int radioModel)> confirmModelMismatch;
    // Word 0 of the radio is not 0xC500; true = write it all the same.
    // Unset: not written.
    std::function<bool(int word0)> confirmUninitiated;
    // A write's backup: keeps the radio's words read from device and
    // returns where (throws KqError when it cannot). Called on the link's
    // thread. Unset: no backup read.
    std::function<std::string(const std::vector<int32_t>& words, const std::string& device)>
        keepBackup;
};

// Searches and runs seq on this thread, blocking until it ends; the
// answers, the backup and the outcome are noted in trace. found is told
// where the radio answered (not called when none did).
TransferResult RunTransfer(TransferSequence& seq, const LinkSettings& link,
                           const TransferHooks& hooks, LinkRecorder* trace,
                           const LinkEndsMaker& ends,
                           const std::function<void(int port, const std::string& device)>& found = {});

class LinkRunner : public QObject {
    Q_OBJECT
public:
    using Hooks = TransferHooks;

    // seq and trace must outlive the runner; the hooks' questions are
    // asked on this thread.
    LinkRunner(TransferSequence& seq, LinkSettings link, Hooks hooks, LinkRecorder* trace = nullptr,
               LinkEndsMaker ends = SerialPortEnds(), QObject* parent = nullptr);
    // Cancels a transfer still running and waits for it to wind down.
    ~LinkRunner() override;

    // Starts the search and the transfer; Finished follows, also for a
    // table the codec refused (no port is opened then).
    void Start();
    bool Running() const { return m_Running; }
    // Stops the transfer before its next word, the cancel noted in the
    // trace once.
    void Cancel();

signals:
    // The search found a radio on port 1..4, device.
    void PortFound(int port, const QString& device);
    void Finished(const kq::TransferResult& result);

private:
    // ask, put from the worker to this thread (unset stays unset).
    std::function<bool(int)> AskedHere(const std::function<bool(int)>& ask);
    // A question on this thread while the worker waits; false when the
    // runner goes before it was answered.
    bool AskHere(const std::function<bool(int)>& ask, int value);
    void WorkerDone();

    TransferSequence& m_Seq;
    const LinkSettings m_Link;
    Hooks m_Hooks;
    LinkRecorder* m_Trace;
    LinkEndsMaker m_Ends;
    std::unique_ptr<QThread> m_Worker;
    TransferResult m_Result;
    bool m_Running = false;
    bool m_Cancelled = false;
    // The answer the worker waits for, if a question is out.
    std::mutex m_AskMutex;
    struct Pending;
    std::shared_ptr<Pending> m_Pending;
    bool m_Closing = false;
};

} // namespace kq
