// What the three editing dialogs share: modeless and tied to the channel
// table window they were opened on (they close with it), the Enter-key
// walk over focus positions, select-all on entering a field, and the
// plain message box the dialogs answer with.
#pragma once

#include "SingleWindow.h"
#include "frmDocument.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>

class QWidget;

namespace kq {

class EditDialog : public QDialog {
    Q_OBJECT
public:
    // The window the dialog was opened on.
    frmDocument* OpenedOn() const { return m_OpenedOn; }

    short NowTabIndex = 0;

protected:
    EditDialog(frmDocument& doc, const QString& caption);

    // The window OK writes into: the main window's active channel table
    // window, looked up anew at every use.
    virtual frmDocument* TargetWindow() const;
    // The target; nullptr after a message when there is none or it cannot
    // be changed now.
    frmDocument* TargetDocument();

    // The OK step on the target's device: apply returns true when it wrote
    // something, which is then shown and becomes one undo step named what;
    // a KqError is shown and keeps the dialog open with nothing written.
    void ApplyToTarget(const QString& what, const std::function<bool(ClassKQxx53&)>& apply);

    // Makes w the control at focus position pos: entering it sets
    // NowTabIndex (and selects a field's whole text), Enter walks on.
    void SetFocusPosition(QWidget* w, int pos, bool tracksFocus = true);
    // The walk after Enter; takes(pos) says whether that control can take
    // the focus now.
    void SetNextFocus();
    virtual bool TakesFocus(int pos) const;
    QWidget* ControlAt(int pos) const;

    // Keys pressed on w go to handler first; it returns true when it used
    // the key.
    void OnKey(QWidget* w, std::function<bool(int key, const QString& text)> handler);

    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    frmMain& m_Main; // the dialog's parent, so it outlives the dialog
    QPointer<frmDocument> m_OpenedOn;
    std::map<QWidget*, int> m_Positions;
    std::map<int, QWidget*> m_Controls;
    std::map<QWidget*, std::function<bool(int, const QString&)>> m_KeyHandlers;
    int m_LastPosition = 0;
};

// One dialog of a type at a time. The open one is brought to the front
// also when asked for from another table: it writes into the active table
// anyway (TargetWindow), so a second one would only compete with it.
template <class Dialog>
class SingleInstance {
public:
    // Opens the dialog for doc unless one is open already.
    static Dialog* Load(frmDocument& doc) {
        if (SingleWindow<Dialog>::Show([&doc] { return new Dialog(doc); }))
            SingleWindow<Dialog>::Open()->Loaded();
        return SingleWindow<Dialog>::Open();
    }
    static Dialog* Open() { return SingleWindow<Dialog>::Open(); }
};

} // namespace kq
