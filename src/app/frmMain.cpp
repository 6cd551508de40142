#include "frmMain.h"

#include "ChannelClipboard.h"
#include "Form_Readme.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace kq {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    SetMainForm(this);
    setWindowTitle(QStringLiteral("KQ Serial PC Programmer"));
    m_Mdi = new QMdiArea(this);
    setCentralWidget(m_Mdi);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));

    QMenu* file = new QMenu(tr("&FILE"), this);
    QAction* n = file->addAction(tr("&NEW"), this, [] { NewDocument(); });
    n->setShortcut(QKeySequence(tr("Ctrl+N")));
    QAction* o = file->addAction(tr("&OPEN"), this, [this] { OpenChannelFile(this); });
    o->setShortcut(QKeySequence(tr("Ctrl+O")));
    file->addSeparator();
    QAction* x = file->addAction(tr("E&XIT"), this, [this] { close(); });
    x->setShortcut(QKeySequence(tr("Ctrl+Q")));
    QMenu* help = new QMenu(tr("&HELP"), this);
    help->addAction(tr("&README"), this, [] { Form_Readme::ShowReadme(); });
    help->addAction(tr("&ABOUT"), this, [this] { ShowAbout(this); });
    m_OwnMenus = {file, help};

    connect(m_Mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        frmDocument* doc = ActiveDocument();
        showMenusOf(doc);
        emit activeDocumentChanged(doc);
    });
    showMenusOf(nullptr);

    setGeometry(0, 0, Twips(10000), Twips(8500));
    SharedChannelClipboard().Clear();
}

frmMain::~frmMain() {
    // The child windows go first, while this window can still answer them.
    disconnect(m_Mdi, nullptr, this, nullptr);
    for (frmDocument* d : Documents()) disconnect(d, nullptr, this, nullptr);
    delete m_Mdi;
    if (MainForm() == this) SetMainForm(nullptr);
}

frmMain* frmMain::instance() { return MainForm(); }

void frmMain::showMenusOf(frmDocument* doc) {
    menuBar()->clear();
    const QList<QMenu*>& menus = doc ? doc->Menus() : m_OwnMenus;
    for (QMenu* m : menus) menuBar()->addMenu(m);
}

frmDocument* frmMain::ActiveDocument() const {
    // While a modeless dialog has the focus no subwindow is "active", but
    // the current one is still the window the user works on.
    QMdiSubWindow* sub = m_Mdi->activeSubWindow();
    if (!sub) sub = m_Mdi->currentSubWindow();
    return sub ? qobject_cast<frmDocument*>(sub->widget()) : nullptr;
}

QList<frmDocument*> frmMain::Documents() const {
    QList<frmDocument*> docs;
    for (QMdiSubWindow* sub : m_Mdi->subWindowList())
        if (auto* d = qobject_cast<frmDocument*>(sub->widget())) docs << d;
    return docs;
}

void frmMain::ActivateDocument(frmDocument* doc) {
    for (QMdiSubWindow* sub : m_Mdi->subWindowList())
        if (sub->widget() == doc) m_Mdi->setActiveSubWindow(sub);
}

void frmMain::AddDocument(frmDocument* doc, int documentNumber) {
    QMdiSubWindow* sub = m_Mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The frame around the table keeps the table's own size.
    sub->resize(doc->size() + (sub->size() - sub->contentsRect().size()));
    const int offset = Twips((documentNumber - 1) * 400);
    sub->move(offset, offset);
    // A closed window's menus must leave the menu bar before they are deleted.
    connect(doc, &frmDocument::closing, this, [this, doc] {
        if (ActiveDocument() == doc || menuBar()->actions().contains(doc->Menus().front()->menuAction()))
            showMenusOf(nullptr);
    });
    connect(doc, &QObject::destroyed, this, [this] { showMenusOf(ActiveDocument()); });
    sub->show();
    m_Mdi->setActiveSubWindow(sub);
}

void frmMain::closeEvent(QCloseEvent* e) {
    for (QMdiSubWindow* sub : m_Mdi->subWindowList()) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

} // namespace kq
