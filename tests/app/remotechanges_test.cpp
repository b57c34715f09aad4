// Two desks on one server database: what one saves shows in the other's
// window within a second (the server's change notices), and the window's
// own saves are not shown twice. Against the private test server; skipped
// without it.
#include "addressrecords.h"
#include "folderops.h"
#include "mainframe.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

int listRowsNamed(CMainFrame &frame, const QString &name)
{
    int n = 0;
    for (const AddressEntry &e : frame.list()->listModel()->rows())
        n += e.name == name;
    return n;
}

// Waits up to a second, handling events, until `done`; the time it took.
qint64 within(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 1000)
        QTest::qWait(20);
    return done() ? t.elapsed() : -1;
}

} // namespace

TEST(RemoteChanges, AnotherDesksSavesShowWithinASecond)
{
    if (!TempDatabase::OnServer())
        GTEST_SKIP() << "needs the test server (ctest runs this as test_app_postgresql)";
    TempDatabase t;
    CMainFrame frame(t.db());
    ASSERT_TRUE(frame.Create());
    frame.show();
    QApplication::processEvents();
    const std::int32_t root = RootFolder(t.db());
    auto *rootItem = static_cast<TreeItem *>(frame.tree()->topLevelItem(0));
    rootItem->setExpanded(true);
    QApplication::processEvents();

    CDatabase other; // the other desk
    other.Open(t.path());
    AddressEntry e;
    e.name = QStringLiteral("From the other desk");
    e.town = QStringLiteral("Brno");
    e.zip = QStringLiteral("602 00");
    e.id = SaveNewAddress(other, e, {}, {}, root);
    EXPECT_GE(within([&] { return listRowsNamed(frame, e.name) == 1 && frame.tree()->FindAddressItem(e.id); }), 0);

    const FolderEntry folder = CreateFolder(other, QStringLiteral("Made over there"), root);
    EXPECT_GE(within([&] { return frame.tree()->FindFolderItem(folder.id) != nullptr; }), 0);

    e.name = QStringLiteral("Changed over there");
    SaveEditedAddress(other, e, {}, {});
    EXPECT_GE(within([&] { return listRowsNamed(frame, e.name) == 1; }), 0);
    EXPECT_EQ(listRowsNamed(frame, QStringLiteral("From the other desk")), 0);

    DeleteAddressRow(other, e.id);
    DeleteFolderTree(other, folder.id);
    EXPECT_GE(within([&] { return listRowsNamed(frame, e.name) == 0 && !frame.tree()->FindFolderItem(folder.id); }), 0);

    // This window's own save: shown once, by the save itself.
    AddressEntry mine;
    mine.name = QStringLiteral("Mine");
    mine.town = QStringLiteral("Ulm");
    mine.zip = QStringLiteral("1");
    mine.id = SaveNewAddress(t.db(), mine, {}, {}, root);
    mine.folder = root;
    frame.panes()->AddressAdded(mine);
    QTest::qWait(700);
    frame.ApplyRemoteChanges();
    EXPECT_EQ(listRowsNamed(frame, QStringLiteral("Mine")), 1);
}
