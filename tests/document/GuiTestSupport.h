// Helpers for tests that drive the real windows offscreen.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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

} // namespace kqtest
