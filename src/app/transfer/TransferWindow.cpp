#include "TransferWindow.h"

#include "Form_Ports.h"
#include "KqSerialPort.h"
#include "ModuleKQDevice.h"
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
KqTransfer::Outcome s_LastOutcome = KqTransfer::Outcome::Done;

// "COM2 (/dev/ttyUSB0)" for a device of the port list.
QString portName(const QString& device) {
    const int n = static_cast<int>(KqSerialPort::PortMap().indexOf(device)) + 1;
    return n > 0 ? QStringLiteral("COM%1 (%2)").arg(n).arg(device) : device;
}
} // namespace

void TransferWindow::status(const QString& text) {
    // The window's parent is the main window, whose status bar reports.
    if (auto* m = qobject_cast<QMainWindow*>(parentWidget())) m->statusBar()->showMessage(text);
}

TransferWindow* TransferWindow::Open() { return s_Open; }
KqTransfer::Outcome TransferWindow::LastOutcome() { return s_LastOutcome; }

TransferWindow::TransferWindow(frmDocument& doc, KqTransfer::Direction dir)
    : QDialog(&doc.Main()), m_Doc(&doc), m_Dir(dir) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    SetOuterSizeTwips(this, 5310, 3180);
    Label = new QLabel(this);
    Label->setFont(ArialBoldFont(9.75));
    PlaceTwips(Label, 360, 300, 4500, 360);
    ProgressBar = new QProgressBar(this);
    PlaceTwips(ProgressBar, 360, 850, 4500, 400);
    ProgressBar->setTextVisible(false);
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

bool TransferWindow::ConfirmOverwrite(int /*radioModel*/) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    QStringLiteral("Model Type Unmatch!\r\nOverwrite ?"), QMessageBox::Ok | QMessageBox::Cancel,
                    this);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void TransferWindow::Run() {
    frmDocument& doc = *m_Doc;
    // The table must neither change nor go away while the words move.
    doc.SetBusy(true);
    // The transfer changes the table only after a complete read; a write
    // rebuilds the table's image first.
    m_Transfer = std::make_unique<KqTransfer>(doc.myDevice(), m_Dir);
    m_Transfer->hooks.portFound = [this](const QString& device) {
        status(tr("Radio found on %1").arg(portName(device)));
        ProgressBar->setRange(0, 15);
        ProgressBar->setValue(0);
        m_Timer.setInterval(100);
        show();
        m_Timer.start();
    };
    m_Transfer->hooks.confirmModelMismatch = [this](int radioModel) { return ConfirmOverwrite(radioModel); };
    status(tr("Looking for the radio on %1 ...").arg(KqSerialPort::PortMap().mid(0, 4).join(", ")));

    KqTransfer::Outcome outcome = KqTransfer::Outcome::LinkFailed;
    try {
        outcome = m_Transfer->Run();
    } catch (const KqError& e) {
        // The table cannot be turned into words (a frequency the divider
        // cannot hold): nothing was sent.
        PlainMessage(this, QString::fromStdString(e.what()));
        outcome = KqTransfer::Outcome::ModelDeclined;
    }
    s_LastOutcome = outcome;
    m_Finished = true;
    m_Timer.stop();
    Timer_Tick();

    const QString message = KqTransfer::Message(outcome);
    if (!message.isEmpty()) PlainMessage(this, message);
    if (m_Doc && outcome == KqTransfer::Outcome::Done && m_Dir == KqTransfer::Direction::Read) {
        m_Doc->MarkModified();
        m_Doc->UpdateHomePage();
    }
    const QString where = m_Transfer->Device().isEmpty() ? QString() : portName(m_Transfer->Device());
    switch (outcome) {
    case KqTransfer::Outcome::Done:
        status(m_Dir == KqTransfer::Direction::Read ? tr("Read the radio on %1.").arg(where)
                                                    : tr("Wrote and verified the radio on %1.").arg(where));
        break;
    case KqTransfer::Outcome::NoRadio: status(tr("No radio answered (DEVICE > PORTS lists the ports searched).")); break;
    case KqTransfer::Outcome::Cancelled: status(tr("Transfer cancelled on %1.").arg(where)); break;
    default: status(tr("Transfer ended without success on %1.").arg(where)); break;
    }
    if (m_Doc) m_Doc->SetBusy(false);
    // The link is free again now, not only once the window is deleted.
    if (s_Open == this) s_Open = nullptr;
    close();
}

void TransferWindow::Timer_Tick() {
    if (m_Transfer) ProgressBar->setValue(m_Transfer->Progress());
}

void TransferWindow::closeEvent(QCloseEvent* e) {
    // Closing by the frame or CANCEL stops the transfer before the next
    // word; the window goes when the transfer has wound down.
    if (!m_Finished && m_Transfer && m_Transfer->Running()) {
        m_Transfer->Cancel();
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

namespace {
template <class Window>
void loadTransfer(frmDocument& doc) {
    if (s_Open) {
        PlainMessage(s_Open, QObject::tr("A radio transfer is running; wait for it to end or cancel it."));
        return;
    }
    (new Window(doc))->Run();
}
} // namespace

Form_Upload::Form_Upload(frmDocument& doc) : TransferWindow(doc, KqTransfer::Direction::Read) {
    setWindowTitle(tr("Upload"));
    Label->setText(tr("Uploading......."));
    setObjectName(QStringLiteral("Form_Upload"));
}
void Form_Upload::Load(frmDocument& doc) { loadTransfer<Form_Upload>(doc); }

Form_Download::Form_Download(frmDocument& doc) : TransferWindow(doc, KqTransfer::Direction::Write) {
    setWindowTitle(tr("Download"));
    Label->setText(tr("Downloading......."));
    setObjectName(QStringLiteral("Form_Download"));
}
void Form_Download::Load(frmDocument& doc) { loadTransfer<Form_Download>(doc); }

} // namespace kq
