// tesmar-newdb --postgresql: the address book created in an empty server
// database (a URI or libpq key/value pairs), the refusal of a database that
// holds one (without --force) or holds anything else, and of a server that
// cannot be reached. Against the private test server; skipped without it.
#include "database.h"
#include "recordsets.h"
#include "testsupport.h"

#include <QProcess>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int code = -1;
    QString out, err;
};

ToolRun newdb(const QStringList &args)
{
    QProcess p;
    p.start(BuiltProgram(QStringLiteral("tesmar-newdb")), args);
    ToolRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A schema of its own, removed at the end.
class Schema {
public:
    Schema() { m_name = TempDatabase::NewServerSchema(&m_schema); }
    ~Schema() { TempDatabase::DropServerSchema(m_schema); }
    QString name() const { return m_name; }     // pg:host=... options='-csearch_path=...'
    QString schema() const { return m_schema; }

private:
    QString m_name, m_schema;
};

} // namespace

TEST(ServerNewDatabase, CreatesTheAddressBookInAnEmptyDatabaseOnly)
{
    if (!TempDatabase::OnServer())
        GTEST_SKIP() << "needs the test server (ctest runs this as test_addressbook_postgresql)";
    const QString dir = qEnvironmentVariable("CORVELLE_TEST_PG_DIR");
    ASSERT_FALSE(dir.isEmpty());
    Schema s;
    // As envelope.ini would name it: a URI, the socket folder as host.
    const QString uri = QStringLiteral("postgresql://corvelle@/postgres?host=%1&port=5432&options=%2")
                            .arg(QString::fromLatin1(QUrl::toPercentEncoding(dir)),
                                 QString::fromLatin1(QUrl::toPercentEncoding(QStringLiteral("-csearch_path=") + s.schema())));
    const ToolRun made = newdb({QStringLiteral("--postgresql"), uri});
    ASSERT_EQ(made.code, 0) << qPrintable(made.err);
    EXPECT_TRUE(made.out.contains(QStringLiteral("dbfile=") + uri)) << qPrintable(made.out);
    {
        CDatabase db;
        ASSERT_NO_THROW(db.Open(uri)); // the schema check: tables, types, the text collation
        CSetFolder root(&db);
        root.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
        ASSERT_EQ(root.GetRecordCount(), 1);
        EXPECT_EQ(root.m_NAME, QStringLiteral("Addresses"));
        CSetEnvsize dl(&db);
        dl.Open(QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = 'dl (220 X 110 MM)'"));
        EXPECT_EQ(dl.GetRecordCount(), 1); // found by the text rule: case ignored
        CSetLabsize sheets(&db);
        sheets.Open(QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
        ASSERT_GE(sheets.GetRecordCount(), 5);
        EXPECT_GT(sheets.m_PAPERW, 0);
        CSetIDS ids(&db);
        ids.Open(QStringLiteral("SELECT * FROM IDS"));
        ASSERT_EQ(ids.GetRecordCount(), 1);
        EXPECT_GT(ids.m_ID_FOLDER_FF, root.m_ID_FOLDER_FOLDER);
        EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM envstyle")), 1);
        db.ExecuteRaw(QStringLiteral("INSERT INTO address (id_address_folder, id_address_address, name) VALUES (1, 999, 'Kept')"));
    }

    // Holding an address book: refused, and nothing changed; replaced with --force.
    const ToolRun again = newdb({QStringLiteral("--postgresql"), uri});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("already holds an address book"))) << qPrintable(again.err);
    {
        CDatabase db;
        db.Open(uri);
        EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM address WHERE name = 'Kept'")), 1);
    }
    // The key/value form, as after "dbfile=pg:".
    const QString keyValue = s.name().mid(3);
    const ToolRun forced = newdb({QStringLiteral("--force"), QStringLiteral("--postgresql"), keyValue});
    ASSERT_EQ(forced.code, 0) << qPrintable(forced.err);
    EXPECT_TRUE(forced.out.contains(QStringLiteral("dbfile=pg:") + keyValue)) << qPrintable(forced.out);
    {
        CDatabase db;
        db.Open(s.name());
        EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM address")), 0);
    }

    // Tables of anything else: refused even with --force, and left alone.
    Schema other;
    CDatabase::ExecuteOnServer(other.name(), QStringLiteral("CREATE TABLE invoices (n integer); INSERT INTO invoices VALUES (7)"));
    for (const QStringList &args : {QStringList{QStringLiteral("--postgresql"), other.name().mid(3)},
                                    QStringList{QStringLiteral("--force"), QStringLiteral("--postgresql"), other.name().mid(3)}}) {
        const ToolRun refused = newdb(args);
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains(QStringLiteral("not empty")) && refused.err.contains(QStringLiteral("invoices")))
            << qPrintable(refused.err);
    }
    CDatabase probe;
    EXPECT_THROW(probe.Open(other.name()), DbException); // no address book was made
    CDatabase::ExecuteOnServer(other.name(), QStringLiteral("SELECT n FROM invoices"));

    // No server there: the reason, exit code 1.
    const ToolRun unreachable = newdb({QStringLiteral("--postgresql"), QStringLiteral("host=/nonexistent-socket-dir port=5 dbname=x")});
    EXPECT_EQ(unreachable.code, 1);
    EXPECT_TRUE(unreachable.err.contains(QStringLiteral("Cannot connect to the database server"))) << qPrintable(unreachable.err);
    // A password never shows in what the tool prints.
    const ToolRun secret = newdb({QStringLiteral("--postgresql"), QStringLiteral("postgresql://u:s3cret@/x?host=/nonexistent-socket-dir")});
    EXPECT_FALSE((secret.out + secret.err).contains(QStringLiteral("s3cret")));
    EXPECT_EQ(newdb({QStringLiteral("--postgresql")}).code, 2);
}
