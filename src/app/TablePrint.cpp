#include "TablePrint.h"

#include "ModuleKQDevice.h"
#include "PrintText.h"
#include "ReportText.h"
#include "frmDocument.h"
#include "frmMain.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextEdit>

namespace kq::TablePrint {

QStringList FillReport(frmDocument& doc) {
    const auto lines = ReportLines(doc.myDevice(), doc.Caption().toStdString(),
                                   ReportDateText(doc.Main().ReportClock));
    QStringList out;
    for (const auto& l : lines) out << QString::fromStdString(l);
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(16);
    doc.rtfText()->setFont(f);
    doc.rtfText()->setPlainText(out.join(QLatin1Char('\n')));
    return out;
}

void Print(frmDocument& doc) {
    FillReport(doc);
    PrintTextWithDialog(&doc, doc.Main().Printer(), doc.rtfText()->toPlainText(),
                        doc.rtfText()->font());
}

void Preview(frmDocument& doc) {
    FillReport(doc);
    PreviewText(&doc, doc.Main().Printer(), doc.rtfText()->toPlainText(), doc.rtfText()->font());
}

bool ToPdf(frmDocument& doc, const QString& pdfPath) {
    FillReport(doc);
    return PrintTextToPdf(doc.rtfText()->toPlainText(), doc.rtfText()->font(), pdfPath);
}

void ToPdfAsk(frmDocument& doc) {
    // A saved table's report goes beside its file by default.
    const QString folder =
        doc.IsUntitled() ? doc.Main().LastFolder() : QFileInfo(doc.Caption()).absolutePath();
    const QString path = AskSaveName(&doc, QObject::tr("Print to PDF"), folder,
                                     {QObject::tr("PDF files (*.pdf)")}, QStringLiteral("pdf"));
    if (path.isEmpty()) return;
    doc.Main().NoteFileChosen(path);
    if (!ToPdf(doc, path)) {
        QMessageBox::warning(&doc, QObject::tr("Print to PDF"),
                             QObject::tr("Could not write %1.").arg(path));
        return;
    }
    doc.Main().statusBar()->showMessage(QObject::tr("Printed to %1").arg(path), kConfirmMs);
}

void Setup(frmDocument& doc) { ShowPrinterSetup(&doc, doc.Main().Printer()); }

} // namespace kq::TablePrint
