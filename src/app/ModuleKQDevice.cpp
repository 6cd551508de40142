#include "ModuleKQDevice.h"

#include "KqVersion.h"
#include "WindowLook.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace kq {

QString WithSuffix(const QString& name, const QString& suffix) {
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name + QLatin1Char('.') + suffix;
}

QString AskSaveName(QWidget* parent, const QString& title, const QString& folder,
                    const QStringList& filters, const QString& suffix, int* chosen) {
    QFileDialog dlg(parent, title, folder, filters.join(QStringLiteral(";;")));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds it before it asks about replacing a file; a dialog of
    // the platform's may not, so the name is completed again below.
    dlg.setDefaultSuffix(suffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    if (chosen) *chosen = static_cast<int>(filters.indexOf(dlg.selectedNameFilter()));
    const QString typed = dlg.selectedFiles().constFirst(), name = WithSuffix(typed, suffix);
    // The dialog asked about replacing the name it gave, not the completed one.
    if (name != typed && QFileInfo::exists(name) &&
        QMessageBox::question(
            parent, title,
            QObject::tr("%1 already exists.\nDo you want to replace it?").arg(name)) !=
            QMessageBox::Yes)
        return {};
    return name;
}

QStringList AskOpenNames(QWidget* parent, const QString& title, const QString& folder,
                         const QStringList& filters, bool several) {
    QFileDialog dlg(parent, title, folder, filters.join(QStringLiteral(";;")));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted) return {};
    return dlg.selectedFiles();
}

QString AboutText() {
    return QStringLiteral("KQ Serial PC Programmer Version %1").arg(QLatin1String(ProgramVersion));
}

void ShowAbout(QWidget* parent) { PlainMessage(parent, AboutText()); }

} // namespace kq
