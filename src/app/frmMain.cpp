#include "frmMain.h"

#include "AppIcons.h"
#include "AppSettings.h"
#include "ChannelFile.h"
#include "FileDrop.h"
#include "FileSave.h"
#include "Form_Backups.h"
#include "Form_Guide.h"
#include "Form_Ports.h"
#include "Form_Readme.h"
#include "ModuleKQDevice.h"
#include "SerialPorts.h"
#include "StatusField.h"
#include "TableCsv.h"
#include "TablePrint.h"
#include "TransferWindow.h"
#include "WindowLook.h"
#include "frmDocument.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QUndoStack>

namespace kq {

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("KQ Serial PC Programmer"));
    m_Mdi = new QMdiArea(this);
    // Tables moved or cascaded beyond the area stay reachable.
    m_Mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_Mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_Mdi);
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    // Permanent fields: a message (or passing over a menu) never hides them.
    // Each may shrink to let the window be narrow; the tool tip keeps the text.
    const auto field = [this](QLabel*& label, const char* name) {
        label = new StatusField(this);
        label->setObjectName(QLatin1String(name));
        label->setMinimumWidth(1);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->hide(); // until it has something to say
        statusBar()->addPermanentWidget(label);
    };
    m_TransferIcon = new QLabel(this);
    m_TransferIcon->setObjectName(QStringLiteral("Label_TransferIcon"));
    m_TransferIcon->hide();
    statusBar()->addPermanentWidget(m_TransferIcon);
    field(m_TransferResult, "Label_Transfer");
    field(m_BandHint, "Label_BandHint");
    field(m_TableName, "Label_Table");
    InstallDialogLook(this);
    connect(statusBar(), &QStatusBar::messageChanged, this, &frmMain::fitStatusFields);

    buildOwnMenus();
    buildTableMenus();
    connect(m_Mdi, &QMdiArea::subWindowActivated, this, &frmMain::UpdateMenus);
    for (QMenu* m : m_OwnMenus) menuBar()->addMenu(m);
    UpdateMenus();

    // Placed by its frame, so that the title bar is on the screen.
    SetOuterSizeTwips(this, 10000, 8500);
    move(0, 0);
    AcceptChannelFileDrops(this, [this](const QString& path) { OpenChannelFilePath(path); });
    restoreSettings();
}

void frmMain::restoreSettings() {
    // A place on a screen no longer attached is brought back onto one.
    if (const QByteArray place = AppSettings::Geometry(); !place.isEmpty()) restoreGeometry(place);
    m_LastFolder = AppSettings::LastFolder();
    m_Link.fast = AppSettings::FastLink();
    m_FastLinkAction->setChecked(m_Link.fast);
    m_BackupBeforeWriting = AppSettings::BackupBeforeWriting();
    m_BackupAction->setChecked(m_BackupBeforeWriting);

    const QStringList ports = AppSettings::Ports();
    QStringList missing;
    for (const QString& p : ports)
        if (!p.isEmpty() && !QFileInfo::exists(p)) missing << p;
    if (!missing.isEmpty()) {
        // A radio on another port must not be missed for a device that went.
        statusBar()->showMessage(
            tr("The serial port %1 chosen earlier is not there; the radio is searched on "
               "the system's ports.")
                .arg(missing.join(QStringLiteral(", "))));
    } else {
        m_Link.ports = ToStdStrings(ports);
    }
}

frmMain::~frmMain() {
    // The child windows go first, while this window can still answer them.
    // Every table, also one whose subwindow is already off the list while
    // it waits for deletion, so none calls back into a half-destroyed area.
    disconnect(m_Mdi, nullptr, this, nullptr);
    for (frmDocument* d : m_Mdi->findChildren<frmDocument*>())
        disconnect(d, nullptr, this, nullptr);
    delete m_Mdi;
}

QAction* frmMain::addMenuAction(QMenu* menu, const QString& text, std::function<void()> run,
                                const QKeySequence& key) {
    QAction* a = menu->addAction(text);
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return a;
}

QAction* frmMain::addTableAction(QMenu* menu, const QString& text,
                                 std::function<void(frmDocument&)> run, const QKeySequence& key,
                                 Needs needs) {
    QAction* a = addMenuAction(
        menu, text,
        [this, run = std::move(run), needs] {
            // A shortcut can still fire between a busy change and the redraw.
            frmDocument* doc = ActiveDocument();
            if (doc && !(needs == Needs::IdleTable && doc->IsBusy())) run(*doc);
        },
        key);
    m_TableActions.append({a, needs});
    return a;
}

void frmMain::buildOwnMenus() {
    QMenu* file = new QMenu(tr("&FILE"), this);
    addMenuAction(
        file, tr("&NEW"), [this] { NewDocument(); }, QKeySequence(tr("Ctrl+N")));
    addMenuAction(
        file, tr("&OPEN"), [this] { OpenChannelFile(); }, QKeySequence(tr("Ctrl+O")));
    addRecentMenu(file);
    file->addSeparator();
    addMenuAction(
        file, tr("E&XIT"), [this] { close(); }, QKeySequence(tr("Ctrl+Q")));
    m_OwnMenus = {file, makeHelpMenu()};
}

QMenu* frmMain::makeHelpMenu() {
    QMenu* help = new QMenu(tr("&HELP"), this);
    addMenuAction(
        help, tr("&USER GUIDE"), [this] { Form_Guide::ShowGuide(*this); },
        QKeySequence::HelpContents);
    addMenuAction(help, tr("&README"), [this] { Form_Readme::ShowReadme(*this); });
    addMenuAction(help, tr("&ABOUT"), [this] { ShowAbout(this); });
    return help;
}

void frmMain::buildTableMenus() {
    // A transfer works on its own copy of the table, so the table stays
    // open to every command but a second transfer.
    const Needs idle = Needs::IdleTable;
    QMenu* file = new QMenu(tr("&FILE"), this);
    // Keys the user may expect beyond the design's own; none takes one of them.
    addMenuAction(
        file, tr("NEW"), [this] { NewDocument(); }, QKeySequence(tr("Ctrl+N")));
    addMenuAction(
        file, tr("&OPEN"), [this] { OpenChannelFile(); }, QKeySequence(tr("Ctrl+O")));
    addRecentMenu(file);
    addTableAction(
        file, tr("&CLOSE"), [](frmDocument& d) { d.CloseWindow(); }, QKeySequence(tr("Ctrl+Q")));
    file->addSeparator();
    addTableAction(
        file, tr("&SAVE"), [](frmDocument& d) { d.File().Save(); }, QKeySequence(tr("Ctrl+S")));
    addTableAction(
        file, tr("SAVE &AS"), [](frmDocument& d) { d.File().SaveAs(); },
        QKeySequence(tr("Ctrl+Shift+S")));
    file->addSeparator();
    addTableAction(file, tr("&IMPORT CSV..."), [](frmDocument& d) { TableCsv::Import(d); });
    addTableAction(file, tr("&EXPORT CSV..."), [](frmDocument& d) { TableCsv::Export(d); });
    file->addSeparator();
    addTableAction(file, tr("PRINTER SET&UP"), [](frmDocument& d) { TablePrint::Setup(d); });
    addTableAction(file, tr("PRINT PRE&VIEW"), [](frmDocument& d) { TablePrint::Preview(d); });
    addTableAction(
        file, tr("&PRINT"), [](frmDocument& d) { TablePrint::Print(d); },
        QKeySequence(tr("Ctrl+P")));
    // Works without any printer installed.
    addTableAction(
        file, tr("PRINT TO P&DF..."), [](frmDocument& d) { TablePrint::ToPdfAsk(d); },
        QKeySequence(tr("Ctrl+Shift+P")));
    file->addSeparator();
    addMenuAction(file, tr("E&XIT"), [this] { close(); });

    QMenu* edit = new QMenu(tr("&EDIT"), this);
    m_UndoAction = addTableAction(
        edit, tr("&UNDO"), [](frmDocument& d) { d.Undo(); }, QKeySequence::Undo);
    m_RedoAction = addTableAction(edit, tr("&REDO"), [](frmDocument& d) { d.Redo(); });
    m_RedoAction->setShortcuts({QKeySequence(tr("Ctrl+Y")), QKeySequence(tr("Ctrl+Shift+Z"))});
    edit->addSeparator();
    addTableAction(
        edit, tr("CU&T"), [](frmDocument& d) { d.CutChannels(); }, QKeySequence(tr("Ctrl+X")));
    addTableAction(
        edit, tr("&COPY"), [](frmDocument& d) { d.CopyChannels(); }, QKeySequence(tr("Ctrl+C")));
    addTableAction(
        edit, tr("&PASTE"), [](frmDocument& d) { d.PasteChannels(); }, QKeySequence(tr("Ctrl+V")));
    addTableAction(
        edit, tr("&DELETE"), [](frmDocument& d) { d.DeleteChannels(); },
        QKeySequence(Qt::Key_Delete));
    edit->addSeparator();
    addTableAction(
        edit, tr("AUTO&FREQ"), [](frmDocument& d) { d.OpenAutoFreq(); },
        QKeySequence(tr("Ctrl+F")));

    QMenu* option = new QMenu(tr("&OPTION"), this);
    addTableAction(
        option, tr("S&YSTEM"), [](frmDocument& d) { d.OpenSystemOption(); },
        QKeySequence(tr("Ctrl+M")));
    addTableAction(option, tr("C&HANNEL"), [](frmDocument& d) { d.OpenChannelEdit(); });

    QMenu* device = new QMenu(tr("&DEVICE"), this);
    addTableAction(
        device, tr("&UPLOAD"), [](frmDocument& d) { d.Upload(); }, QKeySequence(tr("Ctrl+U")),
        idle);
    addTableAction(
        device, tr("&DOWNLOAD"), [](frmDocument& d) { d.Download(); },
        QKeySequence(tr("Ctrl+D")), idle);
    device->addSeparator();
    addTableAction(device, tr("&PORTS..."), [this](frmDocument&) { Form_Ports::ShowPorts(*this); });
    m_FastLinkAction = addMenuAction(device, tr("&FAST LINK"),
                                     [this] { SetFastLink(m_FastLinkAction->isChecked()); });
    m_FastLinkAction->setCheckable(true);
    m_BackupAction = addMenuAction(device, tr("&BACK UP BEFORE WRITING"), [this] {
        SetBackupBeforeWriting(m_BackupAction->isChecked());
    });
    m_BackupAction->setCheckable(true);
    m_BackupAction->setChecked(true);
    addTableAction(device, tr("BAC&KUPS..."), [](frmDocument& d) { Form_Backups::ShowBackups(d); });
    m_SaveLinkLogAction = addMenuAction(device, tr("SAVE LINK &LOG..."), [this] { SaveLinkLog(); });
    m_SaveLinkLogAction->setEnabled(!m_LinkLog.isEmpty());

    QMenu* window = new QMenu(tr("&WINDOW"), this);
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowMenu(window); });

    m_TableMenus = {file, edit, option, device, window, makeHelpMenu()};
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

QMenu* frmMain::addRecentMenu(QMenu* file) {
    QMenu* recent = file->addMenu(tr("RECENT &FILES"));
    m_RecentMenus << recent;
    updateRecentMenus();
    return recent;
}

void frmMain::updateRecentMenus() {
    for (QMenu* menu : m_RecentMenus) {
        menu->clear();
        const QStringList& files = m_RecentFiles.List();
        for (int i = 0; i < files.size(); ++i) {
            const QString path = files[i];
            QString shown = path;
            shown.replace(QLatin1Char('&'),
                          QStringLiteral("&&")); // an "&" in a path is no access key
            addMenuAction(menu, QStringLiteral("&%1 %2").arg(i + 1).arg(shown),
                          [this, path] { OpenRecentFile(path); });
        }
        menu->setEnabled(!files.isEmpty());
    }
}

void frmMain::AddRecentFile(const QString& path) {
    m_RecentFiles.Add(path);
    updateRecentMenus();
}

void frmMain::OpenRecentFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        m_RecentFiles.Remove(path);
        updateRecentMenus();
        QMessageBox::warning(
            this, tr("Open"),
            tr("%1 is no longer there; it was taken off the recent files.").arg(path));
        return;
    }
    OpenChannelFilePath(path);
}

void frmMain::NoteFileChosen(const QString& path) {
    m_LastFolder = QFileInfo(path).absolutePath();
    AppSettings::SetLastFolder(m_LastFolder);
}

void frmMain::SetFastLink(bool on) {
    m_Link.fast = on;
    m_FastLinkAction->setChecked(on);
    AppSettings::SetFastLink(on);
}

void frmMain::SetBackupBeforeWriting(bool on) {
    m_BackupBeforeWriting = on;
    m_BackupAction->setChecked(on);
    AppSettings::SetBackupBeforeWriting(on);
}

void frmMain::UseLinkForThisRun(const LinkSettings& link) {
    m_Link = link;
    m_FastLinkAction->setChecked(link.fast);
}

void frmMain::UpdateTableStatus() {
    const frmDocument* doc = ActiveDocument();
    const QString result = doc ? doc->TransferResultText() : QString();
    for (auto [label, text] : {std::pair{m_TableName, doc ? doc->Caption() : QString()},
                               std::pair{m_BandHint, doc ? doc->BandHint() : QString()},
                               std::pair{m_TransferResult, result}})
        showField(label, text);
    const bool ok = doc && doc->TransferResultOk();
    m_TransferIcon->setVisible(!result.isEmpty());
    if (!result.isEmpty()) {
        m_TransferIcon->setPixmap(ResultMark(ok, m_TransferResult->fontMetrics().height()));
        m_TransferIcon->setAccessibleName(ok ? tr("Transfer succeeded") : tr("Transfer failed"));
    }
    // From the palette as it is now, so a theme changed meanwhile is followed.
    const QPalette pal = palette(); // the status bar's, which it may not have been told yet
    const QColor text = pal.color(QPalette::WindowText);
    const QString look = QStringLiteral("background: %1; color: %2")
                             .arg(OutsideBandColour(pal.color(QPalette::Window), text).name(),
                                  text.name());
    if (m_BandHint->styleSheet() != look) m_BandHint->setStyleSheet(look);
    fitStatusFields();
}

void frmMain::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::PaletteChange) UpdateTableStatus();
}

void frmMain::showField(QLabel* label, const QString& text) {
    label->setText(text);
    label->setToolTip(text);
    label->setVisible(!text.isEmpty());
}

void frmMain::fitStatusFields() {
    int room = width() - 2 * statusBar()->height(); // the size grip and the margins
    const QString message = statusBar()->currentMessage();
    if (!message.isEmpty()) room -= statusBar()->fontMetrics().horizontalAdvance(message) + 12;
    // The band field says it briefly (its tool tip whole) rather than cut the result.
    if (const frmDocument* doc = ActiveDocument(); doc && !m_BandHint->isHidden()) {
        m_BandHint->setText(doc->BandHint());
        int need = 0;
        for (QLabel* label : {m_TransferIcon, m_TransferResult, m_BandHint})
            if (!label->isHidden()) need += label->sizeHint().width() + 6;
        if (need > room) m_BandHint->setText(doc->BandHint(true));
    }
    for (QLabel* label : {m_TransferIcon, m_TransferResult, m_BandHint})
        if (!label->isHidden()) room -= label->sizeHint().width() + 6;
    m_TableName->setMaximumWidth(std::max(1, room));
    // Rather no field than a sliver of one.
    m_TableName->setVisible(!m_TableName->text().isEmpty() &&
                            room >= 4 * m_TableName->fontMetrics().height());
}

void frmMain::KeepLinkLog(const QString& text) {
    m_LinkLog = text;
    if (m_SaveLinkLogAction) m_SaveLinkLogAction->setEnabled(!m_LinkLog.isEmpty());
}

bool frmMain::SaveLinkLog() {
    const QString path =
        AskSaveName(this, tr("Save link log"), LastFolder(),
                    {tr("Link log (*.log)"), tr("All files (*)")}, QStringLiteral("log"));
    if (path.isEmpty()) return false;
    NoteFileChosen(path);
    return SaveLinkLogTo(path);
}

bool frmMain::SaveLinkLogTo(const QString& path) {
    try {
        WriteFileReplacing(path.toStdString(), m_LinkLog.toStdString());
    } catch (const KqError& e) {
        QMessageBox::warning(this, tr("Save link log"), QString::fromStdString(e.what()));
        return false;
    }
    statusBar()->showMessage(tr("Saved the link log as %1.").arg(path));
    return true;
}

void frmMain::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    fitStatusFields();
}

void frmMain::UpdateMenus() {
    UpdateTableStatus();
    frmDocument* doc = ActiveDocument();
    for (const auto& [action, needs] : m_TableActions)
        action->setEnabled(doc && !(needs == Needs::IdleTable && doc->IsBusy()));
    if (doc) {
        m_UndoAction->setEnabled(m_UndoAction->isEnabled() && doc->UndoStack()->canUndo());
        m_RedoAction->setEnabled(m_RedoAction->isEnabled() && doc->UndoStack()->canRedo());
    }
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
    auto* doc = new frmDocument(*this, m_Clipboard);
    connect(doc, &frmDocument::statusChanged, this, &frmMain::UpdateTableStatus);
    doc->SetCaption(QStringLiteral("Untitled%1").arg(number));
    QMdiSubWindow* sub = m_Mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // The frame around the table keeps the table's own size.
    sub->resize(doc->size() + (sub->size() - sub->contentsRect().size()));
    const int offset = Twips((number - 1) * 400);
    sub->move(offset, offset);
    connect(doc, &frmDocument::busyChanged, this, &frmMain::UpdateMenus);
    connect(doc->UndoStack(), &QUndoStack::canUndoChanged, this, &frmMain::UpdateMenus);
    connect(doc->UndoStack(), &QUndoStack::canRedoChanged, this, &frmMain::UpdateMenus);
    connect(doc, &QObject::destroyed, this, &frmMain::UpdateMenus);
    sub->show();
    m_Mdi->setActiveSubWindow(sub);
    return doc;
}

frmDocument* frmMain::OpenChannelFilePath(const QString& given) {
    // The caption is the file's full path, wherever the name came from.
    const QString path = QFileInfo(given).absoluteFilePath();
    // Two windows on one file would overwrite each other's saves.
    for (frmDocument* d : Documents()) {
        if (!d->IsUntitled() && QFileInfo(d->Caption()) == QFileInfo(path)) {
            ActivateDocument(d);
            return d;
        }
    }
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
    doc->LoadDevice(loaded);
    doc->File().Opened(path);
    AddRecentFile(path);
    return doc;
}

void frmMain::OpenChannelFile() {
    // A file saved under a name without .KQ must not look lost.
    const QStringList paths = AskOpenNames(this, tr("Open"), m_LastFolder,
                                           {QStringLiteral("*.KQ"), tr("All files (*)")}, true);
    if (paths.isEmpty()) return;
    NoteFileChosen(paths.constFirst());
    for (const QString& path : paths) OpenChannelFilePath(path);
}

void frmMain::SetPortChoice(const QStringList& devices) {
    m_Link.ports = ToStdStrings(devices);
    AppSettings::SetPorts(devices);
}

void frmMain::closeEvent(QCloseEvent* e) {
    // Every question comes before any table closes, so that Cancel leaves
    // them all open.
    const QList<frmDocument*> docs = Documents();
    for (frmDocument* d : docs) {
        if (d->IsBusy()) {
            d->CloseWindow(); // says why it cannot close
            e->ignore();
            return;
        }
    }
    for (frmDocument* d : docs) {
        if (!d->IsModified()) continue;
        ActivateDocument(d); // the user sees the table asked about
        if (!d->File().MaybeSave()) {
            e->ignore();
            return;
        }
    }
    for (frmDocument* d : docs) d->CloseAnswered();
    AppSettings::SetGeometry(saveGeometry());
    e->accept();
}

std::unique_ptr<frmMain> StartProgram(const ProgramArgs& args) {
    auto main = std::make_unique<frmMain>();
    if (args.ports) {
        LinkSettings link = main->Link();
        link.ports = *args.ports;
        main->UseLinkForThisRun(link);
    }
    main->show();
    int opened = 0;
    for (const QString& f : args.files)
        if (main->OpenChannelFilePath(f)) ++opened;
    if (opened == 0) main->NewDocument();
    return main;
}

} // namespace kq
