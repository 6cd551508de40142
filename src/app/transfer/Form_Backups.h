// DEVICE > BACKUPS...: the radio tables kept before each write, newest
// first. OPEN shows one as a table; RESTORE writes it into the radio
// through the DOWNLOAD flow (which keeps a backup of its own first).
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace kq {

class frmDocument;
class frmMain;

class Form_Backups : public QDialog {
    Q_OBJECT
public:
    static Form_Backups* ShowBackups(frmDocument& doc);
    static Form_Backups* Open();

    QLabel* Label_Folder = nullptr;
    QTreeWidget* List_Backups = nullptr;
    QPushButton* Command_Open = nullptr;
    QPushButton* Command_Restore = nullptr;

    // Reads the folder again.
    void Refresh();
    // The chosen backup's path, "" when none is chosen.
    QString Chosen() const;
    void Command_Open_Click();
    void Command_Restore_Click();

private:
    explicit Form_Backups(frmMain& main);

    frmMain& m_Main;
};

} // namespace kq
