// The reading and writing windows: a label, a 0..15 progress bar and
// CANCEL over one TransferSequence run on the link's worker thread. Only one
// of them can be open at a time, since they share the one serial link.
#pragma once

#include "LinkLog.h"
#include "LinkRunner.h"
#include "LinkSettings.h"
#include "TransferSequence.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kq {

class frmDocument;

class TransferWindow : public QDialog {
    Q_OBJECT
public:
    ~TransferWindow() override;

    // The open reading or writing window, if any.
    static TransferWindow* Open();
    // Starts a read of the radio into doc's device, or a write of doc's
    // table (job: the words a restore sends instead); nullptr (after a
    // message) while another transfer runs. The window shows itself when
    // the radio answers, and goes when the transfer has ended and its
    // outcome was shown.
    static TransferWindow* Start(frmDocument& doc, TransferSequence::Direction dir,
                                 std::optional<WriteJob> job = std::nullopt);

    QLabel* Label = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* Command_Cancel = nullptr;

signals:
    // The transfer has ended and its outcome was shown.
    void Finished(const kq::TransferResult& result);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    TransferWindow(frmDocument& doc, TransferSequence::Direction dir, std::optional<WriteJob> job);
    void Begin();
    void End(TransferResult result);
    void Timer_Tick();
    void status(const QString& text);
    bool ConfirmOverwrite(int radioModel);
    bool ConfirmUninitiated(int word0);
    // The box after a transfer, the status line under its text; true when
    // the user asked to restore the backup of a write that left the radio
    // partly written.
    bool ShowOutcome(const TransferResult& r, const QString& line);

    QPointer<frmDocument> m_Doc;
    TransferSequence::Direction m_Dir;
    const LinkSettings m_Link; // as the main window had them when the transfer began
    const LinkEndsMaker m_Ends;
    const bool m_Backup;       // a write keeps the radio's table first
    std::optional<WriteJob> m_Job;
    const int m_TableModel;    // the model the table was for when the transfer began
    QString m_Ports;           // the devices searched, for the messages
    std::unique_ptr<TransferSequence> m_Transfer;
    std::unique_ptr<LinkRecorder> m_Trace; // the link log, kept by the main window
    std::unique_ptr<LinkRunner> m_Runner;
    QTimer m_Timer;
    bool m_Finished = false;
};

// UPLOAD: reads the radio into doc's device; nullptr while a transfer runs.
struct Form_Upload {
    static TransferWindow* Load(frmDocument& doc);
};

struct Form_Download {
    // Writes doc's channel table into the radio; channels outside the
    // radio's band are listed first and written only when the user agrees
    // (nullptr when not).
    static TransferWindow* Load(frmDocument& doc);
    // Writes a backup (any channel file) into the radio word for word, as
    // DOWNLOAD does, doc showing the outcome; nullptr (after a message) when
    // the file cannot be read or a transfer runs.
    static TransferWindow* Restore(frmDocument& doc, const QString& path);
};

} // namespace kq
