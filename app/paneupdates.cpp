#include "paneupdates.h"

#include <unordered_map>

namespace {

// Whether a folder item takes new child items now (see TreeItem::childrenLoaded).
bool childrenLoaded(const TreeItem *item)
{
    return item && item->childrenLoaded();
}

// Puts addresses at the top of the list, each above the one before, as one
// insertion at a time would; many at once go in one step.
void prependToList(CAddressListCtrl *list, const std::vector<AddressEntry> &entries)
{
    if (entries.size() <= 32) {
        for (const AddressEntry &e : entries)
            list->InsertAddress(e);
        return;
    }
    AddressListModel *model = list->listModel();
    std::vector<AddressEntry> rows;
    rows.reserve(entries.size() + model->rows().size());
    rows.insert(rows.end(), entries.rbegin(), entries.rend());
    rows.insert(rows.end(), model->rows().begin(), model->rows().end());
    model->reset(std::move(rows));
}

// Clears a folder item's expand button once no child item is left under it.
void clearIfChildless(TreeItem *folder)
{
    if (folder && folder->childCount() == 0)
        folder->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

} // namespace

int AfterLastSubfolder(const TreeItem *folder)
{
    int pos = 0;
    while (pos < folder->childCount() && static_cast<const TreeItem *>(folder->child(pos))->isFolder())
        ++pos;
    return pos;
}

void MarkHasChildren(TreeItem *folder)
{
    if (!folder)
        return;
    folder->setChildIndicatorPolicy(folder->childCount() > 0 ? QTreeWidgetItem::DontShowIndicatorWhenChildless
                                                             : QTreeWidgetItem::ShowIndicator);
    if (auto *tree = qobject_cast<CAddressTreeCtrl *>(folder->treeWidget()))
        tree->ChildrenAppeared(folder);
}

void ShowFolderCreated(AddressPanes &panes, const FolderEntry &folder)
{
    CAddressTreeCtrl *tree = panes.tree();
    TreeItem *parent = tree->FindFolderItem(folder.parent);
    if (!parent)
        return; // shown when the pane is next filled
    if (childrenLoaded(parent))
        tree->InsertFolderItem(parent, folder);
    MarkHasChildren(parent);
    if (!parent->parent())
        parent->setExpanded(true);
}

void ShowFolderRenamed(AddressPanes &panes, const FolderEntry &folder)
{
    panes.tree()->RenameFolderItem(folder);
}

void ShowFoldersDeleted(AddressPanes &panes, const std::vector<FolderEntry> &deleted)
{
    CAddressTreeCtrl *tree = panes.tree();
    for (const FolderEntry &f : deleted) {
        if (TreeItem *item = tree->FindFolderItem(f.id))
            tree->RemoveTreeItem(item);
        tree->RefreshChildFlag(tree->FindFolderItem(f.parent));
        panes.list()->RemoveFolderAddresses(f.id);
    }
}

void ShowFolderMoved(AddressPanes &panes, std::int32_t folder, std::int32_t oldParent, std::int32_t newParent)
{
    panes.tree()->MoveFolderItem(folder, oldParent, newParent);
}

void ShowFolderDragMoved(AddressPanes &panes, TreeItem *item, TreeItem *target)
{
    FolderEntry entry = *item->folder();
    entry.parent = target->folder()->id;
    const bool hadButton =
        item->childCount() > 0 || item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
    auto *oldParent = static_cast<TreeItem *>(item->parent());
    if (childrenLoaded(target)) {
        auto *fresh = new TreeItem(entry);
        if (hadButton)
            fresh->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        target->insertChild(AfterLastSubfolder(target), fresh);
    }
    panes.tree()->RemoveTreeItem(item);
    MarkHasChildren(target);
    clearIfChildless(oldParent);
}

void ShowFolderCopied(AddressPanes &panes, const FolderCopyResult &copy, TreeItem *target)
{
    prependToList(panes.list(), copy.addresses);
    if (childrenLoaded(target)) {
        auto *item = new TreeItem(copy.folder);
        if (copy.hasChildren)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        target->insertChild(AfterLastSubfolder(target), item);
    }
    MarkHasChildren(target);
}

void ShowAddressMoved(AddressPanes &panes, const AddressEntry &moved, std::int32_t oldFolder)
{
    CAddressTreeCtrl *tree = panes.tree();
    panes.list()->SetAddressFolder(moved.id, moved.folder);
    if (TreeItem *destination = tree->FindFolderItem(moved.folder)) {
        if (childrenLoaded(destination))
            tree->InsertAddressItem(destination, moved);
        else
            tree->RefreshChildFlag(destination);
    }
    if (TreeItem *old = tree->FindFolderItem(oldFolder)) {
        for (int i = 0; i < old->childCount(); ++i) {
            auto *child = static_cast<TreeItem *>(old->child(i));
            if (!child->isFolder() && child->address()->id == moved.id) {
                tree->RemoveTreeItem(child);
                break;
            }
        }
        tree->RefreshChildFlag(old);
    }
}

void ShowAddressDragMoved(AddressPanes &panes, TreeItem *item, TreeItem *target)
{
    AddressEntry entry = *item->address();
    entry.folder = target->folder()->id;
    auto *oldParent = static_cast<TreeItem *>(item->parent());
    if (childrenLoaded(target))
        target->addChild(new TreeItem(entry));
    panes.list()->SetAddressFolder(entry.id, entry.folder);
    panes.tree()->RemoveTreeItem(item);
    MarkHasChildren(target);
    clearIfChildless(oldParent);
}

void ShowAddressCopied(AddressPanes &panes, const AddressEntry &copy, bool dragged)
{
    CAddressTreeCtrl *tree = panes.tree();
    panes.list()->InsertAddress(copy);
    TreeItem *destination = tree->FindFolderItem(copy.folder);
    if (!destination)
        return;
    if (!childrenLoaded(destination)) {
        if (dragged)
            MarkHasChildren(destination);
        else
            tree->RefreshChildFlag(destination);
    } else if (dragged) {
        destination->addChild(new TreeItem(copy));
    } else {
        tree->InsertAddressItem(destination, copy);
    }
}

void ShowMassMove(AddressPanes &panes, const std::vector<MassMoveChange> &changes,
                  const std::vector<AddressEntry> &entries, std::int32_t source, std::int32_t destination)
{
    CAddressTreeCtrl *tree = panes.tree();
    std::unordered_map<std::int32_t, const AddressEntry *> byId;
    for (const AddressEntry &e : entries)
        byId.emplace(e.id, &e);
    for (const MassMoveChange &c : changes) {
        panes.list()->SetAddressFolder(c.address, c.to);
        AddressEntry entry;
        bool known = false;
        if (TreeItem *item = tree->FindAddressItem(c.address)) {
            entry = *item->address(); // keeps the entry's phone and e-mail caches
            known = true;
            tree->RemoveTreeItem(item);
        } else if (auto it = byId.find(c.address); it != byId.end()) {
            entry = *it->second;
            known = true;
        }
        TreeItem *to = tree->FindFolderItem(c.to);
        if (known && childrenLoaded(to)) {
            entry.folder = c.to;
            tree->InsertAddressItem(to, entry);
        }
    }
    tree->RefreshChildFlag(tree->FindFolderItem(source));
    tree->RefreshChildFlag(tree->FindFolderItem(destination));
}
