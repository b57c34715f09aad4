#pragma once
// The address list pane: every address of the book in one flat list
// (model/view, so a hundred thousand rows fill at once).
#include "addressentry.h"

#include <QAbstractTableModel>
#include <QTableView>

class CDatabase;

class AddressListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    void reset(std::vector<AddressEntry> rows);
    void insertTop(const AddressEntry &entry);
    void removeRowAt(int row);
    int findRow(std::int32_t address) const;
    AddressEntry &entry(int row) { return m_rows[std::size_t(row)]; }
    const std::vector<AddressEntry> &rows() const { return m_rows; }
    void changed(int row);

private:
    std::vector<AddressEntry> m_rows;
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
