// Folder tree operations without a window: name rules, moves, deletion with
// everything below, copies and the picker's identifier sets.
#include "addressrecords.h"
#include "folderops.h"
#include "folderstest.h"

namespace {

class FolderOps : public FolderBook {};

TEST_F(FolderOps, NewFolderChecksInTheirOrder)
{
    folder(kRoot, QStringLiteral("aB"));
    QString name = QStringLiteral("   ");
    EXPECT_EQ(CheckNewFolder(db(), name, kRoot).message, 12);
    EXPECT_TRUE(CheckNewFolder(db(), name, kRoot).focusName);
    // Only white space and invisible characters is an empty name.
    name = QString::fromUtf8("\u200B \u200F\u00AD");
    EXPECT_EQ(CheckNewFolder(db(), name, kRoot).message, 12);
    name = QStringLiteral("Nul") + QChar(u'\0');
    EXPECT_EQ(CheckNewFolder(db(), name, kRoot).message, 11);
    // The name is checked before the tree: a bad name without a folder gives 11.
    name = QChar(u'\0');
    EXPECT_EQ(CheckNewFolder(db(), name, std::nullopt).message, 11);
    // Apostrophes, brackets, per cent and asterisks are ordinary characters.
    for (const char *ordinary : {"O'Neil", "50%", "[x]", "x*y"}) {
        name = QString::fromUtf8(ordinary);
        EXPECT_TRUE(CheckNewFolder(db(), name, kRoot)) << ordinary;
    }
    name = QStringLiteral("Fine");
    const FolderCheck noParent = CheckNewFolder(db(), name, std::nullopt);
    EXPECT_EQ(noParent.message, 14);
    EXPECT_FALSE(noParent.focusName);
    name = QStringLiteral("  Ab ");
    EXPECT_EQ(CheckNewFolder(db(), name, kRoot).message, 13); // case does not count
    EXPECT_EQ(name, QStringLiteral("Ab"));                      // trimmed in place
    name = QStringLiteral("  Gamma\t");
    EXPECT_TRUE(CheckNewFolder(db(), name, kRoot));
    const FolderEntry made = CreateFolder(db(), name, kRoot);
    EXPECT_EQ(FolderById(db(), made.id)->name, QStringLiteral("Gamma"));
    EXPECT_EQ(made.parent, kRoot);
}

TEST_F(FolderOps, SiblingTestIgnoresCaseBeyondAscii)
{
    folder(kRoot, QStringLiteral("Šťastný"));
    QString name = QStringLiteral("ŠŤASTNÝ");
    EXPECT_EQ(CheckNewFolder(db(), name, kRoot).message, 13);
    // The same name under another parent is fine.
    const std::int32_t other = folder(kRoot, QStringLiteral("Other"));
    EXPECT_TRUE(CheckNewFolder(db(), name, other));
}

TEST_F(FolderOps, RenameChecksInTheirOrder)
{
    const std::int32_t ab = folder(kRoot, QStringLiteral("Ab"));
    const std::int32_t cd = folder(kRoot, QStringLiteral("Cd"));
    const FolderEntry abEntry{ab, kRoot, QStringLiteral("Ab")};
    const FolderEntry cdEntry{cd, kRoot, QStringLiteral("Cd")};
    QString name = QStringLiteral(" \t ");
    EXPECT_EQ(CheckRenameFolder(db(), name, abEntry, abEntry.name).message, 15);
    name = QString::fromUtf8("\u2060\uFEFF");
    EXPECT_EQ(CheckRenameFolder(db(), name, abEntry, abEntry.name).message, 15);
    name = QStringLiteral("x") + QChar(u'\0') + QStringLiteral("y");
    EXPECT_EQ(CheckRenameFolder(db(), name, abEntry, abEntry.name).message, 11);
    name = QStringLiteral("New");
    EXPECT_EQ(CheckRenameFolder(db(), name, std::nullopt, QString()).message, 14);
    name = QStringLiteral("Ab");
    EXPECT_EQ(CheckRenameFolder(db(), name, abEntry, abEntry.name).message, 17);
    name = QStringLiteral("AB"); // only the case changes: finds the folder itself
    EXPECT_EQ(CheckRenameFolder(db(), name, abEntry, abEntry.name).message, 16);
    name = QStringLiteral("ab");
    EXPECT_EQ(CheckRenameFolder(db(), name, cdEntry, cdEntry.name).message, 16);
    name = QStringLiteral(" Renamed ");
    ASSERT_TRUE(CheckRenameFolder(db(), name, cdEntry, cdEntry.name));
    RenameFolder(db(), cd, name);
    EXPECT_EQ(FolderById(db(), cd)->name, QStringLiteral("Renamed"));
    EXPECT_THROW(RenameFolder(db(), 999, name), DbException);
}

TEST_F(FolderOps, RootMayBeRenamedButNeitherMovedNorDeleted)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const FolderEntry root{kRoot, -1, QStringLiteral("Addresses")};
    QString name = QStringLiteral("Everything");
    EXPECT_TRUE(CheckRenameFolder(db(), name, root, root.name));
    EXPECT_EQ(CheckMoveFolder(db(), root, a), 31);
    EXPECT_THROW(MoveFolder(db(), kRoot, a), DbException);
    EXPECT_THROW(DeleteFolderTree(db(), kRoot), DbException);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 2);
}

TEST_F(FolderOps, MoveChecksInTheirOrder)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t a1 = folder(a, QStringLiteral("A1"));
    const std::int32_t a11 = folder(a1, QStringLiteral("A11"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    folder(b, QStringLiteral("a")); // a different case of A's name
    const FolderEntry aEntry{a, kRoot, QStringLiteral("A")};
    EXPECT_EQ(CheckMoveFolder(db(), std::nullopt, b), 28);
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, std::nullopt), 29);
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, a), 30);
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, a1), 30);
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, a11), 30); // a grandchild
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, kRoot), 32);
    EXPECT_EQ(CheckMoveFolder(db(), aEntry, b), 59398);
    const FolderEntry a1Entry{a1, a, QStringLiteral("A1")};
    EXPECT_EQ(CheckMoveFolder(db(), a1Entry, b), 0);
    MoveFolder(db(), a1, b);
    EXPECT_EQ(parentOf(a1), b);
    EXPECT_EQ(parentOf(a11), a1); // everything below goes along
    // The operation refuses a move into the folder's own subtree by itself too.
    EXPECT_THROW(MoveFolder(db(), a1, a11), DbException);
    EXPECT_EQ(parentOf(a1), b);
    EXPECT_THROW(MoveFolder(db(), 999, b), DbException);
    EXPECT_THROW(MoveFolder(db(), a, 999), DbException);
    EXPECT_EQ(parentOf(a), kRoot);
}

TEST_F(FolderOps, EmptinessCountsSubfoldersAndAddresses)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("A"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    const std::int32_t c = folder(kRoot, QStringLiteral("C"));
    folder(a, QStringLiteral("A1"));
    address(b, QStringLiteral("Anna"));
    EXPECT_FALSE(FolderIsEmpty(db(), a));
    EXPECT_FALSE(FolderIsEmpty(db(), b));
    EXPECT_TRUE(FolderIsEmpty(db(), c));
}

// A folder with two levels below it, addresses (with phones and e-mails) at
// every level, and a neighbour that must stay untouched.
struct DeepTree {
    std::int32_t top, mid1, mid2, deep, neighbour;
    std::int32_t keep;
};

class DeepDeletion : public FolderOps {
protected:
    DeepTree build()
    {
        DeepTree d{};
        d.top = folder(kRoot, QStringLiteral("Top"));
        d.mid1 = folder(d.top, QStringLiteral("Mid1"));
        d.mid2 = folder(d.top, QStringLiteral("Mid2"));
        d.deep = folder(d.mid1, QStringLiteral("Deep"));
        d.neighbour = folder(kRoot, QStringLiteral("Neighbour"));
        address(d.top, QStringLiteral("Top one"), {{QStringLiteral("111"), QString()}});
        address(d.mid1, QStringLiteral("Mid one"), {}, {{QStringLiteral("m@x.cz"), QString()}});
        address(d.mid2, QStringLiteral("Poison"), {{QStringLiteral("222"), QString()}});
        address(d.deep, QStringLiteral("Deep one"), {{QStringLiteral("333"), QStringLiteral("home")}},
                {{QStringLiteral("d@x.cz"), QString()}});
        address(d.deep, QStringLiteral("Deep two"));
        d.keep = address(d.neighbour, QStringLiteral("Kept"), {{QStringLiteral("999"), QString()}},
                         {{QStringLiteral("k@x.cz"), QString()}});
        return d;
    }
};

TEST_F(DeepDeletion, RemovesEveryLevelDeepestFirst)
{
    const DeepTree d = build();
    const std::vector<FolderEntry> deleted = DeleteFolderTree(db(), d.top);
    ASSERT_EQ(deleted.size(), 4u);
    // Depth first in the order read: Deep before Mid1, both Mids before Top.
    EXPECT_EQ(deleted[0].id, d.deep);
    EXPECT_EQ(deleted[0].parent, d.mid1);
    EXPECT_EQ(deleted[1].id, d.mid1);
    EXPECT_EQ(deleted[2].id, d.mid2);
    EXPECT_EQ(deleted[3].id, d.top);
    EXPECT_EQ(deleted[3].parent, kRoot);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 2); // the root and the neighbour
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 1);
    EXPECT_EQ(stored(d.keep).name, QStringLiteral("Kept"));
    // Phones and e-mails of the removed addresses went with them.
    EXPECT_EQ(count(QStringLiteral("TEL")), 1);
    EXPECT_EQ(count(QStringLiteral("EMAIL")), 1);
}

TEST_F(DeepDeletion, FailureHalfWayLeavesEverything)
{
    const DeepTree d = build();
    // Deep and Mid1 go first; the address in Mid2 then refuses to go.
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON ADDRESS WHEN OLD.NAME = 'Poison' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const long folders = count(QStringLiteral("FOLDER")), addresses = count(QStringLiteral("ADDRESS")),
               tels = count(QStringLiteral("TEL")), emails = count(QStringLiteral("EMAIL"));
    EXPECT_THROW(DeleteFolderTree(db(), d.top), DbException);
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), folders);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), addresses);
    EXPECT_EQ(count(QStringLiteral("TEL")), tels);
    EXPECT_EQ(count(QStringLiteral("EMAIL")), emails);
    EXPECT_EQ(parentOf(d.deep), d.mid1);
    EXPECT_EQ(count(QStringLiteral("ADDRESS"), QStringLiteral("ID_ADDRESS_FOLDER = %1").arg(d.deep)), 2);
}

TEST_F(DeepDeletion, FailureInsideCallersTransactionUndoesOnlyTheDeletion)
{
    const DeepTree d = build();
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON FOLDER WHEN OLD.NAME = 'Top' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    db().BeginTrans();
    const std::int32_t extra = folder(kRoot, QStringLiteral("Extra"));
    EXPECT_THROW(DeleteFolderTree(db(), d.top), DbException);
    EXPECT_EQ(db().TransactionDepth(), 1);
    db().CommitTrans();
    EXPECT_EQ(parentOf(extra), kRoot);
    EXPECT_EQ(parentOf(d.deep), d.mid1);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 6);
}

TEST_F(FolderOps, CopyTakesEverythingWithFreshIdentifiers)
{
    const std::int32_t src = folder(kRoot, QStringLiteral("Source"));
    const std::int32_t sub = folder(src, QStringLiteral("Sub"));
    folder(sub, QStringLiteral("SubSub"));
    const std::int32_t target = folder(kRoot, QStringLiteral("Target"));
    address(src, QStringLiteral("One"), {{QStringLiteral("1"), QStringLiteral("a")}, {QStringLiteral("2"), QString()}},
            {{QStringLiteral("one@x.cz"), QStringLiteral("work")}});
    address(src, QStringLiteral("Two"));
    address(sub, QStringLiteral("Three"), {{QStringLiteral("3"), QString()}});
    const Counters before = counters();

    const FolderCopyResult r = CopyFolder(db(), src, target);
    EXPECT_EQ(r.folders, 3);
    EXPECT_TRUE(r.hasChildren);
    EXPECT_EQ(r.folder.parent, target);
    EXPECT_EQ(r.folder.name, QStringLiteral("Source"));
    EXPECT_EQ(r.folder.id, before.folder); // the first identifier taken
    ASSERT_EQ(r.addresses.size(), 3u);
    const Counters after = counters();
    EXPECT_EQ(after.folder, before.folder + 3);
    EXPECT_EQ(after.address, before.address + 3);
    EXPECT_EQ(after.tel, before.tel + 3);
    EXPECT_EQ(after.email, before.email + 1);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 8);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 6);
    EXPECT_EQ(count(QStringLiteral("TEL")), 6);
    EXPECT_EQ(count(QStringLiteral("EMAIL")), 2);
    // The copy of Sub sits under the copy, with its own subfolder and address.
    std::vector<FolderEntry> below = SubfoldersOf(db(), r.folder.id);
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].name, QStringLiteral("Sub"));
    EXPECT_EQ(SubfoldersOf(db(), below[0].id).size(), 1u);
    ASSERT_EQ(AddressesOfFolder(db(), below[0].id).size(), 1u);
    EXPECT_EQ(AddressesOfFolder(db(), below[0].id)[0].name, QStringLiteral("Three"));
    // Phones and notes travel with the copy.
    for (const AddressEntry &a : r.addresses)
        if (a.name == QStringLiteral("One")) {
            EXPECT_EQ(LoadPhones(db(), a.id),
                      (ValueNoteList{{QStringLiteral("1"), QStringLiteral("a")}, {QStringLiteral("2"), QString()}}));
            EXPECT_EQ(LoadEmails(db(), a.id), (ValueNoteList{{QStringLiteral("one@x.cz"), QStringLiteral("work")}}));
        }
    // The source is untouched.
    EXPECT_EQ(AddressesOfFolder(db(), src).size(), 2u);
}

TEST_F(FolderOps, CopyIntoOwnParentNeverCopiesItsOwnRows)
{
    // The copy lands beside the source, under the same parent; every list of
    // sources is read before anything is added, so the copy holds exactly
    // what the source held.
    const std::int32_t src = folder(kRoot, QStringLiteral("Source"));
    const std::int32_t sub = folder(src, QStringLiteral("Sub"));
    address(src, QStringLiteral("One"));
    address(sub, QStringLiteral("Two"));
    const FolderCopyResult r = CopyFolder(db(), src, kRoot);
    EXPECT_EQ(r.folders, 2);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 5);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 4);
    EXPECT_EQ(SubfoldersOf(db(), kRoot).size(), 2u);
}

TEST_F(FolderOps, CopyIntoItselfOrBelowIsRefused)
{
    const std::int32_t src = folder(kRoot, QStringLiteral("Source"));
    const std::int32_t sub = folder(src, QStringLiteral("Sub"));
    const std::int32_t subsub = folder(sub, QStringLiteral("SubSub"));
    address(sub, QStringLiteral("One"));
    EXPECT_THROW(CopyFolder(db(), src, src), DbException);
    EXPECT_THROW(CopyFolder(db(), src, subsub), DbException);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 4);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 1);
}

TEST_F(FolderOps, FailedCopyLeavesNothingAndTakesNoIdentifier)
{
    const std::int32_t src = folder(kRoot, QStringLiteral("Source"));
    const std::int32_t target = folder(kRoot, QStringLiteral("Target"));
    for (int i = 0; i < 5; ++i)
        address(src, QStringLiteral("A%1").arg(i), {{QStringLiteral("%1").arg(i), QString()}});
    address(src, QStringLiteral("Last"), {{QStringLiteral("fail"), QString()}});
    failWhen(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TEL WHEN NEW.PHONE = 'fail' "
                            "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const Counters before = counters();
    EXPECT_THROW(CopyFolder(db(), src, target), DbException);
    const Counters after = counters();
    EXPECT_EQ(after.folder, before.folder);
    EXPECT_EQ(after.address, before.address);
    EXPECT_EQ(after.tel, before.tel);
    EXPECT_EQ(count(QStringLiteral("FOLDER")), 3);
    EXPECT_EQ(count(QStringLiteral("ADDRESS")), 6);
    EXPECT_EQ(count(QStringLiteral("TEL")), 6);
    EXPECT_TRUE(SubfoldersOf(db(), target).empty());
}

TEST_F(FolderOps, PickerIdentifierSets)
{
    const std::int32_t top = folder(kRoot, QStringLiteral("Top"));
    const std::int32_t a = folder(top, QStringLiteral("A"));
    const std::int32_t a1 = folder(a, QStringLiteral("A1"));
    const std::int32_t b = folder(top, QStringLiteral("B"));
    folder(kRoot, QStringLiteral("Elsewhere"));
    EXPECT_EQ(FolderIdSet(db(), top, true), (std::set<std::int32_t>{top, a, a1, b}));
    EXPECT_EQ(FolderIdSet(db(), top, false), (std::set<std::int32_t>{top}));
    EXPECT_EQ(FolderIdSet(db(), a, true), (std::set<std::int32_t>{a, a1}));
    EXPECT_EQ(FolderIdSet(db(), b, true), (std::set<std::int32_t>{b}));
}

TEST_F(FolderOps, DropNameTestIgnoresCase)
{
    const std::int32_t a = folder(kRoot, QStringLiteral("Clients"));
    const std::int32_t b = folder(kRoot, QStringLiteral("B"));
    EXPECT_EQ(CheckDropName(db(), FolderEntry{a, kRoot, QStringLiteral("Clients")}, b), 0);
    folder(b, QStringLiteral("CLIENTS"));
    EXPECT_EQ(CheckDropName(db(), FolderEntry{a, kRoot, QStringLiteral("Clients")}, b), 59398);
}

} // namespace
