// Folder paths as the command line writes them (addressbook/folderpath.h):
// the splitting of a path into names and the two ways a path may start.
#include "addressrecords.h"
#include "folderops.h"
#include "folderpath.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

QStringList split(const QString &path, bool *fromRoot = nullptr)
{
    QStringList names;
    bool root = false;
    EXPECT_TRUE(SplitFolderPath(path, names, root)) << path.toStdString();
    if (fromRoot)
        *fromRoot = root;
    return names;
}

} // namespace

TEST(FolderPathSplit, NamesAndEscapes)
{
    bool fromRoot = false;
    EXPECT_EQ(split(QString(), &fromRoot), QStringList());
    EXPECT_FALSE(fromRoot);
    EXPECT_EQ(split(QStringLiteral("/"), &fromRoot), QStringList());
    EXPECT_TRUE(fromRoot);
    EXPECT_EQ(split(QStringLiteral("/A/B"), &fromRoot), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_TRUE(fromRoot);
    EXPECT_EQ(split(QStringLiteral("A/B/")), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(split(QStringLiteral("A/Club\\/3")), (QStringList{QStringLiteral("A"), QStringLiteral("Club/3")}));
    EXPECT_EQ(split(QStringLiteral("A/Back\\\\/")), (QStringList{QStringLiteral("A"), QStringLiteral("Back\\")}));
    EXPECT_EQ(split(QStringLiteral("A//B")), (QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")}));
    QStringList names;
    EXPECT_FALSE(SplitFolderPath(QStringLiteral("A/B\\"), names, fromRoot));
}

TEST(FolderPathFind, StartBelowRootOnlyWhenAsked)
{
    TempDatabase temp;
    CDatabase &db = temp.db();
    const int root = SubfoldersOf(db, -1).front().id;
    const int customers = CreateFolder(db, QStringLiteral("Customers"), root).id;
    EXPECT_EQ(FindFolderByPath(db, QStringLiteral("/Customers")), customers);
    EXPECT_FALSE(FindFolderByPath(db, QStringLiteral("Customers")));
    EXPECT_EQ(FindFolderByPath(db, QStringLiteral("Customers"), FolderPathStart::BelowRoot), customers);
    EXPECT_EQ(FindFolderByPath(db, QString(), FolderPathStart::BelowRoot), root);
    EXPECT_EQ(FindFolderByPath(db, FolderPath(db, customers), FolderPathStart::BelowRoot), customers);
}
