// Printing envelopes from the command line: the built program on a database
// of its own, as a batch run would use it.
#include "addressrecords.h"
#include "database.h"
#include "envelopetest.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString errors;
};

class EnvelopeCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QProcess newdb;
        newdb.start(BuiltProgram(QStringLiteral("tesmar-newdb")), {m_dir.filePath(QStringLiteral("envdb.mdb"))});
        ASSERT_TRUE(newdb.waitForFinished(60000));
        ASSERT_EQ(newdb.exitCode(), 0) << newdb.readAllStandardError().toStdString();
        CDatabase db;
        db.Open(m_dir.filePath(QStringLiteral("envdb.mdb")));
        const auto root = SubfoldersOf(db, -1).front().id;
        for (const char *name : {"Carol", "Alice", "Bob"}) {
            AddressEntry a;
            a.name = QString::fromLatin1(name);
            a.street = QStringLiteral("Main Street 1");
            a.town = QStringLiteral("Springfield");
            a.zip = QStringLiteral("12345");
            SaveNewAddress(db, a, {}, {}, root);
        }
        db.Close();
    }

    ProgramRun run(const QStringList &arguments)
    {
        QProcess tesmar;
        tesmar.setWorkingDirectory(m_dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        tesmar.setProcessEnvironment(env);
        tesmar.start(BuiltProgram(QStringLiteral("tesmar")), arguments);
        ProgramRun r;
        if (!tesmar.waitForFinished(120000))
            return r;
        r.exitCode = tesmar.exitStatus() == QProcess::NormalExit ? tesmar.exitCode() : -1;
        r.errors = QString::fromUtf8(tesmar.readAllStandardError());
        return r;
    }

    QString file(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(EnvelopeCommandLine, FolderOfThreeWithTwoCopiesGivesSixPages)
{
    const ProgramRun r = run({"--print", "envelopes", "--folder", "/", "--size", "DL (220 x 110 mm)", "--style", "Standard",
                       "--copies", "2", "--pdf", "out.pdf"});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(PdfPageCount(file("out.pdf")), 6);
    const QSizeF page = PdfPageSize(file("out.pdf"));
    EXPECT_NEAR(PointsToMm(page.width()), 220, 0.5);
    EXPECT_NEAR(PointsToMm(page.height()), 110, 0.5);
    // Each address twice in a row, in ascending name order.
    QStringList firstWords;
    int lastPage = -1;
    for (const PdfWord &w : PdfWords(file("out.pdf")))
        if (w.page != lastPage) {
            firstWords << w.text;
            lastPage = w.page;
        }
    EXPECT_EQ(firstWords, (QStringList{"Alice", "Alice", "Bob", "Bob", "Carol", "Carol"}));
}

TEST_F(EnvelopeCommandLine, CollatedRunRepeatsTheList)
{
    const ProgramRun r = run({"--print", "envelopes", "--folder", "Addresses", "--size", "dl (220 x 110 mm)", "--style",
                       "standard", "--copies", "2", "--collate", "--pdf", "collated.pdf"});
    ASSERT_EQ(r.exitCode, 0) << r.errors.toStdString();
    QStringList firstWords;
    int lastPage = -1;
    for (const PdfWord &w : PdfWords(file("collated.pdf")))
        if (w.page != lastPage) {
            firstWords << w.text;
            lastPage = w.page;
        }
    EXPECT_EQ(firstWords, (QStringList{"Alice", "Bob", "Carol", "Alice", "Bob", "Carol"}));
}

TEST_F(EnvelopeCommandLine, UnknownNamesAreErrorsNamingThem)
{
    ProgramRun r = run({"--print", "envelopes", "--folder", "/Nowhere", "--size", "DL (220 x 110 mm)", "--style", "Standard",
                 "--pdf", "x.pdf"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("/Nowhere"))) << r.errors.toStdString();
    r = run({"--print", "envelopes", "--folder", "/", "--size", "B5", "--style", "Standard", "--pdf", "x.pdf"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("\"B5\""))) << r.errors.toStdString();
    r = run({"--print", "envelopes", "--folder", "/", "--size", "DL (220 x 110 mm)", "--style", "Fancy", "--pdf",
             "x.pdf"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("\"Fancy\""))) << r.errors.toStdString();
    r = run({"--print", "envelopes", "--folder", "/", "--size", "DL (220 x 110 mm)", "--style", "Standard", "--copies",
             "0", "--pdf", "x.pdf"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(QFile::exists(file("x.pdf")));
}

TEST_F(EnvelopeCommandLine, HelpDocumentsIt)
{
    const QString help = [&] {
        QProcess tesmar;
        tesmar.setWorkingDirectory(m_dir.path());
        tesmar.start(BuiltProgram(QStringLiteral("tesmar")), {QStringLiteral("--help")});
        tesmar.waitForFinished(60000);
        return QString::fromUtf8(tesmar.readAllStandardOutput());
    }();
    EXPECT_TRUE(help.contains(QStringLiteral("--print envelopes"))) << help.toStdString();
}
