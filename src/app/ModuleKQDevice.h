// Routines both kinds of window call: the file dialogs and the About message.
// What the windows share lives in the main window (frmMain).
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kq {

// name with ".suffix" added when it has no suffix of its own; a suffix the
// user typed is kept. The program's own filters then find the file again.
QString WithSuffix(const QString& name, const QString& suffix);

// The save dialog, starting in folder; "" when cancelled. A name typed
// without a suffix gets suffix. chosen, when given, receives the index of
// the filter chosen.
QString AskSaveName(QWidget* parent, const QString& title, const QString& folder,
                    const QStringList& filters, const QString& suffix, int* chosen = nullptr);
// The open dialog for one or several existing files; {} when cancelled.
QStringList AskOpenNames(QWidget* parent, const QString& title, const QString& folder,
                         const QStringList& filters, bool several);

QString AboutText();
void ShowAbout(QWidget* parent);

} // namespace kq
