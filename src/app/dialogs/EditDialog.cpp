#include "EditDialog.h"

#include "FocusWalk.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

namespace kq {

EditDialog::EditDialog(frmDocument& doc, const QString& caption)
    : QDialog(&doc.Main()), m_Main(doc.Main()), m_OpenedOn(&doc) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(caption);
    setFont(CourierBoldFont());
    // The focus shows on every control, in the palette's own colours: an
    // option or the check box as a highlighted caption, a button framed, so
    // that a focused OK differs from the default OK.
    setStyleSheet(QStringLiteral(
        "QRadioButton:focus, QCheckBox:focus { background: palette(highlight);"
        " color: palette(highlighted-text); }"
        "QPushButton:focus { border: 2px solid palette(highlight); border-radius: 3px;"
        " background: palette(button); padding: 2px; }"));
    // A dialog left open on a window that goes away would write into a
    // device that no longer exists.
    connect(&doc, &frmDocument::closing, this, &QWidget::close);
    connect(&doc, &QObject::destroyed, this, &QWidget::close);
}

frmDocument* EditDialog::TargetWindow() const { return m_Main.ActiveDocument(); }

frmDocument* EditDialog::TargetDocument() {
    frmDocument* doc = TargetWindow();
    if (!doc) {
        PlainMessage(this, tr("No channel table window is open."));
        return nullptr;
    }
    return doc;
}

void EditDialog::ApplyToTarget(const QString& what,
                               const std::function<bool(ClassKQxx53&)>& apply) {
    frmDocument* doc = TargetDocument();
    if (!doc) return;
    bool written = false;
    try {
        written = apply(doc->myDevice());
    } catch (const KqError& e) {
        PlainMessage(this, QString::fromStdString(e.what()));
        return;
    }
    close();
    if (!written) return;
    doc->UpdateHomePage();
    doc->RecordChange(what);
}

void EditDialog::SetFocusPosition(QWidget* w, int pos, bool tracksFocus) {
    if (tracksFocus) m_Positions[w] = pos;
    m_Controls[pos] = w;
    m_LastPosition = std::max(m_LastPosition, pos);
    w->installEventFilter(this);
    // The tab order follows the focus positions.
    QWidget* before = nullptr;
    for (const auto& [p, c] : m_Controls) {
        if (before) setTabOrder(before, c);
        before = c;
    }
}

QWidget* EditDialog::ControlAt(int pos) const {
    auto it = m_Controls.find(pos);
    return it == m_Controls.end() ? nullptr : it->second;
}

bool EditDialog::TakesFocus(int pos) const {
    QWidget* w = ControlAt(pos);
    if (!w || !w->isEnabled()) return false;
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable() && b->autoExclusive())
        return b->isChecked();
    return true;
}

void EditDialog::SetNextFocus() {
    NowTabIndex = static_cast<short>(
        NextFocusPosition(NowTabIndex, m_LastPosition, [this](int p) { return TakesFocus(p); }));
    if (QWidget* w = ControlAt(NowTabIndex)) w->setFocus(Qt::TabFocusReason);
}

void EditDialog::OnKey(QWidget* w, std::function<bool(int, const QString&)> handler) {
    m_KeyHandlers[w] = std::move(handler);
    w->installEventFilter(this);
}

bool EditDialog::eventFilter(QObject* obj, QEvent* e) {
    auto* w = qobject_cast<QWidget*>(obj);
    if (e->type() == QEvent::FocusIn) {
        if (auto it = m_Positions.find(w); it != m_Positions.end()) {
            NowTabIndex = static_cast<short>(it->second);
            // Queued, because the mouse click that brought the focus would
            // otherwise place the cursor and drop the selection.
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
    } else if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (auto it = m_KeyHandlers.find(w);
            it != m_KeyHandlers.end() && it->second(k->key(), k->text()))
            return true;
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && m_Positions.count(w)) {
            SetNextFocus();
            return true;
        }
    }
    return QDialog::eventFilter(obj, e);
}

} // namespace kq
