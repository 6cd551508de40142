// Values and routines shared by the main window and every channel table
// window: the main window reference, the document counter, the file
// dialogs and the About message.
#pragma once

#include <QString>

class QWidget;

namespace kq {

class frmMain;
class frmDocument;

frmMain* MainForm();
void SetMainForm(frmMain* form);

// Channel table windows created since start; never goes down.
int DocumentCount();
int NextDocumentNumber();

// Creates, numbers and shows a new channel table window.
frmDocument* NewDocument();

// Asks for a .KQ file and opens it in a new window. A file that cannot be
// read gives a message and no window.
void OpenChannelFile(QWidget* parent);
// Opens path in a new window; returns nullptr (after the message) on failure.
frmDocument* OpenChannelFilePath(QWidget* parent, const QString& path);

// The save dialog; "" when cancelled.
QString AskSaveFileName(QWidget* parent, const QString& title);

QString AboutText();
void ShowAbout(QWidget* parent);

} // namespace kq
