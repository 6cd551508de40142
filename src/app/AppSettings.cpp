#include "AppSettings.h"

#include <QSettings>

namespace kq {

namespace {
const QString kGeometryKey = QStringLiteral("mainWindow/geometry");
const QString kFolderKey = QStringLiteral("files/lastFolder");
const QString kRecentKey = QStringLiteral("files/recent");
const QString kFastLinkKey = QStringLiteral("link/fast");
const QString kPortsKey = QStringLiteral("link/ports");
const QString kBackupKey = QStringLiteral("link/backupBeforeWriting");
} // namespace

namespace AppSettings {
QByteArray Geometry() { return QSettings().value(kGeometryKey).toByteArray(); }
void SetGeometry(const QByteArray& geometry) { QSettings().setValue(kGeometryKey, geometry); }
QString LastFolder() { return QSettings().value(kFolderKey).toString(); }
void SetLastFolder(const QString& folder) { QSettings().setValue(kFolderKey, folder); }
bool FastLink() { return QSettings().value(kFastLinkKey, false).toBool(); }
void SetFastLink(bool on) { QSettings().setValue(kFastLinkKey, on); }
bool BackupBeforeWriting() { return QSettings().value(kBackupKey, true).toBool(); }
void SetBackupBeforeWriting(bool on) { QSettings().setValue(kBackupKey, on); }
QStringList Ports() { return QSettings().value(kPortsKey).toStringList(); }
void SetPorts(const QStringList& devices) { QSettings().setValue(kPortsKey, devices); }
} // namespace AppSettings

RecentFileList::RecentFileList() : m_Files(QSettings().value(kRecentKey).toStringList().mid(0, Max)) {}

void RecentFileList::Add(const QString& path) {
    m_Files.removeAll(path);
    m_Files.prepend(path);
    m_Files = m_Files.mid(0, Max);
    keep();
}

void RecentFileList::Remove(const QString& path) {
    m_Files.removeAll(path);
    keep();
}

void RecentFileList::keep() { QSettings().setValue(kRecentKey, m_Files); }

} // namespace kq
