#include "addressdialogs.h"
#include "addressmove.h"
#include "dberror.h"
#include "paneupdates.h"
#include "tvmessage.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

// Moving and copying one address ----------------------------------------------

CAddressToFolderDlg::CAddressToFolderDlg(Mode mode, CDatabase &db, AddressPanes *panes, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_db(db), m_panes(panes)
{
    const bool move = mode == Mode::Move;
    setObjectName(move ? QStringLiteral("moveAddressDialog") : QStringLiteral("copyAddressDialog"));
    setWindowTitle(move ? QStringLiteral("Moving address to another folder")
                        : QStringLiteral("Copying address to another folder"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Destination folder"), this));
    m_tree = new FolderChooserTree(db, this);
    m_tree->setObjectName(QStringLiteral("destinationFolder"));
    layout->addWidget(m_tree);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &CAddressToFolderDlg::accept);
    connect(box, &QDialogButtonBox::rejected, this, &CAddressToFolderDlg::reject);
    layout->addWidget(box);

    if (panes)
        if (const AddressEntry *selected = panes->SelectedAddress(false)) {
            m_address = *selected;
            m_hasAddress = true;
        }
    if (m_hasAddress)
        m_usable = m_tree->Fill();
}

int CAddressToFolderDlg::exec()
{
    if (!m_hasAddress) {
        CTVError::Show(m_mode == Mode::Move ? MSG_MOVE_NO_ADDRESS : MSG_COPY_NO_ADDRESS, TVB_OK);
        setResult(Rejected);
        return Rejected;
    }
    if (!m_usable) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void CAddressToFolderDlg::accept()
{
    std::optional<std::int32_t> destination;
    if (std::optional<FolderEntry> f = m_tree->SelectedFolder())
        destination = f->id;
    if (m_mode == Mode::Move) {
        if (const int message = CheckMoveAddress(m_address, destination)) {
            CTVError::Show(message, TVB_OK);
            if (message == MSG_MOVE_NO_FOLDER)
                m_tree->setFocus();
            return;
        }
        if (!DbOperation(m_db, [&] { MoveAddress(m_db, m_address.id, *destination); })) {
            reject();
            return;
        }
        if (m_panes) {
            AddressEntry moved = m_address;
            moved.folder = *destination;
            ShowAddressMoved(*m_panes, moved, m_address.folder);
        }
    } else {
        if (const int message = CheckCopyAddress(m_address, destination)) {
            if (message == MSG_COPY_SAME_FOLDER) {
                if (CTVQuestion::Show(message, TVB_YESNO) != TVB_YES)
                    return;
            } else {
                CTVError::Show(message, TVB_OK);
                m_tree->setFocus();
                return;
            }
        }
        AddressEntry copy;
        if (!DbOperation(m_db, [&] { copy = CopyAddress(m_db, m_address.id, *destination); })) {
            reject();
            return;
        }
        if (m_panes)
            ShowAddressCopied(*m_panes, copy, false);
    }
    QDialog::accept();
}

// Mass move ----------------------------------------------------------------------

namespace {

QPushButton *smallButton(const QString &text, QWidget *parent, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void selectAll(AddressTableView *list)
{
    list->selectAll();
    list->setFocus();
}

void invertSelection(AddressTableView *list)
{
    QItemSelectionModel *sel = list->selectionModel();
    const int rows = list->tableModel()->rowCount();
    QItemSelection flip;
    for (int r = 0; r < rows; ++r)
        flip.select(list->tableModel()->index(r, 0), list->tableModel()->index(r, 2));
    sel->select(flip, QItemSelectionModel::Toggle);
    list->setFocus();
}

} // namespace

CMassMoveDlg::CMassMoveDlg(CDatabase &db, AddressPanes *panes, QWidget *parent)
    : QDialog(parent), m_db(db), m_panes(panes)
{
    setObjectName(QStringLiteral("massMoveDialog"));
    setWindowTitle(QStringLiteral("Mass move of addresses between folders"));
    auto *grid = new QGridLayout(this);

    grid->addWidget(new QLabel(QStringLiteral("Source folder"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Destination folder"), this), 0, 2);
    m_sourceTree = new FolderChooserTree(db, this);
    m_sourceTree->setObjectName(QStringLiteral("sourceFolder"));
    m_destinationTree = new FolderChooserTree(db, this);
    m_destinationTree->setObjectName(QStringLiteral("destinationFolder"));
    grid->addWidget(m_sourceTree, 1, 0);
    grid->addWidget(m_destinationTree, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Addresses in source folder"), this), 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Addresses in destination folder"), this), 2, 2);
    m_sourceList = new AddressTableView(QAbstractItemView::ExtendedSelection, 120, this);
    m_sourceList->setObjectName(QStringLiteral("sourceList"));
    m_destinationList = new AddressTableView(QAbstractItemView::ExtendedSelection, 120, this);
    m_destinationList->setObjectName(QStringLiteral("destinationList"));
    grid->addWidget(m_sourceList, 3, 0);
    grid->addWidget(m_destinationList, 3, 2);

    auto *arrows = new QVBoxLayout;
    m_right = smallButton(QString(), this, "rightArrow");
    m_right->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    m_right->setToolTip(QStringLiteral("Move the selected addresses to the destination folder"));
    m_left = smallButton(QString(), this, "leftArrow");
    m_left->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
    m_left->setToolTip(QStringLiteral("Move the selected addresses back to the source folder"));
    arrows->addStretch();
    arrows->addWidget(m_right);
    arrows->addWidget(m_left);
    arrows->addStretch();
    grid->addLayout(arrows, 3, 1);

    QList<QWidget *> listButtonOrder;
    auto listButtons = [this, &listButtonOrder](AddressTableView *list, const char *prefix) {
        auto *row = new QHBoxLayout;
        auto *all = smallButton(QStringLiteral("Select all"), this, prefix);
        all->setObjectName(all->objectName() + QStringLiteral("SelectAll"));
        auto *invert = smallButton(QStringLiteral("Invert selection"), this, prefix);
        invert->setObjectName(invert->objectName() + QStringLiteral("Invert"));
        connect(all, &QPushButton::clicked, this, [list] { selectAll(list); });
        connect(invert, &QPushButton::clicked, this, [list] { invertSelection(list); });
        row->addWidget(all);
        row->addWidget(invert);
        row->addStretch();
        listButtonOrder << all << invert;
        return row;
    };
    grid->addLayout(listButtons(m_sourceList, "source"), 4, 0);
    grid->addLayout(listButtons(m_destinationList, "destination"), 4, 2);

    auto *bottom = new QHBoxLayout;
    m_ok = smallButton(QStringLiteral("OK"), this, "okButton");
    m_apply = smallButton(QStringLiteral("Apply"), this, "applyButton");
    auto *cancel = smallButton(QStringLiteral("Cancel"), this, "cancelButton");
    bottom->addStretch();
    bottom->addWidget(m_ok);
    bottom->addWidget(m_apply);
    bottom->addWidget(cancel);
    grid->addLayout(bottom, 5, 0, 1, 3);

    // Tab walks the dialog in reading order, row by row.
    QList<QWidget *> order{m_sourceTree, m_destinationTree, m_sourceList, m_right, m_left, m_destinationList};
    order << listButtonOrder << m_ok << m_apply << cancel;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_right, &QPushButton::clicked, this, &CMassMoveDlg::TransferRight);
    connect(m_left, &QPushButton::clicked, this, &CMassMoveDlg::TransferLeft);
    connect(m_ok, &QPushButton::clicked, this, &CMassMoveDlg::accept);
    connect(m_apply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(cancel, &QPushButton::clicked, this, &CMassMoveDlg::reject);
    connect(m_sourceTree, &QTreeWidget::itemSelectionChanged, this,
            [this] { fillList(m_sourceTree, m_sourceList); });
    connect(m_destinationTree, &QTreeWidget::itemSelectionChanged, this,
            [this] { fillList(m_destinationTree, m_destinationList); });
    for (AddressTableView *list : {m_sourceList, m_destinationList}) {
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateArrows(); });
        connect(list->tableModel(), &QAbstractItemModel::modelReset, this, [this] { updateArrows(); });
    }

    m_usable = m_sourceTree->Fill() && m_destinationTree->Fill();
    setLocked(false);
    updateArrows();
}

int CMassMoveDlg::exec()
{
    if (!m_usable) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void CMassMoveDlg::fillList(FolderChooserTree *tree, AddressTableView *list)
{
    list->tableModel()->reset({});
    const std::optional<FolderEntry> folder = tree->SelectedFolder();
    if (!folder)
        return;
    std::vector<AddressEntry> rows;
    DbOperation(m_db, [&] { rows = MassMoveListing(m_db, folder->id); });
    list->tableModel()->reset(std::move(rows));
}

void CMassMoveDlg::setLocked(bool locked)
{
    m_locked = locked;
    m_sourceTree->setEnabled(!locked);
    m_destinationTree->setEnabled(!locked);
    m_ok->setEnabled(locked);
    m_apply->setEnabled(locked);
}

void CMassMoveDlg::updateArrows()
{
    m_right->setEnabled(m_sourceList->selectionModel()->hasSelection());
    m_left->setEnabled(m_destinationList->selectionModel()->hasSelection());
}

void CMassMoveDlg::TransferRight()
{
    transfer(m_sourceList, m_destinationList);
}

void CMassMoveDlg::TransferLeft()
{
    transfer(m_destinationList, m_sourceList);
}

void CMassMoveDlg::transfer(AddressTableView *from, AddressTableView *to)
{
    const std::optional<FolderEntry> source = m_sourceTree->SelectedFolder();
    const std::optional<FolderEntry> destination = m_destinationTree->SelectedFolder();
    const std::vector<int> selected = from->SelectedRows();
    const int message = CheckMassTransfer(source ? std::optional(source->id) : std::nullopt,
                                          destination ? std::optional(destination->id) : std::nullopt,
                                          !selected.empty());
    if (message) {
        CTVError::Show(message, TVB_OK);
        return;
    }
    m_pairSource = source->id;
    m_pairDestination = destination->id;
    setLocked(true);
    // Each selected row, first to last, goes to the top of the other list.
    std::vector<AddressEntry> moved, kept;
    std::vector<bool> isSelected(from->tableModel()->rows().size(), false);
    for (int r : selected)
        isSelected[std::size_t(r)] = true;
    const std::vector<AddressEntry> &rows = from->tableModel()->rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        (isSelected[i] ? moved : kept).push_back(rows[i]);
    std::vector<AddressEntry> target(moved.rbegin(), moved.rend());
    const std::vector<AddressEntry> &existing = to->tableModel()->rows();
    target.insert(target.end(), existing.begin(), existing.end());
    from->tableModel()->reset(std::move(kept));
    to->tableModel()->reset(std::move(target));
}

bool CMassMoveDlg::write()
{
    std::vector<AddressEntry> &sourceRows = m_sourceList->tableModel()->rows();
    std::vector<AddressEntry> &destinationRows = m_destinationList->tableModel()->rows();
    const std::vector<MassMoveChange> changes =
        PlanMassMove(m_pairSource, m_pairDestination, sourceRows, destinationRows);
    if (!DbOperation(m_db, [&] { ApplyMassMove(m_db, changes); }))
        return false;
    for (AddressEntry &e : sourceRows)
        if (e.folder == m_pairDestination)
            e.folder = m_pairSource;
    for (AddressEntry &e : destinationRows)
        if (e.folder == m_pairSource)
            e.folder = m_pairDestination;
    if (m_panes) {
        std::vector<AddressEntry> entries = sourceRows;
        entries.insert(entries.end(), destinationRows.begin(), destinationRows.end());
        ShowMassMove(*m_panes, changes, entries, m_pairSource, m_pairDestination);
    }
    return true;
}

bool CMassMoveDlg::Apply()
{
    if (!m_locked)
        return false;
    if (!write())
        return false;
    setLocked(false);
    return true;
}

void CMassMoveDlg::accept()
{
    if (!m_locked) {
        QDialog::accept();
        return;
    }
    if (write())
        QDialog::accept();
    else
        reject();
}
