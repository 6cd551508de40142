#include "LinkRunner.h"

#include "SerialPorts.h"

#include <QEventLoop>
#include <QPointer>
#include <QThread>

#include <future>
#include <memory>

namespace kq {

namespace {
LinkSettings Searched(LinkSettings settings, LinkRecorder* trace) {
    // The ports as they are now: a change of the system's list meanwhile
    // must not move this transfer to another device.
    settings.ports = ToStdStrings(SearchedPorts(settings));
    if (trace) trace->Settings(settings);
    return settings;
}
} // namespace

PortLink::PortLink(LinkSettings settings, LinkRecorder* trace)
    : m_Traced(trace ? std::make_unique<RecordingLine>(m_Line, m_Time, *trace) : nullptr),
      m_Link(m_Traced ? static_cast<SerialLine&>(*m_Traced) : m_Line,
             m_Traced ? static_cast<TimeSource&>(*m_Traced) : m_Time,
             Searched(std::move(settings), trace)) {}

bool PortLink::RadioAnswers(const std::string& device, LinkSettings settings) {
    settings.ports = {device};
    return PortLink(settings).Link().ActComPort() == 1;
}

TransferResult LinkRunner::Run(TransferSequence& seq, const LinkSettings& link, const Hooks& hooks,
                               LinkRecorder* trace) {
    // A table the codec refused opens no port.
    if (seq.Refused()) {
        const TransferResult r = seq.Result(TransferOutcome::TableInvalid);
        if (trace) trace->Finish(r);
        return r;
    }

    QObject here; // queued calls from the worker run on this thread
    // A question asked on this thread while the worker waits for the
    // answer, noted in the trace as name.
    const auto askHere = [&here, trace](const char* name, const std::function<bool(int)>& ask,
                                        int value) {
        const auto asked = [&] {
            if (!ask) return false;
            std::promise<bool> answer;
            std::future<bool> got = answer.get_future();
            QMetaObject::invokeMethod(
                &here, [&] { answer.set_value(ask(value)); }, Qt::QueuedConnection);
            return got.get();
        };
        return trace ? trace->Ask(name, value, asked) : asked();
    };
    seq.confirmModelMismatch = [&](int radioModel) {
        return askHere("model-mismatch", hooks.confirmModelMismatch, radioModel);
    };
    seq.confirmUninitiated = [&](int word0) {
        return askHere("not-initiated", hooks.confirmUninitiated, word0);
    };
    // A replay of the log reads the radio (for the backup, word 0 for the
    // question) as this run does.
    if (trace && hooks.keepBackup) trace->Backup();
    if (trace && hooks.confirmUninitiated) trace->AsksUninitiated();
    // The result comes back through a promise: the worker's last writes are
    // then ordered before the caller's reads in plain C++ terms, not only by
    // the thread's end.
    std::promise<TransferResult> result;
    std::future<TransferResult> out = result.get_future();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        PortLink port(link, trace);
        Form_QVCom& com = port.Link();
        if (com.ActComPort() != 0 && hooks.portFound) {
            const int n = com.ActComPort();
            const QString device = QString::fromStdString(com.ActDevice());
            QMetaObject::invokeMethod(
                &here, [&hooks, n, device] { hooks.portFound(n, device); }, Qt::QueuedConnection);
        }
        // The backup is named after the port the radio answered on.
        if (hooks.keepBackup) {
            seq.keepBackup = [&hooks, trace,
                              device = com.ActDevice()](const std::vector<int32_t>& w) {
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
        result.set_value(seq.Run(com));
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker->start();
    loop.exec();
    worker->wait();
    TransferResult r = out.get();
    seq.confirmModelMismatch = nullptr;
    seq.confirmUninitiated = nullptr;
    seq.keepBackup = nullptr;
    if (trace) trace->Finish(r);
    return r;
}

} // namespace kq
