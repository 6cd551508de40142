#include "Form_Readme.h"

#include "PrintText.h"
#include "SingleWindow.h"
#include "WindowLook.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextStream>

namespace kq {

QString FindProgramFile(const QString& name, const QString& relativeFolder,
                        const QString& installedFolder) {
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString candidates[] = {
        bin.filePath(name), QDir::cleanPath(bin.filePath(relativeFolder + QLatin1Char('/') + name)),
        QDir(installedFolder).filePath(name)};
    for (const QString& path : candidates)
        if (QFile::exists(path)) return path;
    return candidates[0];
}

QString Form_Readme::ReadmePath() {
    return FindProgramFile(QStringLiteral("KQreadme.txt"), QStringLiteral("../share/kqprogrammer"),
                           QStringLiteral(KQ_README_DIR));
}

QString Form_Readme::ReadmeText(const QString& path, bool* ok) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (ok) *ok = false;
        return QString();
    }
    QTextStream in(&f);
    QString text;
    while (!in.atEnd()) text += in.readLine() + QStringLiteral("\r\n");
    if (ok) *ok = true;
    return text;
}

// A separate window, but owned by the main window so it goes with it.
Form_Readme::Form_Readme(frmMain& main) : QMainWindow(&main, Qt::Window), m_Main(main) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ReadMe"));
    m_Text = new QPlainTextEdit(this);
    m_Text->setObjectName(QStringLiteral("Text_Readme"));
    m_Text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_Text->setReadOnly(true);
    m_Text->setAccessibleName(tr("Read-me text"));
    setCentralWidget(m_Text);

    QMenu* file = menuBar()->addMenu(tr("&FILE"));
    file->addAction(tr("&PRINT"), this, [this] { print(); });
    file->addAction(tr("E&XIT"), this, [this] { close(); });

    bool ok = false;
    const QString text = ReadmeText(ReadmePath(), &ok);
    // A missing file is not an error worth a message box: say so in place.
    m_Text->setPlainText(
        ok ? QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
           : tr("The read-me file %1 was not found.").arg(QDir::toNativeSeparators(ReadmePath())));
    resize(Twips(10250), Twips(5300));
}

Form_Readme* Form_Readme::Instance() { return SingleWindow<Form_Readme>::Open(); }

Form_Readme* Form_Readme::ShowReadme(frmMain& main) {
    return SingleWindow<Form_Readme>::ShowOver(main);
}

void Form_Readme::print() {
    bool ok = false;
    const QString text = ReadmeText(ReadmePath(), &ok);
    if (!ok) return;
    PrintTextWithDialog(this, m_Main.Printer(),
                        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                        m_Text->font());
}

} // namespace kq
