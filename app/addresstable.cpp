#include "textcompare.h"
#include "addresstable.h"

#include <QHeaderView>
#include <algorithm>
#include <unordered_set>

namespace {
const QString &columnText(const AddressEntry &e, int column)
{
    return column == 0 ? e.name : column == 1 ? e.town : e.street;
}
} // namespace

int AddressTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AddressTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant AddressTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return JoinLines(columnText(m_rows[std::size_t(index.row())], index.column()));
}

QVariant AddressTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 2)
        return {};
    static const char *const titles[] = {"Name (company name)", "Town/City", "Street, house NO."};
    return QString::fromLatin1(titles[section]);
}

void AddressTableModel::sort(int column, Qt::SortOrder)
{
    if (column < 0 || column > 2)
        return;
    emit layoutAboutToBeChanged();
    std::stable_sort(m_rows.begin(), m_rows.end(), [column](const AddressEntry &a, const AddressEntry &b) {
        return CompareTexts(columnText(a, column), columnText(b, column)) < 0;
    });
    emit layoutChanged();
}

void AddressTableModel::reset(std::vector<AddressEntry> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

AddressTableView::AddressTableView(QAbstractItemView::SelectionMode mode, int columnWidth, QWidget *parent)
    : QTableView(parent), m_model(new AddressTableModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(mode);
    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < 3; ++c)
        setColumnWidth(c, columnWidth);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        // Keep the selected entries selected across the new order.
        std::unordered_set<std::int32_t> ids;
        for (int row : SelectedRows())
            ids.insert(m_model->entry(row).id);
        m_model->sort(column);
        clearSelection();
        const auto &rows = m_model->rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (ids.count(rows[i].id))
                selectionModel()->select(m_model->index(int(i), 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    });
}

std::vector<int> AddressTableView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}
