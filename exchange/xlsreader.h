#pragma once
// The first worksheet of a spreadsheet file (.xls, .xlsx or .ods, told by
// its bytes): its used range and the text of each cell as the sheet shows
// it (a number 11000 is "11000", not "11000.0"). The file is read by our
// own readers in a separate process (tesmar-xlsread, installed beside the
// program), so a damaged or hostile file can never crash the program; any
// failure of that process counts as a file that cannot be read.
#include "importsheet.h"

#include <QString>
#include <functional>
#include <vector>

class XlsSheetReader : public ImportSheet {
public:
    XlsSheetReader() = default;

    // Reads the file's first worksheet; false on any failure (no spreadsheet,
    // damaged, no worksheet, password protected, reader not found or
    // ended abnormally, longer than `timeoutMs`).
    // `keepGoing` is called while the reader runs (pump events there);
    // returning false stops the reader and fails the open.
    bool Open(const QString &path, int timeoutMs = 120000, const std::function<bool()> &keepGoing = {});
    void Close();

    // Number of the last used row and column, counted from 1 (0 when empty).
    unsigned LastRow() const override { return m_rows; }
    unsigned LastColumn() const override { return m_columns; }

    // Text of a cell, row and column counted from 1. False when no sheet is
    // open; a cell outside the used range or empty gives an empty text.
    bool CellText(unsigned row, unsigned column, QString &text) const override;

    // Parses the reader's output; false when it is malformed. Public for tests.
    bool Parse(const QByteArray &output);

    // Where the reader program is looked for: beside the running program,
    // then on the PATH.
    static QString ReaderProgram();

private:
    bool m_open = false;
    unsigned m_rows = 0;
    unsigned m_columns = 0;
    struct Cell {
        quint64 key; // row << 32 | column
        QString text;
    };
    std::vector<Cell> m_cells; // sorted by key

};

// The text a sheet shows for a number in the General format.
QString NumberText(double value);
