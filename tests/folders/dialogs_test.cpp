// The folder dialogs, the address move/copy and mass-move dialogs, the
// folder picker and the commands of the main window, driven as a user would.
#include "addressdialogs.h"
#include "addressmove.h"
#include "addressrecords.h"
#include "commands.h"
#include "folderdialogs.h"
#include "folderops.h"
#include "folderstest.h"
#include "folderwidgets.h"
#include "mainframe.h"
#include "searchdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

class Dialogs : public PaneBook {
protected:
    static bool select(FolderChooserTree *t, std::int32_t folder) { return t->SelectFolder(folder); }
};

// Chooser trees -----------------------------------------------------------------

TEST_F(Dialogs, ChooserTreeLoadsLazilyWithExpandButtons)
{
    const std::int32_t b = folder(kRoot, QStringLiteral("beta"));
    const std::int32_t a = folder(kRoot, QStringLiteral("Alpha"));
    folder(a, QStringLiteral("Deep"));
    address(b, QStringLiteral("Only an address"));
    FolderChooserTree chooser(db());
    ASSERT_TRUE(chooser.Fill());
    ASSERT_EQ(chooser.topLevelItemCount(), 1);
    QTreeWidgetItem *root = chooser.topLevelItem(0);
    EXPECT_TRUE(root->isExpanded());
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Alpha")); // by name, ignoring case
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("beta"));
    // Folders only: the button shows for a subfolder, not for an address.
    EXPECT_EQ(root->child(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(root->child(1)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(root->child(0)->childCount(), 0);
    root->child(0)->setExpanded(true);
    EXPECT_EQ(root->child(0)->childCount(), 1);
    // Loaded once: a later folder does not appear by collapsing and expanding.
    folder(a, QStringLiteral("Later"));
    root->child(0)->setExpanded(false);
    root->child(0)->setExpanded(true);
    EXPECT_EQ(root->child(0)->childCount(), 1);
    EXPECT_EQ(FolderChooserTree::PathOf(root->child(0)->child(0)), QStringLiteral("Addresses/Alpha/Deep"));
    const FolderEntry deep = FolderChooserTree::FolderOf(root->child(0)->child(0));
    EXPECT_EQ(deep.parent, a);
}

TEST_F(Dialogs, PickerOpensAtTheInitialFolderAndReturnsItsSet)
{
    const std::int32_t top = folder(kRoot, QStringLiteral("Top"));
    const std::int32_t a = folder(top, QStringLiteral("A"));
    const std::int32_t a1 = folder(a, QStringLiteral("A1"));
    const std::int32_t b = folder(top, QStringLiteral("B"));
    {
        CFolderPickerDlg picker(db(), a1, false);
        ASSERT_TRUE(picker.IsUsable());
        EXPECT_FALSE(picker.includeBox()->isChecked());
        ASSERT_TRUE(picker.tree()->SelectedFolder());
        EXPECT_EQ(picker.tree()->SelectedFolder()->id, a1);
        picker.accept();
        EXPECT_EQ(picker.result(), QDialog::Accepted);
        EXPECT_EQ(picker.FolderId(), a1);
        EXPECT_EQ(picker.PathText(), QStringLiteral("Addresses/Top/A/A1"));
        EXPECT_EQ(picker.FolderIds(), (std::set<std::int32_t>{a1}));
    }
    {
        CFolderPickerDlg picker(db(), top, true);
        EXPECT_TRUE(picker.includeBox()->isChecked());
        picker.accept();
        EXPECT_TRUE(picker.IncludeSubfolders());
        EXPECT_EQ(picker.FolderIds(), (std::set<std::int32_t>{top, a, a1, b}));
        EXPECT_EQ(picker.PathText(), QStringLiteral("Addresses/Top"));
    }
    {
        CFolderPickerDlg picker(db(), top, true);
        picker.includeBox()->setChecked(false);
        picker.accept();
        EXPECT_EQ(picker.FolderIds().size(), 1u);
    }
    {
        CFolderPickerDlg picker(db(), 4711, true); // no such folder: nothing selected
        EXPECT_FALSE(picker.tree()->SelectedFolder());
        picker.accept();
        EXPECT_EQ(rec.OnlyId(), 59408);
        EXPECT_NE(picker.result(), QDialog::Accepted);
    }
}

TEST_F(Dialogs, DialogsWithoutARootFolderEndCancelled)
{
    db().ExecuteRaw(QStringLiteral("DELETE FROM FOLDER"));
    CNewFolderDlg dialog(db(), &panes);
    EXPECT_FALSE(dialog.IsUsable());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    CFolderPickerDlg picker(db(), kRoot, false);
    EXPECT_EQ(picker.exec(), QDialog::Rejected);
}

// New, rename, delete, move -------------------------------------------------------

TEST_F(Dialogs, NewFolderGoesToItsSortedPlaceInTheOpenTree)
{
    folder(kRoot, QStringLiteral("Gamma"));
    fillPanes();
    address(kRoot, QStringLiteral("Adam"));
    TreeItem *root = open(kRoot);
    CNewFolderDlg dialog(db(), &panes);
    dialog.nameEdit()->setText(QStringLiteral("  beta "));
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 14); // no folder chosen yet
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    rec.Clear();
    ASSERT_TRUE(select(dialog.tree(), kRoot));
    dialog.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(childTexts(root).mid(0, 2), (QStringList{QStringLiteral("beta"), QStringLiteral("Gamma")}));

    CNewFolderDlg again(db(), &panes);
    again.nameEdit()->setText(QStringLiteral("BETA"));
    select(again.tree(), kRoot);
    again.accept();
    EXPECT_EQ(rec.OnlyId(), 13);
    EXPECT_EQ(again.focusWidget(), again.nameEdit());
    EXPECT_NE(again.result(), QDialog::Accepted);
    rec.Clear();
    again.nameEdit()->setText(QStringLiteral("x") + QChar(u'\0'));
    again.accept();
    ASSERT_EQ(rec.OnlyId(), 11);
    EXPECT_TRUE(rec.Records()[0].text.endsWith(QStringLiteral("The disallowed characters are: U+0000 (NUL)")));
}

TEST_F(Dialogs, NewFolderUnderAClosedFolderOnlyShowsTheButton)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    fillPanes();
    open(kRoot);
    TreeItem *item = tree->FindFolderItem(a);
    ASSERT_TRUE(item);
    EXPECT_NE(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    CNewFolderDlg dialog(db(), &panes);
    dialog.nameEdit()->setText(QStringLiteral("Inner"));
    select(dialog.tree(), a);
    dialog.accept();
    EXPECT_EQ(item->childCount(), 0);
    EXPECT_EQ(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    item->setExpanded(true);
    EXPECT_EQ(childTexts(item), QStringList{QStringLiteral("Inner")});
}

TEST_F(Dialogs, RenameKeepsThePlaceAndRefusesCaseOnlyChanges)
{
    const std::int32_t ab = folder(kRoot, QStringLiteral("Ab"));
    folder(kRoot, QStringLiteral("Cd"));
    fillPanes();
    TreeItem *root = open(kRoot);
    CRenameFolderDlg dialog(db(), &panes);
    select(dialog.tree(), ab);
    dialog.nameEdit()->setText(QStringLiteral("AB"));
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 16);
    rec.Clear();
    dialog.nameEdit()->setText(QStringLiteral("Ab"));
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 17);
    rec.Clear();
    dialog.nameEdit()->setText(QStringLiteral(" Zz "));
    dialog.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(FolderById(db(), ab)->name, QStringLiteral("Zz"));
    EXPECT_EQ(childTexts(root), (QStringList{QStringLiteral("Zz"), QStringLiteral("Cd")}));
}

TEST_F(Dialogs, DeleteDialogAsksOnlyForAFolderWithContents)
{
    const std::int32_t empty = folder(kRoot, QStringLiteral("Empty"));
    const std::int32_t full = folder(kRoot, QStringLiteral("Full"));
    const std::int32_t inner = folder(full, QStringLiteral("Inner"));
    address(inner, QStringLiteral("Deep"));
    const std::int32_t kept = address(kRoot, QStringLiteral("Kept"));
    fillPanes();
    TreeItem *root = open(kRoot);
    open(full);
    open(inner);
    EXPECT_EQ(list->listModel()->rowCount(), 2);

    CDeleteFolderDlg dialog(db(), &panes);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 25);
    rec.Clear();
    select(dialog.tree(), kRoot);
    dialog.accept();
    ASSERT_EQ(rec.OnlyId(), 27);
    EXPECT_EQ(rec.Records()[0].text, QStringLiteral("You are attempting to delete the root folder. This is not allowed. "));
    rec.Clear();
    select(dialog.tree(), empty);
    dialog.accept();
    EXPECT_TRUE(rec.Empty()); // an empty folder goes without a question
    EXPECT_FALSE(FolderById(db(), empty));

    CDeleteFolderDlg second(db(), &panes);
    select(second.tree(), full);
    rec.Queue(TVB_NO);
    second.accept();
    EXPECT_EQ(rec.OnlyId(), 26);
    EXPECT_TRUE(FolderById(db(), full));
    EXPECT_NE(second.result(), QDialog::Accepted);
    rec.Clear();
    rec.Queue(TVB_YES);
    second.accept();
    EXPECT_EQ(rec.OnlyId(), 26);
    EXPECT_EQ(second.result(), QDialog::Accepted);
    EXPECT_FALSE(FolderById(db(), full));
    EXPECT_FALSE(FolderById(db(), inner));
    EXPECT_FALSE(tree->FindFolderItem(inner));
    EXPECT_FALSE(tree->FindFolderItem(full));
    EXPECT_EQ(list->listModel()->rowCount(), 1);
    EXPECT_EQ(list->listModel()->entry(0).id, kept);
    EXPECT_EQ(childTexts(root), QStringList{QStringLiteral("Kept")});
}

TEST_F(Dialogs, FailedDeletionKeepsDatabaseAndPanes)
{
    const std::int32_t top = folder(kRoot, QStringLiteral("Top"));
    const std::int32_t deep = folder(top, QStringLiteral("Deep"));
    address(deep, QStringLiteral("Fine"));
    address(top, QStringLiteral("Poison"));
    fillPanes();
    open(kRoot);
    open(top);
    open(deep);
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON ADDRESS WHEN OLD.NAME = 'Poison' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    CDeleteFolderDlg dialog(db(), &panes);
    select(dialog.tree(), top);
    dialog.accept(); // question 26 answered Yes, then the failure
    EXPECT_EQ(rec.Ids(), (std::vector<int>{26, 8}));
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(FolderById(db(), deep));
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 2);
    // The panes still show what the database holds.
    EXPECT_TRUE(tree->FindFolderItem(deep));
    EXPECT_EQ(list->listModel()->rowCount(), 2);
}

TEST_F(Dialogs, DirectDeletionAsksQuestion35First)
{
    const std::int32_t empty = folder(kRoot, QStringLiteral("Empty"));
    const std::int32_t full = folder(kRoot, QStringLiteral("Full"));
    address(full, QStringLiteral("Someone"));
    fillPanes();
    open(kRoot);
    EXPECT_FALSE(DeleteFolderDirect(db(), panes, FolderEntry{kRoot, -1, QStringLiteral("Addresses")}));
    EXPECT_EQ(rec.OnlyId(), 27);
    rec.Clear();
    EXPECT_TRUE(DeleteFolderDirect(db(), panes, *FolderById(db(), empty)));
    EXPECT_EQ(rec.Ids(), std::vector<int>{35});
    EXPECT_FALSE(tree->FindFolderItem(empty));
    rec.Clear();
    rec.Queue(TVB_NO);
    EXPECT_FALSE(DeleteFolderDirect(db(), panes, *FolderById(db(), full)));
    EXPECT_EQ(rec.Ids(), std::vector<int>{35});
    rec.Clear();
    rec.Queue(TVB_YES);
    rec.Queue(TVB_NO);
    EXPECT_FALSE(DeleteFolderDirect(db(), panes, *FolderById(db(), full)));
    EXPECT_EQ(rec.Ids(), (std::vector<int>{35, 26}));
    EXPECT_TRUE(FolderById(db(), full));
    rec.Clear();
    EXPECT_TRUE(DeleteFolderDirect(db(), panes, *FolderById(db(), full)));
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 0);
    EXPECT_EQ(list->listModel()->rowCount(), 0);
}

TEST_F(Dialogs, MoveDialogChecksAndMovesTheOpenItem)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t a1 = folder(a, QStringLiteral("A1"));
    const std::int32_t a11 = folder(a1, QStringLiteral("A11"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    address(a1, QStringLiteral("Inside"));
    address(b, QStringLiteral("Bee"));
    fillPanes();
    open(kRoot);
    open(a);
    open(a1);
    open(b);
    CMoveFolderDlg dialog(db(), &panes);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 28);
    rec.Clear();
    select(dialog.folderTree(), a);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 29);
    rec.Clear();
    select(dialog.destinationTree(), a11);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 30);
    rec.Clear();
    select(dialog.folderTree(), kRoot);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 31);
    rec.Clear();
    select(dialog.folderTree(), a1);
    select(dialog.destinationTree(), a);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 32);
    rec.Clear();
    select(dialog.destinationTree(), b);
    dialog.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(parentOf(a1), b);
    TreeItem *moved = tree->FindFolderItem(a1);
    ASSERT_TRUE(moved);
    EXPECT_EQ(static_cast<TreeItem *>(moved->parent())->folder()->id, b);
    EXPECT_EQ(childTexts(tree->FindFolderItem(b)), (QStringList{QStringLiteral("A1"), QStringLiteral("Bee")}));
    EXPECT_TRUE(tree->FindFolderItem(a11)); // the loaded children went along
    EXPECT_EQ(childTexts(moved), (QStringList{QStringLiteral("A11"), QStringLiteral("Inside")}));
    EXPECT_EQ(tree->FindFolderItem(a)->childCount(), 0);
}

// Address move and copy ------------------------------------------------------------

TEST_F(Dialogs, MoveAndCopyNeedASelectedAddress)
{
    CAddressToFolderDlg move(CAddressToFolderDlg::Mode::Move, db(), &panes);
    EXPECT_EQ(move.exec(), QDialog::Rejected);
    EXPECT_EQ(rec.OnlyId(), 57354);
    rec.Clear();
    CAddressToFolderDlg copy(CAddressToFolderDlg::Mode::Copy, db(), &panes);
    EXPECT_EQ(copy.exec(), QDialog::Rejected);
    EXPECT_EQ(rec.OnlyId(), 57357);
}

TEST_F(Dialogs, MovingAnAddressUpdatesBothPanes)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"));
    address(b, QStringLiteral("Bert"));
    address(b, QStringLiteral("Adam"));
    fillPanes();
    open(kRoot);
    TreeItem *itemA = open(a);
    TreeItem *itemB = open(b);
    tree->setCurrentItem(itemA->child(0));
    CAddressToFolderDlg dialog(CAddressToFolderDlg::Mode::Move, db(), &panes);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 57355);
    rec.Clear();
    select(dialog.tree(), a);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 57356);
    rec.Clear();
    select(dialog.tree(), b);
    dialog.accept();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(stored(anna).folder, b);
    EXPECT_EQ(childTexts(itemB), (QStringList{QStringLiteral("Adam"), QStringLiteral("Anna"), QStringLiteral("Bert")}));
    EXPECT_EQ(itemA->childCount(), 0);
    EXPECT_NE(itemA->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    const int row = list->listModel()->findRow(anna);
    ASSERT_GE(row, 0);
    EXPECT_EQ(list->listModel()->entry(row).folder, b);
}

TEST_F(Dialogs, CopyIntoOwnFolderAsksFirst)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"), {{QStringLiteral("1"), QString()}});
    fillPanes();
    list->SelectAddress(anna);
    CAddressToFolderDlg dialog(CAddressToFolderDlg::Mode::Copy, db(), &panes);
    select(dialog.tree(), a);
    rec.Queue(TVB_NO);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 57359);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 1);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    rec.Clear();
    rec.Queue(TVB_YES);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 57359);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 2);
    EXPECT_EQ(count(QStringLiteral("TEL")), 2);
    ASSERT_EQ(list->listModel()->rowCount(), 2);
    EXPECT_NE(list->listModel()->entry(0).id, anna); // the copy is on top
}

TEST_F(Dialogs, VanishedAddressEndsTheDialogWithMessage8)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t anna = address(a, QStringLiteral("Anna"));
    fillPanes();
    list->SelectAddress(anna);
    CAddressToFolderDlg dialog(CAddressToFolderDlg::Mode::Move, db(), &panes);
    DeleteAddressRow(db(), anna);
    select(dialog.tree(), kRoot);
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(db().TransactionDepth(), 0);
}

// Mass move ---------------------------------------------------------------------------

class MassMove : public Dialogs {
protected:
    void SetUp() override
    {
        Dialogs::SetUp();
        src = folder(kRoot, QStringLiteral("Source"));
        dst = folder(kRoot, QStringLiteral("Destination"));
        for (const char *n : {"Dana", "anna", "Cyril", "Bert"})
            ids.push_back(address(src, QString::fromLatin1(n)));
        address(dst, QStringLiteral("Zora"));
        fillPanes();
        open(kRoot);
        open(src);
        open(dst);
    }
    QStringList names(AddressTableView *v)
    {
        QStringList out;
        for (const AddressEntry &e : v->tableModel()->rows())
            out << e.name;
        return out;
    }
    void selectRows(AddressTableView *v, std::initializer_list<int> rows)
    {
        v->clearSelection();
        for (int r : rows)
            v->selectionModel()->select(v->tableModel()->index(r, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    std::int32_t src = -1, dst = -1;
    std::vector<std::int32_t> ids;
};

TEST_F(MassMove, FreeAndLockedStates)
{
    CMassMoveDlg dialog(db(), &panes);
    ASSERT_TRUE(dialog.IsUsable());
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_FALSE(dialog.applyButton()->isEnabled());
    EXPECT_FALSE(dialog.rightButton()->isEnabled());
    EXPECT_FALSE(dialog.leftButton()->isEnabled());
    EXPECT_TRUE(dialog.sourceTree()->isEnabled());
    dialog.TransferRight();
    EXPECT_EQ(rec.OnlyId(), 36);
    rec.Clear();
    select(dialog.sourceTree(), src);
    select(dialog.destinationTree(), src);
    EXPECT_EQ(names(dialog.sourceList()), (QStringList{QStringLiteral("anna"), QStringLiteral("Bert"),
                                                       QStringLiteral("Cyril"), QStringLiteral("Dana")}));
    dialog.TransferRight();
    EXPECT_EQ(rec.OnlyId(), 37);
    rec.Clear();
    select(dialog.destinationTree(), dst);
    dialog.TransferRight();
    EXPECT_EQ(rec.OnlyId(), 38);
    rec.Clear();
    dialog.TransferLeft();
    EXPECT_EQ(rec.OnlyId(), 38);
    rec.Clear();
    selectRows(dialog.sourceList(), {1});
    EXPECT_TRUE(dialog.rightButton()->isEnabled());
    EXPECT_FALSE(dialog.leftButton()->isEnabled());
    QTest::mouseClick(dialog.rightButton(), Qt::LeftButton);
    EXPECT_TRUE(rec.Empty());
    EXPECT_TRUE(dialog.IsLocked());
    EXPECT_FALSE(dialog.sourceTree()->isEnabled());
    EXPECT_FALSE(dialog.destinationTree()->isEnabled());
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_TRUE(dialog.applyButton()->isEnabled());
    EXPECT_FALSE(dialog.rightButton()->isEnabled()); // nothing selected any more
    EXPECT_EQ(names(dialog.destinationList()), (QStringList{QStringLiteral("Bert"), QStringLiteral("Zora")}));
}

TEST_F(MassMove, ThreeRightOneBackOkMovesTwo)
{
    CMassMoveDlg dialog(db(), &panes);
    select(dialog.sourceTree(), src);
    select(dialog.destinationTree(), dst);
    selectRows(dialog.sourceList(), {0, 2, 3}); // anna, Cyril, Dana
    dialog.TransferRight();
    EXPECT_EQ(names(dialog.destinationList()),
              (QStringList{QStringLiteral("Dana"), QStringLiteral("Cyril"), QStringLiteral("anna"), QStringLiteral("Zora")}));
    EXPECT_EQ(names(dialog.sourceList()), QStringList{QStringLiteral("Bert")});
    selectRows(dialog.destinationList(), {1}); // Cyril comes back
    dialog.TransferLeft();
    EXPECT_EQ(names(dialog.sourceList()), (QStringList{QStringLiteral("Cyril"), QStringLiteral("Bert")}));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(dst)), 3);
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(src)), 2);
    EXPECT_EQ(stored(ids[0]).folder, dst); // Dana
    EXPECT_EQ(stored(ids[1]).folder, dst); // anna
    EXPECT_EQ(stored(ids[2]).folder, src); // Cyril went and came back
    // The panes follow.
    EXPECT_EQ(childTexts(tree->FindFolderItem(dst)),
              (QStringList{QStringLiteral("anna"), QStringLiteral("Dana"), QStringLiteral("Zora")}));
    EXPECT_EQ(childTexts(tree->FindFolderItem(src)), (QStringList{QStringLiteral("Bert"), QStringLiteral("Cyril")}));
    EXPECT_EQ(list->listModel()->entry(list->listModel()->findRow(ids[0])).folder, dst);
}

TEST_F(MassMove, ApplyFreesTheDialogForANewPair)
{
    const std::int32_t third = folder(kRoot, QStringLiteral("Third"));
    CMassMoveDlg dialog(db(), &panes);
    select(dialog.sourceTree(), src);
    select(dialog.destinationTree(), dst);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("sourceSelectAll")), Qt::LeftButton);
    EXPECT_EQ(dialog.sourceList()->SelectedRows().size(), 4u);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("sourceInvert")), Qt::LeftButton);
    EXPECT_TRUE(dialog.sourceList()->SelectedRows().empty());
    selectRows(dialog.sourceList(), {0});
    dialog.TransferRight();
    ASSERT_TRUE(dialog.Apply());
    EXPECT_FALSE(dialog.IsLocked());
    EXPECT_TRUE(dialog.sourceTree()->isEnabled());
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    EXPECT_EQ(stored(ids[1]).folder, dst);
    // The lists keep their rows; applying again changes nothing.
    EXPECT_EQ(dialog.destinationList()->tableModel()->rowCount(), 2);
    // A new source folder refills its list and a new pair can be locked.
    select(dialog.sourceTree(), third);
    EXPECT_EQ(dialog.sourceList()->tableModel()->rowCount(), 0);
    select(dialog.sourceTree(), src);
    EXPECT_EQ(dialog.sourceList()->tableModel()->rowCount(), 3);
    select(dialog.destinationTree(), third);
    EXPECT_EQ(dialog.destinationList()->tableModel()->rowCount(), 0);
    selectRows(dialog.sourceList(), {0, 1});
    dialog.TransferRight();
    EXPECT_TRUE(dialog.IsLocked());
    dialog.reject(); // Cancel: nothing written
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(third)), 0);
}

TEST_F(MassMove, FailedWriteClosesCancelledAndChangesNothing)
{
    CMassMoveDlg dialog(db(), &panes);
    select(dialog.sourceTree(), src);
    select(dialog.destinationTree(), dst);
    selectRows(dialog.sourceList(), {0, 1, 2});
    dialog.TransferRight();
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON ADDRESS WHEN OLD.NAME = 'Bert' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    dialog.accept();
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(src)), 4);
    EXPECT_EQ(childTexts(tree->FindFolderItem(src)).size(), 4);
}

// The main window's commands -------------------------------------------------------

class Commands : public FolderBook {
protected:
    void SetUp() override
    {
        frame = std::make_unique<CMainFrame>(db());
        ASSERT_TRUE(frame->Create());
        frame->show();
        QApplication::processEvents();
    }
    void TearDown() override { frame.reset(); }
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(Commands, AllEightCommandsAreProvided)
{
    for (int id : {32775, 32776, 32779, 32786, 32859, 32860, 32816, 32783}) {
        const CommandHandler *h = FindCommand(id);
        ASSERT_TRUE(h && h->run) << id;
        ASSERT_TRUE(frame->action(id)) << id;
        EXPECT_TRUE(frame->action(id)->isEnabled()) << id;
    }
}

TEST_F(Commands, DelOnAFolderItemDeletesItDirectly)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("Doomed"));
    frame->ReloadPanes();
    TreeItem *item = frame->tree()->FindFolderItem(a);
    ASSERT_TRUE(item);
    frame->tree()->setCurrentItem(item);
    frame->tree()->setFocus();
    QTest::keyClick(frame->tree(), Qt::Key_Delete);
    EXPECT_EQ(rec.Ids(), std::vector<int>{35});
    EXPECT_FALSE(FolderById(db(), a));
    EXPECT_FALSE(frame->tree()->FindFolderItem(a));
}

TEST_F(Commands, SearchViewSelectsTheAddressOnTheViewPage)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t anna = address(a, QStringLiteral("Anna Šťastná"));
    address(a, QStringLiteral("Bert"));
    frame->ReloadPanes();
    frame->view()->ActivatePage(181);
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *search = static_cast<CAddressSearchDlg *>(dialog);
        search->nameEdit()->setPlainText(QStringLiteral("ŠŤASTNÁ"));
        search->Find();
        search->resultList()->selectRow(0);
        search->Open(180);
        ran = true;
    });
    frame->RunCommand(32783);
    ASSERT_TRUE(ran);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(frame->view()->activePage()->kind(), 180);
    const AddressEntry *selected = frame->list()->SelectedEntry();
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->id, anna);
}

} // namespace
