#include "textcompare.h"
#include "reporttable.h"

#include <algorithm>
#include <cmath>
#include <numeric>

int ReportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 6;
}

QString ReportTableModel::ColumnTitle(int column)
{
    static const char *const titles[] = {"Name (company name)", "Street, house NO.", "Town/City",
                                         "ZIP",                 "Other (country...)", "Note"};
    return column >= 0 && column < 6 ? QString::fromLatin1(titles[column]) : QString();
}

QString ReportTableModel::CellText(const AddressEntry &row, int column)
{
    switch (column) {
    case 0: return JoinLines(row.name);
    case 1: return JoinLines(row.street);
    case 2: return JoinLines(row.town);
    case 3: return JoinLines(row.zip);
    case 4: return JoinLines(row.country);
    case 5: return JoinLines(row.note);
    default: return QString();
    }
}

QVariant ReportTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return CellText(m_rows[std::size_t(index.row())], index.column());
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return ColumnTitle(section);
    return {};
}

void ReportTableModel::sort(int column, Qt::SortOrder)
{
    if (column < 0 || column >= 6)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Keys first: the texts are joined once per row, not once per comparison.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys.emplace_back(CellText(m_rows[i], column), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) {
        return CompareTexts(a.first, b.first) < 0;
    });
    std::vector<AddressEntry> sorted;
    sorted.reserve(m_rows.size());
    for (const auto &key : keys)
        sorted.push_back(std::move(m_rows[key.second]));
    m_rows = std::move(sorted);
    // Selections and the current cell follow their rows.
    const QModelIndexList old = persistentIndexList();
    if (!old.isEmpty()) {
        std::vector<int> newRow(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i)
            newRow[keys[i].second] = int(i);
        QModelIndexList moved;
        for (const QModelIndex &index : old)
            moved.append(this->index(newRow[std::size_t(index.row())], index.column()));
        changePersistentIndexList(old, moved);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportTableModel::reset(std::vector<AddressEntry> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

std::array<double, 6> RescaleColumnWidths(const std::array<double, 6> &widths, int oldWidth, int newWidth)
{
    if (oldWidth <= 0 || newWidth <= 0)
        return widths;
    std::array<double, 6> scaled;
    const double factor = double(newWidth) / oldWidth;
    for (std::size_t k = 0; k < 6; ++k)
        scaled[k] = widths[k] * factor;
    return scaled;
}

ReportColumnWidths RoundColumnWidths(const std::array<double, 6> &widths)
{
    ReportColumnWidths rounded;
    for (std::size_t k = 0; k < 6; ++k)
        rounded[k] = std::max(1, ReportRound(widths[k]));
    return rounded;
}
