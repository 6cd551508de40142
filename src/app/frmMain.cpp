#include "frmMain.h"

#include "ChannelFile.h"
#include "Form_Readme.h"
#include "KqSerialPort.h"
#include "ModuleKQDevice.h"
#include "WindowLook.h"
#include "frmDocument.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>

namespace kq {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("KQ Serial PC Programmer"));
    m_Mdi = new QMdiArea(this);
    setCentralWidget(m_Mdi);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));

    buildOwnMenus();
    buildTableMenus();
    connect(m_Mdi, &QMdiArea::subWindowActivated, this, &frmMain::UpdateMenus);
    for (QMenu* m : m_OwnMenus) menuBar()->addMenu(m);
    UpdateMenus();

    setGeometry(0, 0, Twips(10000), Twips(8500));
}

frmMain::~frmMain() {
    // The child windows go first, while this window can still answer them.
    disconnect(m_Mdi, nullptr, this, nullptr);
    for (frmDocument* d : Documents()) disconnect(d, nullptr, this, nullptr);
    delete m_Mdi;
}

QAction* frmMain::addMenuAction(QMenu* menu, const QString& text, std::function<void()> run, const QKeySequence& key) {
    QAction* a = menu->addAction(text);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return a;
}

QAction* frmMain::addTableAction(QMenu* menu, const QString& text, std::function<void(frmDocument&)> run,
                                 const QKeySequence& key, Needs needs) {
    QAction* a = addMenuAction(menu, text, [this, run = std::move(run), needs] {
        // A shortcut can still fire between a busy change and the redraw.
        frmDocument* doc = ActiveDocument();
        if (doc && !(needs == Needs::IdleTable && doc->IsBusy())) run(*doc);
    }, key);
    m_TableActions.append({a, needs});
    return a;
}

void frmMain::buildOwnMenus() {
    QMenu* file = new QMenu(tr("&FILE"), this);
    addMenuAction(file, tr("&NEW"), [this] { NewDocument(); }, QKeySequence(tr("Ctrl+N")));
    addMenuAction(file, tr("&OPEN"), [this] { OpenChannelFile(); }, QKeySequence(tr("Ctrl+O")));
    file->addSeparator();
    addMenuAction(file, tr("E&XIT"), [this] { close(); }, QKeySequence(tr("Ctrl+Q")));
    QMenu* help = new QMenu(tr("&HELP"), this);
    addMenuAction(help, tr("&README"), [this] { Form_Readme::ShowReadme(*this); });
    addMenuAction(help, tr("&ABOUT"), [this] { ShowAbout(this); });
    m_OwnMenus = {file, help};
}

void frmMain::buildTableMenus() {
    const Needs idle = Needs::IdleTable; // changes the table: not during a transfer
    QMenu* file = new QMenu(tr("&FILE"), this);
    addMenuAction(file, tr("NEW"), [this] { NewDocument(); });
    addMenuAction(file, tr("&OPEN"), [this] { OpenChannelFile(); }, QKeySequence(tr("Ctrl+O")));
    addTableAction(file, tr("&CLOSE"), [](frmDocument& d) { d.CloseWindow(); }, QKeySequence(tr("Ctrl+Q")));
    file->addSeparator();
    addTableAction(file, tr("&SAVE"), [](frmDocument& d) { d.Save(); }, QKeySequence(tr("Ctrl+S")));
    addTableAction(file, tr("SAVE &AS"), [](frmDocument& d) { d.SaveAs(); });
    file->addSeparator();
    addTableAction(file, tr("PRINTER SET&UP"), [](frmDocument& d) { d.PrinterSetup(); });
    addTableAction(file, tr("&PRINT"), [](frmDocument& d) { d.PrintReport(); }, QKeySequence(tr("Ctrl+P")));
    // Works without any printer installed.
    addTableAction(file, tr("PRINT TO P&DF..."), [](frmDocument& d) { d.PrintReportToPdfAsk(); });
    file->addSeparator();
    addMenuAction(file, tr("E&XIT"), [this] { close(); });

    QMenu* edit = new QMenu(tr("&EDIT"), this);
    addTableAction(edit, tr("CU&T"), [](frmDocument& d) { d.CutChannels(); }, QKeySequence(tr("Ctrl+X")), idle);
    addTableAction(edit, tr("&COPY"), [](frmDocument& d) { d.CopyChannels(); }, QKeySequence(tr("Ctrl+C")));
    addTableAction(edit, tr("&PASTE"), [](frmDocument& d) { d.PasteChannels(); }, QKeySequence(tr("Ctrl+V")), idle);
    addTableAction(edit, tr("&DELETE"), [](frmDocument& d) { d.DeleteChannels(); }, QKeySequence(Qt::Key_Delete),
                   idle);
    edit->addSeparator();
    addTableAction(edit, tr("AUTO&FREQ"), [](frmDocument& d) { d.OpenAutoFreq(); }, {}, idle);

    QMenu* option = new QMenu(tr("&OPTION"), this);
    addTableAction(option, tr("S&YSTEM"), [](frmDocument& d) { d.OpenSystemOption(); }, {}, idle);
    addTableAction(option, tr("C&HANNEL"), [](frmDocument& d) { d.OpenChannelEdit(); }, {}, idle);

    QMenu* device = new QMenu(tr("&DEVICE"), this);
    addTableAction(device, tr("&UPLOAD"), [](frmDocument& d) { d.Upload(); }, {}, idle);
    addTableAction(device, tr("&DOWNLOAD"), [](frmDocument& d) { d.Download(); }, {}, idle);
    device->addSeparator();
    addTableAction(device, tr("&PORTS..."), [](frmDocument& d) { d.ShowPorts(); });

    QMenu* window = new QMenu(tr("&WINDOW"), this);
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowMenu(window); });

    QMenu* help = new QMenu(tr("&HELP"), this);
    addMenuAction(help, tr("&README"), [this] { Form_Readme::ShowReadme(*this); });
    addMenuAction(help, tr("&ABOUT"), [this] { ShowAbout(this); });

    m_TableMenus = {file, edit, option, device, window, help};
}

void frmMain::fillWindowMenu(QMenu* menu) {
    menu->clear();
    const frmDocument* active = ActiveDocument();
    for (frmDocument* d : Documents()) {
        QAction* a = menu->addAction(d->Caption());
        a->setCheckable(true);
        a->setChecked(d == active);
        connect(a, &QAction::triggered, this, [this, doc = QPointer<frmDocument>(d)] {
            if (doc) ActivateDocument(doc);
        });
    }
}

void frmMain::UpdateMenus() {
    frmDocument* doc = ActiveDocument();
    for (const auto& [action, needs] : m_TableActions)
        action->setEnabled(doc && !(needs == Needs::IdleTable && doc->IsBusy()));
    const bool table = doc != nullptr;
    if (table == m_ShowingTableMenus) return;
    m_ShowingTableMenus = table;
    menuBar()->clear();
    for (QMenu* m : table ? m_TableMenus : m_OwnMenus) menuBar()->addMenu(m);
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

frmDocument* frmMain::NewDocument() {
    const int number = ++m_DocumentCount;
    auto* doc = new frmDocument(*this);
    doc->SetCaption(QStringLiteral("Untitled%1").arg(number));
    QMdiSubWindow* sub = m_Mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The frame around the table keeps the table's own size.
    sub->resize(doc->size() + (sub->size() - sub->contentsRect().size()));
    const int offset = Twips((number - 1) * 400);
    sub->move(offset, offset);
    connect(doc, &frmDocument::busyChanged, this, &frmMain::UpdateMenus);
    connect(doc, &QObject::destroyed, this, &frmMain::UpdateMenus);
    sub->show();
    m_Mdi->setActiveSubWindow(sub);
    return doc;
}

frmDocument* frmMain::OpenChannelFilePath(const QString& path) {
    // The file is read into a scratch device first, so a damaged file
    // creates no window and uses up no document number.
    ClassKQxx53 loaded;
    try {
        kq::OpenChannelFile(loaded, path.toStdString());
    } catch (const std::exception& e) {
        QMessageBox::warning(this, tr("Open"), QString::fromStdString(e.what()));
        return nullptr;
    }
    frmDocument* doc = NewDocument();
    doc->SetCaption(path);
    doc->myDevice() = loaded;
    doc->myDevice().NowCHNum = 0;
    doc->UpdateHomePage();
    return doc;
}

void frmMain::OpenChannelFile() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"), m_LastOpenName, QStringLiteral("*.KQ"));
    if (path.isEmpty()) return;
    m_LastOpenName = path;
    OpenChannelFilePath(path);
}

void frmMain::SetPortChoice(const QStringList& devices) { KqSerialPort::SetPortMap(devices); }

void frmMain::closeEvent(QCloseEvent* e) {
    for (QMdiSubWindow* sub : m_Mdi->subWindowList()) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    e->accept();
}

std::unique_ptr<frmMain> StartProgram(const QStringList& args) {
    auto main = std::make_unique<frmMain>();
    const qsizetype at = args.indexOf(QStringLiteral("--port"));
    if (at >= 0 && at + 1 < args.size()) main->SetPortChoice(args[at + 1].split(QLatin1Char(',')));
    main->show();
    main->NewDocument();
    return main;
}

} // namespace kq
