#include "ModuleKQDevice.h"

#include "KqVersion.h"
#include "WindowLook.h"

#include <QFileDialog>

namespace kq {

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& folder) {
    return QFileDialog::getSaveFileName(parent, title, folder, QStringLiteral("*.KQ"));
}

QString AboutText() {
    return QStringLiteral("KQ Serial PC Programmer Version %1").arg(QLatin1String(ProgramVersion));
}

void ShowAbout(QWidget* parent) { PlainMessage(parent, AboutText()); }

} // namespace kq
