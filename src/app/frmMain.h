// The main window: a multiple-document frame holding the channel table
// windows, and the owner of what they share: the document counter, the
// channel clipboard, the printer settings, the port choice and the menus.
// The tables tell it of their changes by signals; they do not call it.
// The menus are made once; the menu bar shows the table menus while a table
// is active and the main window's own FILE and HELP while none is.
// What the user chose is kept between runs (AppSettings): the window's place,
// the last folder, the recent files, the fast link, the ports and whether a
// write keeps a backup first.
#pragma once

#include "AppSettings.h"
#include "ChannelClipboard.h"
#include "ChannelFile.h"
#include "CommandLine.h"
#include "LinkRunner.h"
#include "LinkSettings.h"
#include "ReportText.h"

#include <QList>
#include <QMainWindow>
#include <QPrinter>

#include <functional>
#include <memory>

class QLabel;
class QMdiArea;
class QMenu;

namespace kq {

class frmDocument;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // The date printed on reports; tests set a fixed day.
    Clock ReportClock = SystemClock;

    frmDocument* ActiveDocument() const;
    QList<frmDocument*> Documents() const;
    QMdiArea* mdiArea() const { return m_Mdi; }
    void ActivateDocument(frmDocument* doc);

    // Channel table windows created since start; never goes down.
    int DocumentCount() const { return m_DocumentCount; }
    // Creates, numbers ("Untitled<n>"), places and shows a new table window.
    frmDocument* NewDocument();
    // Asks for one or several .KQ files and opens each in a new window.
    void OpenChannelFile();
    // Opens path in a new window; nullptr (after a message) when the file
    // cannot be read, and then no document number is used up. A file that
    // is open already is brought to the front instead.
    frmDocument* OpenChannelFilePath(const QString& path);

    // The folder the file dialogs start in: that of the last file chosen.
    QString LastFolder() const { return m_LastFolder; }
    void NoteFileChosen(const QString& path);

    // Channel files opened or saved, most recent first.
    QStringList RecentFiles() const { return m_RecentFiles.List(); }
    void AddRecentFile(const QString& path);
    // A file that is no longer there leaves the list, with a message.
    void OpenRecentFile(const QString& path);

    // The radio link's settings; each transfer gets a copy.
    const LinkSettings& Link() const { return m_Link; }
    // Settings for this run only (--port; a longer tick for a slow adapter).
    void UseLinkForThisRun(const LinkSettings& link);
    // DEVICE > FAST LINK: the opt-in fast pacing of the radio link.
    bool FastLink() const { return m_Link.fast; }
    void SetFastLink(bool on);
    // Where transfers run: the machine's serial ports, or a simulated
    // radio in virtual time (tests).
    const LinkEndsMaker& LinkEnds() const { return m_LinkEnds; }
    void SetLinkEnds(LinkEndsMaker ends) { m_LinkEnds = std::move(ends); }

    // DEVICE > BACK UP BEFORE WRITING: a write first keeps the radio's table.
    bool BackupBeforeWriting() const { return m_BackupBeforeWriting; }
    void SetBackupBeforeWriting(bool on);

    // The one channel clipboard of the program.
    ChannelClipboard& Clipboard() { return m_Clipboard; }
    // The printer, so a set-up choice carries to printing.
    QPrinter& Printer() { return m_Printer; }
    // The user's choice of the devices searched as COM1, COM2, ...; kept
    // for later runs. {} means the system's list.
    void SetPortChoice(const QStringList& devices);

    // Enables the table actions from the active table and its busy state,
    // and shows the menus that fit and the active table's status fields.
    void UpdateMenus();
    // The status bar's lasting fields, which no message hides, for the
    // active table: its last transfer's result (Label_Transfer, with a
    // success or failure icon), its channels outside the radio's band
    // (Label_BandHint) and its caption (Label_Table).
    void UpdateTableStatus();
    // The last transfer's link log, for DEVICE > SAVE LINK LOG... (a user
    // sends it when a radio will not program).
    void KeepLinkLog(const QString& text);
    const QString& LinkLog() const { return m_LinkLog; }
    // Asks for a file name; false when cancelled or not saved (after a message).
    bool SaveLinkLog();
    bool SaveLinkLogTo(const QString& path);

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // A new table command is one addTableAction line in buildTableMenus: it
    // runs on the active table and is enabled while there is one, and with
    // Needs::IdleTable only while no radio transfer runs on it.
    enum class Needs { Table, IdleTable };
    QAction* addMenuAction(QMenu* menu, const QString& text, std::function<void()> run,
                           const QKeySequence& key = {});
    QAction* addTableAction(QMenu* menu, const QString& text, std::function<void(frmDocument&)> run,
                            const QKeySequence& key = {}, Needs needs = Needs::Table);
    void showField(QLabel* label, const QString& text);
    // Gives the result and the band field their whole text where the bar
    // allows; the caption (the table's title shows it too) gives way.
    void fitStatusFields();
    void resizeEvent(QResizeEvent* e) override;
    void buildOwnMenus();
    void buildTableMenus();
    // HELP, the same in both menu bars.
    QMenu* makeHelpMenu();
    void fillWindowMenu(QMenu* menu);
    QMenu* addRecentMenu(QMenu* file);
    void updateRecentMenus();
    void restoreSettings();

    QMdiArea* m_Mdi;
    QList<QMenu*> m_OwnMenus;   // while no table is active
    QList<QMenu*> m_TableMenus; // while a table is active
    QList<QPair<QAction*, Needs>> m_TableActions;
    QAction* m_UndoAction = nullptr;
    QAction* m_RedoAction = nullptr;
    QAction* m_FastLinkAction = nullptr;
    QAction* m_BackupAction = nullptr;
    QAction* m_SaveLinkLogAction = nullptr;
    QString m_LinkLog;
    QList<QMenu*> m_RecentMenus;
    QLabel* m_TableName = nullptr;
    QLabel* m_BandHint = nullptr;
    QLabel* m_TransferIcon = nullptr;
    QLabel* m_TransferResult = nullptr;
    bool m_ShowingTableMenus = false;

    int m_DocumentCount = 0;
    ChannelClipboard m_Clipboard;
    QPrinter m_Printer{QPrinter::HighResolution};
    QString m_LastFolder;
    RecentFileList m_RecentFiles;
    LinkSettings m_Link;
    LinkEndsMaker m_LinkEnds = SerialPortEnds();
    bool m_BackupBeforeWriting = true;
};

// The program's start: the main window shown with a window for each channel
// file named in args, or with "Untitled1" when none opened.
// args.ports, when given, are the devices of COM1, COM2, ... for this run.
std::unique_ptr<frmMain> StartProgram(const ProgramArgs& args);

} // namespace kq
