#include "textcompare.h"
#include "printlist.h"

#include "addressrecords.h"
#include "recordsets.h"
#include "sqlformat.h"

#include <algorithm>

namespace {

const QString &columnText(const AddressEntry &a, AddressColumn column)
{
    switch (column) {
    case AddressColumn::Town: return a.town;
    case AddressColumn::Street: return a.street;
    case AddressColumn::Name: break;
    }
    return a.name;
}

QString columnTitle(AddressColumn column)
{
    switch (column) {
    case AddressColumn::Town: return QStringLiteral("Town/City");
    case AddressColumn::Street: return QStringLiteral("Street, house NO.");
    case AddressColumn::Name: break;
    }
    return QStringLiteral("Name (company name)");
}

} // namespace

void SortAddressRows(std::deque<AddressEntry> &rows, AddressColumn column)
{
    // Keys computed once: a folder may hold many thousands of addresses.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys.emplace_back(JoinLines(columnText(rows[i], column)), i);
    std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) {
        return CompareTexts(a.first, b.first) < 0;
    });
    std::deque<AddressEntry> sorted;
    for (const auto &k : keys)
        sorted.push_back(std::move(rows[k.second]));
    rows.swap(sorted);
}

AddressEntry PrintListCopy(const AddressEntry &address)
{
    AddressEntry copy;
    copy.id = address.id;
    copy.folder = -1;
    copy.name = address.name;
    copy.street = address.street;
    copy.town = address.town;
    copy.zip = address.zip;
    copy.country = address.country;
    return copy;
}

void PrintList::insertTop(const AddressEntry &address)
{
    m_rows.push_front(PrintListCopy(address));
    m_ids.insert(address.id);
}

int PrintList::AddAddresses(const std::vector<AddressEntry> &selected)
{
    int added = 0;
    for (const AddressEntry &a : selected) {
        if (Contains(a.id))
            break;
        insertTop(a);
        ++added;
    }
    return added;
}

int PrintList::AddFolder(CDatabase &db, std::int32_t folder)
{
    int added = 0;
    std::vector<std::int32_t> subfolders;
    {
        CSetFolder set(&db);
        set.Open(SqlFormat(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = %d"), folder));
        for (; !set.IsEOF(); set.MoveNext())
            subfolders.push_back(set.m_ID_FOLDER_FOLDER);
        set.Close();
    }
    for (std::int32_t sub : subfolders)
        added += AddFolder(db, sub);

    CSetAddress set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC, "
                                      "STREET DESC, TOWN DESC, ZIP DESC"),
                       folder));
    for (; !set.IsEOF(); set.MoveNext()) {
        if (Contains(set.m_ID_ADDRESS_ADDRESS))
            continue;
        insertTop(AddressFromRecord(set));
        ++added;
    }
    set.Close();
    return added;
}

void PrintList::RemoveRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it < 0 || *it >= Count())
            continue;
        m_ids.erase(m_rows[std::size_t(*it)].id);
        m_rows.erase(m_rows.begin() + *it);
    }
}

void PrintList::Clear()
{
    m_rows.clear();
    m_ids.clear();
}

std::deque<AddressEntry> FolderAddressRows(CDatabase &db, std::int32_t folder)
{
    std::deque<AddressEntry> rows;
    CSetAddress set(&db);
    set.Open(SqlFormat(QStringLiteral("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC, "
                                      "STREET DESC, TOWN DESC, ZIP DESC"),
                       folder));
    for (; !set.IsEOF(); set.MoveNext())
        rows.push_front(AddressFromRecord(set));
    set.Close();
    return rows;
}

AddressRowsModel::AddressRowsModel(std::vector<AddressColumn> columns, const std::deque<AddressEntry> *rows,
                                   QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_rows(rows)
{
}

int AddressRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : int(m_rows->size());
}

int AddressRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant AddressRowsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !m_rows || !index.isValid() || index.row() >= int(m_rows->size()))
        return {};
    return JoinLines(columnText((*m_rows)[std::size_t(index.row())], m_columns[std::size_t(index.column())]));
}

QVariant AddressRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= int(m_columns.size()))
        return {};
    return columnTitle(m_columns[std::size_t(section)]);
}

void AddressRowsModel::SetRows(const std::deque<AddressEntry> *rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void AddressRowsModel::Reset()
{
    beginResetModel();
    endResetModel();
}
