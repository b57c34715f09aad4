#include "textcompare.h"
#include "addresslist.h"
#include "addressrecords.h"
#include "dberror.h"
#include "recordsets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

int AddressListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AddressListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

namespace {
const QString &columnText(const AddressEntry &e, int column)
{
    return column == 0 ? e.name : column == 1 ? e.town : e.street;
}
} // namespace

QVariant AddressListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return JoinLines(columnText(m_rows[std::size_t(index.row())], index.column()));
}

QVariant AddressListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {"Name (company name)", "Town/City", "Street, house NO."};
    return QString::fromLatin1(titles[section]);
}

void AddressListModel::sort(int column, Qt::SortOrder)
{
    // Always ascending by the stored text, without regard to case. A key per
    // row makes sorting a hundred thousand rows quick. Indexes held by the
    // view (selection, current row) follow their rows, so sorting changes
    // neither the selection nor what the pages show.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::pair<QCollatorSortKey, std::size_t>> keys;
    keys.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys.emplace_back(TextSortKey(columnText(m_rows[i], column)), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
    std::vector<AddressEntry> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRow(m_rows.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        sorted.push_back(std::move(m_rows[keys[i].second]));
        newRow[keys[i].second] = int(i);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after << index(newRow[std::size_t(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void AddressListModel::reset(std::vector<AddressEntry> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void AddressListModel::insertTop(const AddressEntry &entry)
{
    beginInsertRows({}, 0, 0);
    m_rows.insert(m_rows.begin(), entry);
    endInsertRows();
}

void AddressListModel::removeRowAt(int row)
{
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

int AddressListModel::findRow(std::int32_t address) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == address)
            return int(i);
    return -1;
}

void AddressListModel::changed(int row)
{
    emit dataChanged(index(row, 0), index(row, 2));
}

CAddressListCtrl::CAddressListCtrl(CDatabase &db, QWidget *parent)
    : QTableView(parent), m_db(db), m_model(new AddressListModel(this))
{
    setObjectName(QStringLiteral("addressList"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c)
        setColumnWidth(c, 140);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        // The selected row stays selected and in sight; the selection has not
        // changed, so nobody is told (an Edit page keeps what was typed).
        const AddressEntry *sel = SelectedEntry();
        const std::int32_t id = sel ? sel->id : -1;
        m_sorting = true;
        m_model->sort(column, Qt::AscendingOrder);
        if (id != -1 && (!SelectedEntry() || SelectedEntry()->id != id))
            SelectAddress(id);
        m_sorting = false;
        if (const AddressEntry *now = SelectedEntry())
            scrollTo(m_model->index(m_model->findRow(now->id), 0), QAbstractItemView::EnsureVisible);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_sorting)
            emit selectionChangedTo(SelectedEntry());
    });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit informationRequested(m_model->entry(index.row()).folder);
    });
}

bool CAddressListCtrl::Fill()
{
    std::vector<AddressEntry> rows;
    const bool ok = DbOperation(m_db, [&] {
        CSetAddress a(&m_db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC"));
        rows.reserve(std::size_t(a.GetRecordCount()));
        for (; !a.IsEOF(); a.MoveNext())
            rows.push_back(AddressFromRecord(a));
    });
    // Each row read goes to the top, so the list reads in ascending order.
    std::reverse(rows.begin(), rows.end());
    m_model->reset(std::move(rows));
    return ok;
}

void CAddressListCtrl::InsertAddress(const AddressEntry &entry)
{
    AddressEntry copy = entry;
    m_model->insertTop(copy);
}

void CAddressListCtrl::SetAddressFolder(std::int32_t address, std::int32_t folder)
{
    const int row = m_model->findRow(address);
    if (row >= 0)
        m_model->entry(row).folder = folder;
}

void CAddressListCtrl::RemoveAddress(std::int32_t address)
{
    const int row = m_model->findRow(address);
    if (row >= 0)
        m_model->removeRowAt(row);
}

void CAddressListCtrl::RemoveFolderAddresses(std::int32_t folder)
{
    std::vector<AddressEntry> keep;
    keep.reserve(m_model->rows().size());
    bool removed = false;
    for (const AddressEntry &e : m_model->rows()) {
        if (e.folder == folder)
            removed = true;
        else
            keep.push_back(e);
    }
    if (removed)
        m_model->reset(std::move(keep));
}

void CAddressListCtrl::SelectAddress(std::int32_t address)
{
    const int row = m_model->findRow(address);
    if (row < 0)
        return;
    selectRow(row);
    scrollTo(m_model->index(row, 0), QAbstractItemView::EnsureVisible);
}

void CAddressListCtrl::UpdateAddressItem(const AddressEntry &entry)
{
    const int row = m_model->findRow(entry.id);
    if (row < 0)
        return;
    m_model->entry(row) = entry;
    m_model->changed(row);
}

const AddressEntry *CAddressListCtrl::SelectedEntry() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return nullptr;
    return &m_model->entry(rows.first().row());
}

void CAddressListCtrl::ClearSelection()
{
    selectionModel()->clearSelection();
}

std::array<int, 3> CAddressListCtrl::ColumnWidthsFor(int width, const std::array<int, 3> &current)
{
    if (width <= 438)
        return current;
    const int w = (width - 18) / 3;
    return {w, w, width - 2 * w - 18};
}

void CAddressListCtrl::fitColumns()
{
    // The rule reckons 18 units for the frame and scroll bar around the rows;
    // the columns share what the viewport really shows.
    const auto widths = ColumnWidthsFor(viewport()->width() + 18, {columnWidth(0), columnWidth(1), columnWidth(2)});
    for (int c = 0; c < 3; ++c)
        setColumnWidth(c, widths[std::size_t(c)]);
}

void CAddressListCtrl::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitColumns();
}

bool CAddressListCtrl::viewportEvent(QEvent *event)
{
    const bool handled = QTableView::viewportEvent(event);
    if (event->type() == QEvent::Resize) // a scroll bar came or went
        fitColumns();
    return handled;
}

void CAddressListCtrl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        emit deletePressed();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        emit helpRequested(13);
        return;
    }
    QTableView::keyPressEvent(event);
}
