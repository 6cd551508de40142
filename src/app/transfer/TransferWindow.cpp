#include "TransferWindow.h"

#include "ChannelFile.h"
#include "Form_Ports.h"
#include "RadioBackups.h"
#include "KqVersion.h"
#include "LinkRunner.h"
#include "ModuleKQDevice.h"
#include "BandHint.h"
#include "SerialPorts.h"
#include "SystemOption.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace kq {

namespace {
QPointer<TransferWindow> s_Open;

// The one serial link is taken: says so and returns true.
bool RefusedWhileRunning() {
    if (!s_Open) return false;
    PlainMessage(s_Open, QObject::tr("A radio transfer is running; wait for it to end or cancel it."));
    return true;
}
} // namespace

void TransferWindow::status(const QString& text) {
    // The window's parent is the main window, whose status bar reports.
    if (auto* m = qobject_cast<QMainWindow*>(parentWidget())) m->statusBar()->showMessage(text);
}

TransferWindow* TransferWindow::Open() { return s_Open; }

TransferWindow::TransferWindow(frmDocument& doc, TransferSequence::Direction dir,
                               std::optional<WriteJob> job)
    : QDialog(&doc.Main()), m_Doc(&doc), m_Dir(dir), m_Link(doc.Main().Link()),
      m_Ends(doc.Main().LinkEnds()), m_Backup(doc.Main().BackupBeforeWriting()),
      m_Job(std::move(job)), m_TableModel(doc.myDevice().Model()) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    SetOuterSizeTwips(this, 5310, 3180);
    const bool read = dir == TransferSequence::Direction::Read;
    setObjectName(read ? QStringLiteral("Form_Upload") : QStringLiteral("Form_Download"));
    setWindowTitle(read ? tr("Upload") : m_Job ? tr("Restore") : tr("Download"));
    Label = new QLabel(read ? tr("Uploading.......")
                            : m_Job ? tr("Restoring.......") : tr("Downloading......."),
                       this);
    Label->setFont(ArialBoldFont(9.75));
    PlaceTwips(Label, 360, 300, 4500, 360);
    ProgressBar = new QProgressBar(this);
    PlaceTwips(ProgressBar, 360, 850, 4500, 400);
    ProgressBar->setTextVisible(false);
    ProgressBar->setAccessibleName(tr("Words transferred"));
    Command_Cancel = new QPushButton(tr("CANCEL"), this);
    Command_Cancel->setFont(ArialBoldFont(9.75));
    PlaceTwips(Command_Cancel, 1800, 1600, 1500, 450);
    connect(Command_Cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_Timer, &QTimer::timeout, this, [this] { Timer_Tick(); });
    m_Timer.setInterval(500);
    s_Open = this;
}

TransferWindow::~TransferWindow() {
    if (m_Doc) m_Doc->SetBusy(false);
}

bool TransferWindow::ConfirmOverwrite(int radioModel) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    QStringLiteral("Model Type Unmatch!\r\nOverwrite ?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    // Which two models differ, so the user can tell a wrong table from a
    // wrong radio.
    const QString table = QString::fromStdString(ModelDescription(m_TableModel));
    box.setInformativeText(
        radioModel < 0
            ? tr("The radio did not tell its model; this table is for a %1.").arg(table)
            : tr("The radio is a %1; this table is for a %2.")
                  .arg(QString::fromStdString(ModelDescription(radioModel)), table));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

bool TransferWindow::ConfirmUninitiated(int word0) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    tr("EEPROM must be initiated!\r\nThe radio's word 0 is 0x%1, not 0xC500: it "
                       "was never initiated.\r\nWrite the table into it all the same?")
                        .arg(QString::number(word0, 16).toUpper().rightJustified(4, QLatin1Char('0'))),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool TransferWindow::ShowOutcome(const TransferResult& r, const QString& line) {
    using O = TransferOutcome;
    QString message = QString::fromStdString(MessageOf(r));
    const bool partly = r.dir == TransferDirection::Write && !r.backupFile.empty() &&
                        r.wordsWritten > 0 &&
                        (r.outcome == O::LinkFailed || r.outcome == O::VerifyFailed ||
                         r.outcome == O::Cancelled);
    if (message.isEmpty() && !partly) return false;
    if (message.isEmpty()) message = tr("Cancelled.");
    if (partly)
        message += tr("\r\n\r\nThe radio may hold a partly written table. The table it held "
                      "before was kept in\r\n%1\r\nRESTORE writes it back.")
                       .arg(QString::fromStdString(r.backupFile));
    // The box's short text stays the program's; the status line's words
    // under it say what went wrong without a look at the status bar.
    QMessageBox box(QMessageBox::NoIcon, QString(), message, QMessageBox::Ok, this);
    box.setInformativeText(line);
    QPushButton* restore = partly ? box.addButton(tr("RESTORE"), QMessageBox::AcceptRole) : nullptr;
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return restore && box.clickedButton() == restore;
}

TransferWindow* TransferWindow::Start(frmDocument& doc, TransferSequence::Direction dir,
                                      std::optional<WriteJob> job) {
    if (RefusedWhileRunning()) return nullptr;
    auto* w = new TransferWindow(doc, dir, std::move(job));
    w->Begin();
    return w;
}

void TransferWindow::Begin() {
    frmDocument& doc = *m_Doc;
    doc.ClearTransferResult();
    // Closing the table and a second transfer wait until this one ends.
    doc.SetBusy(true);
    // The link runs on its own thread with what the transfer needs by value,
    // so boxes and dialogs opened meanwhile cannot stretch its waits, and
    // the table stays the UI thread's alone.
    m_Trace = std::make_unique<LinkRecorder>(std::string("kqprogrammer ") + ProgramVersion);
    if (m_Dir == TransferSequence::Direction::Write) {
        // A restore sends the backup's words; a download, the table's.
        const WriteJob job = m_Job ? *m_Job : PrepareWrite(doc.myDevice());
        m_Trace->Write(job);
        m_Transfer = std::make_unique<TransferSequence>(job);
    } else {
        m_Trace->Read(doc.myDevice().TotalEEWords());
        m_Transfer = std::make_unique<TransferSequence>(doc.myDevice().TotalEEWords());
    }
    LinkRunner::Hooks hooks;
    hooks.confirmModelMismatch = [this](int radioModel) { return ConfirmOverwrite(radioModel); };
    hooks.confirmUninitiated = [this](int word0) { return ConfirmUninitiated(word0); };
    if (m_Backup) hooks.keepBackup = KeepRadioBackup;
    m_Ports = SearchedComPorts(m_Link).join(", ");
    status(tr("Looking for the radio on %1 ...").arg(m_Ports));
    m_Runner = std::make_unique<LinkRunner>(*m_Transfer, m_Link, hooks, m_Trace.get(), m_Ends);
    connect(m_Runner.get(), &LinkRunner::PortFound, this, [this](int port, const QString& device) {
        status(tr("Radio found on %1")
                   .arg(QString::fromStdString(PortName(port, device.toStdString()))));
        ProgressBar->setRange(0, 15);
        ProgressBar->setValue(0);
        m_Timer.setInterval(100);
        show();
        m_Timer.start();
    });
    connect(m_Runner.get(), &LinkRunner::Finished, this, &TransferWindow::End);
    m_Runner->Start();
}

void TransferWindow::End(TransferResult result) {
    m_Finished = true;
    m_Timer.stop();
    Timer_Tick();

    // An upload becomes the table's, as one undo step, only when the codec
    // takes the radio's words; a download leaves the table as it is.
    if (m_Doc) {
        if (const auto radio = RadioTable(result, m_Doc->myDevice())) {
            m_Doc->myDevice() = *radio;
            m_Doc->UpdateHomePage();
            m_Doc->RecordChange(tr("Upload"));
        }
    }
    m_Trace->Finish(result); // words the codec refuses end an upload otherwise
    if (auto* m = qobject_cast<frmMain*>(parentWidget()))
        m->KeepLinkLog(QString::fromStdString(m_Trace->Text()));
    // The box keeps the program's short texts; the status bar says what
    // happened (which word, which value, which port, what to do), in a field
    // of its own with a success or failure mark, until the next transfer or
    // edit: a status message would go with the next one.
    QString line = QString::fromStdString(StatusOf(result, m_Ports.toStdString()));
    if (!line.isEmpty()) line[0] = line[0].toUpper();
    // The status bar has room for the result, not for the backup's path:
    // BACKUPS... lists it, and a failure's box and restore hint name it whole.
    if (!result.backupFile.empty())
        line.replace(QStringLiteral("; backup ") + QString::fromStdString(result.backupFile),
                     tr("; backup kept"));
    if (auto* m = qobject_cast<frmMain*>(parentWidget())) m->statusBar()->clearMessage();
    // The result is the table's: another table shows its own, or none.
    if (m_Doc) m_Doc->SetTransferResult(result.outcome == TransferOutcome::Done, line);
    const bool restore = ShowOutcome(result, line);
    if (m_Doc) m_Doc->SetBusy(false);
    // The link is free again now, not only once the window is deleted.
    if (s_Open == this) s_Open = nullptr;
    emit Finished(result);
    close();
    if (restore && m_Doc) Form_Download::Restore(*m_Doc, QString::fromStdString(result.backupFile));
}

void TransferWindow::Timer_Tick() {
    if (m_Transfer) ProgressBar->setValue(m_Transfer->Progress());
}

void TransferWindow::closeEvent(QCloseEvent* e) {
    // Closing by the frame or CANCEL stops the transfer before the next
    // word; the window goes when the transfer has wound down.
    if (!m_Finished && m_Runner) {
        m_Runner->Cancel();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

TransferWindow* Form_Upload::Load(frmDocument& doc) {
    return TransferWindow::Start(doc, TransferSequence::Direction::Read);
}

TransferWindow* Form_Download::Restore(frmDocument& doc, const QString& path) {
    if (RefusedWhileRunning()) return nullptr;
    // The file's words as they are: a backup of a radio the codec cannot
    // read goes back unchanged.
    WriteJob job;
    try {
        const std::string file = path.toStdString();
        job.image = ChannelFileWords(ReadChannelFileBytes(file), file, RadioEEWords);
    } catch (const std::exception& e) {
        PlainMessage(&doc.Main(), QString::fromStdString(e.what()));
        return nullptr;
    }
    job.image.resize(RadioEEWords);
    job.model = job.image[1] / 256;
    return TransferWindow::Start(doc, TransferSequence::Direction::Write, std::move(job));
}

TransferWindow* Form_Download::Load(frmDocument& doc) {
    // Asked before the link starts: the radio cannot use these channels,
    // and a write that goes on without a word would look like it can.
    const QString outside = QString::fromStdString(OutsideBandList(doc.myDevice())).trimmed();
    if (!outside.isEmpty() && !TransferWindow::Open()) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                        QObject::tr("Channels outside the radio's band (%1 to %2 MHz):")
                            .arg(QString::number(doc.myDevice().LowLimFQ()),
                                 QString::number(doc.myDevice().HiLimFQ())),
                        QMessageBox::Yes | QMessageBox::No, &doc.Main());
        box.setInformativeText(outside + QStringLiteral("\n\n") +
                               QObject::tr("The radio cannot use them. Write them anyway?"));
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            doc.Main().statusBar()->showMessage(QObject::tr("Nothing was written to the radio."));
            return nullptr;
        }
    }
    return TransferWindow::Start(doc, TransferSequence::Direction::Write);
}

} // namespace kq
