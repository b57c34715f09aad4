#pragma once
// Our own readers of the spreadsheets that are ZIP packages of XML parts:
// Excel 2007 and later (.xlsx) and OpenDocument (.ods). Each reads the
// first worksheet (the first in the workbook's order, whichever sheet was
// active, as for .xls): its used range (the last row and column holding a
// value) and the text each cell shows — shared and inline strings, the
// cached results of formulas, numbers, dates and times through the cell's
// number format (the same format code engine as .xls, so a ZIP 1234 with
// the format 00000 shows 01234), truth values and errors.
//
// Every file may be damaged or hostile: parts unpack to a bounded size, XML
// that is not well formed or carries a document type declaration is
// refused, repeated rows and columns of an OpenDocument sheet count only
// up to the sheet's limits and the number of cells with a value is bounded.
// A refused file gives false and a reason.
#include "biffreader.h"

#include <QByteArray>
#include <QString>

// The largest sheet read: as many rows and columns as the spreadsheets
// themselves offer, and at most this many cells with a value or characters
// of text in all.
constexpr unsigned kZipSheetMaxRows = 1048576, kZipSheetMaxColumns = 16384;
constexpr qsizetype kZipSheetMaxCells = 2000000, kZipSheetMaxCharacters = qsizetype(200) << 20;

bool ReadXlsxWorkbook(const QByteArray &file, SheetCells &sheet, QString *why = nullptr);
bool ReadOdsWorkbook(const QByteArray &file, SheetCells &sheet, QString *why = nullptr);

enum class SpreadsheetKind { Unknown, Xls, Xlsx, Ods };
// The kind of a file by its first bytes and, for ZIP packages, by their parts.
SpreadsheetKind DetectSpreadsheet(const QByteArray &file);

// Reads the first worksheet of an .xls, .xlsx or .ods file, whichever the
// bytes are (not the name).
bool ReadSpreadsheet(const QByteArray &file, SheetCells &sheet, QString *why = nullptr);
