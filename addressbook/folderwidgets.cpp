#include "folderwidgets.h"
#include "addressrecords.h"
#include "dberror.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"

#include "../uikit/tvmessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace {

enum Role { IdRole = Qt::UserRole, ParentRole, LoadedRole };

QIcon &chooserIcon()
{
    static QIcon icon;
    return icon;
}

QIcon currentIcon()
{
    if (chooserIcon().isNull()) {
        QStyle *style = QApplication::style();
        QIcon icon(style->standardIcon(QStyle::SP_DirClosedIcon).pixmap(16, 16));
        icon.addPixmap(style->standardIcon(QStyle::SP_DirOpenIcon).pixmap(16, 16), QIcon::Selected);
        chooserIcon() = icon;
    }
    return chooserIcon();
}

bool hasSubfolder(CDatabase &db, std::int32_t folder)
{
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", folder));
    return !f.IsEOF();
}

} // namespace

void FolderChooserTree::SetImages(const QPixmap &folder, const QPixmap &selected)
{
    QIcon icon(folder);
    icon.addPixmap(selected, QIcon::Selected);
    chooserIcon() = icon;
}

FolderChooserTree::FolderChooserTree(CDatabase &db, QWidget *parent) : QTreeWidget(parent), m_db(db)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setMinimumSize(200, 220);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) { LoadChildren(item); });
}

QTreeWidgetItem *FolderChooserTree::makeItem(const FolderEntry &folder)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, folder.name);
    item->setData(0, IdRole, folder.id);
    item->setData(0, ParentRole, folder.parent);
    item->setData(0, LoadedRole, false);
    item->setIcon(0, currentIcon());
    item->setChildIndicatorPolicy(hasSubfolder(m_db, folder.id) ? QTreeWidgetItem::ShowIndicator
                                                                 : QTreeWidgetItem::DontShowIndicator);
    return item;
}

bool FolderChooserTree::Fill(TopLevel order)
{
    clear();
    const bool ok = DbOperation(m_db, [&] {
        CSetFolder f(&m_db);
        if (order == TopLevel::Ordered)
            f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME", -1));
        else
            f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", -1));
        for (; !f.IsEOF(); f.MoveNext())
            addTopLevelItem(makeItem(FolderEntry{f.m_ID_FOLDER_FOLDER, f.m_ID_PARENT, f.m_NAME}));
    });
    if (!ok || topLevelItemCount() == 0)
        return false;
    LoadChildren(topLevelItem(0));
    topLevelItem(0)->setExpanded(true);
    return true;
}

void FolderChooserTree::LoadChildren(QTreeWidgetItem *item)
{
    if (!item || item->data(0, LoadedRole).toBool())
        return;
    item->setData(0, LoadedRole, true);
    const std::int32_t folder = item->data(0, IdRole).toInt();
    DbOperation(m_db, [&] {
        CSetFolder f(&m_db);
        f.Open(SqlFormat("SELECT * FROM FOLDER WHERE FOLDER.ID_PARENT = %d ORDER BY NAME", folder));
        for (; !f.IsEOF(); f.MoveNext())
            item->addChild(makeItem(FolderEntry{f.m_ID_FOLDER_FOLDER, f.m_ID_PARENT, f.m_NAME}));
    });
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

FolderEntry FolderChooserTree::FolderOf(const QTreeWidgetItem *item)
{
    return FolderEntry{item->data(0, IdRole).toInt(), item->data(0, ParentRole).toInt(), item->text(0)};
}

QString FolderChooserTree::PathOf(const QTreeWidgetItem *item)
{
    QStringList names;
    for (; item; item = item->parent())
        names.prepend(item->text(0));
    return names.join(u'/');
}

std::optional<FolderEntry> FolderChooserTree::SelectedFolder() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    return FolderOf(items.first());
}

QTreeWidgetItem *FolderChooserTree::FindLoadedItem(std::int32_t folder) const
{
    std::vector<QTreeWidgetItem *> pending;
    for (int i = topLevelItemCount() - 1; i >= 0; --i)
        pending.push_back(topLevelItem(i));
    while (!pending.empty()) {
        QTreeWidgetItem *item = pending.back();
        pending.pop_back();
        if (item->data(0, IdRole).toInt() == folder)
            return item;
        for (int i = item->childCount() - 1; i >= 0; --i)
            pending.push_back(item->child(i));
    }
    return nullptr;
}

bool FolderChooserTree::SelectFolder(std::int32_t folder)
{
    // The chain of folders from the root down to the folder.
    std::vector<std::int32_t> chain;
    const bool ok = DbOperation(m_db, [&] {
        std::set<std::int32_t> seen;
        std::int32_t current = folder;
        while (seen.insert(current).second) {
            std::optional<FolderEntry> f = FolderById(m_db, current);
            if (!f)
                break;
            chain.insert(chain.begin(), f->id);
            current = f->parent;
        }
    });
    if (!ok || chain.empty())
        return false;
    QTreeWidgetItem *found = nullptr;
    auto levelItem = [this](QTreeWidgetItem *parent, int i) {
        return parent ? parent->child(i) : topLevelItem(i);
    };
    QTreeWidgetItem *parent = nullptr;
    for (std::int32_t id : chain) {
        QTreeWidgetItem *match = nullptr;
        const int count = parent ? parent->childCount() : topLevelItemCount();
        for (int i = 0; i < count && !match; ++i)
            if (levelItem(parent, i)->data(0, IdRole).toInt() == id)
                match = levelItem(parent, i);
        if (!match)
            return false;
        found = match;
        if (id != chain.back()) {
            LoadChildren(match);
            match->setExpanded(true);
        }
        parent = match;
    }
    setCurrentItem(found);
    found->setSelected(true);
    scrollToItem(found);
    return true;
}

CFolderPickerDlg::CFolderPickerDlg(CDatabase &db, std::int32_t initialFolder, bool includeSubfolders, QWidget *parent)
    : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("folderPicker"));
    setWindowTitle(QStringLiteral("Choosing location"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the folder:"), this));
    m_tree = new FolderChooserTree(db, this);
    m_tree->setObjectName(QStringLiteral("pickerTree"));
    layout->addWidget(m_tree);
    m_includeBox = new QCheckBox(QStringLiteral("Include subfolders"), this);
    m_includeBox->setObjectName(QStringLiteral("includeSubfolders"));
    m_includeBox->setChecked(includeSubfolders);
    layout->addWidget(m_includeBox);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderPickerDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderPickerDlg::reject);
    layout->addWidget(buttons);

    m_include = includeSubfolders;
    m_usable = m_tree->Fill(FolderChooserTree::TopLevel::Unordered);
    if (m_usable)
        m_tree->SelectFolder(initialFolder);
}

int CFolderPickerDlg::exec()
{
    if (!m_usable) {
        setResult(Rejected);
        return Rejected;
    }
    return QDialog::exec();
}

void CFolderPickerDlg::accept()
{
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    if (selected.isEmpty()) {
        CTVError::Show(MSG_PICKER_NONE, TVB_OK);
        return;
    }
    QTreeWidgetItem *item = selected.first();
    const std::int32_t folder = FolderChooserTree::FolderOf(item).id;
    const bool include = m_includeBox->isChecked();
    std::set<std::int32_t> ids;
    if (!DbOperation(m_db, [&] { ids = FolderIdSet(m_db, folder, include); }))
        return;
    m_path = FolderChooserTree::PathOf(item);
    m_folder = folder;
    m_include = include;
    m_ids = std::move(ids);
    QDialog::accept();
}
