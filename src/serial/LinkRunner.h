// Runs a TransferSequence on a worker thread with its own PortLink, while
// the calling thread waits in a local event loop (its timers, buttons and
// boxes stay alive). The model question is asked on the calling thread; the
// worker waits for the answer.
//
//   kq::TransferSequence seq(64);
//   kq::LinkRunner::Hooks hooks;
//   hooks.portFound = [](int port, const QString& device) { ... };   // show the window
//   hooks.confirmModelMismatch = [](int radioModel) { return askUser(); };
//   kq::TransferResult r = kq::LinkRunner::Run(seq, linkSettings, hooks);
//
// seq.Progress() and seq.Cancel() may be used from the calling thread
// meanwhile (a timer, a CANCEL button). With a trace, the line is recorded
// in it, with the ports searched, the answers and the outcome; a cancel is
// noted there (trace->Cancel()) before seq.Cancel().
#pragma once

#include "Form_QVCom.h"
#include "LinkLog.h"
#include "LinkSettings.h"
#include "QtSerialLine.h"
#include "TransferSequence.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kq {

// The link on real serial ports, in real time: the core's Form_QVCom over a
// QtSerialLine. Making it runs the port search over SearchedPorts(settings);
// it blocks while it waits, so it belongs on a worker thread. With a trace,
// the line is recorded in it from the search on.
class PortLink {
public:
    explicit PortLink(LinkSettings settings, LinkRecorder* trace = nullptr);
    Form_QVCom& Link() { return m_Link; }
    // Whether a radio answers the probe on device (the search on it alone).
    static bool RadioAnswers(const std::string& device, LinkSettings settings);

private:
    SteadyTime m_Time;
    QtSerialLine m_Line{m_Time};
    std::unique_ptr<RecordingLine> m_Traced;
    Form_QVCom m_Link;
};

class LinkRunner {
public:
    struct Hooks {
        // The search found a radio on port 1..4, device (not called when
        // none answered).
        std::function<void(int port, const QString& device)> portFound;
        // The radio's model code (word 1 was answered); true = overwrite.
        // Unset: the mismatch is declined.
        std::function<bool(int radioModel)> confirmModelMismatch;
        // A write's backup: keeps the radio's words read from device and
        // returns where (throws KqError when it cannot). Called on the
        // worker. Unset: no backup read.
        std::function<std::string(const std::vector<int32_t>& words, const std::string& device)>
            keepBackup;
        // Word 0 of the radio is not 0xC500; true = write it all the same.
        // Asked on the calling thread. Unset: not written.
        std::function<bool(int word0)> confirmUninitiated;
    };

    // Searches and runs seq; returns when the worker is done. Needs a
    // QCoreApplication (or QApplication) on the calling thread.
    static TransferResult Run(TransferSequence& seq, const LinkSettings& link,
                              const Hooks& hooks = {}, LinkRecorder* trace = nullptr);
};

} // namespace kq
