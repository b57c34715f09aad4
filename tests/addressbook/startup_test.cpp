#include "startup.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString writeIni(QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("envelope.ini"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

struct RunResult {
    int exitCode;
    QString err;
};

RunResult runTesmar(const QString &dir, const QStringList &args = {})
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESMAR_AUTOANSWER"), QStringLiteral("ok"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(BuiltProgram(QStringLiteral("tesmar")), args);
    p.waitForFinished(20000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

TEST(Configuration, DbfileLineRules)
{
    QTemporaryDir dir;
    EXPECT_EQ(ReadConfiguredDatabasePath(dir.filePath(QStringLiteral("missing.ini"))), QString());
    EXPECT_EQ(ReadConfiguredDatabasePath(writeIni(dir, "dbfile=  /data/my envdb.mdb  \nother\n")),
              QStringLiteral("/data/my envdb.mdb"));
    EXPECT_EQ(ReadConfiguredDatabasePath(writeIni(dir, "first line\ndbfile=/x.mdb\n")), QString());
    EXPECT_EQ(ReadConfiguredDatabasePath(writeIni(dir, "; comment dbfile=rel/x.mdb")), QStringLiteral("rel/x.mdb"));
    EXPECT_EQ(ReadConfiguredDatabasePath(writeIni(dir, "dbfile=   \n")), QString());
    EXPECT_EQ(ReadConfiguredDatabasePath(writeIni(dir, "dbfile=a.mdb dbfile=b.mdb\r\n")),
              QStringLiteral("a.mdb dbfile=b.mdb"));
}

TEST(Configuration, PrinterNameFromProfileEntry)
{
    EXPECT_EQ(PrinterNameFromProfileEntry(QStringLiteral("Office Laser,winspool,Ne01:")), QStringLiteral("Office Laser"));
    EXPECT_EQ(PrinterNameFromProfileEntry(QStringLiteral(",,,")), QStringLiteral(",,,"));
    EXPECT_EQ(PrinterNameFromProfileEntry(QStringLiteral("Plain")), QStringLiteral("Plain"));
}

TEST(StartUp, MissingOrDamagedDatabaseEndsWithMessage1)
{
    QTemporaryDir dir;
    const QString expected =
        QStringLiteral("error 1: Fatal error occurred when opening database, the program will be terminated.");
    RunResult r = runTesmar(dir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(expected)) << r.err.toStdString();

    // A file that is not a database.
    QFile junk(dir.filePath(QStringLiteral("envdb.mdb")));
    junk.open(QIODevice::WriteOnly);
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    r = runTesmar(dir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(expected)) << r.err.toStdString();

    // envelope.ini naming a missing file.
    QFile::remove(dir.filePath(QStringLiteral("envdb.mdb")));
    QProcess::execute(BuiltProgram(QStringLiteral("tesmar-newdb")), {dir.filePath(QStringLiteral("envdb.mdb"))});
    writeIni(dir, "dbfile=" + dir.filePath(QStringLiteral("nowhere.mdb")).toUtf8());
    r = runTesmar(dir.path());
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(expected)) << r.err.toStdString();
}

TEST(StartUp, LeftoverSpreadsheetIsRemovedAndConfiguredDatabaseOpens)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("data"));
    const QString db = dir.filePath(QStringLiteral("data/book.mdb"));
    ASSERT_EQ(QProcess::execute(BuiltProgram(QStringLiteral("tesmar-newdb")), {db}), 0);
    writeIni(dir, "dbfile=  " + db.toUtf8() + "  \n");
    QFile tmp(dir.filePath(QStringLiteral("xlstemp.xls")));
    tmp.open(QIODevice::WriteOnly);
    tmp.write("old");
    tmp.close();
    const RunResult r = runTesmar(dir.path(), {QStringLiteral("--check")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("xlstemp.xls"))));
}
