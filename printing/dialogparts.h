#pragma once
// Parts that several printing dialogs build alike: the OK/Cancel buttons, the
// one-column list of names of the Edit and Delete commands, the "Complete"
// (collation) choice and a combo of names with one row preselected.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class QDialog;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

// An OK button (default, captioned `okText`) and a Cancel button, connected
// to the dialog's accept and reject.
QDialogButtonBox *OkCancelButtons(QDialog *dialog, QPushButton *&ok, const QString &okText = QStringLiteral("OK"));

// A list with one column "Name": whole rows, one at a time, not editable.
QTableWidget *NewNameList(QWidget *parent);
// Shows `names`, one row each, in this order.
void FillNameList(QTableWidget *list, const QStringList &names);
// The names in the order shown.
QStringList NameListNames(const QTableWidget *list);
// Selects the row showing `name`; false when there is none.
bool SelectNameListRow(QTableWidget *list, const QString &name);
// The selected row; -1 when none is selected.
int SelectedNameListRow(const QTableWidget *list);

// The "Complete" group: "Yes (1,2,3 ... 1,2,3)" and "No (1 ... 1, ...)", No checked.
QGroupBox *NewCollateGroup(QWidget *parent, QRadioButton *&yes, QRadioButton *&no);

// Lists the rows' names in a combo, in this order, and selects the row with
// identifier `id` (none when no row has it).
template <class Row>
void FillNameCombo(QComboBox *combo, const std::vector<Row> &rows, std::int32_t id)
{
    for (const Row &row : rows)
        combo->addItem(row.name);
    combo->setCurrentIndex(-1);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id == id)
            combo->setCurrentIndex(int(i));
}
