#pragma once
#include <QString>

// A table of cells as the import reads it: the used range and the text each
// cell shows, rows and columns counted from 1.
class ImportSheet {
public:
    virtual ~ImportSheet() = default;
    virtual unsigned LastRow() const = 0;
    virtual unsigned LastColumn() const = 0;
    // False when the cell cannot be read; an empty cell gives an empty text.
    virtual bool CellText(unsigned row, unsigned column, QString &text) const = 0;
};
