// Helpers for tests that drive the real windows offscreen.
#pragma once

#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QListWidget>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace kqtest {

// Presses button on the next message box that opens, and records its text.
// The answer is given from a timer because the box runs its own loop.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(QMessageBox::StandardButton button) : m_Button(button) {
        m_Timer.setInterval(20);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            m_Text = box->text();
            ++m_Count;
            if (QAbstractButton* b = box->button(m_Button)) b->click();
            else box->reject();
        });
        m_Timer.start();
    }
    QString text() const { return m_Text; }
    int count() const { return m_Count; }

private:
    QMessageBox::StandardButton m_Button;
    QTimer m_Timer;
    QString m_Text;
    int m_Count = 0;
};

// The texts of a channel window's 16 rows.
inline QStringList Rows(kq::frmDocument* d) {
    QStringList r;
    for (int i = 0; i < d->List()->count(); ++i) r << d->List()->item(i)->text();
    return r;
}

// A new channel window, made the active one.
inline kq::frmDocument* FreshDocument() {
    kq::frmDocument* d = kq::NewDocument();
    kq::MainForm()->ActivateDocument(d);
    return d;
}

} // namespace kqtest
