// Backup and restore of a shared address book on a PostgreSQL server: the
// backup file is the same as a file's (a database file between header and
// trailer), so a server's backup restores into a file and a file's into a
// server; a restore into the server replaces its rows in one transaction,
// only while no other program is connected. Runs against the private test
// server (CORVELLE_TEST_PG); skipped without it.
#include "appcontext.h"
#include "backupfile.h"
#include "bookcopy.h"
#include "database.h"
#include "databaselock.h"
#include "datagen.h"
#include "exchangecli.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "recordset.h"
#include "recordsets.h"
#include "schema.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// Every row of the twelve tables as text, table by table in the order of
// their identifiers (the one-row tables as they are); doubles exactly,
// binaries in hex.
QStringList dumpTables(CDatabase &db)
{
    QStringList out;
    for (const TableDescription &table : AllTables()) {
        QStringList columns;
        for (const ColumnDescription &c : table.columns)
            columns << db.Quote(c.name);
        const QString sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(columns.join(QStringLiteral(", ")), db.Quote(table.name));
        const auto st = db.Engine().Prepare(sql);
        while (st->Step()) {
            QStringList row{table.name};
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                const QVariant v = st->Column(int(i), table.columns[i].type);
                switch (table.columns[i].type) {
                case ColumnType::Double: row << QString::number(v.toDouble(), 'g', 17); break;
                case ColumnType::Binary: row << QString::fromLatin1(v.toByteArray().toHex()); break;
                default: row << v.toString(); break;
                }
            }
            out << row.join(u'\x1f');
        }
    }
    return out;
}

class ServerBackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!TempDatabase::OnServer())
            GTEST_SKIP() << "needs the test server (ctest runs these as test_exchange_postgresql)";
        m_db = std::make_unique<TempDatabase>();
        DataGenOptions o;
        o.addresses = 300;
        GenerateAddressBook(m_db->path(), o);
        // Texts the server must keep exactly, and a logo of arbitrary bytes.
        AddAddress(db(), RootFolder(db()),
                   TestAddress{QStringLiteral("Šťastný & O'Brien\r\n[100%] *"), QString(255, u'ž'),
                               QStringLiteral("Zürich"), QStringLiteral("01234"), QStringLiteral("Schweiz"),
                               QStringLiteral("ＡＢＣ\u200B"), {{QStringLiteral("+41 1"), QStringLiteral("work")}},
                               {{QStringLiteral("a@b.ch"), QString()}}});
        QByteArray logo;
        for (int i = 0; i < 70000; ++i)
            logo.append(char(i * 7));
        const auto st = db().Engine().Prepare(QStringLiteral("UPDATE %1 SET %2 = ?")
                                                  .arg(db().Quote(QStringLiteral("ENVSTYLE")), db().Quote(QStringLiteral("LOGO"))));
        st->Bind(1, QVariant(logo));
        st->Step();
        m_oldFatal = SetFatalExitHandler([this](int code) { fatalCode = code; });
        SetAddressBookChangedHandler([this] {
            ++reloads;
            return true;
        });
    }
    void TearDown() override
    {
        if (!m_db)
            return;
        SetFatalExitHandler(std::move(m_oldFatal));
        SetAddressBookChangedHandler({});
    }
    CDatabase &db() { return m_db->db(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

    // A new database file with the seeded rows, open.
    std::unique_ptr<CDatabase> newFile(const QString &name)
    {
        CreateNewDatabase(file(name), false);
        auto f = std::make_unique<CDatabase>();
        f->Open(file(name));
        return f;
    }
    static OperationObserver yes()
    {
        OperationObserver o;
        o.confirm = [](const QString &) { return true; };
        return o;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TempDatabase> m_db;
    std::function<void(int)> m_oldFatal;
    int fatalCode = -1;
    int reloads = 0;
};

} // namespace

TEST_F(ServerBackupTest, ServerBackupRestoresIntoAFileAndAFileBackupIntoTheServer)
{
    const QStringList server = dumpTables(db());
    ASSERT_GT(server.size(), 600);
    {
        MessageRecorder rec;
        std::vector<int> seen;
        OperationObserver o;
        o.progress = [&](int p) { seen.push_back(p); };
        ASSERT_EQ(RunBackup(db(), file(QStringLiteral("server.env")), o), OperationResult::Completed);
        EXPECT_TRUE(rec.Empty());
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), 100);
        EXPECT_TRUE(db().IsOpen());
    }
    // The file format of every backup: L, the date, the mark, a database
    // file, the trailer; and nothing left beside it.
    const QByteArray bytes = ReadAll(file(QStringLiteral("server.env")));
    ASSERT_GT(bytes.size(), 36);
    EXPECT_TRUE(bytes.mid(32, 16) == QByteArray("SQLite format 3", 16));
    EXPECT_TRUE(bytes.right(4) == QByteArray::fromHex("f1fb0900"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("server.env")});

    // Into a file: the same rows.
    auto local = newFile(QStringLiteral("local.mdb"));
    {
        MessageRecorder rec;
        ASSERT_EQ(RunRestore(*local, file(QStringLiteral("server.env")), yes()), OperationResult::Completed);
        EXPECT_TRUE(rec.Empty());
    }
    EXPECT_EQ(dumpTables(*local), server);
    DatabaseUseLock::Release();

    // Changed in the file, backed up, restored into the server: the file's rows.
    AddAddress(*local, RootFolder(*local), TestAddress{QStringLiteral("Only in the file"), {}, QStringLiteral("Brno"), QStringLiteral("602 00"), {}, {}, {}, {}});
    local->ExecuteRaw(QStringLiteral("DELETE FROM ADDRESS WHERE ID_ADDRESS_ADDRESS IN (SELECT ID_ADDRESS_ADDRESS FROM ADDRESS LIMIT 20)"));
    const QStringList changed = dumpTables(*local);
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(*local, file(QStringLiteral("file.env")), {}), OperationResult::Completed);
    }
    local->Close();
    DatabaseUseLock::Release();
    const int before = reloads;
    {
        MessageRecorder rec;
        ASSERT_EQ(RunRestore(db(), file(QStringLiteral("file.env")), yes()), OperationResult::Completed);
        EXPECT_TRUE(rec.Empty());
    }
    EXPECT_EQ(reloads, before + 1);
    EXPECT_EQ(dumpTables(db()), changed);
    EXPECT_NE(dumpTables(db()), server);
    // The restored server works on: the next address gets the next identifier.
    const std::int64_t next = db().QueryInteger(QStringLiteral("SELECT id_address_ff FROM ids"));
    const int id = AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("After"), {}, QStringLiteral("Ulm"), QStringLiteral("1"), {}, {}, {}, {}});
    EXPECT_EQ(id, next);
    EXPECT_EQ(fatalCode, -1);
}

// A restore replaces the rows in one transaction: a backup whose rows the
// server refuses (a text with U+0000, which SQLite stores and its length()
// stops at) and an abort in the middle both leave the server as it was.
TEST_F(ServerBackupTest, AFailedOrAbortedRestoreLeavesTheServerRows)
{
    auto local = newFile(QStringLiteral("bad.mdb"));
    {
        DataGenOptions o;
        o.addresses = 1200;
        GenerateAddressBook(file(QStringLiteral("bad.mdb")), o);
    }
    const QStringList server = dumpTables(db());
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(*local, file(QStringLiteral("good.env")), {}), OperationResult::Completed);
    }
    // The abort comes during the rows, after the copy of the backup.
    {
        MessageRecorder rec;
        OperationObserver o = yes();
        bool abort = false;
        o.progress = [&](int p) { abort = abort || p > 40; };
        o.aborted = [&] { return abort; };
        o.clearAbort = [&] { abort = false; };
        EXPECT_EQ(RunRestore(db(), file(QStringLiteral("good.env")), o, m_dir.path()), OperationResult::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{122});
        EXPECT_EQ(dumpTables(db()), server);
    }
    // Two backups the server refuses late, after most rows are written: a
    // text holding U+0000 (SQLite keeps it), and two addresses with one
    // identifier in a file without the index that forbids it.
    sqlite3_exec(local->Handle(),
                 "UPDATE ADDRESS SET NOTE = CAST(X'6E6F746500746578' AS TEXT) WHERE ID_ADDRESS_ADDRESS = "
                 "(SELECT max(ID_ADDRESS_ADDRESS) FROM ADDRESS)",
                 nullptr, nullptr, nullptr);
    ASSERT_EQ(sqlite3_changes(local->Handle()), 1);
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(*local, file(QStringLiteral("nul.env")), {}), OperationResult::Completed);
    }
    ASSERT_EQ(sqlite3_exec(local->Handle(),
                           "UPDATE ADDRESS SET NOTE = '' WHERE ID_ADDRESS_ADDRESS = (SELECT max(ID_ADDRESS_ADDRESS) FROM ADDRESS);"
                           "DROP INDEX ADDRESS_ID;"
                           "INSERT INTO ADDRESS SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = "
                           "(SELECT max(ID_ADDRESS_ADDRESS) FROM ADDRESS)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(*local, file(QStringLiteral("twice.env")), {}), OperationResult::Completed);
    }
    for (const char *name : {"nul.env", "twice.env"}) {
        MessageRecorder rec;
        EXPECT_EQ(RunRestore(db(), file(QString::fromLatin1(name)), yes(), m_dir.path()), OperationResult::StayOpen) << name;
        EXPECT_EQ(rec.Ids(), std::vector<int>{8}) << name;
        EXPECT_EQ(dumpTables(db()), server) << name;
    }
    EXPECT_EQ(dumpTables(db()), server);
    EXPECT_EQ(reloads, 0);
    // No copy left behind, and the server's hold is given back: another
    // program can open it.
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral(".tesmar-restore-*")}, QDir::Files | QDir::Hidden), QStringList{});
    CDatabase other;
    EXPECT_NO_THROW(other.Open(m_db->path()));
}

// Another program connected to the address book stops a restore before
// anything is asked; while a restore runs, no program can open it.
TEST_F(ServerBackupTest, RestoreOnlyWhileNoOtherProgramIsConnected)
{
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(db(), file(QStringLiteral("b.env")), {}), OperationResult::Completed);
    }
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    const QStringList changed = dumpTables(db());
    {
        CDatabase other;
        other.Open(m_db->path());
        MessageRecorder rec;
        EXPECT_EQ(RunRestore(db(), file(QStringLiteral("b.env")), yes()), OperationResult::StayOpen);
        ASSERT_EQ(rec.Records().size(), 1u);
        EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("open in another program")));
        EXPECT_EQ(dumpTables(db()), changed);
    }
    // Alone: the restore holds the address book; an opening program waits
    // and then gives up with the reason.
    int others = -1;
    ASSERT_TRUE(db().TryServerAlone(&others));
    EXPECT_EQ(others, 0);
    {
        CDatabase late;
        QElapsedTimer t;
        t.start();
        try {
            late.Open(m_db->path());
            ADD_FAILURE() << "opened during a restore";
        } catch (const DbException &e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("being restored")));
        }
        EXPECT_GE(t.elapsed(), 4000);
    }
    db().EndServerAlone();
    {
        MessageRecorder rec;
        EXPECT_EQ(RunRestore(db(), file(QStringLiteral("b.env")), yes()), OperationResult::Completed);
        EXPECT_NE(dumpTables(db()), changed);
    }
}

// tesmar --backup and --restore with envelope.ini naming the server.
TEST_F(ServerBackupTest, CommandLineOnAServerDatabase)
{
    const QString program = BuiltProgram(QStringLiteral("tesmar"));
    ASSERT_TRUE(QFile::exists(program));
    QFile ini(file(QStringLiteral("envelope.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("dbfile=" + m_db->path().toUtf8() + "\n");
    ini.close();
    auto run = [&](const QStringList &args, const QByteArray &answer = {}) {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), m_dir.path());
        if (!answer.isEmpty())
            env.insert(QStringLiteral("TESMAR_AUTOANSWER"), QString::fromLatin1(answer));
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const QStringList before = dumpTables(db());
    const auto backup = run({QStringLiteral("--backup"), file(QStringLiteral("cli.env"))});
    EXPECT_EQ(backup.first, 0) << qPrintable(backup.second);
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    // This test's own connection would stop the restore: it is told so.
    const auto refused = run({QStringLiteral("--restore"), file(QStringLiteral("cli.env"))}, "yes");
    EXPECT_EQ(refused.first, 1);
    EXPECT_TRUE(refused.second.contains(QStringLiteral("open in another program"))) << qPrintable(refused.second);
    db().Close();
    const auto restored = run({QStringLiteral("--restore"), file(QStringLiteral("cli.env"))}, "yes");
    EXPECT_EQ(restored.first, 0) << qPrintable(restored.second);
    db().Open(m_db->path());
    EXPECT_EQ(dumpTables(db()), before);
}
