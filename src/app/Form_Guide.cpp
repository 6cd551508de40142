#include "Form_Guide.h"

#include "Form_Readme.h"
#include "SingleWindow.h"
#include "WindowLook.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace kq {

QString Form_Guide::GuidePath() {
    return FindProgramFile(QStringLiteral("guide.md"), QStringLiteral("../share/doc/kqprogrammer"),
                           QStringLiteral(KQ_GUIDE_DIR));
}

// A separate window, but owned by the main window so it goes with it.
Form_Guide::Form_Guide(frmMain& main) : QMainWindow(&main, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("User Guide"));
    m_Text = new QTextBrowser(this);
    m_Text->setObjectName(QStringLiteral("Text_Guide"));
    m_Text->setOpenExternalLinks(true);
    m_Text->setAccessibleName(tr("User guide"));
    setCentralWidget(m_Text);
    const QString path = GuidePath();
    if (QFile::exists(path)) {
        // The images are named relative to the guide.
        m_Text->setSearchPaths({QFileInfo(path).absolutePath()});
        m_Text->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    } else {
        m_Text->setPlainText(
            tr("The user guide %1 was not found.").arg(QDir::toNativeSeparators(path)));
    }
    resize(Twips(12000), Twips(9000));
}

Form_Guide* Form_Guide::Instance() { return SingleWindow<Form_Guide>::Open(); }

Form_Guide* Form_Guide::ShowGuide(frmMain& main) {
    return SingleWindow<Form_Guide>::ShowOver(main);
}

} // namespace kq
