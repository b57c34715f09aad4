#include "xlsreader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(XlsReaderOutput, WellFormedOutputGivesTheCells)
{
    XlsSheetReader reader;
    const QByteArray out = "CORVELLE-XLS 1\n3 2\n1 1 4\nName\n3 2 10\n\xC5\xA0\xC5\xA5" "astn\xC3\xBD\n"
                           "2 1 7\nline\nab\nEND\n";
    ASSERT_TRUE(reader.Parse(out));
    EXPECT_EQ(reader.LastRow(), 3u);
    EXPECT_EQ(reader.LastColumn(), 2u);
    QString text;
    ASSERT_TRUE(reader.CellText(1, 1, text));
    EXPECT_EQ(text, QStringLiteral("Name"));
    ASSERT_TRUE(reader.CellText(3, 2, text));
    EXPECT_EQ(text, QStringLiteral("Šťastný"));
    ASSERT_TRUE(reader.CellText(2, 1, text));
    EXPECT_EQ(text, QStringLiteral("line\nab")); // a line break inside a cell survives
    ASSERT_TRUE(reader.CellText(2, 2, text));
    EXPECT_TRUE(text.isEmpty());
    ASSERT_TRUE(reader.CellText(9, 9, text));
    EXPECT_TRUE(text.isEmpty());

    // A place given twice keeps the later text, in or out of order.
    ASSERT_TRUE(reader.Parse("CORVELLE-XLS 1\n2 2\n1 2 1\na\n2 1 1\nb\n1 2 1\nc\n2 2 0\n\nEND\n"));
    ASSERT_TRUE(reader.CellText(1, 2, text));
    EXPECT_EQ(text, QStringLiteral("c"));
    ASSERT_TRUE(reader.CellText(2, 1, text));
    EXPECT_EQ(text, QStringLiteral("b"));
    ASSERT_TRUE(reader.CellText(1, 1, text));
    EXPECT_TRUE(text.isEmpty());
}

TEST(XlsReaderOutput, DamagedOutputIsRefused)
{
    for (const QByteArray &bad : {QByteArray(), QByteArray("CORVELLE-XLS 2\n1 1\nEND\n"),
                                  QByteArray("CORVELLE-XLS 1\n1 1\n1 1 5\nab\nEND\n"),   // count too large
                                  QByteArray("CORVELLE-XLS 1\n1 1\n2 1 1\na\nEND\n"),    // row outside the range
                                  QByteArray("CORVELLE-XLS 1\n1 1\n1 1 1\na\n"),         // cut before END
                                  QByteArray("CORVELLE-XLS 1\nx 1\nEND\n"),
                                  QByteArray("CORVELLE-XLS 1\n1 1\n1 1 -1\n\nEND\n"),
                                  QByteArray("CORVELLE-XLS 1\n1 1\n1 1 99999999999999999999\na\nEND\n"),
                                  QByteArray("CORVELLE-XLS 1\n99999999999 1\nEND\n"), // more rows than a sheet
                                  QByteArray("CORVELLE-XLS 1\n1 1\n1 1 1\naEND\n")}) {
        XlsSheetReader reader;
        EXPECT_FALSE(reader.Parse(bad)) << bad.toStdString();
        QString text;
        EXPECT_FALSE(reader.CellText(1, 1, text));
    }
}

TEST(XlsReaderProcess, FilesThatAreNotWorkbooksAreRefusedWithoutHarm)
{
    ASSERT_FALSE(XlsSheetReader::ReaderProgram().isEmpty());
    QTemporaryDir dir;
    XlsSheetReader reader;
    EXPECT_FALSE(reader.Open(dir.filePath(QStringLiteral("missing.xls"))));
    QFile junk(dir.filePath(QStringLiteral("junk.xls")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(70000, '\xD0'));
    junk.close();
    EXPECT_FALSE(reader.Open(junk.fileName()));
    // The reader program itself ends with an error, not a crash.
    QProcess p;
    p.start(XlsSheetReader::ReaderProgram(), {junk.fileName()});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
}
