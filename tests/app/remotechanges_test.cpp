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
#include <memory>

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

// The window of a desk on the test database, shown, with the root open.
std::unique_ptr<CMainFrame> openWindow(TempDatabase &t)
{
    auto frame = std::make_unique<CMainFrame>(t.db());
    if (!frame->Create())
        return nullptr;
    frame->show();
    QApplication::processEvents();
    static_cast<TreeItem *>(frame->tree()->topLevelItem(0))->setExpanded(true);
    QApplication::processEvents();
    return frame;
}

} // namespace

TEST(RemoteChanges, AnotherDesksSavesShowWithinASecond)
{
    if (!TempDatabase::OnServer())
        GTEST_SKIP() << "needs the test server (ctest runs this as test_app_postgresql)";
    TempDatabase t;
    const std::unique_ptr<CMainFrame> window = openWindow(t);
    ASSERT_TRUE(window);
    CMainFrame &frame = *window;
    const std::int32_t root = RootFolder(t.db());

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

// The server ends the window's connection (a restart, an administrator, a
// network cut): the window's next read connects again, and from then on
// other desks' saves show as before; it also holds the address book open
// again, so a restore on another desk is refused.
TEST(RemoteChanges, ShowAgainOnceABrokenConnectionIsMadeAnew)
{
    if (!TempDatabase::OnServer())
        GTEST_SKIP() << "needs the test server (ctest runs this as test_app_postgresql)";
    TempDatabase t;
    const std::unique_ptr<CMainFrame> window = openWindow(t);
    ASSERT_TRUE(window);
    CMainFrame &frame = *window;
    const std::int32_t root = RootFolder(t.db());

    CDatabase other;
    other.Open(t.path());
    const std::int64_t pid = t.db().QueryInteger(QStringLiteral("SELECT pg_backend_pid()"));
    ASSERT_EQ(other.QueryInteger(QStringLiteral("SELECT pg_terminate_backend(%1)::int").arg(pid)), 1);
    QTest::qWait(700); // the window sees its connection end
    EXPECT_EQ(t.db().CurrentChangeSocket().first, -1);

    // The window's next read.
    EXPECT_EQ(t.db().QueryInteger(QStringLiteral("SELECT 7")), 7);
    EXPECT_NE(t.db().QueryInteger(QStringLiteral("SELECT pg_backend_pid()")), pid);
    int others = 0;
    EXPECT_FALSE(other.TryServerAlone(&others));
    EXPECT_EQ(others, 1);

    AddressEntry e;
    e.name = QStringLiteral("Saved after the break");
    e.town = QStringLiteral("Graz");
    e.zip = QStringLiteral("8010");
    e.id = SaveNewAddress(other, e, {}, {}, root);
    EXPECT_GE(within([&] { return listRowsNamed(frame, e.name) == 1; }), 0);

    // A second break, the same again.
    const std::int64_t second = t.db().QueryInteger(QStringLiteral("SELECT pg_backend_pid()"));
    ASSERT_EQ(other.QueryInteger(QStringLiteral("SELECT pg_terminate_backend(%1)::int").arg(second)), 1);
    QTest::qWait(700);
    EXPECT_EQ(t.db().QueryInteger(QStringLiteral("SELECT 7")), 7);
    e.name = QStringLiteral("Changed after the second break");
    SaveEditedAddress(other, e, {}, {});
    EXPECT_GE(within([&] { return listRowsNamed(frame, e.name) == 1; }), 0);
}
