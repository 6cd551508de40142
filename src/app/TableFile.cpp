#include "TableFile.h"

#include "ChannelFile.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QFile>
#include <QMessageBox>
#include <QStatusBar>

namespace kq {

namespace {
// The file's bytes; empty when it cannot be read (gone, or never there).
QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

void TableFile::Opened(const QString& path) { m_OnDisk = bytesOf(path); }

bool TableFile::askName(const QString& title) {
    const QString path = AskSaveName(&m_Doc, title, m_Doc.Main().LastFolder(),
                                     {QStringLiteral("*.KQ")}, QStringLiteral("KQ"));
    if (path.isEmpty()) return false;
    m_Doc.Main().NoteFileChosen(path);
    return SaveTo(path);
}

bool TableFile::Save() {
    if (m_Doc.IsUntitled()) return askName(QObject::tr("Save"));
    const QString path = m_Doc.Caption();
    const QByteArray now = bytesOf(path);
    // Another program's change would be lost without a word; a file that
    // went away loses nothing.
    if (!now.isEmpty() && now != m_OnDisk) {
        QMessageBox box(QMessageBox::Warning, QObject::tr("Save"),
                        QObject::tr("%1 was changed on disk since it was opened or saved.\n"
                                    "Overwrite it with this table?")
                            .arg(path),
                        QMessageBox::Save | QMessageBox::Cancel, &m_Doc);
        box.setDefaultButton(QMessageBox::Cancel);
        if (box.exec() != QMessageBox::Save) return false;
    }
    return SaveTo(path);
}

bool TableFile::SaveAs() { return askName(QObject::tr("Save As")); }

bool TableFile::SaveTo(const QString& path) {
    try {
        SaveChannelFile(m_Doc.myDevice(), path.toStdString());
    } catch (const std::exception& e) {
        QMessageBox::warning(&m_Doc, QObject::tr("Save"), QString::fromStdString(e.what()));
        return false;
    }
    m_OnDisk = bytesOf(path);
    m_Doc.SetCaption(path);
    m_Doc.MarkSaved();
    m_Doc.Main().AddRecentFile(path);
    m_Doc.Main().statusBar()->showMessage(QObject::tr("Saved %1").arg(path), kConfirmMs);
    return true;
}

bool TableFile::MaybeSave() {
    if (!m_Doc.IsModified()) return true;
    const auto answer = QMessageBox::question(
        &m_Doc, QStringLiteral("KQ Serial PC Programmer"),
        QObject::tr("Save changes to %1?").arg(m_Doc.Caption()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Save) return Save();
    return true;
}

} // namespace kq
