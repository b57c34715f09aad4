#pragma once
// The report's result table: AddressEntry rows shown in the columns "Name
// (company name)", "Street, house NO.", "Town/City", "ZIP", "Other
// (country...)" and "Note", each text on one line (JoinLines). Sorting by a
// column puts the rows in ascending order of that column's text, ignoring
// letter case; rows of equal text keep their order.
#include "addressentry.h"
#include "reportprinter.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

class ReportTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Always ascending, whatever `order` says.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void reset(std::vector<AddressEntry> rows);
    const std::vector<AddressEntry> &rows() const { return m_rows; }
    const AddressEntry &entry(int row) const { return m_rows[std::size_t(row)]; }

    static QString ColumnTitle(int column);
    // The text of a row in a column, as the table shows it.
    static QString CellText(const AddressEntry &row, int column);

private:
    std::vector<AddressEntry> m_rows;
};

// Column widths scaled by the change of the table's width, from `oldWidth`
// to `newWidth` (kept as fractions, so repeated resizing does not drift).
std::array<double, 6> RescaleColumnWidths(const std::array<double, 6> &widths, int oldWidth, int newWidth);
// The widths rounded to whole pixels (at least 1 each).
ReportColumnWidths RoundColumnWidths(const std::array<double, 6> &widths);
