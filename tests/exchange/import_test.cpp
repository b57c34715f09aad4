// The import: checks in their order, the row rules, duplicates, round trips.
#include "datagen.h"
#include "excelexport.h"
#include "excelimport.h"
#include "exchangecli.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "folderpath.h"
#include "testsupport.h"
#include "xlsreader.h"
#include "xlswriter.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const TextMeasure kFixed{[](const QString &t, bool) { return int(t.size()) * 7; }};

// A sheet in the export's layout with the given body rows.
QString writeSheet(const QString &path, const std::vector<std::vector<QString>> &body)
{
    SheetData s;
    s.name = QStringLiteral("Page 1");
    s.columns = 8;
    s.header = SheetCellStyle{QStringLiteral("Arial"), true, 10, kHeaderFill};
    s.body = SheetCellStyle{QStringLiteral("Times New Roman"), false, 10, kBodyFill};
    s.rows.push_back({QStringLiteral("Name"), QStringLiteral("Street"), QStringLiteral("Town / City"),
                      QStringLiteral("ZIP"), QStringLiteral("Country"), QStringLiteral("Note"),
                      QStringLiteral("Phone"), QStringLiteral("E-Mail")});
    for (auto row : body) {
        row.resize(8);
        s.rows.push_back(row);
    }
    QString why;
    EXPECT_TRUE(WriteXlsFile(s, path, &why)) << why.toStdString();
    return path;
}

std::vector<QString> row(const QString &name, const QString &town = QStringLiteral("Town"),
                         const QString &zip = QStringLiteral("12345"), const QString &phone = QString())
{
    return {name, QStringLiteral("Street 1"), town, zip, QString(), QString(), phone, QString()};
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = RootFolder(t.db());
        target = AddFolder(t.db(), root, QStringLiteral("Target"));
        SetAddressBookChangedHandler([this] { ++reloads; return true; });
    }
    void TearDown() override { SetAddressBookChangedHandler({}); }
    ImportResult import(const QString &file, ImportSettings s = {}, DuplicateAsker ask = AskDuplicateWithQuestion())
    {
        s.fileName = file;
        if (!s.folder)
            s.folder = target;
        const ImportCheck check = CheckImportSettings(s);
        EXPECT_EQ(check.message, 0);
        return RunImport(t.db(), s, check, ask);
    }
    QString path(const QString &name) const { return t.dir() + u'/' + name; }

    TempDatabase t;
    int root = 0, target = 0, reloads = 0;
};

} // namespace

TEST(ImportRulesTest, ChecksComeInTheirOrder)
{
    auto check = [](ImportSettings s) { return CheckImportSettings(s); };
    ImportSettings s;
    s.folder = 1;
    s.fileName = QStringLiteral("   ");
    EXPECT_EQ(check(s).message, 59436);
    EXPECT_EQ(check(s).focus, ImportField::FileName);
    for (const char *refused : {"a.csv", ".xls", ".xlsx", "a.ods.txt", "a.odt"}) {
        s.fileName = QString::fromLatin1(refused);
        EXPECT_EQ(check(s).message, 59440) << refused;
    }
    for (const char *accepted : {"a.xlsx", "A.XLSX", "b.ods", "B.ODS", "dataxls"}) {
        s.fileName = QString::fromLatin1(accepted);
        EXPECT_EQ(check(s).message, 0) << accepted;
    }
    s.fileName = QStringLiteral(" DATA.XLS ");
    EXPECT_EQ(check(s).message, 0);
    s.beginRow = QStringLiteral("0");
    EXPECT_EQ(check(s).message, 59428);
    s.beginRow = QStringLiteral("abc");
    EXPECT_EQ(check(s).message, 59428);
    s.beginRow = QStringLiteral(" 5 ");
    s.findAutomatically = false;
    s.endRow = QString();
    EXPECT_EQ(check(s).message, 59429);
    EXPECT_EQ(check(s).focus, ImportField::EndRow);
    s.endRow = QStringLiteral("4");
    EXPECT_EQ(check(s).message, 59430);
    EXPECT_EQ(check(s).focus, ImportField::BeginRow);
    s.endRow = QStringLiteral("5");
    EXPECT_EQ(check(s).message, 0);
    s.columns[IMP_TOWN] = 0;
    EXPECT_EQ(check(s).message, 59431);
    s.columns[IMP_TOWN] = 3;
    s.columns[IMP_STREET] = 1;
    EXPECT_EQ(check(s).message, 59432);
    s.columns[IMP_STREET] = 0;
    s.columns[IMP_EMAIL] = 12;
    EXPECT_EQ(check(s).message, 0);
    EXPECT_EQ(check(s).highestColumn, 12);
    s.folder.reset();
    EXPECT_EQ(check(s).message, 59427);
}

TEST(ImportRulesTest, CellTexts)
{
    EXPECT_EQ(CellToStoredText(QStringLiteral("  Firma \n\n  Jan Novák \n")), QStringLiteral("Firma\r\nJan Novák"));
    const ImportPairs p = CellToPairs(QStringLiteral("111; 222 (home)"));
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], std::make_pair(QStringLiteral("111"), QString()));
    EXPECT_EQ(p[1], std::make_pair(QStringLiteral("222"), QStringLiteral("home")));
    const ImportPairs q = CellToPairs(QStringLiteral("(home); ; x (a) b; y ( b ) "));
    ASSERT_EQ(q.size(), 3u);
    EXPECT_EQ(q[0], std::make_pair(QStringLiteral("(home)"), QString()));
    EXPECT_EQ(q[1], std::make_pair(QStringLiteral("x (a) b"), QString()));
    EXPECT_EQ(q[2], std::make_pair(QStringLiteral("y"), QStringLiteral("b")));
    // The note is what the final parentheses hold; earlier ones stay in the value.
    const ImportPairs r = CellToPairs(QStringLiteral("+44 (0)20 7946 0000 (office); a (b (c)); (0)1 2; x) y (z"));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], std::make_pair(QStringLiteral("+44 (0)20 7946 0000"), QStringLiteral("office")));
    EXPECT_EQ(r[1], std::make_pair(QStringLiteral("a"), QStringLiteral("b (c)")));
    EXPECT_EQ(r[2], std::make_pair(QStringLiteral("(0)1 2"), QString()));
    EXPECT_EQ(r[3], std::make_pair(QStringLiteral("x) y (z"), QString()));
    // What the export joins comes back as it was.
    const std::vector<std::pair<QString, QString>> phones{{QStringLiteral("+44 (0)20 7946 0000"), QStringLiteral("office")},
                                                          {QStringLiteral("(0)30 1"), QString()},
                                                          {QStringLiteral("5"), QStringLiteral("desk (2nd floor)")}};
    EXPECT_EQ(CellToPairs(JoinWithNotes(phones)), phones);
    EXPECT_TRUE(HasDisallowedCharacter(QStringLiteral("Jan") + QChar(u'\0') + QStringLiteral("Novák")));
    for (const char *ordinary : {"O'Brien", "McDonald's", "50%", "[Firma]", "A*B"})
        EXPECT_FALSE(HasDisallowedCharacter(QString::fromUtf8(ordinary))) << ordinary;
    EXPECT_EQ(NumberText(11000.0), QStringLiteral("11000"));
    EXPECT_EQ(NumberText(1.5), QStringLiteral("1.5"));
    EXPECT_EQ(NumberText(-42.0), QStringLiteral("-42"));
    EXPECT_EQ(ColumnLetter(1), QStringLiteral("A"));
    EXPECT_EQ(ColumnLetter(26), QStringLiteral("Z"));
}

TEST_F(ImportTest, ExportedXlsComesBackUnchanged)
{
    DataGenOptions o;
    o.addresses = 200;
    GenerateAddressBook(t.path(), o);
    const int empty = AddFolder(t.db(), root, QStringLiteral("Imported"));
    const QStringList original = DumpAll(t.db());
    const QString file = path(QStringLiteral("round.xls"));
    MessageRecorder rec;
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, file, SheetFormat::Xls, kFixed));
    ImportSettings s;
    s.folder = empty;
    const ImportResult r = import(file, s);
    EXPECT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_EQ(r.accepted, 200);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_EQ(r.errors, 0);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(DumpFolder(t.db(), empty), original);
    EXPECT_EQ(reloads, 1);
}

TEST_F(ImportTest, ExportedXlsxTextsMatchTheImportedXls)
{
    if (!HavePython())
        GTEST_SKIP() << "python3 is not available";
    DataGenOptions o;
    o.addresses = 200;
    GenerateAddressBook(t.path(), o);
    MessageRecorder rec;
    const QString xls = path(QStringLiteral("a.xls")), xlsx = path(QStringLiteral("a.xlsx"));
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, xls, SheetFormat::Xls, kFixed));
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, xlsx, SheetFormat::Xlsx, kFixed));
    const QStringList fromXlsx = DumpXlsx(xlsx);
    EXPECT_EQ(fromXlsx.size(), 201);
    EXPECT_EQ(fromXlsx, DumpWithFreeXL(xls));
}

TEST_F(ImportTest, FindAutomaticallyStopsAtAnEmptyName)
{
    const QString file = writeSheet(path(QStringLiteral("gap.xls")),
                                    {row(QStringLiteral("A1")), row(QStringLiteral("A2")), row(QStringLiteral("A3")),
                                     row(QStringLiteral("A4")), row(QString()), row(QStringLiteral("A6")),
                                     row(QStringLiteral("A7"))});
    MessageRecorder rec;
    ImportResult r = import(file);
    EXPECT_EQ(r.accepted, 4);
    EXPECT_EQ(r.errors, 0);
    EXPECT_EQ(CountAddresses(t.db(), target), 4);

    const int second = AddFolder(t.db(), root, QStringLiteral("Second"));
    ImportSettings s;
    s.folder = second;
    s.findAutomatically = false;
    s.endRow = QStringLiteral("8");
    r = import(file, s);
    EXPECT_EQ(r.accepted, 6);
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(CountAddresses(t.db(), second), 6);
    EXPECT_TRUE(rec.Empty());
}

TEST_F(ImportTest, RowsOutsideTheSheet)
{
    const QString file = writeSheet(path(QStringLiteral("three.xls")), {row(QStringLiteral("B1")), row(QStringLiteral("B2"))});
    MessageRecorder rec;
    ImportSettings s;
    s.beginRow = QStringLiteral("5");
    ImportResult r = import(file, s);
    EXPECT_EQ(r.outcome, ImportOutcome::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59441});
    rec.Clear();

    std::vector<std::vector<QString>> body;
    for (int i = 0; i < 39; ++i)
        body.push_back(row(QStringLiteral("C%1").arg(i)));
    const QString forty = writeSheet(path(QStringLiteral("forty.xls")), body);
    s = ImportSettings{};
    s.findAutomatically = false;
    s.endRow = QStringLiteral("100");
    r = import(forty, s);
    EXPECT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59434});
    EXPECT_EQ(rec.Records()[0].kind, TVMessageKind::Warning);
    EXPECT_EQ(r.accepted, 39);
    rec.Clear();

    s = ImportSettings{};
    s.columns[IMP_EMAIL] = 10;
    r = import(forty, s);
    EXPECT_EQ(r.outcome, ImportOutcome::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59435});
}

TEST_F(ImportTest, RowRulesRefuseIncompleteAndDisallowedRows)
{
    const QString longText(300, u'x');
    const QString file = writeSheet(
        path(QStringLiteral("rules.xls")),
        {row(QStringLiteral("Good"), QStringLiteral("Town"), QStringLiteral("1"), QStringLiteral("111; 222 (home)")),
         row(QStringLiteral("No town"), QString()), row(QStringLiteral("No zip"), QStringLiteral("T"), QString()),
         row(QStringLiteral("50% off")), row(QStringLiteral("O'Brien")), row(longText),
         row(QStringLiteral("Long phone"), QStringLiteral("T"), QStringLiteral("1"), longText),
         row(QStringLiteral("  Spaces  \n\n second line ")),
         // 255 characters in 256 UTF-16 units: fits the column.
         row(QString::fromUtf8("\U0001F600") + QString(254, QChar(0x20AC))),
         // A name of invisible characters is an empty name: it ends the rows found automatically.
         row(QString::fromUtf8("\u200B\u200F")), row(QStringLiteral("After the end"))});
    MessageRecorder rec;
    const ImportResult r = import(file);
    EXPECT_EQ(r.accepted, 5);
    EXPECT_EQ(r.errors, 4);
    const QStringList dump = DumpFolder(t.db(), target);
    ASSERT_EQ(dump.size(), 5) << dump.join(u'\n').toStdString();
    EXPECT_TRUE(dump.filter(QStringLiteral("O'Brien\t")).size() == 1) << dump.join(u'\n').toStdString();
    EXPECT_TRUE(dump.filter(QStringLiteral("50% off\t")).size() == 1);
    EXPECT_EQ(dump.filter(QStringLiteral("Good\tStreet 1\tTown\t1\t\t\t111|,222|home\t")).size(), 1);
    EXPECT_EQ(dump.filter(QStringLiteral("Spaces\r\nsecond line\t")).size(), 1);
}

TEST_F(ImportTest, SecondImportAsksAndNoToAllSkipsEverything)
{
    const QString file = writeSheet(path(QStringLiteral("twice.xls")),
                                    {row(QStringLiteral("D1")), row(QStringLiteral("D2")), row(QStringLiteral("D3"))});
    MessageRecorder rec;
    ASSERT_EQ(import(file).accepted, 3);
    EXPECT_TRUE(rec.Empty());

    rec.Queue(TVB_NOTOALL);
    ImportResult r = import(file);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59437});
    EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("Name: D1")));
    EXPECT_EQ(rec.Records()[0].buttons, unsigned(TVB_YES | TVB_YESTOALL | TVB_NO | TVB_NOTOALL));
    EXPECT_EQ(r.accepted, 0);
    EXPECT_EQ(r.skipped, 3);
    EXPECT_EQ(CountAddresses(t.db(), target), 3);
    rec.Clear();

    rec.Queue(TVB_NO);
    rec.Queue(TVB_YES);
    rec.Queue(TVB_NO);
    r = import(file);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{59437, 59437, 59437}));
    EXPECT_EQ(r.accepted, 1);
    EXPECT_EQ(r.skipped, 2);
    rec.Clear();

    rec.Queue(TVB_YESTOALL);
    r = import(file);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59437});
    EXPECT_EQ(r.accepted, 3);
    EXPECT_EQ(CountAddresses(t.db(), target), 7);
    // Letter case counts: "d1" is not a duplicate of "D1".
    rec.Clear();
    const QString lower = writeSheet(path(QStringLiteral("lower.xls")), {row(QStringLiteral("d1"))});
    r = import(lower);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(r.accepted, 1);
}

TEST_F(ImportTest, DamagedFilesGive59433AndWriteNothing)
{
    MessageRecorder rec;
    const QString junk = path(QStringLiteral("junk.xls"));
    WriteAll(junk, QByteArray(5000, 'j'));
    ImportResult r = import(junk);
    EXPECT_EQ(r.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59433});
    rec.Clear();
    r = import(path(QStringLiteral("missing.xls")));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59433});
    rec.Clear();
    // The kind of file is told by its bytes: an .xlsx file renamed to .xls
    // is read as what it is (here the header row only: 59441), a cut one
    // is damaged.
    const QString xlsx = path(QStringLiteral("real.xlsx"));
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, xlsx, SheetFormat::Xlsx, kFixed));
    const QByteArray bytes = ReadAll(xlsx);
    WriteAll(path(QStringLiteral("renamed.xls")), bytes);
    r = import(path(QStringLiteral("renamed.xls")));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59441});
    rec.Clear();
    WriteAll(path(QStringLiteral("cut.xlsx")), bytes.left(bytes.size() / 2));
    r = import(path(QStringLiteral("cut.xlsx")));
    EXPECT_EQ(r.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59433});
    EXPECT_EQ(CountAddresses(t.db(), target), 0);
    EXPECT_EQ(reloads, 0);
}

TEST_F(ImportTest, FailedWriteRollsEverythingBack)
{
    const QString file = writeSheet(path(QStringLiteral("w.xls")), {row(QStringLiteral("E1")), row(QStringLiteral("E2"))});
    // A trigger makes the second address fail inside the transaction.
    if (TempDatabase::OnServer())
        t.db().ExecuteRaw(QStringLiteral("CREATE FUNCTION fail_e2() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                                         "RAISE EXCEPTION 'refused'; END $$;"
                                         "CREATE TRIGGER fail_e2 BEFORE INSERT ON address FOR EACH ROW "
                                         "WHEN (NEW.name = 'E2') EXECUTE FUNCTION fail_e2()"));
    else
        t.db().ExecuteRaw(QStringLiteral("CREATE TRIGGER fail_e2 BEFORE INSERT ON ADDRESS WHEN NEW.NAME = 'E2' "
                                         "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    MessageRecorder rec;
    const ImportResult r = import(file);
    EXPECT_EQ(r.outcome, ImportOutcome::Cancelled);
    EXPECT_EQ(rec.Ids(), std::vector<int>{8});
    EXPECT_EQ(CountAddresses(t.db(), target), 0);
    EXPECT_EQ(t.db().TransactionDepth(), 0);
    EXPECT_EQ(reloads, 0);
}

TEST_F(ImportTest, CommandLineImportWithDuplicateModes)
{
    const QString file = writeSheet(path(QStringLiteral("cli.xls")), {row(QStringLiteral("F1")), row(QStringLiteral("F2"))});
    MessageRecorder rec;
    EXPECT_EQ(RunImportCommandLine(file, QStringLiteral("Addresses/Target"), QString()), 0);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59438});
    EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("Imported addresses: 2")));
    rec.Clear();
    EXPECT_EQ(RunImportCommandLine(file, QStringLiteral("/Target"), QStringLiteral("skip")), 0);
    EXPECT_TRUE(rec.Records().back().text.contains(QStringLiteral("Skipped addresses: 2")));
    rec.Clear();
    EXPECT_EQ(RunImportCommandLine(file, QStringLiteral("/target"), QStringLiteral("add")), 0);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59438});
    EXPECT_EQ(CountAddresses(t.db(), target), 4);
    rec.Clear();
    EXPECT_EQ(RunImportCommandLine(file, QStringLiteral("/Nowhere"), QStringLiteral("add")), 1);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59427});
    EXPECT_EQ(RunImportCommandLine(file, QStringLiteral("/Target"), QStringLiteral("maybe")), 2);
}

TEST(FolderPathTest, PathsFromTheRoot)
{
    TempDatabase t;
    const int root = RootFolder(t.db());
    const int a = AddFolder(t.db(), root, QStringLiteral("Customers"));
    const int b = AddFolder(t.db(), a, QStringLiteral("Club/3"));
    const QString rootName = FolderPath(t.db(), root);
    EXPECT_FALSE(rootName.isEmpty());
    EXPECT_EQ(FindFolderByPath(t.db(), QString()), root);
    EXPECT_EQ(FindFolderByPath(t.db(), QStringLiteral("/")), root);
    EXPECT_EQ(FindFolderByPath(t.db(), rootName), root);
    EXPECT_EQ(FindFolderByPath(t.db(), QStringLiteral("/Customers")), a);
    EXPECT_EQ(FindFolderByPath(t.db(), rootName + QStringLiteral("/customers/")), a);
    EXPECT_EQ(FindFolderByPath(t.db(), QStringLiteral("/Customers/Club\\/3")), b);
    EXPECT_EQ(FolderPath(t.db(), b), rootName + QStringLiteral("/Customers/Club\\/3"));
    EXPECT_EQ(FindFolderByPath(t.db(), FolderPath(t.db(), b)), b);
    EXPECT_FALSE(FindFolderByPath(t.db(), QStringLiteral("/Customers/Club")));
    EXPECT_FALSE(FindFolderByPath(t.db(), QStringLiteral("Elsewhere/Customers")));
    EXPECT_FALSE(FindFolderByPath(t.db(), QStringLiteral("/bad\\")));
}

// A long import shows its progress and stops at Cancel, whether the file is
// still being read or the rows are already being written; a cancelled
// import writes nothing.
TEST_F(ImportTest, CancelStopsTheImportWithNothingWritten)
{
    std::vector<std::vector<QString>> body;
    for (int i = 0; i < 3000; ++i)
        body.push_back(row(QStringLiteral("Name %1").arg(i), QStringLiteral("Town"), QStringLiteral("1"),
                           QStringLiteral("111 (home)")));
    const QString file = writeSheet(path(QStringLiteral("long.xls")), body);
    ImportSettings s;
    s.fileName = file;
    s.folder = target;
    const ImportCheck check = CheckImportSettings(s);
    ASSERT_EQ(check.message, 0);

    for (int cancelAbove : {-1, 40, 60}) {
        SCOPED_TRACE(cancelAbove);
        std::vector<int> progress{0};
        int pumps = 0;
        ImportObserver o;
        o.progress = [&](int p) { progress.push_back(p); };
        o.pump = [&] { ++pumps; };
        o.cancelled = [&] { return progress.back() > cancelAbove; };
        MessageRecorder rec;
        const ImportResult r = RunImport(t.db(), s, check, AskDuplicateWithQuestion(), o);
        EXPECT_EQ(r.outcome, ImportOutcome::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{122});
        EXPECT_GT(pumps, 0);
        EXPECT_EQ(CountAddresses(t.db(), target), 0);
        EXPECT_EQ(reloads, 0);
    }

    std::vector<int> progress;
    ImportObserver o;
    o.progress = [&](int p) { progress.push_back(p); };
    o.cancelled = [] { return false; };
    MessageRecorder rec;
    const ImportResult r = RunImport(t.db(), s, check, AskDuplicateWithQuestion(), o);
    EXPECT_EQ(r.outcome, ImportOutcome::Imported);
    EXPECT_EQ(r.accepted, 3000);
    EXPECT_TRUE(rec.Empty());
    EXPECT_EQ(CountAddresses(t.db(), target), 3000);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GT(progress.size(), 4u);
    EXPECT_EQ(progress.back(), 100);
}
