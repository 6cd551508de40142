// The reading and writing windows: a label, a 0..15 progress bar and
// CANCEL over one TransferSequence run on the link's worker thread. Only one
// of them can be open at a time, since they share the one serial link.
#pragma once

#include "LinkLog.h"
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

    QLabel* Label = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QPushButton* Command_Cancel = nullptr;

    // Runs the whole transfer; returns when it has ended.
    TransferResult Run();

protected:
    // job: the words a write sends instead of doc's table (a restore).
    TransferWindow(frmDocument& doc, TransferSequence::Direction dir,
                   std::optional<WriteJob> job = std::nullopt);
    void closeEvent(QCloseEvent* e) override;

private:
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
    const bool m_Backup;       // a write keeps the radio's table first
    std::optional<WriteJob> m_Job;
    const int m_TableModel;    // the model the table was for when the transfer began
    std::unique_ptr<TransferSequence> m_Transfer;
    std::unique_ptr<LinkRecorder> m_Trace; // the link log, kept by the main window
    QTimer m_Timer;
    bool m_Finished = false;
};

class Form_Upload : public TransferWindow {
    Q_OBJECT
public:
    // Reads the radio into doc's device; refused (no outcome) while a
    // transfer runs.
    static std::optional<TransferResult> Load(frmDocument& doc);
    explicit Form_Upload(frmDocument& doc);
};

class Form_Download : public TransferWindow {
    Q_OBJECT
public:
    // Writes doc's channel table into the radio; channels outside the
    // radio's band are listed first and written only when the user agrees
    // (no outcome when not).
    static std::optional<TransferResult> Load(frmDocument& doc);
    // Writes a backup (any channel file) into the radio word for word, as
    // DOWNLOAD does, doc showing the outcome; nullopt (after a message) when
    // the file cannot be read or a transfer runs.
    static std::optional<TransferResult> Restore(frmDocument& doc, const QString& path);
    explicit Form_Download(frmDocument& doc, std::optional<WriteJob> job = std::nullopt);
};

} // namespace kq
