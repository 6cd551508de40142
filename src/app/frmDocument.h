// A channel table window: one device, its 16 channel rows and labels, and
// the menus from which files, printing, dialogs and transfers start.
#pragma once

#include "ClassKQxx53.h"
#include "WindowLook.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QMenu;
class QTextEdit;

namespace kq {

class frmDocument : public QWidget {
    Q_OBJECT
public:
    explicit frmDocument(QWidget* parent = nullptr);
    ~frmDocument() override;

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

    // The window's menus, shown in the main window's menu bar while active.
    const QList<QMenu*>& Menus() const { return m_Menus; }

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

    // Closes after asking about unsaved changes; false when the user keeps it.
    bool MaybeSave();

signals:
    void closing();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

private:
    void buildMenus();
    void runHook(const std::function<void(frmDocument&)>& hook, const QString& what);
    std::vector<int16_t> selectedRows() const;
    void printReport();
    void printReportToPdfAsk();
    void printerSetup();

    ClassKQxx53 m_Device;
    QListWidget* m_List = nullptr;
    QTextEdit* m_rtfText = nullptr;
    QLabel* m_LabelModel = nullptr;
    QLabel* m_LabelRFIF = nullptr;
    QLabel* m_LabelReferOsc = nullptr;
    QList<QMenu*> m_Menus;
    QList<QAction*> m_ChangingActions;
    bool m_Modified = false;
    bool m_Busy = false;
    bool m_ClosingSignalled = false;
};


} // namespace kq
