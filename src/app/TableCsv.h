// A table's CSV interchange: FILE > IMPORT CSV replaces the channels as one
// undo step, FILE > EXPORT CSV writes either layout.
#pragma once

#include "ChannelCsv.h"

#include <QString>

namespace kq {

class frmDocument;

namespace TableCsv {
// Each returns false when the user cancelled or it failed (after a message),
// with nothing changed.
bool Import(frmDocument& doc);
bool ImportFrom(frmDocument& doc, const QString& path);
bool Export(frmDocument& doc);
bool ExportTo(frmDocument& doc, const QString& path, CsvLayout layout);
} // namespace TableCsv

} // namespace kq
