#include "frmDocument.h"

#include "ChannelClipboard.h"
#include "ChannelFile.h"
#include "ChannelText.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "Form_Ports.h"
#include "ModuleKQDevice.h"
#include "PrintText.h"
#include "ReportText.h"
#include "TransferWindow.h"
#include "frmMain.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextEdit>

#include <ctime>

namespace kq {

namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, int l, int t, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setFont(CourierBoldFont());
    PlaceTwips(label, l, t, w, h);
    return label;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

frmDocument::frmDocument(frmMain& main, QWidget* parent) : QWidget(parent), m_Main(main) {
    // The title block and its frame.
    auto* shape = new QFrame(this);
    shape->setFrameShape(QFrame::Box);
    PlaceTwips(shape, 120, 120, 6370, 730);
    makeLabel(this, q(ModelTitleText()), 360, 240, 735, 255);
    m_LabelModel = makeLabel(this, QString(), 1080, 240, 2780, 260);
    makeLabel(this, q(RangeTitleText()), 360, 480, 375, 255);
    m_LabelRFIF = makeLabel(this, QString(), 720, 480, 975, 255);
    makeLabel(this, q(ReferOscTitleText()), 3120, 480, 1215, 255);
    m_LabelReferOsc = makeLabel(this, QString(), 4320, 480, 1095, 255);
    QLabel* heading = makeLabel(this, q(ChannelHeading()), 120, 960, 9140, 290);
    heading->setObjectName(QStringLiteral("Label_CH_Title"));

    m_List = new QListWidget(this);
    m_List->setObjectName(QStringLiteral("List_CH_List"));
    m_List->setFont(CourierBoldFont());
    m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PlaceTwips(m_List, 120, 1200, 6375, 3900);
    m_List->installEventFilter(this);
    connect(m_List, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) m_Device.NowCHNum = static_cast<int16_t>(row);
    });
    connect(m_List, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_Device.NowCHNum = static_cast<int16_t>(m_List->row(item));
        OpenChannelEdit();
    });

    m_rtfText = new QTextEdit(this);
    m_rtfText->setObjectName(QStringLiteral("rtfText"));
    m_rtfText->setAcceptRichText(false);
    m_rtfText->hide();

    resize(Twips(6800), Twips(5800));
    Init_ListCHList();
    UpdateHomePage();
    m_List->setCurrentRow(0);
    m_Device.NowCHNum = 0;
}

frmDocument::~frmDocument() {
    if (!m_ClosingSignalled) {
        m_ClosingSignalled = true;
        emit closing();
    }
}

bool frmDocument::refuseWhileBusy() {
    if (!m_Busy) return false;
    QMessageBox::information(this, windowTitle(), tr("A radio transfer is running; wait for it or cancel it."));
    return true;
}

void frmDocument::OpenChannelEdit() {
    if (!refuseWhileBusy()) Form_Keyin_CH::Load(*this);
}
void frmDocument::OpenAutoFreq() {
    if (!refuseWhileBusy()) Form_AutoFreq::Load(*this);
}
void frmDocument::OpenSystemOption() {
    if (!refuseWhileBusy()) Form_Option_System::Load(*this);
}
void frmDocument::Upload() {
    if (!refuseWhileBusy()) Form_Upload::Load(*this);
}
void frmDocument::Download() {
    if (!refuseWhileBusy()) Form_Download::Load(*this);
}
void frmDocument::ShowPorts() { Form_Ports::ShowPorts(this); }

void frmDocument::CloseWindow() {
    if (parentWidget()) parentWidget()->close();
    else close();
}

void frmDocument::Init_ListCHList() {
    m_List->clear();
    for (int i = 0; i <= ClassKQxx53::LastCHNumber(); ++i) m_List->addItem(QString());
}

void frmDocument::UpdateHomePage() {
    const int top = m_List->verticalScrollBar()->value();
    std::vector<bool> selected(static_cast<std::size_t>(m_List->count()));
    for (int i = 0; i < m_List->count(); ++i) selected[static_cast<std::size_t>(i)] = m_List->item(i)->isSelected();
    const int current = m_List->currentRow();

    const QSignalBlocker block(m_List);
    m_List->clear();
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch) {
        m_Device.NowCHNum = ch;
        m_List->addItem(q(ChannelRow(m_Device, ch)));
    }
    if (current >= 0) m_List->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    for (int i = 0; i < m_List->count() && i < static_cast<int>(selected.size()); ++i)
        m_List->item(i)->setSelected(selected[static_cast<std::size_t>(i)]);
    m_List->verticalScrollBar()->setValue(top);
    // The edit commands act on the row the user sees as current.
    if (current >= 0) m_Device.NowCHNum = static_cast<int16_t>(current);

    m_LabelModel->setText(q(ModelText(m_Device)));
    m_LabelRFIF->setText(q(RFIFText(m_Device)));
    m_LabelReferOsc->setText(q(ReferOscText(m_Device)));
}

std::vector<int16_t> frmDocument::selectedRows() const {
    std::vector<int16_t> rows;
    for (int i = 0; i < m_List->count(); ++i)
        if (m_List->item(i)->isSelected()) rows.push_back(static_cast<int16_t>(i));
    return rows;
}

int frmDocument::FirstSelectedRow() const {
    const auto rows = selectedRows();
    return rows.empty() ? -1 : rows.front();
}

void frmDocument::CopyChannels() { m_Main.Clipboard().CopyChannels(m_Device, selectedRows()); }

void frmDocument::CutChannels() {
    if (m_Busy) return;
    const auto rows = selectedRows();
    if (rows.empty()) return;
    m_Main.Clipboard().CutChannels(m_Device, rows);
    m_Modified = true;
    UpdateHomePage();
}

void frmDocument::PasteChannels() {
    if (m_Busy) return;
    if (m_Main.Clipboard().PasteChannels(m_Device, static_cast<int16_t>(FirstSelectedRow()))) {
        m_Modified = true;
        UpdateHomePage();
    }
}

void frmDocument::DeleteChannels() {
    if (m_Busy) return;
    const auto rows = selectedRows();
    if (rows.empty()) return;
    ChannelClipboard::DeleteChannels(m_Device, rows);
    m_Modified = true;
    UpdateHomePage();
}

bool frmDocument::Save() {
    if (windowTitle().left(8) == QLatin1String("Untitled")) {
        const QString path = AskSaveFileName(this, tr("Save"));
        if (path.isEmpty()) return false;
        return SaveTo(path);
    }
    return SaveTo(windowTitle());
}

bool frmDocument::SaveAs() {
    const QString path = AskSaveFileName(this, tr("Save As"));
    if (path.isEmpty()) return false;
    return SaveTo(path);
}

bool frmDocument::SaveTo(const QString& path) {
    try {
        SaveChannelFile(m_Device, path.toStdString());
    } catch (const std::exception& e) {
        QMessageBox::warning(this, tr("Save"), QString::fromStdString(e.what()));
        return false;
    }
    setWindowTitle(path);
    m_Modified = false;
    return true;
}

QStringList frmDocument::FillReport() {
    const auto lines = ReportLines(m_Device, windowTitle().toStdString(),
                                   ReportDateText(std::time(nullptr)));
    QStringList out;
    for (const auto& l : lines) out << q(l);
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(16);
    m_rtfText->setFont(f);
    m_rtfText->setPlainText(out.join(QLatin1Char('\n')));
    return out;
}

void frmDocument::PrintReport() {
    FillReport();
    PrintTextWithDialog(this, m_Main.Printer(), m_rtfText->toPlainText(), m_rtfText->font());
}

bool frmDocument::PrintReportToPdf(const QString& pdfPath) {
    FillReport();
    return PrintTextToPdf(m_rtfText->toPlainText(), m_rtfText->font(), pdfPath);
}

void frmDocument::PrintReportToPdfAsk() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Print to PDF"), QString(),
                                                      tr("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    if (!PrintReportToPdf(path))
        QMessageBox::warning(this, tr("Print to PDF"), tr("Could not write %1.").arg(path));
}

void frmDocument::PrinterSetup() { ShowPrinterSetup(this, m_Main.Printer()); }

void frmDocument::SetBusy(bool busy) {
    if (m_Busy == busy) return;
    m_Busy = busy;
    emit busyChanged(busy);
}

bool frmDocument::MaybeSave() {
    if (!m_Modified) return true;
    const auto answer = QMessageBox::question(
        this, tr("KQ Serial PC Programmer"), tr("Save changes to %1?").arg(windowTitle()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Save) return Save();
    return true;
}

void frmDocument::closeEvent(QCloseEvent* e) {
    if (m_Busy) {
        QMessageBox::information(this, windowTitle(),
                                 tr("A radio transfer is running; cancel it before closing the window."));
        e->ignore();
        return;
    }
    if (!MaybeSave()) {
        e->ignore();
        return;
    }
    if (!m_ClosingSignalled) {
        m_ClosingSignalled = true;
        emit closing();
    }
    e->accept();
}

void frmDocument::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int w = width() - Twips(200), h = height() - Twips(200);
    if (w > 0 && h > 0) m_rtfText->setGeometry(Twips(100), Twips(100), w, h);
}

bool frmDocument::eventFilter(QObject* obj, QEvent* e) {
    if (obj == m_List && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && m_List->currentRow() >= 0) {
            m_Device.NowCHNum = static_cast<int16_t>(m_List->currentRow());
            OpenChannelEdit();
            return true;
        }
    }
    return QWidget::eventFilter(obj, e);
}

} // namespace kq
