// The .xls writer: compound file structure, string table splitting, the
// formats, and what independent readers make of the files.
#include "compoundfile.h"
#include "exchangetestutil.h"
#include "testsupport.h"
#include "xlsreader.h"
#include "xlswriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::uint32_t le32(const QByteArray &b, qsizetype at)
{
    return std::uint32_t(quint8(b[at])) | std::uint32_t(quint8(b[at + 1])) << 8 |
           std::uint32_t(quint8(b[at + 2])) << 16 | std::uint32_t(quint8(b[at + 3])) << 24;
}

SheetData sampleSheet(int bodyRows, const std::function<QString(int, int)> &cell)
{
    SheetData s;
    s.name = QStringLiteral("Page 1");
    s.columns = 8;
    s.header = SheetCellStyle{QStringLiteral("Arial"), true, 10, 0xA7D7FE};
    s.body = SheetCellStyle{QStringLiteral("Times New Roman"), false, 10, 0xFFFFDC};
    s.rows.push_back({QStringLiteral("Name"), QStringLiteral("Street"), QStringLiteral("Town / City"),
                      QStringLiteral("ZIP"), QStringLiteral("Country"), QStringLiteral("Note"),
                      QStringLiteral("Phone"), QStringLiteral("E-Mail")});
    s.heights.push_back(16.0);
    for (int r = 0; r < bodyRows; ++r) {
        std::vector<QString> row;
        for (int c = 0; c < 8; ++c)
            row.push_back(cell(r, c));
        s.rows.push_back(row);
        s.heights.push_back(0);
    }
    s.widths = {10, 11, 12, 13, 14, 15, 16, 17};
    return s;
}

QStringList expectedDump(const SheetData &s)
{
    QStringList out;
    for (const auto &row : s.rows) {
        QStringList cells;
        for (QString c : row)
            cells << c.replace(u'\n', QLatin1String("\\n"));
        out << cells.join(u'\t');
    }
    return out;
}

} // namespace

TEST(CompoundFileTest, SmallStreamIsPaddedIntoNormalSectors)
{
    const QByteArray file = BuildCompoundFile(QByteArray(100, 'x'));
    ASSERT_EQ(file.size() % 512, 0);
    EXPECT_EQ(file.left(8), QByteArray::fromHex("D0CF11E0A1B11AE1"));
    EXPECT_EQ(le32(file, 0x2C), 1u);          // one FAT sector
    EXPECT_EQ(le32(file, 0x30), 8u);          // directory after 8 stream sectors
    EXPECT_EQ(le32(file, 0x3C), 0xFFFFFFFEu); // no mini FAT
    EXPECT_EQ(le32(file, 0x44), 0xFFFFFFFEu); // no DIFAT sectors
    EXPECT_EQ(le32(file, 0x4C), 9u);          // the FAT sector
    EXPECT_EQ(le32(file, 0x50), 0xFFFFFFFFu); // unused slots are free
    // The stream's size in its directory entry is the padded 4096.
    const qsizetype dir = 512 * (8 + 1);
    EXPECT_EQ(le32(file, dir + 128 + 120), 4096u);
    EXPECT_EQ(file.size(), 512 * (1 + 8 + 1 + 1));
}

TEST(CompoundFileTest, LargeStreamNeedsDifatSectors)
{
    const QByteArray stream(8 * 1024 * 1024, 'y');
    const QByteArray file = BuildCompoundFile(stream);
    const std::uint32_t fat = le32(file, 0x2C);
    const std::uint32_t difat = le32(file, 0x48);
    EXPECT_GT(fat, 109u);
    EXPECT_EQ(difat, (fat - 109 + 126) / 127);
    const std::uint32_t sectors = std::uint32_t(file.size() / 512 - 1);
    EXPECT_GE(fat * 128, sectors); // the FAT covers every sector
    // The first DIFAT sector lists FAT sector 110 onwards.
    const std::uint32_t firstDifat = le32(file, 0x44);
    EXPECT_EQ(le32(file, 512 * (qsizetype(firstDifat) + 1)), le32(file, 0x4C) + 109);
}

TEST(XlsWriterTest, TooManyRowsFailInsteadOfTruncating)
{
    QTemporaryDir dir;
    SheetData s = sampleSheet(0, {});
    s.rows.resize(kXlsMaxRows + 1, std::vector<QString>(8));
    QString why;
    const QString path = dir.filePath(QStringLiteral("big.xls"));
    EXPECT_FALSE(WriteXlsFile(s, path, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(XlsWriterTest, LongAndWideStringsCrossContinueRecordsIntact)
{
    QTemporaryDir dir;
    // Strings of 255 characters, Latin-1 and UTF-16 mixed, fill the shared
    // string table far past one record, so strings are split at every kind
    // of boundary.
    auto cell = [](int r, int c) {
        QString base = (r + c) % 3 == 0 ? QStringLiteral("Šťastný 王伟 ") : QStringLiteral("Müller-Lüdenscheidt ");
        QString s = QStringLiteral("%1/%2 ").arg(r).arg(c);
        while (s.size() < 200 + (r * 7 + c) % 55)
            s += base;
        return s.left(200 + (r * 7 + c) % 55);
    };
    const SheetData s = sampleSheet(120, cell);
    const QString path = dir.filePath(QStringLiteral("long.xls"));
    QString why;
    ASSERT_TRUE(WriteXlsFile(s, path, &why)) << why.toStdString();
    EXPECT_EQ(DumpWithFreeXL(path), expectedDump(s));
    if (HaveParseExcel()) {
        EXPECT_EQ(DumpWithParseExcel(path), expectedDump(s));
    }
}

TEST(XlsWriterTest, FullSheetOf65536RowsReadsBack)
{
    QTemporaryDir dir;
    auto cell = [](int r, int c) { return c == 7 ? QString() : QStringLiteral("r%1c%2").arg(r).arg(c); };
    const SheetData s = sampleSheet(kXlsMaxRows - 1, cell);
    const QString path = dir.filePath(QStringLiteral("full.xls"));
    QString why;
    ASSERT_TRUE(WriteXlsFile(s, path, &why)) << why.toStdString();
    XlsSheetReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.LastRow(), unsigned(kXlsMaxRows));
    EXPECT_EQ(reader.LastColumn(), 8u);
    QString text;
    ASSERT_TRUE(reader.CellText(kXlsMaxRows, 1, text));
    EXPECT_EQ(text, QStringLiteral("r65534c0"));
    ASSERT_TRUE(reader.CellText(kXlsMaxRows, 8, text));
    EXPECT_EQ(text, QString());
}

TEST(XlsWriterTest, ParseExcelSeesTheFontsFillsBordersAndSizes)
{
    if (!HaveParseExcel())
        GTEST_SKIP() << "Spreadsheet::ParseExcel is not installed";
    QTemporaryDir dir;
    const SheetData s = sampleSheet(2, [](int r, int c) { return QStringLiteral("line 1\nline %1-%2").arg(r).arg(c); });
    const QString path = dir.filePath(QStringLiteral("look.xls"));
    QString why;
    ASSERT_TRUE(WriteXlsFile(s, path, &why));
    const QString script = QStringLiteral(
        "use Spreadsheet::ParseExcel; my $b = Spreadsheet::ParseExcel->new->parse($ARGV[0]) or die;"
        "my $s = ($b->worksheets)[0]; print $s->get_name, \"\\n\";"
        "for my $r (0, 1) { my $f = $s->get_cell($r, 0)->get_format; my $font = $f->{Font};"
        " my @fill = @{$f->{Fill}}; my @bd = @{$f->{BdrStyle}};"
        " print join(' ', $font->{Name}, $font->{Bold} ? 'bold' : 'regular', $font->{Height},"
        "  $fill[0], $fill[1], Spreadsheet::ParseExcel->ColorIdxToRGB($fill[1]), $b->{aColor}[$fill[1]] // '',"
        "  'wrap', $f->{Wrap}, 'borders', @bd), \"\\n\" }"
        "print join(' ', map { sprintf('%.2f', $_) } @{$s->{ColWidth}}[0..7]), \"\\n\";"
        "print join(' ', map { sprintf('%.2f', $_) } @{$s->{RowHeight}}[0..2]), \"\\n\";");
    QProcess p;
    p.start(QStringLiteral("perl"), {QStringLiteral("-e"), script, path});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n');
    ASSERT_GE(lines.size(), 5) << p.readAllStandardError().toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("Page 1"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Arial bold 10 1 44 "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Times New Roman regular 10 1 43 "))) << lines[2].toStdString();
    EXPECT_TRUE(lines[1].toUpper().contains(QStringLiteral("A7D7FE"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].toUpper().contains(QStringLiteral("FFFFDC"))) << lines[2].toStdString();
    // The header "Name" is one line: no wrap; the body cells hold line breaks.
    EXPECT_TRUE(lines[1].contains(QStringLiteral("wrap 0 borders 1 1 1 1"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("wrap 1 borders 1 1 1 1"))) << lines[2].toStdString();
    // ParseExcel reports the width less the cell padding of 0.71 characters.
    EXPECT_EQ(lines[3], QStringLiteral("9.29 10.29 11.29 12.29 13.29 14.29 15.29 16.29"));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("16.00 "))) << lines[4].toStdString();
}

// Only a cell with a line break wraps: a single-line text keeps its width.
TEST(XlsWriterTest, OnlyCellsWithALineBreakWrap)
{
    if (!HaveParseExcel())
        GTEST_SKIP() << "Spreadsheet::ParseExcel is not installed";
    QTemporaryDir dir;
    const SheetData s = sampleSheet(1, [](int, int c) { return c == 0 ? QStringLiteral("two\nlines") : QStringLiteral("Customer since 2015"); });
    const QString path = dir.filePath(QStringLiteral("wrap.xls"));
    QString why;
    ASSERT_TRUE(WriteXlsFile(s, path, &why));
    const QString script = QStringLiteral(
        "use Spreadsheet::ParseExcel; my $s = (Spreadsheet::ParseExcel->new->parse($ARGV[0])->worksheets)[0];"
        "print join(' ', map { $s->get_cell(1, $_)->get_format->{Wrap} } 0, 1), \"\\n\";");
    QProcess p;
    p.start(QStringLiteral("perl"), {QStringLiteral("-e"), script, path});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), QStringLiteral("1 0"));
}
