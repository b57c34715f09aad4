#include "textcompare.h"
#include "addresstree.h"
#include "addressrecords.h"
#include "dberror.h"
#include "dragcursors.h"
#include "icons.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
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
    copy->m_loaded = m_loaded;
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
    initDrag();
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
    // A failure here is reported once by the caller (message 8), so it is
    // not reported on its own.
    try {
        for (const FolderEntry &f : SubfoldersOf(m_db, -1)) {
            auto *item = new TreeItem(f);
            if (FolderHasChildren(m_db, f.id))
                item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            addTopLevelItem(item);
        }
    } catch (const DbException &) {
        clear();
        return 0;
    } catch (const std::bad_alloc &) {
        clear();
        return 0;
    }
    if (topLevelItemCount() > 0) {
        auto *top = static_cast<TreeItem *>(topLevelItem(0));
        top->setExpanded(true);
        LoadChildren(top); // read even when the root is empty and opens without a signal
    }
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
        if (!c->isFolder() || CompareTexts(c->folder()->name, folder.name) >= 0)
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
        if (!c->isFolder() && CompareTexts(c->address()->name, address.name) >= 0)
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
    if (has)
        ChildrenAppeared(item);
}

void CAddressTreeCtrl::ChildrenAppeared(TreeItem *item)
{
    if (!item || !item->isFolder() || item->childCount() > 0)
        return;
    item->forgetEmptyChildren();
    if (item->isExpanded())
        LoadChildren(item); // an open folder shows them at once
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
        if (f && n->childrenLoaded()) {
            TreeItem *copy = f->cloneTree();
            copy->folder()->parent = newParent;
            int pos = 0;
            for (; pos < n->childCount(); ++pos) {
                auto *c = static_cast<TreeItem *>(n->child(pos));
                if (!c->isFolder() || CompareTexts(c->folder()->name, copy->folder()->name) >= 0)
                    break;
            }
            n->insertChild(pos, copy);
            RemoveTreeItem(f);
        } else if (f) {
            RemoveTreeItem(f);
        } else if (n->childrenLoaded()) {
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
    if (m_dragging) {
        if (event->key() == Qt::Key_Escape)
            CancelDrag();
        else if (event->key() == Qt::Key_Control)
            DragTo(m_dragPos, true);
        return; // other keys wait until the drag is over
    }
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

// Drag and drop ---------------------------------------------------------------

void CAddressTreeCtrl::initDrag()
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    m_dragTimer = new QTimer(this);
    m_dragTimer->setInterval(100);
    connect(m_dragTimer, &QTimer::timeout, this, &CAddressTreeCtrl::dragTick);
}

TreeItem *CAddressTreeCtrl::DropTarget(const TreeItem *dragged, TreeItem *hover, bool copy)
{
    if (!hover || !dragged || !dragged->parent())
        return nullptr;
    auto folderOf = [](TreeItem *item) {
        return item->isFolder() ? item : static_cast<TreeItem *>(item->parent());
    };
    if (dragged->isFolder()) {
        if (hover == dragged || hover == dragged->parent())
            return nullptr;
        for (QTreeWidgetItem *p = hover; p; p = p->parent())
            if (p == dragged)
                return nullptr; // the dragged folder itself or anything below it
        TreeItem *folder = folderOf(hover);
        if (!folder || folder == dragged || folder == dragged->parent())
            return nullptr;
        return folder;
    }
    TreeItem *folder = folderOf(hover);
    if (!folder)
        return nullptr;
    if (folder->folder()->id == dragged->address()->folder)
        return copy ? folder : nullptr; // its own folder only takes a copy
    return folder;
}

int CAddressTreeCtrl::DragCursorFor(const TreeItem *dragged, const TreeItem *target, bool copy)
{
    if (!dragged || !target)
        return CURSOR_NO_DROP;
    if (dragged->isFolder())
        return copy ? CURSOR_FOLDER_COPY : CURSOR_FOLDER_MOVE;
    return copy ? CURSOR_ADDRESS_COPY : CURSOR_ADDRESS_MOVE;
}

void CAddressTreeCtrl::startDrag(Qt::DropActions)
{
    // The tree reports the beginning of a drag: the item under the press.
    if (auto *item = static_cast<TreeItem *>(currentItem()))
        BeginDrag(item);
}

void CAddressTreeCtrl::BeginDrag(TreeItem *item)
{
    if (m_dragging || !item || !m_dropHandler)
        return;
    setFocus(Qt::MouseFocusReason);
    m_dragged = item;
    m_target = nullptr;
    clearSelection();
    QFont bold = font();
    bold.setBold(true);
    item->setFont(0, bold);
    if (viewport()->isVisible())
        viewport()->grabMouse();
    m_hadCursor = viewport()->testAttribute(Qt::WA_SetCursor);
    m_savedCursor = viewport()->cursor();
    m_dragging = true;
    m_copy = false;
    m_dragPos = viewport()->mapFromGlobal(QCursor::pos());
    m_cursorId = CURSOR_NO_DROP;
    viewport()->setCursor(DragCursor(m_cursorId));
    m_dragTimer->start();
}

void CAddressTreeCtrl::setDropHighlight(TreeItem *item)
{
    if (item == m_highlighted)
        return;
    if (m_highlighted)
        m_highlighted->setData(0, Qt::BackgroundRole, QVariant());
    m_highlighted = item;
    if (m_highlighted)
        m_highlighted->setBackground(0, palette().highlight());
}

void CAddressTreeCtrl::DragTo(const QPoint &viewportPos, bool copy)
{
    if (!m_dragging)
        return;
    m_dragPos = viewportPos;
    m_copy = copy;
    m_target = DropTarget(m_dragged, static_cast<TreeItem *>(itemAt(viewportPos)), copy);
    const int cursor = DragCursorFor(m_dragged, m_target, copy);
    if (cursor != m_cursorId) {
        m_cursorId = cursor;
        viewport()->setCursor(DragCursor(cursor));
    }
    setDropHighlight(m_target);
}

void CAddressTreeCtrl::dragTick()
{
    if (!m_dragging)
        return;
    // Near the top or bottom edge the tree scrolls, so far items can be reached.
    const int edge = 12;
    QScrollBar *bar = verticalScrollBar();
    if (m_dragPos.y() < edge && m_dragPos.y() >= -edge)
        bar->setValue(bar->value() - bar->singleStep());
    else if (m_dragPos.y() > viewport()->height() - edge && m_dragPos.y() <= viewport()->height() + edge)
        bar->setValue(bar->value() + bar->singleStep());
    DragTo(m_dragPos, QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier));
}

void CAddressTreeCtrl::endDragState()
{
    m_dragTimer->stop();
    if (QWidget::mouseGrabber() == viewport())
        viewport()->releaseMouse();
    if (m_hadCursor)
        viewport()->setCursor(m_savedCursor);
    else
        viewport()->unsetCursor();
    m_dragging = false;
    m_cursorId = 0;
    setDropHighlight(nullptr);
    if (m_dragged)
        m_dragged->setData(0, Qt::FontRole, QVariant());
}

void CAddressTreeCtrl::CancelDrag()
{
    if (!m_dragging)
        return;
    TreeItem *dragged = m_dragged;
    endDragState();
    m_dragged = m_target = nullptr;
    setCurrentItem(dragged);
}

void CAddressTreeCtrl::DropAt(const QPoint &viewportPos, bool copy)
{
    if (!m_dragging)
        return;
    DragTo(viewportPos, copy);
    TreeItem *dragged = m_dragged;
    TreeItem *target = m_target;
    endDragState();
    m_dragged = m_target = nullptr;
    if (!target) {
        setCurrentItem(dragged);
        return;
    }
    // Items are found again by identifier: the operation may replace them.
    const bool folder = dragged->isFolder();
    const std::int32_t draggedId = folder ? dragged->folder()->id : dragged->address()->id;
    const std::int32_t targetId = target->folder()->id;
    const bool done = m_dropHandler(dragged, target, copy);
    TreeItem *select = done ? FindFolderItem(targetId) : folder ? FindFolderItem(draggedId) : FindAddressItem(draggedId);
    if (select)
        setCurrentItem(select);
}

void CAddressTreeCtrl::keyReleaseEvent(QKeyEvent *event)
{
    if (m_dragging) {
        if (event->key() == Qt::Key_Control)
            DragTo(m_dragPos, false);
        return;
    }
    QTreeWidget::keyReleaseEvent(event);
}

void CAddressTreeCtrl::mousePressEvent(QMouseEvent *event)
{
    if (m_dragging)
        return; // presses, the right button's included, are ignored while dragging
    QTreeWidget::mousePressEvent(event);
}

void CAddressTreeCtrl::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        DragTo(event->position().toPoint(), event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CAddressTreeCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging) {
        if (event->button() == Qt::LeftButton)
            DropAt(event->position().toPoint(), event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void CAddressTreeCtrl::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // Dotted lines join every item to its parent and to its next sibling;
    // the style then draws the expand buttons over them.
    painter->save();
    QPen pen(palette().color(QPalette::Mid));
    pen.setStyle(Qt::DotLine);
    painter->setPen(pen);
    const int indent = indentation();
    const int midY = rect.center().y();
    int cell = rect.right() + 1 - indent; // the item's own cell, rightmost
    const int x = cell + indent / 2;
    const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
    const bool hasAbove = index.parent().isValid() || index.row() > 0;
    painter->drawLine(x, hasAbove ? rect.top() : midY, x, hasNext ? rect.bottom() : midY);
    painter->drawLine(x, midY, cell + indent - 2, midY);
    for (QModelIndex a = index.parent(); a.isValid(); a = a.parent()) {
        cell -= indent;
        if (cell < rect.left())
            break;
        if (a.sibling(a.row() + 1, 0).isValid())
            painter->drawLine(cell + indent / 2, rect.top(), cell + indent / 2, rect.bottom());
    }
    painter->restore();
    QTreeWidget::drawBranches(painter, rect, index);
}
