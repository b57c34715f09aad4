// The common part of printing from the command line: folder paths and the
// order in which a folder's addresses are gathered.
#include "addressrecords.h"
#include "folderops.h"
#include "printcli.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

std::int32_t rootId(CDatabase &db)
{
    return SubfoldersOf(db, -1).front().id;
}

std::int32_t add(CDatabase &db, std::int32_t folder, const char *name, const char *town = "Town")
{
    AddressEntry a;
    a.name = QString::fromUtf8(name);
    a.town = QString::fromUtf8(town);
    a.zip = QStringLiteral("100 00");
    return SaveNewAddress(db, a, {}, {}, folder);
}

QStringList names(const std::vector<AddressEntry> &list)
{
    QStringList out;
    for (const AddressEntry &a : list)
        out << a.name;
    return out;
}

} // namespace

TEST(PrintFolderPath, RootAndNestedNames)
{
    TempDatabase temp;
    CDatabase &db = temp.db();
    const auto root = rootId(db);
    const auto clients = CreateFolder(db, QStringLiteral("Clients"), root).id;
    const auto club = CreateFolder(db, QStringLiteral("Club/3"), clients).id;
    const auto clientsLower = CreateFolder(db, QStringLiteral("clients"), root).id;

    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("/")), root);
    EXPECT_EQ(FindPrintFolder(db, QString()), root);
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("Addresses")), root);
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("/Clients")), clients);
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("/clients")), clientsLower); // the exact name wins
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("Addresses/Clients/")), clients);
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("/Clients/Club\\/3")), club);
    EXPECT_EQ(FindPrintFolder(db, QStringLiteral("Clients/CLUB\\/3")), club);
    EXPECT_FALSE(FindPrintFolder(db, QStringLiteral("/Nobody")));
    EXPECT_FALSE(FindPrintFolder(db, QStringLiteral("/Clients/Club")));
    EXPECT_FALSE(FindPrintFolder(db, QStringLiteral("/Clients\\")));
}

TEST(PrintFolderAddresses, AddEntireFolderOrder)
{
    TempDatabase temp;
    CDatabase &db = temp.db();
    const auto root = rootId(db);
    const auto b = CreateFolder(db, QStringLiteral("B folder"), root).id;
    const auto a = CreateFolder(db, QStringLiteral("A folder"), root).id;
    const auto inner = CreateFolder(db, QStringLiteral("Inner"), a).id;
    add(db, root, "Zeta");
    add(db, root, "alpha");
    add(db, root, "Mu");
    add(db, b, "B1");
    add(db, a, "A2");
    add(db, a, "A1");
    add(db, inner, "I1");

    EXPECT_EQ(names(CollectFolderAddresses(db, root, false)), (QStringList{"alpha", "Mu", "Zeta"}));
    EXPECT_EQ(names(CollectFolderAddresses(db, root, true)),
              (QStringList{"alpha", "Mu", "Zeta", "A1", "A2", "I1", "B1"}));
    const auto list = CollectFolderAddresses(db, a, true);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].folder, -1);
    EXPECT_EQ(list[0].zip, QStringLiteral("100 00"));
    EXPECT_TRUE(list[0].note.isEmpty());
    EXPECT_GT(list[0].id, 0);
    EXPECT_TRUE(CollectFolderAddresses(db, inner + 100, true).empty());
}

TEST(PrintFolderAddresses, SameNameOrderedByStreetTownZip)
{
    TempDatabase temp;
    CDatabase &db = temp.db();
    const auto root = rootId(db);
    add(db, root, "Same", "Zlin");
    add(db, root, "Same", "Brno");
    const auto list = CollectFolderAddresses(db, root, false);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].town, "Brno");
    EXPECT_EQ(list[1].town, "Zlin");
}

TEST(PrintCommandLineCommon, CopiesAndKinds)
{
    PrintCommandLine options;
    options.copies = QStringLiteral(" 12 ");
    EXPECT_EQ(PrintCommandLineCopies(options), 12);
    for (const char *bad : {"0", "1001", "1.5", "x", ""}) {
        options.copies = QString::fromLatin1(bad);
        EXPECT_FALSE(PrintCommandLineCopies(options)) << bad;
    }
    int seen = 0;
    RegisterPrintCommandLineKind(QStringLiteral("test-kind"),
                                 [&](const PrintCommandLine &, const std::vector<AddressEntry> &list) {
                                     seen = int(list.size());
                                     return 7;
                                 });
    EXPECT_TRUE(PrintCommandLineKinds().contains(QStringLiteral("test-kind")));

    TempDatabase temp;
    add(temp.db(), rootId(temp.db()), "One");
    PrintCommandLine run;
    run.kind = QStringLiteral("test-kind");
    run.hasFolder = true;
    run.folderPath = QStringLiteral("/");
    run.sizeName = QStringLiteral("S");
    run.styleName = QStringLiteral("T");
    run.pdfFile = temp.dir() + QStringLiteral("/out.pdf");
    EXPECT_EQ(RunPrintCommandLine(run), 7);
    EXPECT_EQ(seen, 1);

    PrintCommandLine wrong = run;
    wrong.kind = QStringLiteral("postcards");
    EXPECT_EQ(RunPrintCommandLine(wrong), 2);
    wrong = run;
    wrong.hasFolder = false;
    EXPECT_EQ(RunPrintCommandLine(wrong), 2);
    wrong = run;
    wrong.styleName.clear();
    EXPECT_EQ(RunPrintCommandLine(wrong), 2);
    wrong = run;
    wrong.copies = QStringLiteral("0");
    EXPECT_EQ(RunPrintCommandLine(wrong), 2);
    wrong = run;
    wrong.printerName = QStringLiteral("Some printer");
    EXPECT_EQ(RunPrintCommandLine(wrong), 2);
    wrong = run;
    wrong.folderPath = QStringLiteral("/Missing");
    EXPECT_EQ(RunPrintCommandLine(wrong), 1);
    wrong = run;
    wrong.pdfFile.clear();
    wrong.printerName = QStringLiteral("No such printer");
    EXPECT_EQ(RunPrintCommandLine(wrong), 1);
    seen = 0;
    EXPECT_EQ(seen, 0);
    RegisterPrintCommandLineKind(QStringLiteral("test-kind"), {});
    EXPECT_FALSE(PrintCommandLineKinds().contains(QStringLiteral("test-kind")));
}

TEST(PrintCommandLineCommon, HelpNamesBothKinds)
{
    const QString help = PrintCommandLineHelp();
    EXPECT_TRUE(help.contains(QStringLiteral("--print envelopes")));
    EXPECT_TRUE(help.contains(QStringLiteral("--print labels")));
    EXPECT_TRUE(help.contains(QStringLiteral("--first-label")));
    EXPECT_TRUE(help.contains(QStringLiteral("--subfolders")));
}
