// The list of addresses to print: adding addresses and whole folders,
// duplicates, removing, sorting, and the "Choosing addresses to print"
// dialog.
#include "appcontext.h"
#include "commands.h"
#include "folderwidgets.h"
#include "labelprinting.h"
#include "labeltest.h"
#include "printlist.h"
#include "printlistdialog.h"
#include "testsupport.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList names(const std::deque<AddressEntry> &rows)
{
    QStringList out;
    for (const AddressEntry &a : rows)
        out << a.name;
    return out;
}

QStringList names(const std::vector<AddressEntry> &rows)
{
    QStringList out;
    for (const AddressEntry &a : rows)
        out << a.name;
    return out;
}

AddressEntry entry(std::int32_t id, const QString &name, const QString &town = QString())
{
    AddressEntry a;
    a.id = id;
    a.folder = 5;
    a.name = name;
    a.town = town;
    a.note = QStringLiteral("note");
    return a;
}

// A folder "Clients" with two addresses and a subfolder "Abroad" with two.
struct Tree {
    explicit Tree(CDatabase &db)
    {
        clients = AddFolder(db, QStringLiteral("Clients"), RootFolder(db));
        abroad = AddFolder(db, QStringLiteral("Abroad"), clients);
        AddAddress(db, clients, QStringLiteral("Brown"), QStringLiteral("Leeds"));
        AddAddress(db, clients, QStringLiteral("adams"), QStringLiteral("York"));
        AddAddress(db, abroad, QStringLiteral("Dupont"), QStringLiteral("Paris"));
        AddAddress(db, abroad, QStringLiteral("Cortez"), QStringLiteral("Madrid"), QStringLiteral("Calle 1\r\nPiso 2"));
    }
    std::int32_t clients = -1, abroad = -1;
};

void selectFolder(PrintListDialog &d, std::int32_t folder)
{
    ASSERT_TRUE(d.Tree()->SelectFolder(folder));
}

void selectRows(QTableView *view, const std::vector<int> &rows)
{
    view->clearSelection();
    for (int r : rows)
        view->selectionModel()->select(view->model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

TEST(PrintList, AddAddressStopsAtTheFirstListedOne)
{
    PrintList list;
    EXPECT_EQ(list.AddAddresses({entry(2, QStringLiteral("B"))}), 1);
    // Three selected, the second already listed: only the first is added.
    EXPECT_EQ(list.AddAddresses({entry(1, QStringLiteral("A")), entry(2, QStringLiteral("B")),
                                 entry(3, QStringLiteral("C"))}),
              1);
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    // Copies carry no folder and no note.
    EXPECT_EQ(list.Rows().front().folder, -1);
    EXPECT_TRUE(list.Rows().front().note.isEmpty());
}

TEST(PrintList, EveryAdditionGoesToTheTop)
{
    PrintList list;
    list.AddAddresses({entry(1, QStringLiteral("A")), entry(2, QStringLiteral("B")), entry(3, QStringLiteral("C"))});
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A")}));
}

TEST(PrintList, RemoveAndSort)
{
    PrintList list;
    list.AddAddresses({entry(1, QStringLiteral("b"), QStringLiteral("Z")), entry(2, QStringLiteral("C"), QStringLiteral("x")),
                       entry(3, QStringLiteral("a"), QStringLiteral("Y"))});
    list.Sort(AddressColumn::Name);
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
    list.Sort(AddressColumn::Town);
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("C"), QStringLiteral("a"), QStringLiteral("b")}));
    list.RemoveRows({2, 0});
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("a")}));
    // A removed address can be added again.
    EXPECT_FALSE(list.Contains(2));
    EXPECT_EQ(list.AddAddresses({entry(2, QStringLiteral("C"))}), 1);
}

TEST(PrintList, WholeFolderDepthFirstOwnAddressesOnTop)
{
    TempDatabase t;
    const Tree tree(t.db());
    PrintList list;
    EXPECT_EQ(list.AddFolder(t.db(), tree.clients), 4);
    // Subfolder first, each insertion at the top: the folder's own
    // addresses end above the subfolder's, each part ascending.
    EXPECT_EQ(names(list.Rows()), QStringList({QStringLiteral("adams"), QStringLiteral("Brown"),
                                               QStringLiteral("Cortez"), QStringLiteral("Dupont")}));
    // Adding it again adds nothing.
    EXPECT_EQ(list.AddFolder(t.db(), tree.clients), 0);
    EXPECT_EQ(list.Count(), 4);
}

TEST(PrintList, FolderRowsAscending)
{
    TempDatabase t;
    const Tree tree(t.db());
    EXPECT_EQ(names(FolderAddressRows(t.db(), tree.clients)), QStringList({QStringLiteral("adams"), QStringLiteral("Brown")}));
}

TEST(PrintList, ModelShowsOneLinePerText)
{
    std::deque<AddressEntry> rows;
    AddressEntry a = entry(1, QStringLiteral("Firm\r\nDept"), QStringLiteral("Town"));
    a.street = QStringLiteral("Road 1\r\nFloor 2");
    rows.push_back(a);
    AddressRowsModel model({AddressColumn::Name, AddressColumn::Town, AddressColumn::Street}, &rows, nullptr);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("Firm, Dept"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("Road 1, Floor 2"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name (company name)"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Town/City"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Street, house NO."));
}

TEST(PrintListDialog, AddingAFolderTwiceAddsNothingTheSecondTime)
{
    TempDatabase t;
    MessageRecorder rec;
    const Tree tree(t.db());
    PrintListDialog d(nullptr, t.db());
    ASSERT_TRUE(d.IsUsable());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Choosing addresses to print"));
    EXPECT_FALSE(d.AddFolderButton()->isEnabled());
    EXPECT_FALSE(d.AddAddressButton()->isEnabled());
    EXPECT_FALSE(d.RemoveButton()->isEnabled());
    selectFolder(d, tree.clients);
    EXPECT_TRUE(d.AddFolderButton()->isEnabled());
    EXPECT_EQ(names(d.FolderRows()), QStringList({QStringLiteral("adams"), QStringLiteral("Brown")}));

    rec.Queue(TVB_YES);
    QTest::mouseClick(d.AddFolderButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 105);
    EXPECT_EQ(d.List().Count(), 4);
    rec.Clear();
    rec.Queue(TVB_YES);
    d.AddEntireFolder();
    EXPECT_EQ(d.List().Count(), 4);
    EXPECT_EQ(d.PrintListView()->model()->rowCount(), 4);
    // The folder's own addresses above the subfolder's.
    EXPECT_EQ(names(d.List().Rows()), QStringList({QStringLiteral("adams"), QStringLiteral("Brown"),
                                                   QStringLiteral("Cortez"), QStringLiteral("Dupont")}));
    // Shown on one line.
    EXPECT_EQ(d.PrintListView()->model()->index(2, 2).data().toString(), QStringLiteral("Calle 1, Piso 2"));

    // No answers nothing.
    rec.Clear();
    rec.Queue(TVB_NO);
    d.AddEntireFolder();
    EXPECT_EQ(rec.OnlyId(), 105);
}

TEST(PrintListDialog, ThreeSelectedOfWhichTheSecondIsListedAddsOnlyTheFirst)
{
    TempDatabase t;
    MessageRecorder rec;
    const std::int32_t root = RootFolder(t.db());
    const std::int32_t folder = AddFolder(t.db(), QStringLiteral("Three"), root);
    AddAddress(t.db(), folder, QStringLiteral("One"), QStringLiteral("A"));
    AddAddress(t.db(), folder, QStringLiteral("Three"), QStringLiteral("C"));
    AddAddress(t.db(), folder, QStringLiteral("Two"), QStringLiteral("B"));
    PrintListDialog d(nullptr, t.db());
    selectFolder(d, folder);
    ASSERT_EQ(names(d.FolderRows()), QStringList({QStringLiteral("One"), QStringLiteral("Three"), QStringLiteral("Two")}));
    selectRows(d.FolderList(), {1});
    EXPECT_TRUE(d.AddAddressButton()->isEnabled());
    QTest::mouseClick(d.AddAddressButton(), Qt::LeftButton);
    EXPECT_EQ(names(d.List().Rows()), QStringList({QStringLiteral("Three")}));

    selectRows(d.FolderList(), {0, 1, 2});
    d.AddSelectedAddresses();
    EXPECT_EQ(names(d.List().Rows()), QStringList({QStringLiteral("One"), QStringLiteral("Three")}));
    EXPECT_TRUE(rec.Empty());
}

TEST(PrintListDialog, RemoveSortAndOk)
{
    TempDatabase t;
    MessageRecorder rec;
    const Tree tree(t.db());
    PrintListDialog d(nullptr, t.db());
    d.show();
    QApplication::setActiveWindow(&d);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));

    // OK with an empty list: 106, the dialog stays.
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(rec.OnlyId(), 106);
    EXPECT_TRUE(d.isVisible());
    rec.Clear();
    d.RemoveSelectedAddresses();
    EXPECT_EQ(rec.OnlyId(), 103);
    rec.Clear();

    selectFolder(d, tree.clients);
    rec.Queue(TVB_YES);
    d.AddEntireFolder();
    ASSERT_EQ(d.List().Count(), 4);

    // Sorted by town on a click of its header.
    QHeaderView *header = d.PrintListView()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(names(d.List().Rows()), QStringList({QStringLiteral("Brown"), QStringLiteral("Cortez"),
                                                   QStringLiteral("Dupont"), QStringLiteral("adams")}));

    selectRows(d.PrintListView(), {0, 2});
    EXPECT_TRUE(d.RemoveButton()->isEnabled());
    QTest::mouseClick(d.RemoveButton(), Qt::LeftButton);
    EXPECT_EQ(names(d.List().Rows()), QStringList({QStringLiteral("Cortez"), QStringLiteral("adams")}));
    EXPECT_FALSE(d.RemoveButton()->isEnabled());

    rec.Clear();
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(names(d.Addresses()), QStringList({QStringLiteral("Cortez"), QStringLiteral("adams")}));
    EXPECT_EQ(d.List().Count(), 0);
}

TEST(PrintListDialog, AddEntireFolderWithoutAFolderGives104)
{
    TempDatabase t;
    MessageRecorder rec;
    PrintListDialog d(nullptr, t.db());
    ASSERT_TRUE(d.IsUsable());
    d.Tree()->clearSelection();
    rec.Queue(TVB_YES);
    d.AddEntireFolder();
    EXPECT_EQ(rec.Ids(), std::vector<int>({105, 104}));
}

TEST(PrintListDialog, MassCommandHandsTheListToTheRunner)
{
    TempDatabase t;
    MessageRecorder rec;
    const Tree tree(t.db());
    std::vector<AddressEntry> printed;
    bool previewed = false;
    RegisterPrintListRunner(QStringLiteral("test-kind"),
                            [&](QWidget *, const std::vector<AddressEntry> &list, bool preview) {
                                printed = list;
                                previewed = preview;
                            });
    const std::int32_t abroad = tree.abroad;
    OnModalDialog([abroad](QWidget *w) {
        auto *d = qobject_cast<PrintListDialog *>(w);
        ASSERT_NE(d, nullptr);
        ASSERT_TRUE(d->Tree()->SelectFolder(abroad));
        selectRows(d->FolderList(), {0, 1});
        d->AddSelectedAddresses();
        d->accept();
    });
    RunMassPrint(nullptr, QStringLiteral("test-kind"), true);
    RegisterPrintListRunner(QStringLiteral("test-kind"), {});
    EXPECT_TRUE(previewed);
    EXPECT_EQ(names(printed), QStringList({QStringLiteral("Dupont"), QStringLiteral("Cortez")}));
}
