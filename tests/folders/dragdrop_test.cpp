// Drag and drop in the address tree pane: target rules, cursors, copy mode,
// questions, the operations, the panes and the selection afterwards.
#include "addressrecords.h"
#include "dragcursors.h"
#include "folderops.h"
#include "folderstest.h"
#include "treedrop.h"

#include <QApplication>
#include <QTest>

namespace {

class DragDrop : public PaneBook {
protected:
    void SetUp() override
    {
        PaneBook::SetUp();
        a = folder(kRoot, QStringLiteral("A"));
        a1 = folder(a, QStringLiteral("A1"));
        b = folder(kRoot, QStringLiteral("B"));
        anna = address(a, QStringLiteral("Anna"), {{QStringLiteral("111"), QString()}, {QStringLiteral("222"), QString()}},
                       {{QStringLiteral("anna@x.cz"), QString()}});
        deep = address(a1, QStringLiteral("Deep"));
        bert = address(b, QStringLiteral("Bert"));
        fillPanes();
        InstallTreeDrop(&panes);
        open(kRoot);
        open(a);
        open(a1);
        open(b);
    }
    TreeItem *folderItem(std::int32_t id) { return tree->FindFolderItem(id); }
    TreeItem *addressItem(std::int32_t id) { return tree->FindAddressItem(id); }
    QPoint at(TreeItem *item)
    {
        tree->scrollToItem(item);
        return tree->visualItemRect(item).center();
    }
    TreeItem *selected() { return tree->SelectedItem(); }
    // The pointer moves over the viewport with the left button held.
    void move(const QPoint &pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(pos), tree->viewport()->mapToGlobal(QPointF(pos)), Qt::NoButton,
                          Qt::LeftButton, modifiers);
        QApplication::sendEvent(tree->viewport(), &event);
    }

    std::int32_t a = -1, a1 = -1, b = -1, anna = -1, deep = -1, bert = -1;
};

TEST_F(DragDrop, TargetRules)
{
    TreeItem *root = folderItem(kRoot), *itemA = folderItem(a), *itemA1 = folderItem(a1), *itemB = folderItem(b);
    TreeItem *itemAnna = addressItem(anna), *itemDeep = addressItem(deep), *itemBert = addressItem(bert);
    // The top-level item is never dragged anywhere.
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(root, itemB, false), nullptr);
    // A folder: not onto itself, its parent or anything below it.
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, itemA, false), nullptr);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, root, false), nullptr);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, itemA1, true), nullptr);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, itemDeep, false), nullptr);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, itemB, false), itemB);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA, itemBert, true), itemB); // an address means its folder
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA1, root, false), root);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemA1, itemAnna, false), nullptr); // Anna's folder is A1's parent
    // An address: any other folder; its own folder only for a copy.
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, itemB, false), itemB);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, itemBert, false), itemB);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, itemA, false), nullptr);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, itemA, true), itemA);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, itemA1, false), itemA1);
    EXPECT_EQ(CAddressTreeCtrl::DropTarget(itemAnna, nullptr, true), nullptr);
    // Cursors.
    EXPECT_EQ(CAddressTreeCtrl::DragCursorFor(itemA, itemB, false), 356);
    EXPECT_EQ(CAddressTreeCtrl::DragCursorFor(itemA, itemB, true), 357);
    EXPECT_EQ(CAddressTreeCtrl::DragCursorFor(itemAnna, itemB, false), 359);
    EXPECT_EQ(CAddressTreeCtrl::DragCursorFor(itemAnna, itemB, true), 361);
    EXPECT_EQ(CAddressTreeCtrl::DragCursorFor(itemAnna, nullptr, true), 360);
    for (int id : {356, 357, 359, 360, 361})
        EXPECT_FALSE(DragCursor(id).pixmap().isNull()) << id;
}

TEST_F(DragDrop, MoveAnAddressWithTheMouse)
{
    TreeItem *itemAnna = addressItem(anna);
    tree->BeginDrag(itemAnna);
    ASSERT_TRUE(tree->IsDragging());
    EXPECT_TRUE(itemAnna->font(0).bold());
    EXPECT_EQ(selected(), nullptr); // the selection is cleared while dragging
    move(at(folderItem(b)));
    EXPECT_EQ(tree->DragTargetItem(), folderItem(b));
    EXPECT_EQ(tree->DragCursorId(), 359);
    EXPECT_EQ(tree->viewport()->cursor().pixmap().cacheKey(), DragCursor(359).pixmap().cacheKey());
    // Right button presses and releases are ignored.
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, at(folderItem(a)));
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, at(folderItem(a)));
    EXPECT_TRUE(tree->IsDragging());
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at(addressItem(bert)));
    EXPECT_FALSE(tree->IsDragging());
    EXPECT_EQ(rec.Ids(), std::vector<int>{59397});
    EXPECT_EQ(stored(anna).folder, b);
    // Both panes follow; the target is selected.
    TreeItem *itemB = folderItem(b);
    EXPECT_EQ(childTexts(itemB), (QStringList{QStringLiteral("Bert"), QStringLiteral("Anna")})); // at the end
    EXPECT_EQ(childTexts(folderItem(a)), QStringList{QStringLiteral("A1")});
    EXPECT_EQ(list->listModel()->entry(list->listModel()->findRow(anna)).folder, b);
    EXPECT_EQ(selected(), itemB);
    EXPECT_FALSE(addressItem(anna)->font(0).bold());
    EXPECT_EQ(tree->DragCursorId(), 0);
}

TEST_F(DragDrop, CopyAnAddressIntoItsOwnFolderWithCtrl)
{
    TreeItem *itemAnna = addressItem(anna);
    tree->BeginDrag(itemAnna);
    tree->DragTo(at(folderItem(a)), false);
    EXPECT_EQ(tree->DragTargetItem(), nullptr);
    EXPECT_EQ(tree->DragCursorId(), 360);
    QTest::keyPress(tree, Qt::Key_Control);
    EXPECT_EQ(tree->DragTargetItem(), folderItem(a));
    EXPECT_EQ(tree->DragCursorId(), 361);
    QTest::keyRelease(tree, Qt::Key_Control);
    EXPECT_EQ(tree->DragCursorId(), 360);
    move(at(folderItem(a)), Qt::ControlModifier);
    EXPECT_EQ(tree->DragCursorId(), 361);
    tree->DropAt(at(folderItem(a)), true);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59395});
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(a)), 2);
    EXPECT_EQ(count(QStringLiteral("TEL")), 4);
    EXPECT_EQ(count(QStringLiteral("EMAIL")), 2);
    EXPECT_EQ(childTexts(folderItem(a)), (QStringList{QStringLiteral("A1"), QStringLiteral("Anna"), QStringLiteral("Anna")}));
    EXPECT_EQ(list->listModel()->rowCount(), 4);
    EXPECT_EQ(list->listModel()->entry(0).name, QStringLiteral("Anna"));
    EXPECT_NE(list->listModel()->entry(0).id, anna);
    EXPECT_EQ(selected(), folderItem(a));
}

TEST_F(DragDrop, AnsweringNoChangesNothingAndReselectsTheDragged)
{
    tree->BeginDrag(addressItem(anna));
    rec.Queue(TVB_NO);
    tree->DropAt(at(folderItem(b)), false);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59397});
    EXPECT_EQ(stored(anna).folder, a);
    EXPECT_EQ(selected(), addressItem(anna));
}

TEST_F(DragDrop, MoveAFolder)
{
    tree->BeginDrag(folderItem(a1));
    tree->DragTo(at(folderItem(b)), false);
    EXPECT_EQ(tree->DragCursorId(), 356);
    tree->DropAt(at(addressItem(bert)), false);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59396});
    EXPECT_EQ(parentOf(a1), b);
    TreeItem *moved = folderItem(a1);
    ASSERT_TRUE(moved);
    EXPECT_EQ(static_cast<TreeItem *>(moved->parent())->folder()->id, b);
    // A fresh collapsed item after B's subfolders, with its expand button.
    EXPECT_EQ(childTexts(folderItem(b)), (QStringList{QStringLiteral("A1"), QStringLiteral("Bert")}));
    EXPECT_FALSE(moved->isExpanded());
    EXPECT_EQ(moved->childCount(), 0);
    EXPECT_EQ(moved->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(childTexts(folderItem(a)), QStringList{QStringLiteral("Anna")});
    EXPECT_EQ(selected(), folderItem(b));
    moved->setExpanded(true);
    EXPECT_EQ(childTexts(moved), QStringList{QStringLiteral("Deep")});
}

TEST_F(DragDrop, CopyAFolderWithEverythingInIt)
{
    tree->BeginDrag(folderItem(a));
    tree->DragTo(at(folderItem(b)), true);
    EXPECT_EQ(tree->DragCursorId(), 357);
    tree->DropAt(at(folderItem(b)), true);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59394});
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 6);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 5);
    EXPECT_EQ(count(QStringLiteral("TEL")), 4);
    EXPECT_EQ(parentOf(a), kRoot); // the original stays
    EXPECT_EQ(childTexts(folderItem(b)), (QStringList{QStringLiteral("A"), QStringLiteral("Bert")}));
    TreeItem *copy = static_cast<TreeItem *>(folderItem(b)->child(0));
    EXPECT_NE(copy->folder()->id, a);
    EXPECT_EQ(copy->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(list->listModel()->rowCount(), 5);
    EXPECT_EQ(selected(), folderItem(b));
}

TEST_F(DragDrop, RefusedDropOnOwnSubfolder)
{
    TreeItem *itemA = folderItem(a);
    tree->BeginDrag(itemA);
    move(at(folderItem(a1)));
    EXPECT_EQ(tree->DragTargetItem(), nullptr);
    EXPECT_EQ(tree->DragCursorId(), 360);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::ControlModifier, at(addressItem(deep)));
    EXPECT_TRUE(rec.Empty());
    EXPECT_FALSE(tree->IsDragging());
    EXPECT_EQ(parentOf(a), kRoot);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 4);
    EXPECT_EQ(selected(), itemA);
    EXPECT_FALSE(itemA->font(0).bold());
}

TEST_F(DragDrop, SameNameInTargetIsRefusedBeforeAsking)
{
    folder(b, QStringLiteral("a1"));
    fillPanes();
    open(kRoot);
    open(a);
    open(b);
    tree->BeginDrag(folderItem(a1));
    tree->DropAt(at(folderItem(b)), true);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59398});
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 5);
    EXPECT_EQ(selected(), folderItem(a1));
}

TEST_F(DragDrop, EscapeCancels)
{
    TreeItem *itemAnna = addressItem(anna);
    tree->BeginDrag(itemAnna);
    tree->DragTo(at(folderItem(b)), false);
    EXPECT_NE(folderItem(b)->data(0, Qt::BackgroundRole), QVariant()); // highlighted as drop target
    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_FALSE(tree->IsDragging());
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(stored(anna).folder, a);
    EXPECT_EQ(folderItem(b)->data(0, Qt::BackgroundRole), QVariant());
    EXPECT_FALSE(itemAnna->font(0).bold());
    EXPECT_EQ(selected(), itemAnna);
}

TEST_F(DragDrop, VanishedFolderIsReportedAfterRollback)
{
    tree->BeginDrag(folderItem(a1));
    DeleteFolderTree(db(), a1); // removed behind the pane's back
    tree->DropAt(at(folderItem(b)), false);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{59396, 8}));
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(childTexts(folderItem(b)), QStringList{QStringLiteral("Bert")});
}

TEST_F(DragDrop, PressAndMoveStartsTheDrag)
{
    TreeItem *itemBert = addressItem(bert);
    const QPoint from = at(itemBert);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, from);
    // Moves with the button held, beyond the drag distance.
    for (int step = 1; step <= 4 && !tree->IsDragging(); ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, -step * QApplication::startDragDistance())),
                         tree->viewport()->mapToGlobal(QPointF(from)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &move);
    }
    ASSERT_TRUE(tree->IsDragging());
    EXPECT_EQ(tree->DraggedItem(), itemBert);
    move(at(folderItem(a1)));
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at(folderItem(a1)));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59397});
    EXPECT_EQ(stored(bert).folder, a1);
}

} // namespace
