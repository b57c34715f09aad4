#pragma once
// What the pages and commands need of the two panes: the selected address,
// the target folder of a new address, and the updates after a change.
#include "addresslist.h"
#include "addresstree.h"

class AddressPanes {
public:
    AddressPanes(CAddressTreeCtrl *tree, CAddressListCtrl *list) : m_tree(tree), m_list(list) {}
    CAddressTreeCtrl *tree() const { return m_tree; }
    CAddressListCtrl *list() const { return m_list; }

    // The address item selected in the tree; with no address item selected
    // there, the row selected in the list; else null. `treeOnly` follows the
    // pages' rule that a selected folder item means "no address".
    AddressEntry *SelectedAddress(bool folderSelectionMeansNone) const;
    // The folder of the selected tree item (a folder or an address's folder),
    // else of the list's selected row; -1 with neither.
    std::int32_t TargetFolder() const;

    // Shows a newly saved address in both panes.
    void AddressAdded(const AddressEntry &entry);
    // Shows an edited address in both panes.
    void AddressUpdated(const AddressEntry &entry);
    // Removes a deleted address from both panes.
    void AddressRemoved(std::int32_t address);

private:
    CAddressTreeCtrl *m_tree;
    CAddressListCtrl *m_list;
};
