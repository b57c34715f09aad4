#pragma once
// Our own reader of Excel 97-2003 workbooks (BIFF8 records in a compound
// file): the first worksheet's used range and the text each cell shows —
// shared strings of any length across CONTINUE records, inline strings,
// numbers through the cell's number format, the cached results of
// formulas (text, number, truth value, error), truth values and errors.
// Every length and index in the file is checked; a damaged file is refused
// with a reason, never read outside its bytes.
#include <QByteArray>
#include <QHash>
#include <QString>

struct SheetCells {
    unsigned rows = 0, columns = 0; // last used row and column, from 1
    QHash<quint64, QString> cells;   // CellKey(row, column) → shown text; empty cells absent
};

inline quint64 CellKey(unsigned row, unsigned column)
{
    return (quint64(row) << 32) | column;
}

// Reads the first worksheet of the workbook in `file` (the whole .xls file).
bool ReadXlsWorkbook(const QByteArray &file, SheetCells &sheet, QString *why = nullptr);
