#pragma once
// The address tree pane: every folder with its addresses, loaded level by
// level as the user expands folders. The other parts of the program keep it
// up to date through the operations below instead of reloading it.
#include "addressentry.h"

#include <QTreeWidget>
#include <memory>

class CDatabase;

// One item of the tree: a folder or an address (exactly one is set).
class TreeItem : public QTreeWidgetItem {
public:
    explicit TreeItem(const FolderEntry &folder);
    explicit TreeItem(const AddressEntry &address);
    bool isFolder() const { return m_folder != nullptr; }
    FolderEntry *folder() const { return m_folder.get(); }
    AddressEntry *address() const { return m_address.get(); }
    QVariant data(int column, int role) const override;
    // A deep copy of this item and its loaded children.
    TreeItem *cloneTree() const;
    // True once the folder's children were read (or it got children).
    bool childrenLoaded() const { return m_loaded || childCount() > 0; }
    void setChildrenLoaded() { m_loaded = true; }
    // Repaints the item after its entry changed.
    void refresh() { emitDataChanged(); }

private:
    std::unique_ptr<FolderEntry> m_folder;
    std::unique_ptr<AddressEntry> m_address;
    bool m_loaded = false;
};

class CAddressTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CAddressTreeCtrl(CDatabase &db, QWidget *parent = nullptr);

    // Loads the top level and expands it; the number of top-level items
    // (0 on failure or without a root folder).
    int Fill();

    TreeItem *FindFolderItem(std::int32_t folder) const;
    TreeItem *FindAddressItem(std::int32_t address) const;
    TreeItem *InsertFolderItem(TreeItem *parent, const FolderEntry &folder);
    TreeItem *InsertAddressItem(TreeItem *parent, const AddressEntry &address);
    void RemoveTreeItem(TreeItem *item);
    void RefreshChildFlag(TreeItem *item);
    void RenameFolderItem(const FolderEntry &folder);
    void MoveFolderItem(std::int32_t folder, std::int32_t oldParent, std::int32_t newParent);
    void UpdateAddressItem(const AddressEntry &address);

    TreeItem *SelectedItem() const;
    // Loads the children of a folder item that has none yet (expansion).
    void LoadChildren(TreeItem *item);

signals:
    void selectionChangedTo(TreeItem *item); // null: nothing selected
    void deletePressed(TreeItem *item);
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void visit(const std::function<bool(TreeItem *)> &f) const;
    CDatabase &m_db;
};
