#pragma once
// OpenDocument spreadsheets (.ods) with one worksheet: the same cells,
// fonts, fills, borders, row heights and column widths as the Excel
// writers, in a ZIP package (minizip) of XML parts.
#include "sheetdata.h"

#include <QString>

// Writes the sheet into `path`.part and renames it over `path` when it is
// complete and on disk; false with a reason otherwise.
bool WriteOdsFile(const SheetData &sheet, const QString &path, QString *error);

// The limit of rows of the format as LibreOffice reads it.
constexpr int kOdsMaxRows = 1048576;
