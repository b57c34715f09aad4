#pragma once
// The address lists of the mass-move and search dialogs: rows of
// AddressEntry copies shown as "Name (company name)", "Town/City" and
// "Street, house NO." (each through JoinLines); a click on a column header
// sorts ascending by that column's text, ignoring case.
#include "addressentry.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <vector>

class AddressTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void reset(std::vector<AddressEntry> rows);
    const std::vector<AddressEntry> &rows() const { return m_rows; }
    std::vector<AddressEntry> &rows() { return m_rows; }
    const AddressEntry &entry(int row) const { return m_rows[std::size_t(row)]; }

private:
    std::vector<AddressEntry> m_rows;
};

// A report-style list over an AddressTableModel: grid lines, whole-row
// selection, sorting by header click.
class AddressTableView : public QTableView {
public:
    AddressTableView(QAbstractItemView::SelectionMode mode, int columnWidth, QWidget *parent = nullptr);
    AddressTableModel *tableModel() const { return m_model; }
    // Selected rows in ascending order.
    std::vector<int> SelectedRows() const;

private:
    AddressTableModel *m_model;
};
