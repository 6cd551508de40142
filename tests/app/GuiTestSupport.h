// Helpers for tests that drive the real windows offscreen.
#pragma once

#include "frmDocument.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

// Every test program keeps the settings its windows remember in a folder of
// its own, never in the user's; set up before any window is made.
inline void kqIsolateSettings() {
    static QTemporaryDir dir;
    QCoreApplication::setOrganizationName(QStringLiteral("kqprogrammer-test"));
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (auto scope : {QSettings::UserScope, QSettings::SystemScope}) QSettings::setPath(format, scope, dir.path());
}
Q_COREAPP_STARTUP_FUNCTION(kqIsolateSettings)

namespace kqtest {

// Runs look on each modal window of type T that opens; look must close it.
// The answer comes from a timer because the window runs its own loop.
template <class T>
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(T*)> look) {
        m_Timer.setInterval(20);
        QObject::connect(&m_Timer, &QTimer::timeout, [this, look] {
            if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++m_Count;
                look(w);
            }
        });
        m_Timer.start();
    }
    int count() const { return m_Count; }

private:
    QTimer m_Timer;
    int m_Count = 0;
};

// Presses button on each message box that opens, and records its text.
class MessageBoxAnswer : public ModalAnswer<QMessageBox> {
public:
    explicit MessageBoxAnswer(QMessageBox::StandardButton button)
        : ModalAnswer([this, button](QMessageBox* box) {
              m_Text = box->text();
              if (QAbstractButton* b = box->button(button))
                  b->click();
              else
                  box->reject();
          }) {}
    QString text() const { return m_Text; }

private:
    QString m_Text;
};

// A channel window's rows as shown, and a selection made as the user would.
inline QStringList Rows(kq::frmDocument* d) {
    QStringList r;
    for (int i = 0; i < d->List()->count(); ++i) r << d->List()->item(i)->text();
    return r;
}
inline void Select(kq::frmDocument* d, std::initializer_list<int> rows) {
    d->List()->clearSelection();
    for (int i : rows) d->List()->item(i)->setSelected(true);
}
inline void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window the test made.
inline kq::frmMain* MainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<kq::frmMain*>(w)) return m;
    return nullptr;
}
// A new channel window, made the active one.
inline kq::frmDocument* FreshDocument() { return MainWindow()->NewDocument(); }
// Closes every channel window, discarding changes.
inline void CloseAll() {
    MessageBoxAnswer discard(QMessageBox::Discard);
    if (kq::frmMain* m = MainWindow()) m->mdiArea()->closeAllSubWindows();
    Settle();
}

// The texts of actions as shown ("&FILE", "" for a separator).
inline QStringList Texts(const QList<QAction*>& actions) {
    QStringList t;
    for (QAction* a : actions) t << a->text();
    return t;
}
inline QStringList MenuTitles() { return Texts(MainWindow()->menuBar()->actions()); }
// A menu of the menu bar and one of its items as the user sees them
// ("&EDIT", "CU&T"); nullptr when not shown.
inline QMenu* Menu(const QString& title) {
    for (QAction* m : MainWindow()->menuBar()->actions())
        if (m->text() == title) return m->menu();
    return nullptr;
}
inline QAction* MenuItem(const QString& menu, const QString& item) {
    if (QMenu* m = Menu(menu))
        for (QAction* a : m->actions())
            if (a->text() == item) return a;
    return nullptr;
}

} // namespace kqtest
