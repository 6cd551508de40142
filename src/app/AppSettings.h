// What the program keeps between runs (QSettings): each choice read and
// written here, under one key, and the recent channel files.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kq {

namespace AppSettings {
// The main window's place; empty when none was kept.
QByteArray Geometry();
void SetGeometry(const QByteArray& geometry);
// The folder the file dialogs start in.
QString LastFolder();
void SetLastFolder(const QString& folder);
// DEVICE > FAST LINK; off when never chosen.
bool FastLink();
void SetFastLink(bool on);
// DEVICE > BACK UP BEFORE WRITING; on when never chosen.
bool BackupBeforeWriting();
void SetBackupBeforeWriting(bool on);
// The devices chosen for COM1, COM2, ...; {} for the system's.
QStringList Ports();
void SetPorts(const QStringList& devices);
} // namespace AppSettings

// Channel files opened or saved, most recent first, each once, kept for
// later runs as they change.
class RecentFileList {
public:
    static constexpr int Max = 8;

    RecentFileList(); // as the last run left them
    const QStringList& List() const { return m_Files; }
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void keep();
    QStringList m_Files;
};

} // namespace kq
