// The report's statement and the rules that turn the rows read into the
// result table.
#include "folderops.h"
#include "reportquery.h"
#include "reporttest.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

AddressEntry row(std::int32_t id, std::int32_t folder, const char *name, const char *street = "S",
                 const char *town = "T")
{
    AddressEntry a;
    a.id = id;
    a.folder = folder;
    a.name = QString::fromUtf8(name);
    a.street = QString::fromUtf8(street);
    a.town = QString::fromUtf8(town);
    return a;
}

std::vector<std::int32_t> idsOf(const std::vector<AddressEntry> &rows)
{
    std::vector<std::int32_t> ids;
    for (const AddressEntry &r : rows)
        ids.push_back(r.id);
    return ids;
}

} // namespace

TEST(ReportQuery, AllCriteriaEmptyListsEverything)
{
    ReportCriteria c;
    EXPECT_EQ(BuildReportQuery(c), QStringLiteral("SELECT * FROM ADDRESS WHERE 1 ORDER BY NAME"));
}

TEST(ReportQuery, FragmentsInTheFixedOrder)
{
    ReportCriteria c;
    c.texts.name = QStringLiteral("ab");
    c.texts.town = QStringLiteral("x");
    c.texts.country = QStringLiteral("CZ");
    c.texts.note = QStringLiteral("n");
    c.texts.zip = QStringLiteral("11");
    c.texts.street = QStringLiteral("s");
    EXPECT_EQ(BuildReportQuery(c),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND COUNTRY LIKE '*CZ*' AND NAME LIKE '*ab*' AND STREET "
                             "LIKE '*s*' AND TOWN LIKE '*x*' AND ZIP LIKE '*11*' AND NOTE LIKE '*n*' ORDER BY NAME"));
    c.texts.exact = true;
    EXPECT_EQ(BuildReportQuery(c),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND COUNTRY = 'CZ' AND NAME = 'ab' AND STREET = 's' AND "
                             "TOWN = 'x' AND ZIP = '11' AND NOTE = 'n' ORDER BY NAME"));
}

TEST(ReportQuery, DisallowedCharactersCheckedCountryFirst)
{
    ReportCriteria c;
    EXPECT_FALSE(FirstDisallowedReportField(c));
    c.texts.note = QStringLiteral("50%");
    c.texts.zip = QStringLiteral("1*");
    c.texts.name = QStringLiteral("O'Neil");
    c.texts.country = QStringLiteral("[x]");
    EXPECT_FALSE(FirstDisallowedReportField(c));
    const QString nul(QChar(u'\0'));
    c.texts.note = nul;
    EXPECT_EQ(FirstDisallowedReportField(c), SearchField::Note);
    c.texts.zip = nul;
    EXPECT_EQ(FirstDisallowedReportField(c), SearchField::Zip);
    c.texts.name = nul;
    EXPECT_EQ(FirstDisallowedReportField(c), SearchField::Name);
    c.texts.country = nul;
    EXPECT_EQ(FirstDisallowedReportField(c), SearchField::Country);
}

TEST(ReportFill, RowsGoToTheTop)
{
    ReportCriteria c;
    const std::vector<AddressEntry> read = {row(1, 1, "A"), row(2, 1, "B"), row(3, 1, "C")};
    EXPECT_EQ(idsOf(FillReportRows(read, c)), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_TRUE(FillReportRows({}, c).empty());
}

TEST(ReportFill, UniqueTriplesComparedExactly)
{
    ReportCriteria c;
    ASSERT_TRUE(c.unique);
    const std::vector<AddressEntry> read = {
        row(1, 1, "Smith", "Oak 1", "York"), row(2, 2, "Smith", "Oak 1", "York"),  // same triple
        row(3, 1, "smith", "Oak 1", "York"),                                         // other case: another address
        row(4, 1, "Smith", "Oak 1", "York "),                                        // other town text
        row(5, 3, "Smith", "Oak 1", "York"),                                         // same triple again
    };
    EXPECT_EQ(idsOf(FillReportRows(read, c)), (std::vector<std::int32_t>{4, 3, 1}));
    c.unique = false;
    EXPECT_EQ(idsOf(FillReportRows(read, c)), (std::vector<std::int32_t>{5, 4, 3, 2, 1}));
}

TEST(ReportFill, FolderSetKeepsItsFolders)
{
    ReportCriteria c;
    c.unique = false;
    c.folders = {2, 3};
    const std::vector<AddressEntry> read = {row(1, 1, "A"), row(2, 2, "B"), row(3, 3, "C"), row(4, 4, "D")};
    EXPECT_EQ(idsOf(FillReportRows(read, c)), (std::vector<std::int32_t>{3, 2}));
}

TEST(ReportFill, RowOutsideTheLocationDoesNotHideItsTwin)
{
    // The first row read lies outside the chosen folder; its twin inside it
    // is the only address of the location and is listed.
    ReportCriteria c;
    c.folders = {2};
    const std::vector<AddressEntry> read = {row(1, 1, "Smith", "Oak 1", "York"), row(2, 2, "Smith", "Oak 1", "York"),
                                            row(3, 2, "Smith", "Oak 1", "York")};
    EXPECT_EQ(idsOf(FillReportRows(read, c)), (std::vector<std::int32_t>{2}));
}

class ReportDatabase : public ::testing::Test {
protected:
    TempDatabase temp;
    CDatabase &db = temp.db();
    std::int32_t root = RootFolder(temp.db());
};

TEST_F(ReportDatabase, AllCriteriaEmptyGiveEveryAddressInReverseNameOrder)
{
    ASSERT_GT(root, 0);
    const std::int32_t other = CreateFolder(db, QStringLiteral("Other"), root).id;
    AddAddress(db, root, QStringLiteral("Nováková"));
    AddAddress(db, other, QStringLiteral("adams"));
    AddAddress(db, root, QStringLiteral("Zeman"));
    AddAddress(db, other, QStringLiteral("Černý"), QStringLiteral("Polní 3"));
    AddAddress(db, root, QStringLiteral("Brown"));
    ReportCriteria c;
    const std::vector<AddressEntry> rows = LoadReportRows(db, c);
    // The database orders names alphabetically without regard to case (Č
    // beside C); the table shows that order reversed.
    EXPECT_EQ(NamesOf(rows), (QStringList{QStringLiteral("Zeman"), QStringLiteral("Nováková"),
                                          QStringLiteral("Černý"), QStringLiteral("Brown"), QStringLiteral("adams")}));
    // Rows carry the whole address and its folder.
    EXPECT_EQ(rows[2].street, QStringLiteral("Polní 3"));
    EXPECT_EQ(rows[2].folder, other);
}

TEST_F(ReportDatabase, ExactMatchAgainstContains)
{
    AddAddress(db, root, QStringLiteral("Smith"));
    AddAddress(db, root, QStringLiteral("Smithson"));
    AddAddress(db, root, QStringLiteral("Goldsmith"));
    AddAddress(db, root, QStringLiteral("SMITH"), QStringLiteral("Elm 2"));
    AddAddress(db, root, QStringLiteral("Jones"));
    ReportCriteria c;
    c.texts.name = QStringLiteral("Smith");
    c.texts.exact = true;
    QStringList exact = NamesOf(LoadReportRows(db, c));
    exact.sort(Qt::CaseSensitive);
    EXPECT_EQ(exact, (QStringList{QStringLiteral("SMITH"), QStringLiteral("Smith")}));
    c.texts.exact = false;
    QStringList partial = NamesOf(LoadReportRows(db, c));
    partial.sort(Qt::CaseSensitive);
    EXPECT_EQ(partial, (QStringList{QStringLiteral("Goldsmith"), QStringLiteral("SMITH"), QStringLiteral("Smith"),
                                    QStringLiteral("Smithson")}));
}

TEST_F(ReportDatabase, UniqueAddressesInDifferentFolders)
{
    const std::int32_t a = CreateFolder(db, QStringLiteral("A"), root).id;
    const std::int32_t b = CreateFolder(db, QStringLiteral("B"), root).id;
    AddAddress(db, a, QStringLiteral("Twin"), QStringLiteral("Oak 1"), QStringLiteral("York"));
    AddAddress(db, b, QStringLiteral("Twin"), QStringLiteral("Oak 1"), QStringLiteral("York"));
    AddAddress(db, b, QStringLiteral("Single"));
    ReportCriteria c;
    // The first of the twins in the statement's order is the one listed.
    const std::vector<AddressEntry> read = RunSearch(db, BuildReportQuery(c));
    ASSERT_EQ(read.size(), 3u);
    const std::int32_t firstTwin = read[1].id;
    ASSERT_EQ(read[1].name, QStringLiteral("Twin"));
    std::vector<AddressEntry> rows = LoadReportRows(db, c);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, firstTwin);
    EXPECT_EQ(rows[1].name, QStringLiteral("Single"));
    c.unique = false;
    EXPECT_EQ(LoadReportRows(db, c).size(), 3u);
    // Limited to folder B, B's twin is listed.
    c.unique = true;
    c.folders = {b};
    rows = LoadReportRows(db, c);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].folder, b);
    EXPECT_EQ(rows[0].name, QStringLiteral("Twin"));
}

TEST_F(ReportDatabase, CriteriaAndLocationTogether)
{
    const std::int32_t a = CreateFolder(db, QStringLiteral("A"), root).id;
    const std::int32_t sub = CreateFolder(db, QStringLiteral("Sub"), a).id;
    AddAddress(db, a, QStringLiteral("Adam"), QStringLiteral("S"), QStringLiteral("Praha"));
    AddAddress(db, sub, QStringLiteral("Berta"), QStringLiteral("S"), QStringLiteral("Praha 4"));
    AddAddress(db, root, QStringLiteral("Cyril"), QStringLiteral("S"), QStringLiteral("Praha"));
    AddAddress(db, sub, QStringLiteral("Dana"), QStringLiteral("S"), QStringLiteral("Brno"));
    ReportCriteria c;
    c.texts.town = QStringLiteral("praha");
    c.folders = FolderIdSet(db, a, true);
    EXPECT_EQ(NamesOf(LoadReportRows(db, c)), (QStringList{QStringLiteral("Berta"), QStringLiteral("Adam")}));
    c.folders = FolderIdSet(db, a, false);
    EXPECT_EQ(NamesOf(LoadReportRows(db, c)), (QStringList{QStringLiteral("Adam")}));
}
