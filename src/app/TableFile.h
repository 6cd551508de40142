// A table's channel file: SAVE, SAVE AS, the question about unsaved changes,
// and a guard for a file that another program changed on disk since the
// table was opened or saved (as text editors have).
#pragma once

#include <QByteArray>
#include <QString>

namespace kq {

class frmDocument;

class TableFile {
public:
    explicit TableFile(frmDocument& doc) : m_Doc(doc) {}

    // The table was opened from path: what is on disk now is its state.
    void Opened(const QString& path);

    // Each returns false when the user cancelled or it failed (after a message).
    // SAVE: to the caption's path (asking for a name while untitled); asks
    // first when the file changed on disk since it was opened or saved.
    bool Save();
    bool SaveAs();
    // Writes to path as it is and makes it the caption; no question.
    bool SaveTo(const QString& path);
    // Asks about unsaved changes; false when the user keeps the window.
    bool MaybeSave();

private:
    bool askName(const QString& title);

    frmDocument& m_Doc;
    QByteArray m_OnDisk; // the file's bytes as last read or written here
};

} // namespace kq
