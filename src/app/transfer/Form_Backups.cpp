#include "Form_Backups.h"

#include "RadioBackups.h"
#include "SingleWindow.h"
#include "TransferWindow.h"
#include "WindowLook.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kq {

namespace {
QString FolderOrProblem() {
    try {
        return QString::fromStdString(BackupFolder());
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
}
} // namespace

Form_Backups* Form_Backups::Open() { return SingleWindow<Form_Backups>::Open(); }

Form_Backups* Form_Backups::ShowBackups(frmDocument& doc) {
    // The main window's, not the table's: the backups are the radio's.
    SingleWindow<Form_Backups>::Show([&doc] { return new Form_Backups(doc.Main()); });
    Open()->Refresh(); // a transfer may have added one since it was opened
    return Open();
}

Form_Backups::Form_Backups(frmMain& main) : QDialog(&main), m_Main(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Form_Backups"));
    setWindowTitle(tr("Backups"));
    auto* layout = new QVBoxLayout(this);
    Label_Folder = new QLabel(this);
    Label_Folder->setWordWrap(true);
    Label_Folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Label_Folder);
    List_Backups = new QTreeWidget(this);
    List_Backups->setHeaderLabels({tr("Time"), tr("Model"), tr("Port"), tr("File")});
    List_Backups->setRootIsDecorated(false);
    List_Backups->setUniformRowHeights(true);
    List_Backups->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    List_Backups->setMinimumSize(620, 240);
    layout->addWidget(List_Backups);
    auto* buttons = new QDialogButtonBox(this);
    Command_Open = buttons->addButton(tr("OPEN"), QDialogButtonBox::ActionRole);
    Command_Restore = buttons->addButton(tr("RESTORE"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(tr("CLOSE"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(Command_Open, &QPushButton::clicked, this, [this] { Command_Open_Click(); });
    connect(Command_Restore, &QPushButton::clicked, this, [this] { Command_Restore_Click(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(List_Backups, &QTreeWidget::itemDoubleClicked, this, [this] { Command_Open_Click(); });
    connect(List_Backups, &QTreeWidget::currentItemChanged, this, [this] {
        Command_Open->setEnabled(!Chosen().isEmpty());
        Command_Restore->setEnabled(!Chosen().isEmpty());
    });
}

void Form_Backups::Refresh() {
    List_Backups->clear();
    const QString folder = FolderOrProblem();
    std::vector<BackupEntry> list;
    try {
        list = RadioBackups(BackupFolder()).List();
    } catch (const std::exception&) {
        // The label says what is wrong with the folder.
    }
    Label_Folder->setText(
        list.empty() ? tr("No backups yet in %1. Each write into a radio first keeps the table "
                          "the radio held here (DEVICE > BACK UP BEFORE WRITING).")
                           .arg(folder)
                     : tr("The radio tables kept before each write, newest first, in %1.")
                           .arg(folder));
    for (const BackupEntry& e : list) {
        // The folder is in the label above; the whole path in the tip.
        const QString file = QString::fromStdString(e.file);
        auto* item = new QTreeWidgetItem(
            List_Backups, {QString::fromStdString(e.time), QString::fromStdString(e.model),
                           QString::fromStdString(e.port), QFileInfo(file).fileName()});
        item->setToolTip(3, file);
        item->setData(0, Qt::UserRole, file);
    }
    if (List_Backups->topLevelItemCount() > 0)
        List_Backups->setCurrentItem(List_Backups->topLevelItem(0));
    Command_Open->setEnabled(!Chosen().isEmpty());
    Command_Restore->setEnabled(!Chosen().isEmpty());
}

QString Form_Backups::Chosen() const {
    const QTreeWidgetItem* item = List_Backups->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void Form_Backups::Command_Open_Click() {
    if (!Chosen().isEmpty()) m_Main.OpenChannelFilePath(Chosen());
}

void Form_Backups::Command_Restore_Click() {
    const QString path = Chosen();
    frmDocument* doc = m_Main.ActiveDocument();
    if (path.isEmpty()) return;
    if (!doc) {
        PlainMessage(this, tr("Open a table first: its window shows how the restore went."));
        return;
    }
    // The restore keeps the radio's table as a new backup.
    if (TransferWindow* w = Form_Download::Restore(*doc, path))
        connect(w, &TransferWindow::Finished, this, [this] { Refresh(); });
}

} // namespace kq
