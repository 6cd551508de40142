// The main window: a multiple-document frame holding the channel table
// windows. It shows its own FILE and HELP menus while no channel window is
// active, and the active window's menus otherwise.
#pragma once

#include <QMainWindow>
#include <QList>

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace kq {

class frmDocument;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    static frmMain* instance();

    const QString AppVersion = QStringLiteral("Ver1.10");

    frmDocument* ActiveDocument() const;
    QList<frmDocument*> Documents() const;
    QMdiArea* mdiArea() const { return m_Mdi; }
    void ActivateDocument(frmDocument* doc);

    // Adds a channel window to the frame, placed and shown.
    void AddDocument(frmDocument* doc, int documentNumber);

signals:
    void activeDocumentChanged(kq::frmDocument* doc);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void showMenusOf(frmDocument* doc);

    QMdiArea* m_Mdi;
    QList<QMenu*> m_OwnMenus;
};

} // namespace kq
