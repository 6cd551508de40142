#include "ModuleKQDevice.h"

#include "WindowLook.h"

#include "ChannelFile.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kq {

namespace {
frmMain* g_MainForm = nullptr;
int g_DocumentCount = 0;
} // namespace

frmMain* MainForm() { return g_MainForm; }
void SetMainForm(frmMain* form) { g_MainForm = form; }

int DocumentCount() { return g_DocumentCount; }
int NextDocumentNumber() { return ++g_DocumentCount; }

frmDocument* NewDocument() {
    if (!g_MainForm) return nullptr;
    const int number = NextDocumentNumber();
    auto* doc = new frmDocument;
    doc->SetCaption(QStringLiteral("Untitled%1").arg(number));
    g_MainForm->AddDocument(doc, number);
    return doc;
}

frmDocument* OpenChannelFilePath(QWidget* parent, const QString& path) {
    // The file is read into a scratch device first, so a damaged file
    // creates no window and uses up no document number.
    ClassKQxx53 loaded;
    try {
        kq::OpenChannelFile(loaded, path.toStdString());
    } catch (const std::exception& e) {
        QMessageBox::warning(parent, QObject::tr("Open"), QString::fromStdString(e.what()));
        return nullptr;
    }
    frmDocument* doc = NewDocument();
    if (!doc) return nullptr;
    doc->SetCaption(path);
    doc->myDevice() = loaded;
    doc->myDevice().NowCHNum = 0;
    doc->UpdateHomePage();
    return doc;
}

void OpenChannelFile(QWidget* parent) {
    static QString lastName; // the open dialog keeps the last name given
    const QString path = QFileDialog::getOpenFileName(parent, QObject::tr("Open"), lastName,
                                                      QStringLiteral("*.KQ"));
    if (path.isEmpty()) return;
    lastName = path;
    OpenChannelFilePath(parent, path);
}

QString AskSaveFileName(QWidget* parent, const QString& title) {
    return QFileDialog::getSaveFileName(parent, title, QString(), QStringLiteral("*.KQ"));
}

QString AboutText() { return QStringLiteral("KQ Serial PC Programmer Version %1.%2.%3").arg(1).arg(2).arg(0); }

void ShowAbout(QWidget* parent) {
    PlainMessage(parent, AboutText());
}

} // namespace kq
