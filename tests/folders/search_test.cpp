// Address search: the statement texts, the checks and what they find, and
// the "Address search" dialog.
#include "addressrecords.h"
#include "folderstest.h"
#include "search.h"
#include "searchdialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

class Search : public FolderBook {
protected:
    std::vector<QString> names(const SearchCriteria &c)
    {
        std::vector<QString> out;
        for (const AddressEntry &e : RunSearch(db(), BuildSearchStatement(c)))
            out.push_back(e.name);
        return out;
    }
    std::int32_t add(const QString &name, const QString &town, const QString &zip, const QString &country = {})
    {
        AddressEntry e;
        e.name = name;
        e.town = town;
        e.zip = zip;
        e.country = country;
        return SaveNewAddress(db(), e, {}, {}, kRoot);
    }
};

TEST(SearchStatement, FragmentsInTheirFixedOrder)
{
    SearchCriteria c;
    EXPECT_EQ(BuildSearchStatement(c), QStringLiteral("SELECT * FROM ADDRESS WHERE 1 ORDER BY NAME"));
    c.name = QStringLiteral("ab");
    c.town = QStringLiteral("x");
    EXPECT_EQ(BuildSearchStatement(c),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*ab*' AND TOWN LIKE '*x*' ORDER BY NAME"));
    c = SearchCriteria{QStringLiteral("n"), QStringLiteral("s"), QStringLiteral("t"),
                       QStringLiteral("z"), QStringLiteral("c"), QStringLiteral("o"), true};
    EXPECT_EQ(BuildSearchStatement(c),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND COUNTRY = 'c' AND NAME = 'n' AND STREET = 's' AND "
                             "TOWN = 't' AND ZIP = 'z' AND NOTE = 'o' ORDER BY NAME"));
    c.exact = false;
    EXPECT_EQ(BuildSearchStatement(c),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND COUNTRY LIKE '*c*' AND NAME LIKE '*n*' AND STREET "
                             "LIKE '*s*' AND TOWN LIKE '*t*' AND ZIP LIKE '*z*' AND NOTE LIKE '*o*' ORDER BY NAME"));
}

TEST(SearchStatement, TrimmingAndDisallowedCharacters)
{
    SearchCriteria c;
    c.town = QStringLiteral("  Prague  ");
    c.Trim();
    EXPECT_EQ(c.town, QStringLiteral("Prague"));
    EXPECT_EQ(BuildSearchStatement(c), QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND TOWN LIKE '*Prague*' ORDER BY NAME"));

    c = SearchCriteria{};
    EXPECT_FALSE(FirstDisallowedField(c));
    c.note = QStringLiteral("100%");
    c.street = QStringLiteral("[x]");
    c.name = QStringLiteral("O'Neil");
    c.country = QStringLiteral("*");
    EXPECT_FALSE(FirstDisallowedField(c));
    c.name = QStringLiteral("O") + QChar(u'\0');
    EXPECT_EQ(FirstDisallowedField(c), SearchField::Name);
    c.country = QChar(u'\0');
    EXPECT_EQ(FirstDisallowedField(c), SearchField::Country);
    // The value is quoted for the statement: an apostrophe cannot end the text.
    c = SearchCriteria{};
    c.name = QStringLiteral("O'Neil");
    EXPECT_EQ(BuildSearchStatement(c), QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*O''Neil*' ORDER BY NAME"));
}

TEST_F(Search, PartialAndExactMatch)
{
    add(QStringLiteral("Eleven"), QStringLiteral("Praha"), QStringLiteral("11000"));
    add(QStringLiteral("Twenty"), QStringLiteral("Praha"), QStringLiteral("21100"));
    add(QStringLiteral("Short"), QStringLiteral("Brno"), QStringLiteral("11"));
    add(QStringLiteral("None"), QStringLiteral("Brno"), QStringLiteral("60200"));
    SearchCriteria c;
    c.zip = QStringLiteral("11");
    EXPECT_EQ(names(c), (std::vector<QString>{QStringLiteral("Eleven"), QStringLiteral("Short"), QStringLiteral("Twenty")}));
    c.exact = true;
    EXPECT_EQ(names(c), (std::vector<QString>{QStringLiteral("Short")}));
    c.town = QStringLiteral("praha");
    EXPECT_TRUE(names(c).empty());
    c.exact = false;
    EXPECT_EQ(names(c), (std::vector<QString>{QStringLiteral("Eleven"), QStringLiteral("Twenty")}));
    EXPECT_EQ(names(SearchCriteria{}).size(), 4u);
}

TEST_F(Search, LetterCaseBeyondAsciiAndMultiLineNames)
{
    add(QStringLiteral("ŠŤASTNÝ Jan"), QStringLiteral("Plzeň"), QStringLiteral("30100"));
    add(QStringLiteral("Firma s.r.o.\r\nOddělení nákupu"), QStringLiteral("Brno"), QStringLiteral("60200"));
    SearchCriteria c;
    c.name = QStringLiteral("šťastný");
    EXPECT_EQ(names(c), (std::vector<QString>{QStringLiteral("ŠŤASTNÝ Jan")}));
    c.name = QStringLiteral("Šťastný jan");
    c.exact = true;
    EXPECT_EQ(names(c).size(), 1u);
    c = SearchCriteria{};
    c.name = QStringLiteral("ODDĚLENÍ");
    EXPECT_EQ(names(c).size(), 1u);
    c.name = QStringLiteral("firma");
    EXPECT_EQ(names(c).size(), 1u);
    c.name = QStringLiteral("Firma s.r.o.\r\nOddělení nákupu");
    c.exact = true;
    EXPECT_EQ(names(c).size(), 1u);
}

class SearchDialog : public Search {
protected:
    std::vector<std::pair<std::int32_t, int>> opened;
    CAddressSearchDlg dialog{db(), [this](std::int32_t id, int page) { opened.emplace_back(id, page); }};
};

TEST_F(SearchDialog, FindListsDescendingUntilSorted)
{
    add(QStringLiteral("Bert"), QStringLiteral("Zlín"), QStringLiteral("76000"));
    add(QStringLiteral("anna\r\nsecond line"), QStringLiteral("Brno"), QStringLiteral("60200"));
    add(QStringLiteral("Cyril"), QStringLiteral("Aš"), QStringLiteral("35201"));
    dialog.Find();
    EXPECT_TRUE(rec.Empty());
    AddressTableModel *m = dialog.resultList()->tableModel();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->index(0, 0).data().toString(), QStringLiteral("Cyril"));
    EXPECT_EQ(m->index(2, 0).data().toString(), QStringLiteral("anna, second line"));
    EXPECT_EQ(m->index(2, 1).data().toString(), QStringLiteral("Brno"));
    m->sort(1);
    EXPECT_EQ(m->index(0, 1).data().toString(), QStringLiteral("Aš"));
    EXPECT_EQ(m->index(2, 1).data().toString(), QStringLiteral("Zlín"));
}

TEST_F(SearchDialog, FieldsShowTheTrimmedCriteria)
{
    add(QStringLiteral("Anna"), QStringLiteral("Prague"), QStringLiteral("11000"));
    add(QStringLiteral("Bert"), QStringLiteral("Brno"), QStringLiteral("60200"));
    dialog.townEdit()->setPlainText(QStringLiteral("  Prague  "));
    dialog.zipEdit()->setText(QStringLiteral(" 110 "));
    dialog.Find();
    EXPECT_EQ(dialog.townEdit()->toPlainText(), QStringLiteral("Prague"));
    EXPECT_EQ(dialog.zipEdit()->text(), QStringLiteral("110"));
    EXPECT_EQ(dialog.LastStatement(),
              QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND TOWN LIKE '*Prague*' AND ZIP LIKE '*110*' ORDER BY NAME"));
    EXPECT_EQ(dialog.resultList()->tableModel()->rowCount(), 1);
}

TEST_F(SearchDialog, ApostrophesAndWildcardCharactersAreSearchedLiterally)
{
    add(QStringLiteral("O Neil"), QStringLiteral("Cork"), QStringLiteral("T12"));
    add(QStringLiteral("O'Neil"), QStringLiteral("Cork"), QStringLiteral("T12"));
    add(QStringLiteral("McDonald's"), QStringLiteral("Cork"), QStringLiteral("T12"), QStringLiteral("Eire*"));
    add(QStringLiteral("Eire plc"), QStringLiteral("Cork"), QStringLiteral("T12"), QStringLiteral("Eire"));
    dialog.nameEdit()->setPlainText(QStringLiteral("o'n"));
    dialog.Find();
    EXPECT_TRUE(rec.Empty());
    ASSERT_EQ(dialog.resultList()->tableModel()->rowCount(), 1);
    dialog.nameEdit()->setPlainText(QString());
    dialog.countryEdit()->setPlainText(QStringLiteral("Eire*"));
    dialog.Find();
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(dialog.resultList()->tableModel()->rowCount(), 1); // the asterisk is no wildcard
    dialog.countryEdit()->setPlainText(QStringLiteral("%"));
    dialog.Find();
    EXPECT_EQ(rec.OnlyId(), 39); // nothing found: % matches only a per cent sign
}

TEST_F(SearchDialog, NulIsRefusedWithFocusOnTheField)
{
    dialog.streetEdit()->setPlainText(QStringLiteral("Main") + QChar(u'\0'));
    dialog.Find();
    ASSERT_EQ(rec.OnlyId(), 11);
    EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("U+0000")));
    EXPECT_EQ(dialog.focusWidget(), dialog.streetEdit());
}

TEST_F(SearchDialog, NothingFoundViewAndEdit)
{
    dialog.nameEdit()->setPlainText(QStringLiteral("nobody"));
    dialog.Find();
    EXPECT_EQ(rec.OnlyId(), 39);
    rec.Clear();
    dialog.Open(180);
    EXPECT_EQ(rec.OnlyId(), 41);
    EXPECT_TRUE(opened.empty());

    const std::int32_t anna = add(QStringLiteral("Anna"), QStringLiteral("Brno"), QStringLiteral("60200"));
    add(QStringLiteral("Bert"), QStringLiteral("Brno"), QStringLiteral("60200"));
    dialog.nameEdit()->clear();
    rec.Clear();
    dialog.Find();
    EXPECT_TRUE(rec.Empty());
    dialog.Open(182);
    EXPECT_EQ(rec.OnlyId(), 40);
    EXPECT_TRUE(opened.empty());
    // Rows read Anna, Bert are listed Bert, Anna; the first selected row counts.
    dialog.resultList()->selectRow(1);
    rec.Clear();
    dialog.Open(182);
    EXPECT_TRUE(rec.Empty());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::make_pair(anna, 182));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
