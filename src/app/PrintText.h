// Printing a plain fixed-width text: through the print dialog, or to a PDF
// file when no printer is at hand.
#pragma once

#include <QFont>
#include <QString>

class QPrinter;
class QWidget;

namespace kq {

// Shows the print dialog and prints on OK; failures are ignored.
void PrintTextWithDialog(QWidget* parent, QPrinter& printer, const QString& text,
                         const QFont& font);
// Prints to pdfPath; false when the file could not be written.
bool PrintTextToPdf(const QString& text, const QFont& font, const QString& pdfPath);
// The print preview: the text as print would lay it out on printer's pages.
void PreviewText(QWidget* parent, QPrinter& printer, const QString& text, const QFont& font);
// The platform's printer set-up dialog.
void ShowPrinterSetup(QWidget* parent, QPrinter& printer);

} // namespace kq
