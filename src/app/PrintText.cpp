#include "PrintText.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>

namespace kq {

namespace {

// The least margin on every side of a page; left and right are kept equal
// so the report sits in the middle of the sheet.
constexpr double kMinMarginMm = 15.0;

void render(QPrinter& printer, const QString& text, const QFont& font) {
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    const double side = std::max({kMinMarginMm, m.left(), m.right()});
    printer.setPageMargins(
        QMarginsF(side, std::max(kMinMarginMm, m.top()), side, std::max(kMinMarginMm, m.bottom())),
        QPageLayout::Millimeter);
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0); // the page's margins are the only ones
    doc.setPlainText(text);
    // A document with its own page size prints without page numbers. The
    // size is in the document's own units (96 per inch), which print()
    // scales to the printer's resolution.
    const QSizeF inches = printer.pageRect(QPrinter::Inch).size();
    doc.setPageSize(QSizeF(inches.width() * 96.0, inches.height() * 96.0));
    doc.print(&printer);
}

} // namespace

void PrintTextWithDialog(QWidget* parent, QPrinter& printer, const QString& text,
                         const QFont& font) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    QPrintDialog dlg(&printer, parent);
    dlg.setWindowTitle(QObject::tr("Print"));
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dlg.exec() != QDialog::Accepted) return;
    render(printer, text, font);
}

bool PrintTextToPdf(const QString& text, const QFont& font, const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    render(printer, text, font);
    return QFileInfo(pdfPath).size() > 0;
}

void PreviewText(QWidget* parent, QPrinter& printer, const QString& text, const QFont& font) {
    printer.setOutputFormat(QPrinter::NativeFormat);
    QPrintPreviewDialog dlg(&printer, parent);
    dlg.setWindowTitle(QObject::tr("Print Preview"));
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                     [&text, &font](QPrinter* p) { render(*p, text, font); });
    dlg.exec();
}

void ShowPrinterSetup(QWidget* parent, QPrinter& printer) {
    QPageSetupDialog dlg(&printer, parent);
    dlg.setWindowTitle(QObject::tr("Printer Setup"));
    dlg.exec();
}

} // namespace kq
