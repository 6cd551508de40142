#include "TableCsv.h"

#include "FileSave.h"
#include "ModuleKQDevice.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

namespace kq::TableCsv {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }

// Lists the rows the radio cannot hold and asks whether the others go in.
bool confirmUnfit(frmDocument& doc, const QString& path, const std::vector<CsvUnfitRow>& unfit) {
    constexpr std::size_t shown = 10; // the rest in the box's details
    QStringList rows;
    for (const CsvUnfitRow& u : unfit)
        rows << QObject::tr("row %1: %2").arg(u.line).arg(q(u.reason));
    QString text =
        (unfit.size() == 1 ? QObject::tr("%1: a row cannot be held by this radio:").arg(path)
                           : QObject::tr("%1: %2 rows cannot be held by this radio:")
                                 .arg(path)
                                 .arg(unfit.size())) +
        QLatin1Char('\n') + rows.mid(0, shown).join(QLatin1Char('\n'));
    if (unfit.size() > shown) text += QStringLiteral("\n...");
    QMessageBox box(QMessageBox::Question, QObject::tr("Import CSV"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, &doc);
    box.setInformativeText(
        QObject::tr("Import the other rows (one step to undo), or cancel and change nothing?"));
    if (unfit.size() > shown) box.setDetailedText(rows.join(QLatin1Char('\n')));
    box.button(QMessageBox::Ok)->setText(QObject::tr("Import the others"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(&doc, QObject::tr("Import CSV"),
                             QObject::tr("Cannot read %1: %2").arg(path, file.errorString()));
        return false;
    }
    // A list is small: reading stops just past the largest one taken, so a
    // huge file (or an endless device) costs neither time nor memory, and
    // the import names it as too large.
    const QByteArray text = file.read(static_cast<qint64>(MaxCsvBytes) + 1);
    CsvImport imported;
    try {
        imported =
            kq::ImportCsv(text.toStdString(), doc.myDevice(), path.toStdString(), CsvUnfit::Skip);
    } catch (const KqError& e) {
        QMessageBox::warning(&doc, QObject::tr("Import CSV"), q(e.what()));
        return false;
    }
    if (!imported.unfit.empty() && !confirmUnfit(doc, path, imported.unfit)) return false;
    doc.myDevice().TakeTable(imported.device);
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
