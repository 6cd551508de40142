// A channel table window: one device, its 16 channel rows and labels, and
// the commands the main window's table menus run on it: files, printing,
// the edit dialogs and the radio transfers.
#pragma once

#include "ChannelCsv.h"
#include "ClassKQxx53.h"
#include "WindowLook.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QTextEdit;
class QUndoStack;

namespace kq {

class frmMain;

class frmDocument : public QWidget {
    Q_OBJECT
public:
    // main is the main window the table belongs to and outlives it.
    explicit frmDocument(frmMain& main, QWidget* parent = nullptr);
    ~frmDocument() override;

    frmMain& Main() const { return m_Main; }

    ClassKQxx53& myDevice() { return m_Device; }
    const ClassKQxx53& myDevice() const { return m_Device; }

    // Redraws rows and labels from the device, keeping selection and scroll.
    void UpdateHomePage();
    void Init_ListCHList();

    // Every change to the table ends here: when the device differs from the
    // state after the last step, one undo step from that state to this one
    // is recorded. Also shows the band hint. Returns whether a step was made.
    bool RecordChange(const QString& what);
    // The same for changes made outside the window's own commands (a read
    // of the radio), which are shown first.
    void MarkModified() {
        UpdateHomePage();
        RecordChange(tr("Change"));
    }
    // The table differs from what was last saved or opened.
    bool IsModified() const;
    QUndoStack* UndoStack() const { return m_Undo; }
    void Undo();
    void Redo();

    // A table read from a file: its state is the saved one, with no history.
    void LoadDevice(const ClassKQxx53& dev);

    // The channels outside the radio's band, as the status bar names them;
    // "" when all are inside.
    QString BandHint() const;
    // Has the main window show the hint of the active table.
    void ShowBandHint();

    // While a radio transfer runs the table stays open and no second one
    // starts on it; the transfer has its own copy, so every other command works.
    void SetBusy(bool busy);
    bool IsBusy() const { return m_Busy; }

    // The caption the program works with: "Untitled<n>" or the file's path.
    // The window title adds the unsaved-changes mark to it.
    QString Caption() const { return m_Caption; }
    void SetCaption(const QString& c);

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

    // File commands. Each returns false when the user cancelled or it failed
    // (after a message).
    bool Save();
    bool SaveAs();
    bool SaveTo(const QString& path);

    // CSV: import replaces the channels as one undo step; false when the
    // user cancelled or it failed (after a message), with nothing changed.
    bool ImportCsv();
    bool ImportCsvFrom(const QString& path);
    bool ExportCsv();
    bool ExportCsvTo(const QString& path, CsvLayout layout);

    // Builds the report into rtfText; returns its lines.
    QStringList FillReport();
    // Prints the report to a PDF file without a printer.
    bool PrintReportToPdf(const QString& pdfPath);

    // Asks about unsaved changes; false when the user keeps the window.
    bool MaybeSave();
    // FILE > CLOSE: closes the window's frame in the main window.
    void CloseWindow();

    void PrinterSetup();
    void PrintReport();
    void PrintReportToPdfAsk();
    void PrintPreview();

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
    void ShowPorts();

signals:
    void closing();
    void busyChanged(bool busy);

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    friend class TableChange;
    // Puts a state of the history into the device, keeping the current row.
    void restoreState(const ClassKQxx53& state);
    bool refuseWhileBusy();
    std::vector<int16_t> selectedRows() const;

    frmMain& m_Main;
    ClassKQxx53 m_Device;
    QListWidget* m_List = nullptr;
    QTextEdit* m_rtfText = nullptr;
    QLabel* m_LabelModel = nullptr;
    QLabel* m_LabelRFIF = nullptr;
    QLabel* m_LabelReferOsc = nullptr;
    QString m_Caption;
    QUndoStack* m_Undo = nullptr;
    ClassKQxx53 m_Recorded; // the device as the last undo step left it
    bool m_Busy = false;
    bool m_ClosingSignalled = false;
};

} // namespace kq
