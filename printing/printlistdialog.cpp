#include "printlistdialog.h"

#include "dberror.h"
#include "folderwidgets.h"
#include "tvmessage.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView *makeList(QWidget *parent, AddressRowsModel *model, const std::vector<int> &widths)
{
    auto *view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setHighlightSections(false);
    for (std::size_t i = 0; i < widths.size(); ++i)
        view->setColumnWidth(int(i), widths[i]);
    return view;
}

} // namespace

PrintListDialog::PrintListDialog(QWidget *parent, CDatabase &db) : QDialog(parent), m_db(db)
{
    setWindowTitle(QStringLiteral("Choosing addresses to print"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Choose the addresses you want to print."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *top = new QHBoxLayout;
    auto *folders = new QGroupBox(QStringLiteral("Folders"), this);
    auto *foldersLayout = new QVBoxLayout(folders);
    m_tree = new FolderChooserTree(db, folders);
    foldersLayout->addWidget(m_tree);
    top->addWidget(folders, 2);

    auto *inFolder = new QGroupBox(QStringLiteral("Addresses in selected folder"), this);
    auto *inFolderLayout = new QVBoxLayout(inFolder);
    m_folderModel = new AddressRowsModel({AddressColumn::Name, AddressColumn::Town}, &m_folderRows, this);
    m_folderList = makeList(inFolder, m_folderModel, {184, 160});
    m_folderList->setMinimumWidth(370);
    inFolderLayout->addWidget(m_folderList);
    top->addWidget(inFolder, 3);
    layout->addLayout(top);

    auto *buttons = new QHBoxLayout;
    m_addFolder = new QPushButton(QStringLiteral("Add entire folder"), this);
    m_addAddress = new QPushButton(QStringLiteral("Add address"), this);
    m_remove = new QPushButton(QStringLiteral("Remove address"), this);
    for (QPushButton *b : {m_addFolder, m_addAddress, m_remove}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    auto *toPrint = new QGroupBox(QStringLiteral("Addresses to print"), this);
    auto *toPrintLayout = new QVBoxLayout(toPrint);
    m_printModel = new AddressRowsModel({AddressColumn::Name, AddressColumn::Town, AddressColumn::Street},
                                        &m_list.Rows(), this);
    m_printList = makeList(toPrint, m_printModel, {178, 178, 176});
    m_printList->setMinimumWidth(560);
    toPrintLayout->addWidget(m_printList);
    layout->addWidget(toPrint, 1);

    auto *box = new QDialogButtonBox(this);
    m_ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setDefault(true);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    connect(m_addFolder, &QPushButton::clicked, this, &PrintListDialog::AddEntireFolder);
    connect(m_addAddress, &QPushButton::clicked, this, &PrintListDialog::AddSelectedAddresses);
    connect(m_remove, &QPushButton::clicked, this, &PrintListDialog::RemoveSelectedAddresses);
    connect(m_folderList, &QTableView::doubleClicked, this, [this] { AddSelectedAddresses(); });
    connect(m_printList, &QTableView::doubleClicked, this, [this] { RemoveSelectedAddresses(); });
    connect(m_folderList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PrintListDialog::updateButtons);
    connect(m_printList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PrintListDialog::updateButtons);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &PrintListDialog::folderSelected);

    connect(m_folderList->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        SortAddressRows(m_folderRows, m_folderModel->Column(section));
        m_folderModel->Reset();
        updateButtons();
    });
    connect(m_printList->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        m_list.Sort(m_printModel->Column(section));
        m_printModel->Reset();
        updateButtons();
    });

    m_addFolder->setEnabled(false);
    updateButtons();
    m_usable = m_tree->Fill(FolderChooserTree::TopLevel::Ordered);
    resize(640, 620);
}

int PrintListDialog::exec()
{
    if (!m_usable)
        return QDialog::Rejected;
    return QDialog::exec();
}

std::vector<int> PrintListDialog::selectedRows(QTableView *view) const
{
    std::vector<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PrintListDialog::updateButtons()
{
    m_addAddress->setEnabled(m_folderList->selectionModel()->hasSelection());
    m_remove->setEnabled(m_printList->selectionModel()->hasSelection());
}

void PrintListDialog::folderSelected()
{
    const auto folder = m_tree->SelectedFolder();
    if (!folder) {
        m_addFolder->setEnabled(false);
        return;
    }
    m_addFolder->setEnabled(true);
    std::deque<AddressEntry> rows;
    const bool ok = DbOperation(m_db, [&] { rows = FolderAddressRows(m_db, folder->id); });
    m_folderRows.swap(rows);
    m_folderModel->Reset();
    updateButtons();
    if (!ok)
        reject();
}

void PrintListDialog::AddSelectedAddresses()
{
    std::vector<AddressEntry> selected;
    for (int row : selectedRows(m_folderList))
        selected.push_back(m_folderRows[std::size_t(row)]);
    if (selected.empty())
        return;
    if (m_list.AddAddresses(selected) > 0) {
        m_printModel->Reset();
        updateButtons();
    }
}

void PrintListDialog::AddEntireFolder()
{
    if (CTVQuestion::Show(105, TVB_YESNO) != TVB_YES)
        return;
    const auto folder = m_tree->SelectedFolder();
    if (!folder) {
        CTVError::Show(104, TVB_OK);
        return;
    }
    DbOperation(m_db, [&] { m_list.AddFolder(m_db, folder->id); });
    m_printModel->Reset();
    updateButtons();
}

void PrintListDialog::RemoveSelectedAddresses()
{
    const std::vector<int> rows = selectedRows(m_printList);
    if (rows.empty()) {
        CTVError::Show(103, TVB_OK);
        return;
    }
    m_list.RemoveRows(rows);
    m_printModel->Reset();
    updateButtons();
}

void PrintListDialog::accept()
{
    if (m_list.Count() == 0) {
        CTVError::Show(106, TVB_OK);
        m_printList->setFocus();
        return;
    }
    m_result.assign(m_list.Rows().begin(), m_list.Rows().end());
    m_list.Clear();
    m_folderRows.clear();
    m_printModel->Reset();
    m_folderModel->Reset();
    QDialog::accept();
}

void PrintListDialog::reject()
{
    m_list.Clear();
    m_folderRows.clear();
    m_printModel->Reset();
    m_folderModel->Reset();
    QDialog::reject();
}
