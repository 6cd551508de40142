#include "frmDocument.h"

#include "BandHint.h"
#include "ChannelList.h"
#include "ChannelClipboard.h"
#include "ChannelText.h"
#include "Form_AutoFreq.h"
#include "Form_Keyin_CH.h"
#include "Form_Option_System.h"
#include "ModuleKQDevice.h"
#include "TableChange.h"
#include "TransferWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextEdit>
#include <QUndoStack>

#include <algorithm>

namespace kq {

namespace {

// The design's places, in twips, of the list and of the window that holds it:
// the list takes whatever the window grows by.
constexpr int kListLeft = 120, kListTop = 1200, kListWidth = 6375, kListHeight = 3900;
constexpr int kWindowWidth = 6800, kWindowHeight = 5800;

// A label as wide and high as its text needs, never less than its design size:
// a font with other metrics than the design's must not cut the text.
void fitText(QLabel* label) {
    const QSize need = label->sizeHint();
    label->resize(std::max(label->width(), need.width()), std::max(label->height(), need.height()));
}

QLabel* makeLabel(QWidget* parent, const QString& text, int l, int t, int w, int h) {
    auto* label = new QLabel(text, parent);
    label->setFont(CourierBoldFont());
    PlaceTwips(label, l, t, w, h);
    fitText(label);
    return label;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

} // namespace

// One undo step: the whole device before and after a command. The device
// is small, so a snapshot is simpler than undoing each kind of change.
class TableStep : public QUndoCommand {
public:
    TableStep(frmDocument& doc, ClassKQxx53 before, ClassKQxx53 after, const QString& text)
        : QUndoCommand(text), m_Doc(doc), m_Before(std::move(before)), m_After(std::move(after)) {}
    void undo() override { m_Doc.restoreState(m_Before); }
    void redo() override {
        // The command has already changed the device when it is recorded.
        if (m_Done) m_Doc.restoreState(m_After);
        m_Done = true;
    }

private:
    frmDocument& m_Doc;
    ClassKQxx53 m_Before, m_After;
    bool m_Done = false;
};

frmDocument::frmDocument(frmMain& main, ChannelClipboard& clipboard, QWidget* parent)
    : QWidget(parent), m_Main(main), m_Clipboard(clipboard) {
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

    m_List = new ChannelList(this);
    m_List->setObjectName(QStringLiteral("List_CH_List"));
    m_List->setAccessibleName(tr("Channels"));
    // A table brought to the front takes the keys in its rows at once.
    setFocusProxy(m_List);
    m_List->setFont(CourierBoldFont());
    m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PlaceTwips(m_List, kListLeft, kListTop, kListWidth, kListHeight);
    m_List->installEventFilter(this);
    m_List->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_List, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = MakeContextMenu(pos);
        menu->exec(m_List->viewport()->mapToGlobal(pos));
        delete menu;
    });
    connect(m_List, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) m_Device.NowCHNum = static_cast<int16_t>(row);
    });
    connect(m_List, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        SetCurrentChannel(static_cast<int16_t>(m_List->row(item)));
        OpenChannelEdit();
    });

    m_rtfText = new QTextEdit(this);
    m_rtfText->setObjectName(QStringLiteral("rtfText"));
    m_rtfText->setAcceptRichText(false);
    m_rtfText->setAccessibleName(tr("Printout text"));
    m_rtfText->hide();

    resize(Twips(kWindowWidth), Twips(kWindowHeight));
    Init_ListCHList();
    m_Device.NowCHNum = 0;
    UpdateHomePage();
    m_List->setCurrentRow(0); // and selected, for the first paste

    m_Recorded = m_Saved = m_Device;
    m_Undo = new QUndoStack(this);
}

void frmDocument::SetCaption(const QString& c) {
    m_Caption = c;
    // "[*]" is where the title shows unsaved changes; one already in a path
    // is doubled so that it is shown as it is.
    QString title = c;
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title + QStringLiteral("[*]"));
    emit statusChanged();
}

bool frmDocument::RecordChange(const QString& what) {
    bool made = false;
    if (!SameTable(m_Recorded, m_Device)) {
        ClassKQxx53 before = m_Recorded;
        m_Recorded = m_Device;
        m_Undo->push(new TableStep(*this, std::move(before), m_Device, what));
        ClearTransferResult();
        made = true;
    }
    changed();
    return made;
}

bool frmDocument::IsModified() const { return !SameTable(m_Saved, m_Device); }

void frmDocument::MarkSaved() {
    m_Saved = m_Device;
    changed();
}

void frmDocument::changed() {
    setWindowModified(IsModified());
    emit statusChanged();
}

void frmDocument::Undo() { m_Undo->undo(); }

void frmDocument::Redo() { m_Undo->redo(); }

void frmDocument::restoreState(const ClassKQxx53& state) {
    m_Device.TakeTable(state);
    m_Recorded = m_Device;
    ClearTransferResult(); // an undone step is an edit too
    UpdateHomePage();
    changed();
}

void frmDocument::LoadDevice(const ClassKQxx53& dev) {
    m_Device = dev;
    m_Device.NowCHNum = 0;
    m_Recorded = m_Saved = m_Device;
    m_Undo->clear();
    UpdateHomePage();
    changed();
}

void frmDocument::SetTransferResult(bool ok, const QString& text) {
    m_ResultOk = ok;
    m_ResultText = text;
    emit statusChanged();
}

QString frmDocument::BandHint(bool brief) const {
    const std::vector<int16_t> outside = ChannelsOutsideBand(m_Device);
    if (outside.empty()) return {};
    QStringList channels;
    for (int16_t ch : outside) channels << QString::number(ch);
    if (brief)
        return tr("Out of band: %1 %2")
            .arg(outside.size() == 1 ? tr("channel") : tr("channels"),
                 channels.join(QStringLiteral(", ")));
    return tr("Outside the radio's band (%1 to %2 MHz): %3 %4")
        .arg(QString::number(m_Device.LowLimFQ()), QString::number(m_Device.HiLimFQ()),
             outside.size() == 1 ? tr("channel") : tr("channels"),
             channels.join(QStringLiteral(", ")));
}

frmDocument::~frmDocument() {
    // The history empties itself on the way out; nobody must hear of it.
    m_Undo->disconnect();
    if (!m_ClosingSignalled) {
        m_ClosingSignalled = true;
        emit closing();
    }
}

bool frmDocument::refuseWhileBusy() {
    if (!m_Busy) return false;
    QMessageBox::information(this, m_Caption,
                             tr("A radio transfer is running; wait for it or cancel it."));
    return true;
}

void frmDocument::OpenChannelEdit() { Form_Keyin_CH::Load(*this); }
void frmDocument::OpenAutoFreq() { Form_AutoFreq::Load(*this); }
void frmDocument::OpenSystemOption() { Form_Option_System::Load(*this); }
void frmDocument::Upload() {
    if (!refuseWhileBusy()) Form_Upload::Load(*this);
}
void frmDocument::Download() {
    if (!refuseWhileBusy()) Form_Download::Load(*this);
}

void frmDocument::CloseAnswered() {
    m_Answered = true;
    CloseWindow();
}

void frmDocument::CloseWindow() {
    if (parentWidget())
        parentWidget()->close();
    else
        close();
}

void frmDocument::Init_ListCHList() {
    m_List->clear();
    for (int i = 0; i <= ClassKQxx53::LastCHNumber(); ++i) m_List->addItem(QString());
}

void frmDocument::UpdateHomePage() {
    const int top = m_List->verticalScrollBar()->value();
    std::vector<bool> selected(static_cast<std::size_t>(m_List->count()));
    for (int i = 0; i < m_List->count(); ++i)
        selected[static_cast<std::size_t>(i)] = m_List->item(i)->isSelected();

    const QSignalBlocker block(m_List);
    m_List->clear();
    for (int16_t ch = ClassKQxx53::FirstCHNumber(); ch <= ClassKQxx53::LastCHNumber(); ++ch)
        m_List->addItem(q(ChannelRow(m_Device, ch)));
    // Rows outside the band are coloured; their text stays the row, in line with the others.
    const QColor tint = OutsideBandColour(m_List->palette().color(QPalette::Base),
                                          m_List->palette().color(QPalette::Text));
    for (int16_t ch : ChannelsOutsideBand(m_Device)) {
        QListWidgetItem* item = m_List->item(ch);
        item->setBackground(tint);
        item->setToolTip(
            tr("Outside the radio's band (%1 to %2 MHz)")
                .arg(QString::number(m_Device.LowLimFQ()), QString::number(m_Device.HiLimFQ())));
    }
    if (ClassKQxx53::IsValidCH(m_Device.NowCHNum))
        m_List->setCurrentRow(m_Device.NowCHNum, QItemSelectionModel::NoUpdate);
    for (int i = 0; i < m_List->count() && i < static_cast<int>(selected.size()); ++i)
        m_List->item(i)->setSelected(selected[static_cast<std::size_t>(i)]);
    m_List->verticalScrollBar()->setValue(top);

    m_LabelModel->setText(q(ModelText(m_Device)));
    m_LabelRFIF->setText(q(RFIFText(m_Device)));
    m_LabelReferOsc->setText(q(ReferOscText(m_Device)));
    for (QLabel* label : {m_LabelModel, m_LabelRFIF, m_LabelReferOsc}) fitText(label);
}

void frmDocument::SetCurrentChannel(int16_t ch) {
    m_Device.NowCHNum = ch;
    if (ClassKQxx53::IsValidCH(ch)) m_List->setCurrentRow(ch, QItemSelectionModel::NoUpdate);
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

void frmDocument::CopyChannels() { m_Clipboard.CopyChannels(m_Device, selectedRows()); }

void frmDocument::CutChannels() {
    const auto rows = selectedRows();
    if (rows.empty()) return;
    m_Clipboard.CutChannels(m_Device, rows);
    UpdateHomePage();
    RecordChange(tr("Cut"));
}

void frmDocument::PasteChannels() {
    if (m_Clipboard.PasteChannels(m_Device, static_cast<int16_t>(FirstSelectedRow()))) {
        UpdateHomePage();
        RecordChange(tr("Paste"));
    }
}

void frmDocument::DeleteChannels() {
    const auto rows = selectedRows();
    if (rows.empty()) return;
    ChannelClipboard::DeleteChannels(m_Device, rows);
    UpdateHomePage();
    RecordChange(tr("Delete"));
}

void frmDocument::SetBusy(bool busy) {
    if (m_Busy == busy) return;
    m_Busy = busy;
    emit busyChanged(busy);
}

void frmDocument::closeEvent(QCloseEvent* e) {
    if (m_Busy) {
        QMessageBox::information(
            this, m_Caption,
            tr("A radio transfer is running; cancel it before closing the window."));
        e->ignore();
        return;
    }
    if (!m_Answered && !m_File.MaybeSave()) {
        e->ignore();
        return;
    }
    if (!m_ClosingSignalled) {
        m_ClosingSignalled = true;
        emit closing();
    }
    e->accept();
}

QMenu* frmDocument::MakeContextMenu(const QPoint& pos) {
    auto* menu = new QMenu(this);
    const int row = m_List->indexAt(pos).row();
    menu->addAction(tr("EDIT C&HANNEL..."), this, [this, row] {
        if (row >= 0) SetCurrentChannel(static_cast<int16_t>(row));
        OpenChannelEdit();
    });
    menu->addSeparator();
    const bool selected = FirstSelectedRow() >= 0;
    menu->addAction(tr("CU&T"), this, &frmDocument::CutChannels)->setEnabled(selected);
    menu->addAction(tr("&COPY"), this, &frmDocument::CopyChannels)->setEnabled(selected);
    menu->addAction(tr("&PASTE"), this, &frmDocument::PasteChannels)
        ->setEnabled(selected && !m_Clipboard.Empty());
    menu->addAction(tr("&DELETE"), this, &frmDocument::DeleteChannels)->setEnabled(selected);
    menu->addSeparator();
    menu->addAction(tr("&UNDO"), this, &frmDocument::Undo)->setEnabled(m_Undo->canUndo());
    return menu;
}

void frmDocument::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    const int w = width() - Twips(200), h = height() - Twips(200);
    if (w > 0 && h > 0) m_rtfText->setGeometry(Twips(100), Twips(100), w, h);
    // The list grows with the window (maximised or resized), never below its design size.
    m_List->resize(Twips(kListWidth) + std::max(0, width() - Twips(kWindowWidth)),
                   Twips(kListHeight) + std::max(0, height() - Twips(kWindowHeight)));
}

bool frmDocument::eventFilter(QObject* obj, QEvent* e) {
    // The band tint follows the list's palette, which may change after the
    // window is made (a theme changed, the palette passed on when shown).
    if (obj == m_List && e->type() == QEvent::PaletteChange) UpdateHomePage();
    if (obj == m_List && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        // The current row is the current channel already.
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
            m_List->currentRow() >= 0) {
            OpenChannelEdit();
            return true;
        }
    }
    return QWidget::eventFilter(obj, e);
}

} // namespace kq
