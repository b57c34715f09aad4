#include "dialogparts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

QDialogButtonBox *OkCancelButtons(QDialog *dialog, QPushButton *&ok, const QString &okText)
{
    auto *box = new QDialogButtonBox(dialog);
    ok = box->addButton(okText, QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

QTableWidget *NewNameList(QWidget *parent)
{
    auto *list = new QTableWidget(0, 1, parent);
    list->setHorizontalHeaderLabels({QStringLiteral("Name")});
    list->setColumnWidth(0, 385);
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->hide();
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setMinimumSize(410, 240);
    return list;
}

void FillNameList(QTableWidget *list, const QStringList &names)
{
    list->setRowCount(int(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        list->setItem(int(i), 0, new QTableWidgetItem(names[i]));
}

QStringList NameListNames(const QTableWidget *list)
{
    QStringList names;
    for (int r = 0; r < list->rowCount(); ++r)
        names << list->item(r, 0)->text();
    return names;
}

bool SelectNameListRow(QTableWidget *list, const QString &name)
{
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 0)->text() == name) {
            list->selectRow(r);
            return true;
        }
    return false;
}

int SelectedNameListRow(const QTableWidget *list)
{
    const auto rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QGroupBox *NewCollateGroup(QWidget *parent, QRadioButton *&yes, QRadioButton *&no)
{
    auto *complete = new QGroupBox(QStringLiteral("Complete"), parent);
    auto *layout = new QVBoxLayout(complete);
    yes = new QRadioButton(QStringLiteral("Yes (1,2,3  ...  1,2,3)"), complete);
    no = new QRadioButton(QStringLiteral("No (1 ... 1, 2 ... 2, 3 ... 3)"), complete);
    no->setChecked(true);
    layout->addWidget(yes);
    layout->addWidget(no);
    return complete;
}
