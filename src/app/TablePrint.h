// A table's printed report: FILE > PRINT, PRINT PREVIEW, PRINT TO PDF and
// PRINTER SETUP, all from the report text built into the window's rtfText.
#pragma once

#include <QString>
#include <QStringList>

namespace kq {

class frmDocument;

namespace TablePrint {
// Builds the report into doc's rtfText; returns its lines.
QStringList FillReport(frmDocument& doc);
void Print(frmDocument& doc);
void Preview(frmDocument& doc);
// Prints the report to a PDF file without a printer; false when it failed.
bool ToPdf(frmDocument& doc, const QString& pdfPath);
// Asks for the PDF's name, then prints to it.
void ToPdfAsk(frmDocument& doc);
void Setup(frmDocument& doc);
} // namespace TablePrint

} // namespace kq
