// The export: sheet content, the checks of the file name, the formats.
#include "datagen.h"
#include "excelexport.h"
#include "excelimport.h"
#include "exchangecli.h"
#include "exchangetestutil.h"
#include "testsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <memory>
#include <gtest/gtest.h>

namespace {

const TextMeasure kFixed{[](const QString &t, bool header) { return int(t.size()) * (header ? 8 : 6); }};

TestAddress sampleAddress()
{
    TestAddress a;
    a.name = QStringLiteral("Bäckerei Sonnenschein GmbH\r\nJürgen Groß");
    a.street = QStringLiteral("Hauptstraße 5");
    a.town = QStringLiteral("München");
    a.zip = QStringLiteral("80331");
    a.country = QStringLiteral("Deutschland");
    a.note = QStringLiteral("VIP");
    a.phones = {{QStringLiteral("222"), QStringLiteral("home")}, {QStringLiteral("111"), QString()}};
    a.emails = {{QStringLiteral("b@example.org"), QString()}, {QStringLiteral("a@example.com"), QStringLiteral("work")}};
    return a;
}

} // namespace

TEST(ExportRulesTest, ExtensionChecks)
{
    EXPECT_EQ(CheckExportExtension(QStringLiteral("Report.XLS"), SheetFormat::Xls), 0);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report"), SheetFormat::Xls), 59412);
    EXPECT_EQ(CheckExportExtension(QStringLiteral(".xls"), SheetFormat::Xls), 59412);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report.xlsx"), SheetFormat::Xls), 59412);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report.xls"), SheetFormat::Xlsx), 59413);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report.XLSX"), SheetFormat::Xlsx), 0);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("Report.ODS"), SheetFormat::Ods), 0);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report.xlsx"), SheetFormat::Ods), 59442);
    EXPECT_EQ(CheckExportExtension(QStringLiteral(".ods"), SheetFormat::Ods), 59442);
    EXPECT_EQ(CheckExportExtension(QStringLiteral("report.ods"), SheetFormat::Xlsx), 59413);
}

TEST(ExportRulesTest, WidthsAndJoins)
{
    // Wide enough for the text as the spreadsheets draw it, with margins.
    for (int px : {7, 50, 100, 200, 1000})
        EXPECT_GE(ColumnWidthFromPixels(px) * 7, px * 40 / 39 + 6) << px;
    EXPECT_EQ(ColumnWidthFromPixels(100), 16);
    EXPECT_EQ(ColumnWidthFromPixels(0), 0);
    EXPECT_EQ(JoinWithNotes({{QStringLiteral("111"), QString()}, {QStringLiteral("222"), QStringLiteral("home")}}),
              QStringLiteral("111; 222 (home)"));
    EXPECT_EQ(JoinWithNotes({}), QString());
    EXPECT_EQ(WithoutCarriageReturns(QStringLiteral("a\r\nb\r\n")), QStringLiteral("a\nb\n"));
}

TEST(ExportSheetTest, RowsHoldTheAddressTexts)
{
    TempDatabase t;
    const int root = RootFolder(t.db());
    const int sub = AddFolder(t.db(), root, QStringLiteral("Sub"));
    AddAddress(t.db(), sub, sampleAddress());
    TestAddress other;
    other.name = QStringLiteral("Adam");
    other.town = QStringLiteral("Praha");
    other.zip = QStringLiteral("110 00");
    AddAddress(t.db(), root, other);

    SheetData s = BuildExportSheet(t.db(), CollectFolderSet(t.db(), root, true), kFixed);
    ASSERT_EQ(s.rows.size(), 3u);
    EXPECT_EQ(s.name, QStringLiteral("Page 1"));
    EXPECT_EQ(s.rows[0][2], QStringLiteral("Town / City"));
    EXPECT_EQ(s.rows[0][7], QStringLiteral("E-Mail"));
    EXPECT_EQ(s.rows[1][0], QStringLiteral("Adam")); // ordered by name
    EXPECT_EQ(s.rows[1][6], QString());
    const auto &row = s.rows[2];
    EXPECT_EQ(row[0], QStringLiteral("Bäckerei Sonnenschein GmbH\nJürgen Groß"));
    EXPECT_EQ(row[6], QStringLiteral("111; 222 (home)"));
    EXPECT_EQ(row[7], QStringLiteral("a@example.com (work); b@example.org"));
    EXPECT_EQ(s.heights[0], 16.0);
    EXPECT_EQ(s.heights[2], 2 * 12.75);
    // Widths from the widest line: the header "Name" (4 × 8 px) against
    // "Bäckerei Sonnenschein GmbH" (26 × 6 px).
    EXPECT_EQ(s.widths[0], ColumnWidthFromPixels(26 * 6));
    EXPECT_EQ(s.widths[3], ColumnWidthFromPixels(6 * 6)); // "110 00" against "ZIP"
    EXPECT_EQ(s.header.fillRgb, 0xA7D7FEu);
    EXPECT_EQ(s.body.fillRgb, 0xFFFFDCu);
    EXPECT_TRUE(s.header.bold);
    EXPECT_EQ(s.header.fontName, QStringLiteral("Arial"));
    EXPECT_EQ(s.body.fontName, QStringLiteral("Times New Roman"));

    const SheetData only = BuildExportSheet(t.db(), CollectFolderSet(t.db(), root, false), kFixed);
    ASSERT_EQ(only.rows.size(), 2u);
    EXPECT_EQ(only.rows[1][0], QStringLiteral("Adam"));
}

TEST(ExportSheetTest, EmptyFolderGivesTheHeaderOnly)
{
    TempDatabase t;
    const int empty = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("Empty"));
    const QString path = t.dir() + QStringLiteral("/empty.xls");
    MessageRecorder rec;
    ASSERT_TRUE(ExportAddresses(t.db(), empty, true, path, SheetFormat::Xls, kFixed));
    EXPECT_TRUE(rec.Empty());
    const QStringList dump = DumpWithFreeXL(path);
    ASSERT_EQ(dump.size(), 1);
    EXPECT_EQ(dump[0], QStringLiteral("Name\tStreet\tTown / City\tZIP\tCountry\tNote\tPhone\tE-Mail"));
}

TEST(ExportSheetTest, IndependentReadersAgreeOnTheXlsFile)
{
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 200;
    GenerateAddressBook(t.path(), o);
    const int root = RootFolder(t.db());
    const QString path = t.dir() + QStringLiteral("/all.xls");
    MessageRecorder rec;
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, path, SheetFormat::Xls));
    const SheetData expected = BuildExportSheet(t.db(), CollectFolderSet(t.db(), root, true), kFixed);
    QStringList lines;
    for (const auto &row : expected.rows) {
        QStringList cells;
        for (QString c : row)
            cells << c.replace(u'\n', QLatin1String("\\n"));
        lines << cells.join(u'\t');
    }
    EXPECT_EQ(lines.size(), 201);
    EXPECT_EQ(DumpWithFreeXL(path), lines);
    if (!HaveParseExcel())
        GTEST_SKIP() << "Spreadsheet::ParseExcel is not installed";
    EXPECT_EQ(DumpWithParseExcel(path), lines);
}

TEST(ExportSheetTest, XlsxHoldsTheSameTexts)
{
    if (!HavePython())
        GTEST_SKIP() << "python3 is not available";
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 200;
    GenerateAddressBook(t.path(), o);
    const int root = RootFolder(t.db());
    const QString path = t.dir() + QStringLiteral("/all.xlsx");
    MessageRecorder rec;
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, path, SheetFormat::Xlsx));
    EXPECT_TRUE(rec.Empty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));
    const SheetData expected = BuildExportSheet(t.db(), CollectFolderSet(t.db(), root, true), kFixed);
    QStringList lines;
    for (const auto &row : expected.rows) {
        QStringList cells;
        for (QString c : row)
            cells << c.replace(u'\n', QLatin1String("\\n"));
        lines << cells.join(u'\t');
    }
    EXPECT_EQ(DumpXlsx(path), lines);
}

// The .ods export read back by our own reader: every cell as built,
// including spaces that XML would fold (leading, doubled, tabs) and lines.
TEST(ExportSheetTest, OdsHoldsTheSameTexts)
{
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 200;
    GenerateAddressBook(t.path(), o);
    const int root = RootFolder(t.db());
    TestAddress spaced = sampleAddress();
    spaced.name = QStringLiteral("  Two  spaces\tand a tab ");
    spaced.street = QStringLiteral("Line 1\r\n   Line 2 indented");
    AddAddress(t.db(), root, spaced);
    const QString path = t.dir() + QStringLiteral("/all.ods");
    MessageRecorder rec;
    ASSERT_TRUE(ExportAddresses(t.db(), root, true, path, SheetFormat::Ods, kFixed));
    EXPECT_TRUE(rec.Empty());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));
    // The media type comes first and stored, as OpenDocument asks.
    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes.mid(30, 8), QByteArray("mimetype"));
    EXPECT_EQ(bytes.mid(38, 46), QByteArray("application/vnd.oasis.opendocument.spreadsheet"));
    const SheetData expected = BuildExportSheet(t.db(), CollectFolderSet(t.db(), root, true), kFixed);
    const std::unique_ptr<ImportSheet> sheet = OpenImportSheet(path);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->LastRow(), unsigned(expected.rows.size()));
    EXPECT_EQ(sheet->LastColumn(), 8u);
    bool sawSpaced = false;
    for (unsigned r = 1; r <= expected.rows.size(); ++r)
        for (unsigned c = 1; c <= 8; ++c) {
            QString text;
            ASSERT_TRUE(sheet->CellText(r, c, text));
            EXPECT_EQ(text, expected.rows[r - 1][c - 1]) << r << " " << c;
            sawSpaced = sawSpaced || text == QStringLiteral("  Two  spaces\tand a tab ");
        }
    EXPECT_TRUE(sawSpaced);
}

TEST(ExportSheetTest, UnwritableTargetFailsWith59416)
{
    TempDatabase t;
    MessageRecorder rec;
    EXPECT_FALSE(ExportAddresses(t.db(), RootFolder(t.db()), true, t.dir() + QStringLiteral("/no/dir/x.xls"),
                                 SheetFormat::Xls, kFixed));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59416});
    rec.Clear();
    EXPECT_FALSE(ExportAddresses(t.db(), RootFolder(t.db()), true, t.dir() + QStringLiteral("/no/dir/x.xlsx"),
                                 SheetFormat::Xlsx, kFixed));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59416});
    rec.Clear();
    EXPECT_FALSE(ExportAddresses(t.db(), RootFolder(t.db()), true, t.dir() + QStringLiteral("/no/dir/x.ods"),
                                 SheetFormat::Ods, kFixed));
    EXPECT_EQ(rec.Ids(), std::vector<int>{59416});
}

TEST(ExportCommandLineTest, FolderPathsAndFormats)
{
    TempDatabase t;
    const int root = RootFolder(t.db());
    const int family = AddFolder(t.db(), root, QStringLiteral("Family"));
    AddAddress(t.db(), family, sampleAddress());
    MessageRecorder rec;
    const QString xls = t.dir() + QStringLiteral("/family.xls");
    EXPECT_EQ(RunExportCommandLine(xls, QStringLiteral("/Family"), false), 0);
    EXPECT_EQ(rec.Ids(), std::vector<int>{118});
    EXPECT_EQ(DumpWithFreeXL(xls).size(), 2);
    rec.Clear();
    EXPECT_EQ(RunExportCommandLine(t.dir() + QStringLiteral("/x.csv"), QStringLiteral("/"), true), 2);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59412});
    rec.Clear();
    EXPECT_EQ(RunExportCommandLine(t.dir() + QStringLiteral("/x.xlsx"), QStringLiteral("/Nowhere"), true), 1);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59426});
    // .ods out and back in through the command line.
    rec.Clear();
    const QString ods = t.dir() + QStringLiteral("/family.ods");
    EXPECT_EQ(RunExportCommandLine(ods, QStringLiteral("/Family"), false), 0);
    EXPECT_EQ(rec.Ids(), std::vector<int>{118});
    AddFolder(t.db(), root, QStringLiteral("Back"));
    rec.Clear();
    EXPECT_EQ(RunImportCommandLine(ods, QStringLiteral("/Back"), QStringLiteral("add")), 0);
    EXPECT_EQ(rec.Ids(), std::vector<int>{59438});
    EXPECT_EQ(DumpFolder(t.db(), family), DumpAll(t.db()).filter(QStringLiteral("Sonnenschein")).mid(0, 1));
}

// LibreOffice itself reads the three exported formats back cell for cell,
// like our own reader does (skipped without soffice).
TEST(ExportReadBackTest, LibreOfficeReadsTheExportCellForCell)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice (LibreOffice) is not installed; the read-back by LibreOffice is not checked";
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 40;
    GenerateAddressBook(t.path(), o);
    MessageRecorder rec;
    for (SheetFormat format : {SheetFormat::Xls, SheetFormat::Xlsx, SheetFormat::Ods}) {
        const QString file = t.dir() + (format == SheetFormat::Xls    ? QStringLiteral("/back.xls")
                                        : format == SheetFormat::Ods ? QStringLiteral("/back.ods")
                                                                     : QStringLiteral("/back.xlsx"));
        ASSERT_TRUE(ExportAddresses(t.db(), RootFolder(t.db()), true, file, format, kFixed));
        const QString out = t.dir() + QStringLiteral("/csv");
        QProcess p;
        p.start(soffice, {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + t.dir() + QStringLiteral("/profile"),
                          QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                          QStringLiteral("--outdir"), out, file});
        ASSERT_TRUE(p.waitForFinished(180000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const std::vector<QStringList> shown = ReadCsv(out + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".csv"));
        ASSERT_EQ(shown.size(), 41u);
        // Our reader on the same file.
        const std::unique_ptr<ImportSheet> sheet = OpenImportSheet(file);
        ASSERT_TRUE(sheet);
        for (unsigned r = 1; r <= 41; ++r)
            for (unsigned c = 1; c <= 8; ++c) {
                QString text;
                ASSERT_TRUE(sheet->CellText(r, c, text));
                const QStringList &row = shown[r - 1];
                EXPECT_EQ(c <= unsigned(row.size()) ? row[int(c - 1)] : QString(), text) << r << " " << c;
            }
    }
    EXPECT_TRUE(rec.Empty());
}
