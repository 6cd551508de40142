// The main window: a multiple-document frame holding the channel table
// windows, and the owner of what they share: the document counter, the
// channel clipboard, the printer settings, the port choice and the menus.
// The menus are made once; the menu bar shows the table menus while a table
// is active and the main window's own FILE and HELP while none is.
#pragma once

#include "ChannelClipboard.h"

#include <QList>
#include <QMainWindow>
#include <QPrinter>

#include <functional>
#include <memory>

class QMdiArea;
class QMenu;

namespace kq {

class frmDocument;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    const QString AppVersion = QStringLiteral("Ver1.10");

    frmDocument* ActiveDocument() const;
    QList<frmDocument*> Documents() const;
    QMdiArea* mdiArea() const { return m_Mdi; }
    void ActivateDocument(frmDocument* doc);

    // Channel table windows created since start; never goes down.
    int DocumentCount() const { return m_DocumentCount; }
    // Creates, numbers ("Untitled<n>"), places and shows a new table window.
    frmDocument* NewDocument();
    // Asks for a .KQ file and opens it in a new window.
    void OpenChannelFile();
    // Opens path in a new window; nullptr (after a message) when the file
    // cannot be read, and then no document number is used up.
    frmDocument* OpenChannelFilePath(const QString& path);

    // The one channel clipboard of the program.
    ChannelClipboard& Clipboard() { return m_Clipboard; }
    // The printer, so a set-up choice carries to printing.
    QPrinter& Printer() { return m_Printer; }
    // The devices searched as COM1, COM2, ... for the rest of the session.
    void SetPortChoice(const QStringList& devices);

    // Enables the table actions from the active table and its busy state,
    // and shows the menus that fit.
    void UpdateMenus();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    // A new table command is one addTableAction line in buildTableMenus: it
    // runs on the active table and is enabled while there is one, and with
    // Needs::IdleTable only while no radio transfer runs on it.
    enum class Needs { Table, IdleTable };
    QAction* addMenuAction(QMenu* menu, const QString& text, std::function<void()> run, const QKeySequence& key = {});
    QAction* addTableAction(QMenu* menu, const QString& text, std::function<void(frmDocument&)> run,
                            const QKeySequence& key = {}, Needs needs = Needs::Table);
    void buildOwnMenus();
    void buildTableMenus();
    void fillWindowMenu(QMenu* menu);

    QMdiArea* m_Mdi;
    QList<QMenu*> m_OwnMenus;   // while no table is active
    QList<QMenu*> m_TableMenus; // while a table is active
    QList<QPair<QAction*, Needs>> m_TableActions;
    bool m_ShowingTableMenus = false;

    int m_DocumentCount = 0;
    ChannelClipboard m_Clipboard;
    QPrinter m_Printer{QPrinter::HighResolution};
    QString m_LastOpenName; // the open dialog starts at the last file chosen
};

// The program's start: the main window shown with its first table.
// args as QCoreApplication::arguments(); "--port DEV[,DEV...]" names the
// devices of COM1, COM2, ... for this run.
std::unique_ptr<frmMain> StartProgram(const QStringList& args);

} // namespace kq
