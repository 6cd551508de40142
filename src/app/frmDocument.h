// A channel table window: one device, its 16 channel rows and labels, the
// table's undo history and whether it differs from its file. Files, CSV and
// printing are units of their own (TableFile, TableCsv, TablePrint).
#pragma once

#include "ClassKQxx53.h"
#include "TableFile.h"
#include "WindowLook.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QTextEdit;
class QUndoStack;

namespace kq {

class ChannelClipboard;
class frmMain;

class frmDocument : public QWidget {
    Q_OBJECT
public:
    // main is the main window the table belongs to and outlives it; the
    // table itself only hands it on to the units that work on it (files,
    // printing, transfers) and tells it of changes by signals. clipboard is
    // the program's one channel clipboard.
    frmDocument(frmMain& main, ChannelClipboard& clipboard, QWidget* parent = nullptr);
    ~frmDocument() override;

    frmMain& Main() const { return m_Main; }

    ClassKQxx53& myDevice() { return m_Device; }
    const ClassKQxx53& myDevice() const { return m_Device; }

    // Redraws rows and labels from the device, keeping selection and scroll;
    // the list's current row shows the device's current channel (NowCHNum),
    // which is the one owner of it.
    void UpdateHomePage();
    // Makes ch the current channel, in the device and on the list.
    void SetCurrentChannel(int16_t ch);
    void Init_ListCHList();

    // Every change to the table ends here: when the device differs from the
    // state after the last step, one undo step from that state to this one
    // is recorded. Returns whether a step was made.
    bool RecordChange(const QString& what);
    // The same for changes made outside the window's own commands (a read
    // of the radio), which are shown first.
    void MarkModified() {
        UpdateHomePage();
        RecordChange(tr("Change"));
    }
    // The table differs from what was last saved or opened, however it got
    // there: an edit undone by hand leaves it clean.
    bool IsModified() const;
    // The device as it is now is what the file holds.
    void MarkSaved();
    QUndoStack* UndoStack() const { return m_Undo; }
    void Undo();
    void Redo();

    // A table read from a file: its state is the saved one, with no history.
    void LoadDevice(const ClassKQxx53& dev);

    // The last radio transfer's result on this table (ok: succeeded), shown
    // in the status bar while the table is active, until the next transfer
    // or edit; "" for none.
    void SetTransferResult(bool ok, const QString& text);
    void ClearTransferResult() { SetTransferResult(false, QString()); }
    QString TransferResultText() const { return m_ResultText; }
    bool TransferResultOk() const { return m_ResultOk; }

    // The channels outside the radio's band, as the status bar names them;
    // "" when all are inside. brief: without the band's limits, for a
    // narrow bar.
    QString BandHint(bool brief = false) const;

    // While a radio transfer runs the table stays open and no second one
    // starts on it; the transfer has its own copy, so every other command works.
    void SetBusy(bool busy);
    bool IsBusy() const { return m_Busy; }

    // The caption the program works with: "Untitled<n>" or the file's path.
    // The window title adds the unsaved-changes mark to it.
    QString Caption() const { return m_Caption; }
    void SetCaption(const QString& c);
    bool IsUntitled() const { return m_Caption.startsWith(QLatin1String("Untitled")); }

    TableFile& File() { return m_File; }

    QListWidget* List() const { return m_List; }
    QTextEdit* rtfText() const { return m_rtfText; }
    QLabel* LabelModel() const { return m_LabelModel; }
    QLabel* LabelRFIF() const { return m_LabelRFIF; }
    QLabel* LabelReferOsc() const { return m_LabelReferOsc; }

    // Edit commands (also the menu actions).
    void CopyChannels();
    void CutChannels();
    void PasteChannels();
    void DeleteChannels();
    int FirstSelectedRow() const;

    // FILE > CLOSE: closes the window's frame in the main window.
    void CloseWindow();
    // Closes without the question about unsaved changes: the user has
    // answered it already (EXIT asks about every table first).
    void CloseAnswered();

    // The channel list's context menu for the row at pos (list viewport
    // coordinates); the caller shows it and deletes it.
    QMenu* MakeContextMenu(const QPoint& pos);

    // The windows this one opens on itself. A transfer refuses, with a
    // message, while another runs on this table.
    void OpenChannelEdit(); // for NowCHNum as it stands
    void OpenAutoFreq();
    void OpenSystemOption();
    void Upload();
    void Download();

signals:
    void closing();
    void busyChanged(bool busy);
    // The caption, the unsaved-changes state, the transfer result or the
    // band hint changed: what the status bar shows of the table.
    void statusChanged();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    friend class TableStep;
    // A message that a transfer runs on this table; true when one does.
    bool refuseWhileBusy();
    // Puts a state of the history into the device, keeping the current channel.
    void restoreState(const ClassKQxx53& state);
    // The title's mark and the main window's status fields after a change.
    void changed();
    std::vector<int16_t> selectedRows() const;

    frmMain& m_Main;
    ChannelClipboard& m_Clipboard;
    ClassKQxx53 m_Device;
    TableFile m_File{*this};
    QListWidget* m_List = nullptr;
    QTextEdit* m_rtfText = nullptr;
    QLabel* m_LabelModel = nullptr;
    QLabel* m_LabelRFIF = nullptr;
    QLabel* m_LabelReferOsc = nullptr;
    QString m_Caption;
    QString m_ResultText;
    bool m_ResultOk = false;
    QUndoStack* m_Undo = nullptr;
    ClassKQxx53 m_Recorded; // the device as the last undo step left it
    ClassKQxx53 m_Saved;    // the device as last saved or opened
    bool m_Busy = false;
    bool m_Answered = false;
    bool m_ClosingSignalled = false;
};

} // namespace kq
