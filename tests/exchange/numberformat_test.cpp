// Number formats as the spreadsheets show them, and our BIFF8 reader on
// workbooks built record by record (long shared strings over several
// CONTINUE records, formulas with text results, mini-stream files, damage).
#include "biffreader.h"
#include "compoundfile.h"
#include "numberformat.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <random>

TEST(NumberFormatTest, NumbersShowAsTheirFormatSays)
{
    struct Case {
        double value;
        const char *format;
        const char *shown;
    };
    const Case cases[] = {
        {1234, "00000", "01234"},
        {123456, "00000", "123456"},
        {12.5, "0.00", "12.50"},
        {12.345, "0.00", "12.35"},
        {-12.5, "0.00", "-12.50"},
        {0.125, "0.0%", "12.5%"},
        {0.5, "0%", "50%"},
        {1234.5, "#,##0.00", "1,234.50"},
        {1234567, "#,##0", "1,234,567"},
        {12, "#,##0", "12"},
        {0, "#,##0", "0"},
        {0.5, "#.##", ".5"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {-5, "0;(0)", "(5)"},
        {0, "0;-0;\"zero\"", "zero"},
        {5, "\"No. \"0", "No. 5"},
        {5, "0\" pcs\"", "5 pcs"},
        {123456789, "000-00-0000", "123-45-6789"},
        {1234, "[$€-407] #,##0.00", "€ 1,234.00"},
        {1234, "#,##0.00 [$EUR]", "1,234.00 EUR"},
        {-3, "[Red]0;[Blue]-0", "-3"},
        {1500, "#,##0,", "2"},
        {12345, "0.00E+00", "1.23E+04"},
        {0.00012, "0.0E+0", "1.2E-4"},
        {42, "General", "42"},
        {42.5, "@", "42.5"},
        {7, "0_)", "7 "},
        {3, "??0", "  3"},
        {1e20, "General", "1E+20"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatCellNumber(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.shown))
            << c.format << " " << c.value;
}

TEST(NumberFormatTest, DatesAndTimesShowInTheFormatsOwnPattern)
{
    // 45366 is 15 March 2024 (a Friday) in the 1900 date system.
    const double date = 45366, time = (13 * 3600 + 45 * 60 + 30) / 86400.0;
    struct Case {
        double value;
        const char *format;
        const char *shown;
    };
    const Case cases[] = {
        {date, "DD.MM.YYYY", "15.03.2024"},
        {date, "dd.mm.yyyy", "15.03.2024"},
        {date, "YYYY-MM-DD", "2024-03-15"},
        {date, "m/d/yyyy", "3/15/2024"},
        {date, "d-mmm-yy", "15-Mar-24"},
        {date, "dddd, mmmm d, yyyy", "Friday, March 15, 2024"},
        {date, "[$-F800]dddd\\, mmmm dd\\, yyyy", "Friday, March 15, 2024"},
        {date, "[$-407]DD.MM.YY", "15.03.24"},
        {time, "HH:MM:SS", "13:45:30"},
        {time, "h:mm", "13:45"},
        {time, "h:mm AM/PM", "1:45 PM"},
        {date + time, "DD.MM.YYYY HH:MM", "15.03.2024 13:45"},
        {1.5, "[h]:mm", "36:00"},
        {time, "mm:ss", "45:30"},
        {1, "DD.MM.YYYY", "01.01.1900"},
        {61, "DD.MM.YYYY", "01.03.1900"},
        {0.9999999, "HH:MM:SS", "00:00:00"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FormatCellNumber(c.value, QString::fromUtf8(c.format)), QString::fromUtf8(c.shown))
            << c.format << " " << c.value;
    // The 1904 system counts from 1 January 1904.
    EXPECT_EQ(FormatCellNumber(0, QStringLiteral("YYYY-MM-DD"), true), QStringLiteral("1904-01-01"));
    EXPECT_EQ(FormatCellNumber(date - 1462, QStringLiteral("YYYY-MM-DD"), true), QStringLiteral("2024-03-15"));
    EXPECT_EQ(BuiltInNumberFormat(14), QStringLiteral("m/d/yyyy"));
    EXPECT_EQ(BuiltInNumberFormat(49), QStringLiteral("@"));
    EXPECT_TRUE(BuiltInNumberFormat(30).isEmpty());
}

TEST(NumberFormatTest, HostileFormatsGiveSomeTextAndNoCrash)
{
    std::mt19937 rng(7);
    const QString alphabet = QStringLiteral("0#?.,%E+-;\"\\_*[]$@ymdhsAM/P:General ");
    for (int i = 0; i < 3000; ++i) {
        QString f;
        const int n = int(rng() % 24);
        for (int k = 0; k < n; ++k)
            f += alphabet[int(rng() % alphabet.size())];
        const double values[] = {0, -1.5, 1e300, -1e-300, 45366.25, 123456789.123};
        for (double v : values)
            (void)FormatCellNumber(v, f);
    }
    EXPECT_TRUE(FormatCellNumber(-1, QStringLiteral("DD.MM.YYYY")).isEmpty()); // no date before 1900
}

namespace {

// A BIFF8 record.
QByteArray rec(std::uint16_t id, const QByteArray &data)
{
    QByteArray out(4, '\0');
    qToLittleEndian<quint16>(id, out.data());
    qToLittleEndian<quint16>(quint16(data.size()), out.data() + 2);
    return out + data;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray f64(double v)
{
    QByteArray b(8, '\0');
    std::memcpy(b.data(), &v, 8);
    return b;
}

QByteArray utf16(const QString &s)
{
    QByteArray b;
    for (QChar c : s)
        b += le16(c.unicode());
    return b;
}

QByteArray cell(quint16 row, quint16 col, quint16 xf)
{
    return le16(row) + le16(col) + le16(xf);
}

struct Book {
    QByteArray globals, sheet;
    QByteArray build() const
    {
        const QByteArray bof = rec(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        // BOUNDSHEET with its offset patched after the globals are sized.
        QByteArray head = bof + globals;
        const QByteArray bound = rec(0x0085, le32(0) + QByteArray(1, '\0') + QByteArray(1, '\0') +
                                                 QByteArray(1, char(6)) + QByteArray(1, '\0') + QByteArray("Sheet1"));
        QByteArray all = head + bound + rec(0x000A, {});
        const quint32 sheetAt = quint32(all.size());
        qToLittleEndian(sheetAt, all.data() + head.size() + 4);
        all += rec(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0')) + sheet + rec(0x000A, {});
        return BuildCompoundFile(all);
    }
};

} // namespace

TEST(BiffReaderTest, ReadsLongStringsFormulaResultsAndFormattedNumbers)
{
    // A shared string of 20,000 characters, half of it UTF-16, over three
    // CONTINUE records (each repeating the option byte).
    QString longText;
    for (int i = 0; i < 10000; ++i)
        longText += QChar(u'a' + i % 26);
    for (int i = 0; i < 10000; ++i)
        longText += QChar(0x0160 + i % 5); // Š and its neighbours
    QByteArray sst = le32(3) + le32(2);
    sst += le16(5) + QByteArray(1, '\0') + QByteArray("Hello");
    sst += le16(quint16(longText.size())) + QByteArray(1, '\0');
    QByteArray sstRecords;
    const QByteArray latin = longText.left(10000).toLatin1();
    // First part: the start of the Latin-1 run.
    sst += latin.left(8000);
    sstRecords += rec(0x00FC, sst);
    sstRecords += rec(0x003C, QByteArray(1, '\0') + latin.mid(8000));           // rest of the 8-bit run
    const QByteArray wide = utf16(longText.mid(10000));
    sstRecords += rec(0x003C, QByteArray(1, '\1') + wide.left(8000));          // switch to 16-bit
    sstRecords += rec(0x003C, QByteArray(1, '\1') + wide.mid(8000, 8000));
    sstRecords += rec(0x003C, QByteArray(1, '\1') + wide.mid(16000));

    Book b;
    b.globals = rec(0x041E, le16(164) + le16(5) + QByteArray(1, '\0') + QByteArray("00000")) +
                rec(0x041E, le16(165) + le16(10) + QByteArray(1, '\0') + QByteArray("DD.MM.YYYY")) +
                rec(0x00E0, le16(0) + le16(0) + QByteArray(16, '\0')) +   // XF 0: General
                rec(0x00E0, le16(0) + le16(164) + QByteArray(16, '\0')) + // XF 1: 00000
                rec(0x00E0, le16(0) + le16(165) + QByteArray(16, '\0')) + // XF 2: date
                rec(0x00E0, le16(0) + le16(2) + QByteArray(16, '\0')) +   // XF 3: built-in 0.00
                sstRecords;
    QByteArray formulaTail = le16(0) + le32(0) + le16(0);
    b.sheet = rec(0x0200, le32(0) + le32(3) + le16(0) + le16(6) + le16(0)) +
              rec(0x00FD, cell(0, 0, 0) + le32(0)) +                  // A1 "Hello"
              rec(0x00FD, cell(0, 1, 0) + le32(1)) +                  // B1 the long text
              rec(0x0203, cell(1, 0, 1) + f64(1234)) +               // A2 01234
              rec(0x027E, cell(1, 1, 3) + le32((1250u << 2) | 3)) + // B2 RK 12.50 (integer / 100)
              rec(0x0006, cell(1, 2, 0) + QByteArray::fromHex("000000000000FFFF") + formulaTail) +
              rec(0x04BC, QByteArray(10, '\0')) +                     // shared formula between
              rec(0x0207, le16(11) + QByteArray(1, '\1') + utf16(QStringLiteral("Müller GmbH"))) +
              rec(0x0006, cell(1, 3, 2) + f64(45366) + formulaTail) + // D2 formula number as a date
              rec(0x0006, cell(1, 4, 0) + QByteArray::fromHex("010001000000FFFF") + formulaTail) +
              rec(0x0205, cell(1, 5, 0) + QByteArray::fromHex("0701")) + // F2 #DIV/0!
              rec(0x00BD, le16(2) + le16(0) + le16(1) + le32((7u << 2) | 2) + le16(0) + le32((3u << 2) | 2) + le16(1)) +
              rec(0x0204, cell(2, 3, 0) + le16(3) + QByteArray(1, '\0') + QByteArray("abc"));
    SheetCells s;
    QString why;
    ASSERT_TRUE(ReadXlsWorkbook(b.build(), s, &why)) << why.toStdString();
    EXPECT_EQ(s.rows, 3u);
    EXPECT_EQ(s.columns, 6u);
    auto at = [&](unsigned r, unsigned c) { return s.cells.value(CellKey(r, c)); };
    EXPECT_EQ(at(1, 1), QStringLiteral("Hello"));
    EXPECT_EQ(at(1, 2), longText);
    EXPECT_EQ(at(2, 1), QStringLiteral("01234"));
    EXPECT_EQ(at(2, 2), QStringLiteral("12.50"));
    EXPECT_EQ(at(2, 3), QStringLiteral("Müller GmbH"));
    EXPECT_EQ(at(2, 4), QStringLiteral("15.03.2024"));
    EXPECT_EQ(at(2, 5), QStringLiteral("TRUE"));
    EXPECT_EQ(at(2, 6), QStringLiteral("#DIV/0!"));
    EXPECT_EQ(at(3, 1), QStringLiteral("00007"));
    EXPECT_EQ(at(3, 2), QStringLiteral("3"));
    EXPECT_EQ(at(3, 4), QStringLiteral("abc"));

    // Every damaged variant is refused or read; never a crash (ASan checks
    // the reads), never a cell outside the limits.
    const QByteArray good = b.build();
    std::mt19937 rng(11);
    for (int i = 0; i < 4000; ++i) {
        QByteArray bad = good;
        const int edits = 1 + int(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const qsizetype p = qsizetype(rng() % quint32(bad.size()));
            switch (rng() % 4) {
            case 0: bad[p] = char(rng()); break;
            case 1: bad.truncate(p); break;
            case 2: bad.replace(p, 4, QByteArray::fromHex("FFFFFFFF")); break;
            default: bad.replace(p & ~qsizetype(1), 2, QByteArray::fromHex("0000")); break;
            }
            if (bad.isEmpty())
                break;
        }
        SheetCells out;
        if (ReadXlsWorkbook(bad, out)) {
            EXPECT_LE(out.rows, 65536u);
            EXPECT_LE(out.columns, 256u);
        }
    }
}

TEST(BiffReaderTest, SmallWorkbooksInTheMiniStreamAndForeignFilesAreHandled)
{
    // A compound file holding a short stream in the mini stream, built by hand.
    Book b;
    b.sheet = rec(0x0204, cell(0, 0, 0) + le16(2) + QByteArray(1, '\0') + QByteArray("ok"));
    QByteArray stream;
    {
        // The stream of Book::build without the compound file around it.
        const QByteArray bof = rec(0x0809, le16(0x0600) + le16(0x0005) + QByteArray(12, '\0'));
        const QByteArray bound = rec(0x0085, le32(0) + QByteArray(2, '\0') + QByteArray(1, char(1)) +
                                                 QByteArray(1, '\0') + QByteArray("S"));
        stream = bof + bound + rec(0x000A, {});
        qToLittleEndian(quint32(stream.size()), stream.data() + bof.size() + 4);
        stream += rec(0x0809, le16(0x0600) + le16(0x0010) + QByteArray(12, '\0')) + b.sheet + rec(0x000A, {});
    }
    ASSERT_LT(stream.size(), 4096);
    // Sectors: 0 FAT, 1 directory, 2 mini FAT, 3.. mini stream data.
    const int miniSectors = int((stream.size() + 63) / 64);
    const int dataSectors = (miniSectors * 64 + 511) / 512;
    QByteArray file(512 * (4 + dataSectors), '\0');
    auto put32 = [&](qsizetype at, quint32 v) { qToLittleEndian(v, file.data() + at); };
    auto put16 = [&](qsizetype at, quint16 v) { qToLittleEndian(v, file.data() + at); };
    file.replace(0, 8, QByteArray::fromHex("D0CF11E0A1B11AE1"));
    put16(0x18, 0x3E);
    put16(0x1A, 3);
    put16(0x1C, 0xFFFE);
    put16(0x1E, 9);
    put16(0x20, 6);
    put32(0x2C, 1);
    put32(0x30, 1);
    put32(0x38, 4096);
    put32(0x3C, 2);
    put32(0x40, 1);
    put32(0x44, 0xFFFFFFFE);
    for (int i = 0; i < 109; ++i)
        put32(0x4C + 4 * i, i == 0 ? 0 : 0xFFFFFFFF);
    const qsizetype fat = 512, dir = 1024, miniFat = 1536, data = 2048;
    for (int i = 0; i < 128; ++i)
        put32(fat + 4 * i, 0xFFFFFFFF);
    put32(fat + 0, 0xFFFFFFFD);
    put32(fat + 4, 0xFFFFFFFE);
    put32(fat + 8, 0xFFFFFFFE);
    for (int i = 0; i < dataSectors; ++i)
        put32(fat + 4 * (3 + i), i + 1 < dataSectors ? quint32(4 + i) : 0xFFFFFFFE);
    for (int i = 0; i < 128; ++i)
        put32(miniFat + 4 * i, i < miniSectors ? (i + 1 < miniSectors ? quint32(i + 1) : 0xFFFFFFFE) : 0xFFFFFFFF);
    auto entry = [&](int n, const QString &name, int type, quint32 start, quint32 size, quint32 child) {
        const qsizetype e = dir + 128 * n;
        for (int i = 0; i < name.size(); ++i)
            put16(e + 2 * i, name[i].unicode());
        put16(e + 64, quint16((name.size() + 1) * 2));
        file[e + 66] = char(type);
        put32(e + 68, 0xFFFFFFFF);
        put32(e + 72, 0xFFFFFFFF);
        put32(e + 76, child);
        put32(e + 116, start);
        put32(e + 120, size);
    };
    entry(0, QStringLiteral("Root Entry"), 5, 3, quint32(miniSectors * 64), 1);
    entry(1, QStringLiteral("Workbook"), 2, 0, quint32(stream.size()), 0xFFFFFFFF);
    file.replace(data, stream.size(), stream);
    SheetCells s;
    QString why;
    ASSERT_TRUE(ReadXlsWorkbook(file, s, &why)) << why.toStdString();
    EXPECT_EQ(s.cells.value(CellKey(1, 1)), QStringLiteral("ok"));

    for (const QByteArray &junk : {QByteArray(), QByteArray(70000, '\xD0'), QByteArray("PK\x03\x04 not a compound file"),
                                   QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, '\xFF')}) {
        EXPECT_FALSE(ReadXlsWorkbook(junk, s, &why));
        EXPECT_FALSE(why.isEmpty());
    }
}
