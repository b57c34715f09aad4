// Workbooks written by LibreOffice and Gnumeric (fixtures/, made by
// fixtures/make-fixtures.py): every cell of the first sheet reads as the
// program that wrote the file shows it, and the rows import with leading
// zeros, formula results, dates, decimals and a 10,000-character cell intact.
#include "excelimport.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "testsupport.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString fixture(const QString &name)
{
    return QStringLiteral(CORVELLE_EXCHANGE_FIXTURES) + u'/' + name;
}

const char *const kFixtures[] = {"lo.xls", "gnm.xls", "lo.xlsx", "gnm.xlsx", "lo.ods", "gnm.ods"};

// LibreOffice 7.4 stores the text result of a formula in .xls as the number
// 0, without the STRING record that carries the text (it recalculates on
// loading, so it shows the text itself): these cells hold nothing better.
bool resultNotStored(const char *fixture, unsigned row, unsigned column)
{
    return std::strcmp(fixture, "lo.xls") == 0 && row == 3 && (column == 1 || column == 3);
}

} // namespace

TEST(FixtureTest, EveryCellReadsAsTheWritingProgramShowsIt)
{
    for (const char *name : kFixtures) {
        SCOPED_TRACE(name);
        const QString file = fixture(QString::fromLatin1(name));
        const std::vector<QStringList> shown = ReadCsv(file + QStringLiteral(".csv"));
        ASSERT_EQ(shown.size(), 7u);
        const std::unique_ptr<ImportSheet> sheet = OpenImportSheet(file);
        ASSERT_TRUE(sheet);
        EXPECT_EQ(sheet->LastRow(), 7u);
        EXPECT_EQ(sheet->LastColumn(), 8u);
        for (unsigned r = 1; r <= 7; ++r)
            for (unsigned c = 1; c <= 8; ++c) {
                QString text;
                ASSERT_TRUE(sheet->CellText(r, c, text));
                const QStringList &row = shown[r - 1];
                const QString expected = resultNotStored(name, r, c)       ? QStringLiteral("0")
                                         : c <= unsigned(row.size()) ? row[int(c - 1)]
                                                                     : QString();
                EXPECT_EQ(text, expected) << "row " << r << " column " << c;
            }
        // The long cell is whole.
        QString longCell;
        sheet->CellText(7, 8, longCell);
        EXPECT_EQ(longCell.size(), 10000);
    }
}

TEST(FixtureTest, RowsImportWithEveryShownValue)
{
    for (const char *name : kFixtures) {
        SCOPED_TRACE(name);
        TempDatabase t;
        const int folder = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("In"));
        ImportSettings s;
        s.fileName = fixture(QString::fromLatin1(name));
        s.folder = folder;
        const ImportCheck check = CheckImportSettings(s);
        ASSERT_EQ(check.message, 0);
        MessageRecorder rec;
        const ImportResult r = RunImport(t.db(), s, check);
        EXPECT_TRUE(rec.Empty());
        EXPECT_EQ(r.outcome, ImportOutcome::Imported);
        EXPECT_EQ(r.accepted, 6);
        EXPECT_EQ(r.errors, 0);
        const QString all = DumpFolder(t.db(), folder).join(u'\n');
        const bool textResults = std::strcmp(name, "lo.xls") != 0;
        EXPECT_EQ(all.contains(QStringLiteral("Müller GmbH\tHauptstraße 1\tBERLIN")), textResults);
        for (const char *part : {"10115", "12.50", "日本語 株式会社", "東京", "15.03.2024",
                                 "12.5%", "13:45:30", "Line 1\r\nLine 2", "1,234.50", "Šťastný Jan",
                                 "+44 (0)20 7946 0000", "office", "user0400@"})
            EXPECT_TRUE(all.contains(QString::fromUtf8(part))) << part;
        // ZIPs: "01234" as text and as 1234 shown through 00000, "1234" from a formula.
        EXPECT_EQ(all.count(QStringLiteral("01234")), 3) << all.toStdString();
    }
}
