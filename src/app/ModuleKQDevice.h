// Routines both kinds of window call: the save dialog and the About message.
// What the windows share lives in the main window (frmMain).
#pragma once

#include <QString>

class QWidget;

namespace kq {

// The save dialog, starting in folder; "" when cancelled.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& folder);

QString AboutText();
void ShowAbout(QWidget* parent);

} // namespace kq
