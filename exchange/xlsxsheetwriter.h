#pragma once
// Excel 2007 workbooks (.xlsx) with one worksheet, written with libxlsxwriter
// in its constant-memory mode (rows are streamed to disk as they are written).
#include "sheetdata.h"

#include <QString>

// Writes the sheet into a file beside `path` and renames it over `path` when
// libxlsxwriter reports success; false with a reason otherwise.
bool WriteXlsxFile(const SheetData &sheet, const QString &path, QString *error);
