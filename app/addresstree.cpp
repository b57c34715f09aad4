#include "addresstree.h"
#include "addressrecords.h"
#include "dberror.h"
#include "icons.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <functional>

namespace {

QIcon treeIcon(int normal, int selected)
{
    QIcon icon(TreeImage(normal));
    icon.addPixmap(TreeImage(selected), QIcon::Selected);
    return icon;
}

const QIcon &folderIcon()
{
    static const QIcon i = treeIcon(0, 1);
    return i;
}

const QIcon &addressIcon()
{
    static const QIcon i = treeIcon(2, 3);
    return i;
}

} // namespace

TreeItem::TreeItem(const FolderEntry &folder) : m_folder(std::make_unique<FolderEntry>(folder))
{
    setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

TreeItem::TreeItem(const AddressEntry &address) : m_address(std::make_unique<AddressEntry>(address))
{
    setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

QVariant TreeItem::data(int column, int role) const
{
    if (column == 0 && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return m_folder ? m_folder->name : JoinLines(m_address->name);
    if (column == 0 && role == Qt::DecorationRole)
        return m_folder ? folderIcon() : addressIcon();
    return QTreeWidgetItem::data(column, role);
}

TreeItem *TreeItem::cloneTree() const
{
    TreeItem *copy = m_folder ? new TreeItem(*m_folder) : new TreeItem(*m_address);
    copy->setChildIndicatorPolicy(childIndicatorPolicy());
    for (int i = 0; i < childCount(); ++i)
        copy->addChild(static_cast<TreeItem *>(child(i))->cloneTree());
    return copy;
}

CAddressTreeCtrl::CAddressTreeCtrl(CDatabase &db, QWidget *parent) : QTreeWidget(parent), m_db(db)
{
    setObjectName(QStringLiteral("addressTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        LoadChildren(static_cast<TreeItem *>(item));
    });
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { emit selectionChangedTo(SelectedItem()); });
}

void CAddressTreeCtrl::LoadChildren(TreeItem *item)
{
    if (!item || !item->isFolder() || item->childrenLoaded())
        return;
    item->setChildrenLoaded();
    const std::int32_t folder = item->folder()->id;
    DbOperation(m_db, [&] {
        for (const FolderEntry &f : SubfoldersOf(m_db, folder)) {
            auto *child = new TreeItem(f);
            if (FolderHasChildren(m_db, f.id))
                child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            item->addChild(child);
        }
        for (const AddressEntry &a : AddressesOfFolder(m_db, folder))
            item->addChild(new TreeItem(a));
    });
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

int CAddressTreeCtrl::Fill()
{
    clear();
    bool ok = DbOperation(m_db, [&] {
        for (const FolderEntry &f : SubfoldersOf(m_db, -1)) {
            auto *item = new TreeItem(f);
            if (FolderHasChildren(m_db, f.id))
                item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            addTopLevelItem(item);
        }
    });
    if (!ok)
        return 0;
    if (topLevelItemCount() > 0)
        topLevelItem(0)->setExpanded(true);
    return topLevelItemCount();
}

void CAddressTreeCtrl::visit(const std::function<bool(TreeItem *)> &f) const
{
    std::function<bool(QTreeWidgetItem *)> walk = [&](QTreeWidgetItem *item) {
        if (f(static_cast<TreeItem *>(item)))
            return true;
        for (int i = 0; i < item->childCount(); ++i)
            if (walk(item->child(i)))
                return true;
        return false;
    };
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (walk(topLevelItem(i)))
            return;
}

TreeItem *CAddressTreeCtrl::FindFolderItem(std::int32_t folder) const
{
    TreeItem *found = nullptr;
    visit([&](TreeItem *i) {
        if (i->isFolder() && i->folder()->id == folder)
            found = i;
        return found != nullptr;
    });
    return found;
}

TreeItem *CAddressTreeCtrl::FindAddressItem(std::int32_t address) const
{
    TreeItem *found = nullptr;
    visit([&](TreeItem *i) {
        if (!i->isFolder() && i->address()->id == address)
            found = i;
        return found != nullptr;
    });
    return found;
}

TreeItem *CAddressTreeCtrl::InsertFolderItem(TreeItem *parent, const FolderEntry &folder)
{
    auto *item = new TreeItem(folder);
    int pos = 0;
    for (; pos < parent->childCount(); ++pos) {
        auto *c = static_cast<TreeItem *>(parent->child(pos));
        if (!c->isFolder() || c->folder()->name.compare(folder.name, Qt::CaseInsensitive) >= 0)
            break;
    }
    parent->insertChild(pos, item);
    parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

TreeItem *CAddressTreeCtrl::InsertAddressItem(TreeItem *parent, const AddressEntry &address)
{
    auto *item = new TreeItem(address);
    int pos = 0;
    for (; pos < parent->childCount(); ++pos) {
        auto *c = static_cast<TreeItem *>(parent->child(pos));
        if (!c->isFolder() && c->address()->name.compare(address.name, Qt::CaseInsensitive) >= 0)
            break;
    }
    parent->insertChild(pos, item);
    parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

void CAddressTreeCtrl::RemoveTreeItem(TreeItem *item)
{
    if (!item)
        return;
    QTreeWidgetItem *parent = item->parent();
    if (parent && parent->childCount() == 1)
        parent->setExpanded(false);
    delete item; // frees the entries of the item and of its children
}

void CAddressTreeCtrl::RefreshChildFlag(TreeItem *item)
{
    if (!item)
        return;
    if (item->childCount() > 0) {
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        return;
    }
    bool has = false;
    if (item->isFolder())
        DbOperation(m_db, [&] { has = FolderHasChildren(m_db, item->folder()->id); });
    item->setChildIndicatorPolicy(has ? QTreeWidgetItem::ShowIndicator
                                      : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void CAddressTreeCtrl::RenameFolderItem(const FolderEntry &folder)
{
    TreeItem *item = FindFolderItem(folder.id);
    if (!item)
        return;
    item->folder()->parent = folder.parent;
    item->folder()->name = folder.name;
    item->refresh();
}

void CAddressTreeCtrl::MoveFolderItem(std::int32_t folder, std::int32_t oldParent, std::int32_t newParent)
{
    TreeItem *f = FindFolderItem(folder);
    TreeItem *n = FindFolderItem(newParent);
    if (n) {
        if (f && n->childCount() > 0) {
            TreeItem *copy = f->cloneTree();
            copy->folder()->parent = newParent;
            int pos = 0;
            for (; pos < n->childCount(); ++pos) {
                auto *c = static_cast<TreeItem *>(n->child(pos));
                if (!c->isFolder() || c->folder()->name.compare(copy->folder()->name, Qt::CaseInsensitive) >= 0)
                    break;
            }
            n->insertChild(pos, copy);
            RemoveTreeItem(f);
        } else if (f) {
            RemoveTreeItem(f);
        } else if (n->childCount() > 0) {
            DbOperation(m_db, [&] {
                if (std::optional<FolderEntry> entry = FolderById(m_db, folder)) {
                    TreeItem *item = InsertFolderItem(n, *entry);
                    if (FolderHasChildren(m_db, folder))
                        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
                }
            });
        }
    } else if (f) {
        RemoveTreeItem(f);
    }
    RefreshChildFlag(FindFolderItem(oldParent));
    RefreshChildFlag(FindFolderItem(newParent));
}

void CAddressTreeCtrl::UpdateAddressItem(const AddressEntry &address)
{
    TreeItem *item = FindAddressItem(address.id);
    if (!item)
        return;
    *item->address() = address;
    item->refresh();
}

TreeItem *CAddressTreeCtrl::SelectedItem() const
{
    const QList<QTreeWidgetItem *> items = selectedItems();
    return items.isEmpty() ? nullptr : static_cast<TreeItem *>(items.first());
}

void CAddressTreeCtrl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        if (TreeItem *item = SelectedItem())
            emit deletePressed(item);
        return;
    }
    if (event->key() == Qt::Key_F1) {
        emit helpRequested(12);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
