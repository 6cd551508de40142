#include "LinkRunner.h"

#include "QtSerialLine.h"
#include "SerialPorts.h"
#include "SimLine.h"

#include <QThread>

#include <future>

namespace kq {

namespace {

class SerialEnds : public LinkEnds {
public:
    SerialLine& Line() override { return m_Line; }
    TimeSource& Time() override { return m_Time; }
    std::vector<std::string> Ports(const LinkSettings& settings) override {
        return ToStdStrings(SearchedPorts(settings));
    }

private:
    SteadyTime m_Time;
    QtSerialLine m_Line{m_Time};
};

class SimEnds : public LinkEnds {
public:
    explicit SimEnds(SimLine& line) : m_Line(line) {}
    SerialLine& Line() override { return m_Line; }
    TimeSource& Time() override { return m_Line; }
    std::vector<std::string> Ports(const LinkSettings& settings) override {
        return settings.ports.empty() ? m_Line.Devices() : settings.ports;
    }

private:
    SimLine& m_Line;
};

} // namespace

LinkEndsMaker SerialPortEnds() {
    return [] { return std::make_unique<SerialEnds>(); };
}

LinkEndsMaker SimulatedEnds(SimLine& line) {
    return [&line] { return std::make_unique<SimEnds>(line); };
}

PortLink::PortLink(LinkSettings settings, LinkRecorder* trace, const LinkEndsMaker& make)
    : m_Ends(make()) {
    settings.ports = m_Ends->Ports(settings);
    if (trace) {
        trace->Settings(settings);
        m_Traced = std::make_unique<RecordingLine>(m_Ends->Line(), m_Ends->Time(), *trace);
    }
    m_Link = m_Traced ? std::make_unique<Form_QVCom>(*m_Traced, *m_Traced, settings)
                      : std::make_unique<Form_QVCom>(m_Ends->Line(), m_Ends->Time(), settings);
}

PortLink::~PortLink() = default;

bool PortLink::RadioAnswers(const std::string& device, LinkSettings settings,
                            const LinkEndsMaker& make) {
    settings.ports = {device};
    return PortLink(settings, nullptr, make).Link().ActComPort() == 1;
}

TransferResult RunTransfer(TransferSequence& seq, const LinkSettings& link,
                           const TransferHooks& hooks, LinkRecorder* trace,
                           const LinkEndsMaker& ends,
                           const std::function<void(int, const std::string&)>& found) {
    // A table the codec refused opens no port.
    if (seq.Refused()) {
        const TransferResult r = seq.Result(TransferOutcome::TableInvalid);
        if (trace) trace->Finish(r);
        return r;
    }
    const auto asked = [trace](const char* name, const std::function<bool(int)>& ask) {
        return [trace, name, ask](int value) {
            const auto answer = [&] { return ask ? ask(value) : false; };
            return trace ? trace->Ask(name, value, answer) : answer();
        };
    };
    seq.confirmModelMismatch = asked("model-mismatch", hooks.confirmModelMismatch);
    seq.confirmUninitiated = asked("not-initiated", hooks.confirmUninitiated);
    // A replay of the log reads the radio (for the backup, word 0 for the
    // question) as this run does.
    if (trace && hooks.keepBackup) trace->Backup();
    if (trace && hooks.confirmUninitiated) trace->AsksUninitiated();
    TransferResult r;
    {
        PortLink port(link, trace, ends);
        Form_QVCom& com = port.Link();
        if (com.ActComPort() != 0 && found) found(com.ActComPort(), com.ActDevice());
        // The backup is named after the port the radio answered on.
        if (hooks.keepBackup) {
            seq.keepBackup = [&hooks, trace, device = com.ActDevice()](const std::vector<int32_t>& w) {
                try {
                    const std::string file = hooks.keepBackup(w, device);
                    if (trace) trace->BackupKept(file);
                    return file;
                } catch (const std::exception& e) {
                    if (trace) trace->BackupFailed(e.what());
                    throw;
                }
            };
        }
        r = seq.Run(com);
    }
    seq.confirmModelMismatch = nullptr;
    seq.confirmUninitiated = nullptr;
    seq.keepBackup = nullptr;
    if (trace) trace->Finish(r);
    return r;
}

struct LinkRunner::Pending {
    std::promise<bool> answer;
    bool given = false;
    // The first answer counts: the user's, or no when the runner goes.
    // Under m_AskMutex.
    void Give(bool yes) {
        if (given) return;
        given = true;
        answer.set_value(yes);
    }
};

LinkRunner::LinkRunner(TransferSequence& seq, LinkSettings link, Hooks hooks, LinkRecorder* trace,
                       LinkEndsMaker ends, QObject* parent)
    : QObject(parent), m_Seq(seq), m_Link(std::move(link)), m_Hooks(std::move(hooks)),
      m_Trace(trace), m_Ends(std::move(ends)) {}

LinkRunner::~LinkRunner() {
    if (!m_Worker) return;
    {
        std::lock_guard<std::mutex> l(m_AskMutex);
        m_Closing = true;
        if (m_Pending) m_Pending->Give(false);
    }
    if (m_Running) Cancel();
    m_Worker->wait();
}

void LinkRunner::Cancel() {
    if (m_Cancelled) return;
    m_Cancelled = true;
    if (m_Trace) m_Trace->Cancel();
    m_Seq.Cancel();
}

std::function<bool(int)> LinkRunner::AskedHere(const std::function<bool(int)>& ask) {
    if (!ask) return nullptr;
    return [this, &ask](int value) { return AskHere(ask, value); };
}

bool LinkRunner::AskHere(const std::function<bool(int)>& ask, int value) {
    auto pending = std::make_shared<Pending>();
    std::future<bool> got = pending->answer.get_future();
    {
        std::lock_guard<std::mutex> l(m_AskMutex);
        if (m_Closing) return false;
        m_Pending = pending;
    }
    QMetaObject::invokeMethod(
        this,
        [this, pending, ask, value] {
            const bool yes = ask(value);
            std::lock_guard<std::mutex> l(m_AskMutex);
            pending->Give(yes);
        },
        Qt::QueuedConnection);
    return got.get();
}

void LinkRunner::Start() {
    if (m_Worker) return;
    m_Running = true;
    Hooks onWorker = m_Hooks;
    onWorker.confirmModelMismatch = AskedHere(m_Hooks.confirmModelMismatch);
    onWorker.confirmUninitiated = AskedHere(m_Hooks.confirmUninitiated);
    // The worker's result is handed over when its thread has ended, so its
    // last writes are ordered before this thread's reads.
    m_Worker.reset(QThread::create([this, onWorker] {
        m_Result = RunTransfer(m_Seq, m_Link, onWorker, m_Trace, m_Ends,
                               [this](int port, const std::string& device) {
                                   const QString d = QString::fromStdString(device);
                                   QMetaObject::invokeMethod(
                                       this, [this, port, d] { emit PortFound(port, d); },
                                       Qt::QueuedConnection);
                               });
    }));
    connect(m_Worker.get(), &QThread::finished, this, &LinkRunner::WorkerDone, Qt::QueuedConnection);
    m_Worker->start();
}

void LinkRunner::WorkerDone() {
    m_Worker->wait();
    m_Running = false;
    emit Finished(m_Result);
}

} // namespace kq
