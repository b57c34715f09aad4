#include "textcompare.h"
#include "addresslist.h"
#include "addressrecords.h"
#include "dberror.h"
#include "recordset.h"
#include "recordsets.h"
#include "database.h"

#include "tvmessage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <unordered_map>

namespace {
int g_batch = 256;

// The row keys of every address in the order of a list column, the order
// of the database's text rule (the order index serves the name column).
QString orderSql(const CDatabase &db, int column)
{
    static const char *const orders[3][4] = {
        {"NAME", "STREET", "TOWN", "ZIP"},
        {"TOWN", "NAME", "STREET", "ZIP"},
        {"STREET", "NAME", "TOWN", "ZIP"},
    };
    const auto &order = orders[column >= 0 && column < 3 ? column : 0];
    // A server's text columns carry the text rule as their collation; the
    // file names it.
    const QString collate = db.IsServer() ? QString() : QStringLiteral(" COLLATE UNOCASE");
    QStringList keys;
    for (const char *name : order)
        keys << db.Quote(QString::fromLatin1(name)) + collate;
    return QStringLiteral("SELECT rowid FROM %1 ORDER BY %2")
        .arg(db.Quote(QStringLiteral("ADDRESS")), keys.join(QStringLiteral(", ")));
}
} // namespace

void AddressListModel::SetBatchSize(int rows)
{
    g_batch = std::max(1, rows);
}

bool AddressListModel::snapshot(int column)
{
    std::vector<std::int64_t> keys;
    const bool ok = DbOperation(m_db, [&] {
        const std::unique_ptr<DbStatement> st = m_db.Engine().Prepare(orderSql(m_db, column));
        while (st->Step())
            keys.push_back(st->ColumnInt64(0));
    });
    // Entries shown so far keep their phone and e-mail lists.
    std::unordered_map<std::int32_t, AddressEntry> shown;
    for (AddressEntry &e : m_rows)
        shown.emplace(e.id, std::move(e));
    beginResetModel();
    m_rows.clear();
    m_ids.clear();
    m_pending = ok ? std::move(keys) : std::vector<std::int64_t>{};
    m_next = 0;
    std::vector<AddressEntry> first = readBatch(std::size_t(g_batch));
    for (AddressEntry &e : first) {
        if (auto it = shown.find(e.id); it != shown.end()) {
            e.phones = std::move(it->second.phones);
            e.emails = std::move(it->second.emails);
        }
        m_ids.insert(e.id);
        m_rows.push_back(std::move(e));
    }
    endResetModel();
    return ok;
}

std::vector<AddressEntry> AddressListModel::readBatch(std::size_t count)
{
    std::vector<AddressEntry> out;
    if (m_next >= m_pending.size())
        return out;
    const bool ok = DbOperation(m_db, [&] {
        // The rows of a batch in one query, put back into the snapshot's
        // order; a key not found was deleted since the snapshot.
        const std::size_t end = std::min(m_pending.size(), m_next + count);
        constexpr std::size_t kPerQuery = 500;
        for (std::size_t from = m_next; from < end; from += kPerQuery) {
            const std::size_t to = std::min(end, from + kPerQuery);
            QStringList keys;
            for (std::size_t i = from; i < to; ++i)
                keys << QString::number(m_pending[i]);
            QStringList columns;
            for (const char *name : {"ID_ADDRESS_ADDRESS", "ID_ADDRESS_FOLDER", "NAME", "STREET", "TOWN", "ZIP",
                                     "COUNTRY", "NOTE"})
                columns << m_db.Quote(QString::fromLatin1(name));
            const std::unique_ptr<DbStatement> st = m_db.Engine().Prepare(
                QStringLiteral("SELECT rowid, %1 FROM %2 WHERE rowid IN (%3)")
                    .arg(columns.join(QStringLiteral(", ")), m_db.Quote(QStringLiteral("ADDRESS")),
                         keys.join(QStringLiteral(", "))));
            std::unordered_map<std::int64_t, AddressEntry> found;
            while (st->Step()) {
                AddressEntry e;
                e.id = std::int32_t(st->ColumnInt64(1));
                e.folder = std::int32_t(st->ColumnInt64(2));
                e.name = st->Column(3, ColumnType::Text).toString();
                e.street = st->Column(4, ColumnType::Text).toString();
                e.town = st->Column(5, ColumnType::Text).toString();
                e.zip = st->Column(6, ColumnType::Text).toString();
                e.country = st->Column(7, ColumnType::Text).toString();
                e.note = st->Column(8, ColumnType::Text).toString();
                found.emplace(st->ColumnInt64(0), std::move(e));
            }
            for (std::size_t i = from; i < to; ++i) {
                auto it = found.find(m_pending[i]);
                // Shown already (added while waiting): not twice.
                if (it != found.end() && m_ids.insert(it->second.id).second)
                    out.push_back(std::move(it->second));
            }
        }
        m_next = end;
    });
    if (!ok)
        m_next = m_pending.size(); // message 8 was shown; nothing more is read
    return out;
}

bool AddressListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_next < m_pending.size();
}

void AddressListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    std::vector<AddressEntry> batch = readBatch(std::size_t(g_batch));
    if (batch.empty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + batch.size()) - 1);
    for (AddressEntry &e : batch) {
        m_ids.insert(e.id);
        m_rows.push_back(std::move(e));
    }
    endInsertRows();
}

void AddressListModel::fetchAll()
{
    if (m_next >= m_pending.size())
        return;
    std::vector<AddressEntry> rest = readBatch(m_pending.size() - m_next);
    if (rest.empty())
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + rest.size()) - 1);
    for (AddressEntry &e : rest) {
        m_ids.insert(e.id);
        m_rows.push_back(std::move(e));
    }
    endInsertRows();
}

bool AddressListModel::fill()
{
    m_rows.clear();
    return snapshot(0);
}

int AddressListModel::findRowLoading(std::int32_t address)
{
    int row = findRow(address);
    while (row < 0 && canFetchMore({})) {
        const std::size_t before = m_rows.size();
        fetchMore({});
        for (std::size_t i = before; i < m_rows.size(); ++i)
            if (m_rows[i].id == address)
                return int(i);
    }
    return row;
}

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
    // neither the selection nor what the pages show. While rows are still to
    // be read, the database gives the order of them all.
    if (pendingCount() > 0) {
        snapshot(column);
        return;
    }
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
    m_ids.clear();
    for (const AddressEntry &e : m_rows)
        m_ids.insert(e.id);
    endResetModel();
}

void AddressListModel::insertTop(const AddressEntry &entry)
{
    beginInsertRows({}, 0, 0);
    m_rows.insert(m_rows.begin(), entry);
    m_ids.insert(entry.id);
    endInsertRows();
}

void AddressListModel::removeRowAt(int row)
{
    beginRemoveRows({}, row, row);
    m_ids.erase(m_rows[std::size_t(row)].id);
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
    : QTableView(parent), m_db(db), m_model(new AddressListModel(db, this))
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
    return m_model->fill();
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
    const int row = m_model->findRowLoading(address);
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
