#pragma once
// The address tree pane: every folder with its addresses, loaded level by
// level as the user expands folders. The other parts of the program keep it
// up to date through the operations below instead of reloading it.
#include "addressentry.h"

#include <QCursor>
#include <QTreeWidget>
#include <functional>
#include <memory>

class CDatabase;
class QTimer;

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
    // The one rule every pane update follows: a folder's children are loaded
    // once they were read from the database (even when there were none) or
    // the item got children. A loaded folder takes new items at once; one
    // that is not loaded only shows its expand button and reads everything
    // from the database when it is first expanded.
    bool childrenLoaded() const { return m_loaded || childCount() > 0; }
    void setChildrenLoaded() { m_loaded = true; }
    // An item without child items that the database says has children is
    // read again on its next expansion.
    void forgetEmptyChildren()
    {
        if (childCount() == 0)
            m_loaded = false;
    }
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
    // A folder item without child items now has children in the database:
    // they are read on its next expansion, or at once when it is open.
    void ChildrenAppeared(TreeItem *item);
    void RenameFolderItem(const FolderEntry &folder);
    void MoveFolderItem(std::int32_t folder, std::int32_t oldParent, std::int32_t newParent);
    void UpdateAddressItem(const AddressEntry &address);

    TreeItem *SelectedItem() const;
    // Loads the children of a folder item that has none yet (expansion).
    void LoadChildren(TreeItem *item);

    // Drag and drop: a folder or an address dragged onto a folder (or onto
    // an address, meaning its folder) is moved there, or copied while Ctrl is
    // held. The handler asks and does the work after the drop; it returns
    // true when the operation was carried out (the target is then selected,
    // otherwise the dragged item). It must not touch `dragged` after the
    // operation removed it. Without a handler no drag starts.
    using DropHandler = std::function<bool(TreeItem *dragged, TreeItem *target, bool copy)>;
    void SetDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }
    // The folder item a drop of `dragged` on `hover` lands in, or null.
    static TreeItem *DropTarget(const TreeItem *dragged, TreeItem *hover, bool copy);
    // The cursor id for a drag of `dragged` with or without a target.
    static int DragCursorFor(const TreeItem *dragged, const TreeItem *target, bool copy);
    void BeginDrag(TreeItem *item);
    // Pointer moves to a position of the viewport while dragging.
    void DragTo(const QPoint &viewportPos, bool copy);
    // Left button released at a position of the viewport while dragging.
    void DropAt(const QPoint &viewportPos, bool copy);
    void CancelDrag();
    bool IsDragging() const { return m_dragging; }
    TreeItem *DraggedItem() const { return m_dragging ? m_dragged : nullptr; }
    TreeItem *DragTargetItem() const { return m_dragging ? m_target : nullptr; }
    int DragCursorId() const { return m_cursorId; }

signals:
    void selectionChangedTo(TreeItem *item); // null: nothing selected
    void deletePressed(TreeItem *item);
    void helpRequested(int topic);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;

private:
    void visit(const std::function<bool(TreeItem *)> &f) const;
    void initDrag();
    void dragTick();
    void setDropHighlight(TreeItem *item);
    void endDragState();
    CDatabase &m_db;

    DropHandler m_dropHandler;
    QTimer *m_dragTimer = nullptr;
    bool m_dragging = false;
    bool m_copy = false;
    TreeItem *m_dragged = nullptr;
    TreeItem *m_target = nullptr;
    TreeItem *m_highlighted = nullptr;
    QPoint m_dragPos;
    int m_cursorId = 0;
    QCursor m_savedCursor;
    bool m_hadCursor = false;
};
