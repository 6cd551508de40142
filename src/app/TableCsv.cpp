#include "TableCsv.h"

#include "FileSave.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QFile>
#include <QMessageBox>
#include <QStatusBar>

namespace kq::TableCsv {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
} // namespace

bool Import(frmDocument& doc) {
    const QStringList paths =
        AskOpenNames(&doc, QObject::tr("Import CSV"), doc.Main().LastFolder(),
                     {QObject::tr("CSV files (*.csv)"), QObject::tr("All files (*)")}, false);
    if (paths.isEmpty()) return false;
    doc.Main().NoteFileChosen(paths.constFirst());
    return ImportFrom(doc, paths.constFirst());
}

bool ImportFrom(frmDocument& doc, const QString& path) {
    if (doc.RefuseWhileBusy()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(&doc, QObject::tr("Import CSV"),
                             QObject::tr("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray text = file.readAll();
    CsvImport imported;
    try {
        imported = kq::ImportCsv(text.toStdString(), doc.myDevice(), path.toStdString());
    } catch (const KqError& e) {
        QMessageBox::warning(&doc, QObject::tr("Import CSV"), q(e.what()));
        return false;
    }
    ClassKQxx53& dev = doc.myDevice();
    const int16_t now = dev.NowCHNum;
    dev = imported.device;
    dev.NowCHNum = now;
    doc.UpdateHomePage();
    doc.RecordChange(QObject::tr("Import CSV"));
    if (!imported.dropped.empty()) {
        QStringList columns;
        for (const auto& d : imported.dropped) columns << q(d);
        QMessageBox::information(
            &doc, QObject::tr("Import CSV"),
            QObject::tr("This radio cannot hold these columns; they were not imported: %1")
                .arg(columns.join(QStringLiteral(", "))));
    }
    return true;
}

bool Export(frmDocument& doc) {
    const QStringList filters = {QObject::tr("KQ channel table, six columns (*.csv)"),
                                 QObject::tr("Common channel list, CHIRP-style columns (*.csv)")};
    int chosen = 0;
    const QString path = AskSaveName(&doc, QObject::tr("Export CSV"), doc.Main().LastFolder(),
                                     filters, QStringLiteral("csv"), &chosen);
    if (path.isEmpty()) return false;
    doc.Main().NoteFileChosen(path);
    return ExportTo(doc, path, chosen == 1 ? CsvLayout::Chirp : CsvLayout::Kq);
}

bool ExportTo(frmDocument& doc, const QString& path, CsvLayout layout) {
    try {
        WriteFileReplacing(path.toStdString(), kq::ExportCsv(doc.myDevice(), layout));
    } catch (const KqError& e) {
        QMessageBox::warning(&doc, QObject::tr("Export CSV"), q(e.what()));
        return false;
    }
    doc.Main().statusBar()->showMessage(QObject::tr("Exported %1.").arg(path));
    return true;
}

} // namespace kq::TableCsv
