#pragma once
// The address list pane: every address of the book in one flat list
// (model/view, so a hundred thousand rows fill at once).
#include "addressentry.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <unordered_set>

class CDatabase;

// The rows of the list. A fill takes a snapshot of the database's own order
// (row keys only, read from the order index) and reads the rows themselves in
// batches as the view scrolls to them (fetchMore), so a hundred thousand
// addresses cost no more at start than a few hundred. The loaded rows are
// what rows() and entry() give; rows not loaded yet are read as stored when
// their turn comes, so a change made meanwhile (moved, edited, deleted) is
// simply read as it now is, and an address already shown is never read twice.
class AddressListModel : public QAbstractTableModel {
public:
    explicit AddressListModel(CDatabase &db, QObject *parent = nullptr) : QAbstractTableModel(parent), m_db(db) {}
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Reads every address from the database: the order snapshot and the
    // first batch. False after a database error (the list is then empty).
    bool fill();
    // Reads all rows not loaded yet.
    void fetchAll();
    // Rows not loaded yet.
    std::size_t pendingCount() const { return m_pending.size() - m_next; }
    // Replaces the loaded rows; rows not loaded yet stay to come.
    void reset(std::vector<AddressEntry> rows);
    void insertTop(const AddressEntry &entry);
    void removeRowAt(int row);
    // The loaded row of an address, or -1.
    int findRow(std::int32_t address) const;
    // As findRow, reading further batches until the address is found.
    int findRowLoading(std::int32_t address);
    AddressEntry &entry(int row) { return m_rows[std::size_t(row)]; }
    const std::vector<AddressEntry> &rows() const { return m_rows; }
    void changed(int row);

    // Rows read per batch (tests use small batches).
    static void SetBatchSize(int rows);

private:
    std::vector<AddressEntry> readBatch(std::size_t count);
    bool snapshot(int column);

    CDatabase &m_db;
    std::vector<AddressEntry> m_rows;
    std::vector<std::int64_t> m_pending; // row keys in the database's order
    std::size_t m_next = 0;              // the first key not read yet
    std::unordered_set<std::int32_t> m_ids;
};

class CAddressListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CAddressListCtrl(CDatabase &db, QWidget *parent = nullptr);

    // Loads every address; false after a database error.
    bool Fill();
    void InsertAddress(const AddressEntry &entry); // at the top
    void SetAddressFolder(std::int32_t address, std::int32_t folder);
    void RemoveAddress(std::int32_t address);
    void RemoveFolderAddresses(std::int32_t folder);
    void SelectAddress(std::int32_t address);
    void UpdateAddressItem(const AddressEntry &entry);
    const AddressEntry *SelectedEntry() const;
    void ClearSelection();
    AddressListModel *listModel() const { return m_model; }

    // The column widths the list takes at a given width (unchanged at 438 or less).
    static std::array<int, 3> ColumnWidthsFor(int width, const std::array<int, 3> &current);

signals:
    void selectionChangedTo(const AddressEntry *entry); // null: none
    void deletePressed();
    void informationRequested(std::int32_t folder);
    void helpRequested(int topic);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fitColumns();
    CDatabase &m_db;
    AddressListModel *m_model;
    bool m_sorting = false;
};
