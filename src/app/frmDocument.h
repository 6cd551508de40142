// A channel table window: one device, its 16 channel rows and labels, and
// the commands the main window's table menus run on it: files, printing,
// the edit dialogs and the radio transfers.
#pragma once

#include "ClassKQxx53.h"
#include "WindowLook.h"

#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QTextEdit;

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

    // Changes to the table made outside the window's own commands.
    void MarkModified() { m_Modified = true; }
    bool IsModified() const { return m_Modified; }

    // While a radio transfer runs the table must not change or go away.
    void SetBusy(bool busy);
    bool IsBusy() const { return m_Busy; }

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& c) { setWindowTitle(c); }

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

    // The windows this one opens on itself. The dialogs and the transfers
    // refuse, with a message, while a transfer runs on this table.
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
    bool refuseWhileBusy();
    std::vector<int16_t> selectedRows() const;

    frmMain& m_Main;
    ClassKQxx53 m_Device;
    QListWidget* m_List = nullptr;
    QTextEdit* m_rtfText = nullptr;
    QLabel* m_LabelModel = nullptr;
    QLabel* m_LabelRFIF = nullptr;
    QLabel* m_LabelReferOsc = nullptr;
    bool m_Modified = false;
    bool m_Busy = false;
    bool m_ClosingSignalled = false;
};


} // namespace kq
