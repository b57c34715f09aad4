#pragma once
// The first worksheet of an Excel 97-2003 file, read with FreeXL: its used
// range and the text of each cell as the sheet shows it (a number 11000 is
// "11000", not "11000.0").
#include <QString>

class XlsSheetReader {
public:
    XlsSheetReader() = default;
    ~XlsSheetReader();
    XlsSheetReader(const XlsSheetReader &) = delete;
    XlsSheetReader &operator=(const XlsSheetReader &) = delete;

    // Opens the file and selects its first worksheet; false on any failure
    // (not a compound file, damaged, no worksheet, password protected).
    bool Open(const QString &path);
    void Close();

    // Number of the last used row and column, counted from 1 (0 when empty).
    unsigned LastRow() const { return m_rows; }
    unsigned LastColumn() const { return m_columns; }

    // Text of a cell, row and column counted from 1. False on a read error;
    // a cell outside the used range or empty gives an empty text.
    bool CellText(unsigned row, unsigned column, QString &text) const;

private:
    const void *m_handle = nullptr;
    unsigned m_rows = 0;
    unsigned m_columns = 0;
};

// The text a sheet shows for a number in the General format.
QString NumberText(double value);
