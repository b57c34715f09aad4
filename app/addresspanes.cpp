#include "addresspanes.h"

AddressEntry *AddressPanes::SelectedAddress(bool folderSelectionMeansNone) const
{
    if (TreeItem *item = m_tree->SelectedItem()) {
        if (!item->isFolder())
            return item->address();
        if (folderSelectionMeansNone)
            return nullptr;
    }
    return const_cast<AddressEntry *>(m_list->SelectedEntry());
}

std::int32_t AddressPanes::TargetFolder() const
{
    if (TreeItem *item = m_tree->SelectedItem())
        return item->isFolder() ? item->folder()->id : item->address()->folder;
    if (const AddressEntry *e = m_list->SelectedEntry())
        return e->folder;
    return -1;
}

void AddressPanes::AddressAdded(const AddressEntry &entry)
{
    m_list->InsertAddress(entry);
    if (TreeItem *folder = m_tree->FindFolderItem(entry.folder)) {
        // A folder whose children were never read gets its expand button and
        // reads the new address with the others when opened; an opened one
        // (even an empty one) shows it at once.
        if (!folder->childrenLoaded())
            folder->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        else
            m_tree->InsertAddressItem(folder, entry);
    }
}

void AddressPanes::AddressUpdated(const AddressEntry &entry)
{
    m_tree->UpdateAddressItem(entry);
    m_list->UpdateAddressItem(entry);
}

void AddressPanes::AddressRemoved(std::int32_t address)
{
    if (TreeItem *item = m_tree->FindAddressItem(address)) {
        auto *parent = static_cast<TreeItem *>(item->parent());
        m_tree->RemoveTreeItem(item);
        m_tree->RefreshChildFlag(parent);
    }
    m_list->RemoveAddress(address);
}
