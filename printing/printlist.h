#pragma once
// The list of addresses to print as the "Choosing addresses to print"
// dialog builds it, as plain logic: every addition goes to the top, an
// address is never listed twice, and the rows can be sorted by a column.
// Also the table model both lists of the dialog show.
#include "addressentry.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <deque>
#include <unordered_set>
#include <vector>

class CDatabase;

// The columns the lists can show.
enum class AddressColumn { Name, Town, Street };

// Rows sorted ascending, case-insensitively, by the column's one-line text
// (JoinLines); rows with equal keys keep their order.
void SortAddressRows(std::deque<AddressEntry> &rows, AddressColumn column);

// An address as the print list keeps it: identifier and the five texts; the
// folder is -1 and the note empty.
AddressEntry PrintListCopy(const AddressEntry &address);

class PrintList {
public:
    const std::deque<AddressEntry> &Rows() const { return m_rows; }
    int Count() const { return int(m_rows.size()); }
    bool Contains(std::int32_t addressId) const { return m_ids.count(addressId) != 0; }

    // "Add address": the addresses in the order given; each goes to the top
    // of the list, and the first one already listed stops the operation (it
    // and the rest are not added). Returns how many were added.
    int AddAddresses(const std::vector<AddressEntry> &selected);

    // "Add entire folder", depth first: each subfolder ("SELECT * FROM
    // FOLDER WHERE ID_PARENT = %d", in the order returned) before the
    // folder's own addresses ("... ORDER BY NAME DESC, STREET DESC, TOWN
    // DESC, ZIP DESC"), each address not yet listed inserted at the top;
    // listed ones are skipped. Returns how many were added. Throws
    // DbException; what was added before a failure stays.
    int AddFolder(CDatabase &db, std::int32_t folder);

    // Removes the rows with these indices.
    void RemoveRows(std::vector<int> rows);
    void Sort(AddressColumn column) { SortAddressRows(m_rows, column); }
    void Clear();

private:
    void insertTop(const AddressEntry &address);

    std::deque<AddressEntry> m_rows;
    std::unordered_set<std::int32_t> m_ids;
};

// The addresses of a folder in the order the dialog lists them: read
// "SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC,
// STREET DESC, TOWN DESC, ZIP DESC", each put at the top, so ascending.
// Throws DbException.
std::deque<AddressEntry> FolderAddressRows(CDatabase &db, std::int32_t folder);

// A read-only table over rows of addresses, each multi-line text on one
// line (JoinLines). The owner changes the rows and calls Reset.
class AddressRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    AddressRowsModel(std::vector<AddressColumn> columns, const std::deque<AddressEntry> *rows, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    AddressColumn Column(int section) const { return m_columns[std::size_t(section)]; }
    void SetRows(const std::deque<AddressEntry> *rows);
    void Reset();

private:
    std::vector<AddressColumn> m_columns;
    const std::deque<AddressEntry> *m_rows;
};
