// Backup and restore: the file format, the checks before the question, the
// replacement of the database and every way a restore can stop.
#include "appcontext.h"
#include "backupfile.h"
#include "database.h"
#include "databaselock.h"
#include "datagen.h"
#include "exchangecli.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "fileerrors.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <sqlite3.h>
#include <sys/stat.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_db = std::make_unique<TempDatabase>();
        DataGenOptions o;
        o.addresses = 200;
        GenerateAddressBook(m_db->path(), o);
        m_oldFatal = SetFatalExitHandler([this](int code) { fatalCode = code; });
        SetAddressBookChangedHandler([this] { ++reloads; return true; });
    }
    void TearDown() override
    {
        SetFatalExitHandler(std::move(m_oldFatal));
        SetAddressBookChangedHandler({});
    }
    CDatabase &db() { return m_db->db(); }
    QString file(const QString &name) const { return m_db->dir() + u'/' + name; }
    QByteArray dbHash() const
    {
        return QCryptographicHash::hash(ReadAll(m_db->path()), QCryptographicHash::Sha256);
    }
    // The temporary copies a restore may leave beside the database.
    QStringList tempCopies() const
    {
        return QDir(m_db->dir()).entryList({QStringLiteral(".envdb.mdb.restore-*")}, QDir::Files | QDir::Hidden);
    }
    QString makeBackup(const QString &name = QStringLiteral("good.env"))
    {
        MessageRecorder rec;
        EXPECT_EQ(RunBackup(db(), file(name), {}), OperationResult::Completed);
        EXPECT_TRUE(rec.Empty());
        return file(name);
    }
    OperationResult restore(const QString &backup, MessageRecorder &rec, OperationObserver o = {})
    {
        (void)rec;
        return RunRestore(db(), backup, o);
    }

    std::unique_ptr<TempDatabase> m_db;
    std::function<void(int)> m_oldFatal;
    int fatalCode = -1;
    int reloads = 0;
};

std::uint32_t le32(const QByteArray &b, int at)
{
    return std::uint32_t(quint8(b[at])) | std::uint32_t(quint8(b[at + 1])) << 8 |
           std::uint32_t(quint8(b[at + 2])) << 16 | std::uint32_t(quint8(b[at + 3])) << 24;
}

void put32(QByteArray &b, int at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

TEST(BackupHeaderTest, EncodesLittleEndianAndFormatsTheCreationTime)
{
    const BackupHeader h = BackupHeader::ForNow(70000, QDateTime(QDate(2026, 12, 7), QTime(4, 16, 30)));
    const auto bytes = h.Encode();
    const unsigned char expected[32] = {0x70, 0x11, 0x01, 0, 0xEA, 0x07, 0, 0, 12, 0, 0, 0, 7, 0, 0, 0,
                                        4,    0,    0,    0, 16,   0,    0, 0, 30, 0, 0, 0, 0x40, 0xE2, 0x01, 0};
    EXPECT_EQ(0, std::memcmp(bytes.data(), expected, 32));
    const BackupHeader back = BackupHeader::Decode(bytes.data());
    EXPECT_EQ(back.length, 70000u);
    EXPECT_TRUE(back.IsValid());
    EXPECT_EQ(back.CreationText(), QStringLiteral("07.12.2026 - 04:16:30"));
    BackupHeader zero = back;
    zero.length = 0;
    EXPECT_FALSE(zero.IsValid());
}

TEST(FileCauseTest, ErrnoValuesMapByMeaning)
{
    EXPECT_EQ(CauseFromErrno(ENOSPC, QStringLiteral("/tmp/x"), false), FileErrorCause::DiskFull);
    EXPECT_EQ(CauseFromErrno(EIO, QStringLiteral("/tmp/x"), false), FileErrorCause::HardwareIo);
    EXPECT_EQ(CauseFromErrno(ENOTDIR, QStringLiteral("/tmp/x"), false), FileErrorCause::BadPath);
    EXPECT_EQ(CauseFromErrno(EACCES, QStringLiteral("/tmp/x"), false), FileErrorCause::AccessDenied);
    EXPECT_EQ(CauseFromErrno(ENOENT, QStringLiteral("/tmp/none-such-file"), true), FileErrorCause::NotFound);
    EXPECT_EQ(CauseFromErrno(ENOENT, QStringLiteral("/no/such/dir/file"), true), FileErrorCause::BadPath);
    EXPECT_EQ(CauseFromErrno(ENOENT, QStringLiteral("/tmp/x"), false), FileErrorCause::BadPath);
    EXPECT_EQ(CauseFromErrno(EMFILE, QStringLiteral("/tmp/x"), false), FileErrorCause::Other);
    EXPECT_EQ(BackupTargetMessage(FileErrorCause::DiskFull), 112);
    EXPECT_EQ(BackupTargetMessage(FileErrorCause::Other), 115);
    EXPECT_EQ(RestoreReadMessage(FileErrorCause::NotFound), 128);
    EXPECT_EQ(RestoreTempMessage(FileErrorCause::AccessDenied), 133);
}

TEST_F(BackupTest, BackupIsTheDatabaseBetweenHeaderAndTrailer)
{
    const QByteArray before = ReadAll(m_db->path());
    ASSERT_GT(before.size(), 16000 * 2); // several chunks
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    const QString path = makeBackup();
    const QByteArray backup = ReadAll(path);
    ASSERT_EQ(backup.size(), before.size() + 36);
    EXPECT_EQ(backup.right(4), QByteArray::fromHex("F1FB0900"));
    EXPECT_EQ(le32(backup, 0), std::uint32_t(before.size()));
    EXPECT_EQ(le32(backup, 28), 123456u);
    EXPECT_EQ(backup.mid(32, before.size()), before);
    const QDateTime stamp(QDate(int(le32(backup, 4)), int(le32(backup, 8)), int(le32(backup, 12))),
                          QTime(int(le32(backup, 16)), int(le32(backup, 20)), int(le32(backup, 24))));
    EXPECT_GE(stamp, start);
    EXPECT_LE(stamp, QDateTime::currentDateTime().addSecs(1));
    EXPECT_TRUE(db().IsOpen());
    EXPECT_TRUE(db().IsExclusive());
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));
}

TEST_F(BackupTest, RestorePutsTheBackedUpDatabaseBack)
{
    const QStringList original = DumpAll(db());
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Added later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    ASSERT_NE(DumpAll(db()), original);

    MessageRecorder rec;
    rec.Queue(TVB_YES);
    EXPECT_EQ(restore(path, rec), OperationResult::Completed);
    ASSERT_EQ(rec.Ids(), std::vector<int>{124});
    const BackupHeader header = BackupHeader::Decode(reinterpret_cast<const unsigned char *>(ReadAll(path).constData()));
    EXPECT_TRUE(rec.Records()[0].text.contains(header.CreationText()));
    EXPECT_EQ(rec.Records()[0].kind, TVMessageKind::Question);
    EXPECT_TRUE(db().IsOpen());
    EXPECT_TRUE(db().IsExclusive());
    EXPECT_EQ(DumpAll(db()), original);
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(tempCopies().isEmpty());
}

TEST_F(BackupTest, NoToTheQuestionRestoresNothing)
{
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Kept"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    db().Close();
    const QByteArray hash = dbHash();
    ReopenDatabaseOrEnd(db(), m_db->path());
    MessageRecorder rec;
    rec.Queue(TVB_NO);
    EXPECT_EQ(restore(path, rec), OperationResult::Close);
    EXPECT_EQ(rec.Ids(), std::vector<int>{124});
    EXPECT_EQ(dbHash(), hash);
    EXPECT_TRUE(db().IsOpen());
    EXPECT_EQ(reloads, 0);
}

// Every damaged backup is refused with 123 before the question, and the
// database stays exactly as it was.
TEST_F(BackupTest, DamagedBackupsAreRefusedBeforeAnyQuestion)
{
    const QByteArray good = ReadAll(makeBackup());
    struct Case {
        const char *what;
        QByteArray bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty file", QByteArray()});
    cases.push_back({"short header", good.left(20)});
    cases.push_back({"header only", good.left(32)});
    {
        QByteArray b = good;
        put32(b, 28, 123457);
        cases.push_back({"wrong header mark", b});
    }
    {
        QByteArray b = good.left(32);
        put32(b, 0, 0);
        b += QByteArray::fromHex("F1FB0900");
        cases.push_back({"L = 0", b});
    }
    cases.push_back({"cut in the data", good.left(good.size() / 2)});
    cases.push_back({"trailer missing", good.left(good.size() - 4)});
    {
        QByteArray b = good;
        b[b.size() - 1] = 1;
        cases.push_back({"wrong trailer", b});
    }
    cases.push_back({"bytes after the trailer", good + QByteArray("x")});
    {
        QByteArray b = good;
        put32(b, 0, le32(good, 0) + 1000);
        cases.push_back({"L larger than the data", b});
    }
    {
        QByteArray b = good;
        b.replace(32, 16, QByteArray(16, 'Z'));
        cases.push_back({"not a database", b});
    }
    db().Close();
    const QByteArray hash = dbHash();
    ReopenDatabaseOrEnd(db(), m_db->path());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = file(QStringLiteral("damaged.env"));
        WriteAll(path, c.bytes);
        MessageRecorder rec;
        EXPECT_EQ(restore(path, rec), OperationResult::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{123});
        EXPECT_TRUE(db().IsOpen());
        EXPECT_EQ(dbHash(), hash);
    }
    EXPECT_EQ(reloads, 0);
}

TEST_F(BackupTest, AbortedRestoreLeavesTheOldDatabase)
{
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Stays"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    db().Close();
    const QByteArray hash = dbHash();
    ReopenDatabaseOrEnd(db(), m_db->path());

    MessageRecorder rec;
    rec.Queue(TVB_YES);
    bool abort = false;
    int chunks = 0;
    std::vector<int> progress;
    OperationObserver o;
    o.pump = [&] {
        if (++chunks == 3)
            abort = true;
    };
    o.aborted = [&] { return abort; };
    o.clearAbort = [&] { abort = false; };
    o.progress = [&](int p) { progress.push_back(p); };
    EXPECT_EQ(restore(path, rec, o), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{124, 122}));
    EXPECT_EQ(rec.Records()[1].kind, TVMessageKind::Information);
    EXPECT_FALSE(abort); // cleared
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 0);
    EXPECT_EQ(dbHash(), hash);
    EXPECT_TRUE(db().IsOpen());
    EXPECT_EQ(reloads, 0);
}

TEST_F(BackupTest, AbortedBackupKeepsTheEarlierBackup)
{
    const QString path = makeBackup(QStringLiteral("keep.env"));
    const QByteArray earlier = ReadAll(path);
    bool abort = false;
    int chunks = 0;
    OperationObserver o;
    o.pump = [&] {
        if (++chunks == 2)
            abort = true;
    };
    o.aborted = [&] { return abort; };
    o.clearAbort = [&] { abort = false; };
    MessageRecorder rec;
    EXPECT_EQ(RunBackup(db(), path, o), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{116});
    EXPECT_EQ(ReadAll(path), earlier);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".part")));
    EXPECT_TRUE(db().IsOpen());
}

TEST_F(BackupTest, ProgressGoesUpToOneHundred)
{
    std::vector<int> progress;
    OperationObserver o;
    o.progress = [&](int p) { progress.push_back(p); };
    MessageRecorder rec;
    ASSERT_EQ(RunBackup(db(), file(QStringLiteral("p.env")), o), OperationResult::Completed);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100);
}

TEST_F(BackupTest, BackupTargetErrorsShowTheirCause)
{
    MessageRecorder rec;
    EXPECT_EQ(RunBackup(db(), file(QStringLiteral("no/such/dir/x.env")), {}), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{114});
    rec.Clear();
    QDir(m_db->dir()).mkdir(QStringLiteral("adir"));
    EXPECT_EQ(RunBackup(db(), file(QStringLiteral("adir")), {}), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{119});
    EXPECT_TRUE(db().IsOpen());
    if (::geteuid() != 0) {
        rec.Clear();
        const QString locked = file(QStringLiteral("locked.env"));
        WriteAll(locked, "old");
        QFile::setPermissions(locked, QFileDevice::ReadOwner);
        EXPECT_EQ(RunBackup(db(), locked, {}), OperationResult::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{119});
        EXPECT_EQ(ReadAll(locked), QByteArray("old"));
    }
}

TEST_F(BackupTest, RestoreReadErrorsShowTheirCause)
{
    MessageRecorder rec;
    EXPECT_EQ(restore(file(QStringLiteral("missing.env")), rec), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{128});
    rec.Clear();
    EXPECT_EQ(restore(file(QStringLiteral("no/dir/missing.env")), rec), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{126});
    EXPECT_TRUE(db().IsOpen());
}

TEST_F(BackupTest, TemporaryCopyErrorsShowTheirCause)
{
    const QString path = makeBackup();
    MessageRecorder rec;
    EXPECT_EQ(RunRestore(db(), path, {}, file(QStringLiteral("no/dir"))), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), std::vector<int>{132});
    EXPECT_TRUE(db().IsOpen());
}

TEST_F(BackupTest, AFailedReopenEndsTheProgramWithMessageOne)
{
    // The database file disappears while open: the backup cannot read it and
    // the database cannot be opened again.
    QFile::remove(m_db->path());
    MessageRecorder rec;
    EXPECT_EQ(RunBackup(db(), file(QStringLiteral("x.env")), {}), OperationResult::Fatal);
    EXPECT_EQ(rec.Ids(), std::vector<int>{1});
    EXPECT_EQ(fatalCode, 1);
}

TEST_F(BackupTest, CommandLineRestoreNeedsAnExplicitYes)
{
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    const QStringList changed = DumpAll(db());
    {
        MessageRecorder rec; // answers Yes, but the environment says nothing
        qunsetenv("TESMAR_AUTOANSWER");
        EXPECT_EQ(RunRestoreCommandLine(path), 1);
        EXPECT_EQ(DumpAll(db()), changed);
    }
    {
        MessageRecorder rec;
        qputenv("TESMAR_AUTOANSWER", "yes");
        EXPECT_EQ(RunRestoreCommandLine(path), 0);
        qunsetenv("TESMAR_AUTOANSWER");
        EXPECT_EQ(rec.Ids(), (std::vector<int>{124, 121}));
        EXPECT_NE(DumpAll(db()), changed);
    }
    {
        MessageRecorder rec;
        EXPECT_EQ(RunBackupCommandLine(file(QStringLiteral("cli.env"))), 0);
        EXPECT_EQ(rec.Ids(), std::vector<int>{118});
        EXPECT_EQ(ReadAll(file(QStringLiteral("cli.env"))).size(), ReadAll(m_db->path()).size() + 36);
    }
}

// The backup can never be written over the database it protects: not under
// its own name, a link or a hard link, nor over one of its journals. The
// database stays as it was and opens afterwards.
TEST_F(BackupTest, BackupOverTheDatabaseOrAJournalIsRefused)
{
    db().Close();
    const QByteArray hash = dbHash();
    ReopenDatabaseOrEnd(db(), m_db->path());
    ASSERT_TRUE(QFile::link(m_db->path(), file(QStringLiteral("link.env"))));
    ASSERT_EQ(::link(QFile::encodeName(m_db->path()).constData(), QFile::encodeName(file(QStringLiteral("hard.env"))).constData()), 0);
    WriteAll(m_db->path() + QStringLiteral("-wal"), QByteArray());
    for (const QString &target : {m_db->path(), file(QStringLiteral("link.env")), file(QStringLiteral("hard.env")),
                                  m_db->path() + QStringLiteral("-wal"), file(QStringLiteral("./envdb.mdb"))}) {
        SCOPED_TRACE(target.toStdString());
        MessageRecorder rec;
        EXPECT_EQ(RunBackup(db(), target, {}), OperationResult::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{114});
        EXPECT_TRUE(db().IsOpen());
    }
    QFile::remove(m_db->path() + QStringLiteral("-wal"));
    {
        MessageRecorder rec;
        EXPECT_EQ(RunBackupCommandLine(m_db->path()), 1);
        EXPECT_EQ(rec.Ids(), std::vector<int>{114});
    }
    db().Close();
    EXPECT_EQ(dbHash(), hash);
    EXPECT_TRUE(IsUsableDatabaseFile(m_db->path()));
    ReopenDatabaseOrEnd(db(), m_db->path());
    EXPECT_EQ(fatalCode, -1);
}

// The temporary copy is a file of its own: a backup called backup.dat in the
// program directory restores, and stays as it was, like a user's file of
// that name; restoring the database from itself is refused.
TEST_F(BackupTest, RestoreLeavesEveryOtherFileAlone)
{
    const QStringList original = DumpAll(db());
    const QString named = makeBackup(QStringLiteral("backup.dat"));
    ASSERT_EQ(named, AppContext::ProgramFile(QStringLiteral("backup.dat")));
    const QByteArray bytes = ReadAll(named);
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    // A copy left by a killed restore is cleaned up.
    WriteAll(file(QStringLiteral(".envdb.mdb.restore-AbC123")), "stale");
    {
        MessageRecorder rec;
        rec.Queue(TVB_YES);
        EXPECT_EQ(restore(named, rec), OperationResult::Completed);
        EXPECT_EQ(rec.Ids(), std::vector<int>{124});
    }
    EXPECT_EQ(DumpAll(db()), original);
    EXPECT_EQ(ReadAll(named), bytes);
    EXPECT_TRUE(tempCopies().isEmpty());
    {
        MessageRecorder rec;
        EXPECT_EQ(restore(m_db->path(), rec), OperationResult::StayOpen);
        EXPECT_EQ(rec.Ids(), std::vector<int>{126});
        EXPECT_TRUE(db().IsOpen());
    }
    EXPECT_EQ(DumpAll(db()), original);
}

// A backup whose table and index disagree passes the quick check but not
// the integrity check; it is refused and the database stays.
TEST_F(BackupTest, BackupWithAnIndexThatDisagreesIsRefused)
{
    const QString marker = QStringLiteral("Zqxjv Unique Marker");
    AddAddress(db(), RootFolder(db()), TestAddress{marker, {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    const QString path = makeBackup();
    QByteArray bytes = ReadAll(path);
    const qsizetype at = bytes.indexOf(marker.toUtf8());
    ASSERT_GT(at, 0);
    ASSERT_GT(bytes.indexOf(marker.toUtf8(), at + 1), at); // the row and its index entries
    bytes[at + marker.size() - 1] = 's';                   // one copy only; the order stays
    WriteAll(path, bytes);
    // The mutated database as a file: SQLite's quick check lets it through.
    const QString loose = file(QStringLiteral("loose.mdb"));
    WriteAll(loose, bytes.mid(32, bytes.size() - 36));
    {
        CDatabase check;
        check.Open(loose, false);
        sqlite3_stmt *stmt = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(check.Handle(), "PRAGMA quick_check", -1, &stmt, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)), "ok");
        sqlite3_finalize(stmt);
    }
    EXPECT_FALSE(IsUsableDatabaseFile(loose));

    db().Close();
    const QByteArray hash = dbHash();
    ReopenDatabaseOrEnd(db(), m_db->path());
    MessageRecorder rec;
    rec.Queue(TVB_YES);
    EXPECT_EQ(restore(path, rec), OperationResult::StayOpen);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{124, 123}));
    EXPECT_TRUE(db().IsOpen());
    db().Close();
    EXPECT_EQ(dbHash(), hash);
    ReopenDatabaseOrEnd(db(), m_db->path());
    EXPECT_TRUE(tempCopies().isEmpty());
    EXPECT_EQ(reloads, 0);
}

// Another program takes the database while the backup has it closed: the
// backup is complete and says so, the reopen is reported as "in use".
TEST_F(BackupTest, BackupCompletesWhenAnotherProgramTakesTheDatabase)
{
    CDatabase other;
    OperationObserver o;
    o.pump = [&] {
        if (!other.IsOpen())
            other.Open(m_db->path(), true);
    };
    const QString path = file(QStringLiteral("taken.env"));
    {
        MessageRecorder rec;
        EXPECT_EQ(RunBackup(db(), path, o), OperationResult::CompletedDatabaseInUse);
        EXPECT_TRUE(rec.Empty());
    }
    EXPECT_FALSE(db().IsOpen());
    other.Close();
    const QByteArray backup = ReadAll(path);
    EXPECT_EQ(backup.size(), ReadAll(m_db->path()).size() + 36);
    EXPECT_EQ(backup.mid(32, backup.size() - 36), ReadAll(m_db->path()));
    {
        // The window program: 118, then the in-use text and the end.
        MessageRecorder rec;
        EndAfterFailedReopen(ReopenOutcome::InUse);
        ASSERT_EQ(rec.Records().size(), 1u);
        EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("in use by another program")));
        EXPECT_EQ(fatalCode, 1);
    }
    ASSERT_TRUE(ReopenDatabaseOrEnd(db(), m_db->path()));
}

// The restored file keeps the mode and owner of the file it replaces, and
// a backup gets the database's mode.
TEST_F(BackupTest, RestoreKeepsModeAndOwnerAndBackupsKeepTheMode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(m_db->path()).constData(), 0600), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(m_db->path()).constData(), 1234, 5678), 0);
    }
    const QString path = makeBackup();
    EXPECT_EQ(IdentifyFile(path).mode & 0777, 0600u);
    MessageRecorder rec;
    rec.Queue(TVB_YES);
    ASSERT_EQ(restore(path, rec), OperationResult::Completed);
    const FileIdentity restored = IdentifyFile(m_db->path());
    EXPECT_EQ(restored.mode & 07777, 0600u);
    if (root) {
        EXPECT_EQ(restored.uid, 1234u);
        EXPECT_EQ(restored.gid, 5678u);
    }
}

// A database reached through a symbolic link: the link stays, the file it
// points to is the one restored.
TEST_F(BackupTest, RestoreThroughALinkReplacesTheRealFile)
{
    const QStringList original = DumpAll(db());
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    db().Close();
    QDir(m_db->dir()).mkdir(QStringLiteral("real"));
    const QString real = file(QStringLiteral("real/data.mdb"));
    ASSERT_TRUE(QFile::rename(m_db->path(), real));
    ASSERT_TRUE(QFile::link(real, m_db->path()));
    ASSERT_TRUE(ReopenDatabaseOrEnd(db(), m_db->path()));
    MessageRecorder rec;
    rec.Queue(TVB_YES);
    ASSERT_EQ(restore(path, rec), OperationResult::Completed);
    EXPECT_TRUE(QFileInfo(m_db->path()).isSymLink());
    EXPECT_EQ(QFileInfo(m_db->path()).symLinkTarget(), real);
    EXPECT_EQ(DumpAll(db()), original);
    EXPECT_TRUE(QDir(file(QStringLiteral("real"))).entryList({QStringLiteral(".data.mdb.restore-*")}, QDir::Files | QDir::Hidden).isEmpty());
}

// Another running program with the database open: the restore refuses at
// once and touches nothing; once it has gone, the restore goes ahead.
TEST_F(BackupTest, RestoreRefusesWhileAnotherProgramHasTheDatabase)
{
    if (!HavePython())
        GTEST_SKIP() << "python3 is not available";
    const QString path = makeBackup();
    AddAddress(db(), RootFolder(db()), TestAddress{QStringLiteral("Later"), {}, QStringLiteral("Town"), QStringLiteral("1"), {}, {}, {}, {}});
    const QStringList changed = DumpAll(db());
    ASSERT_TRUE(DatabaseUseLock::HoldShared(m_db->path()));
    QProcess holder; // another instance: the same shared use lock, in one process
    holder.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import fcntl, sys, time\nf = open(sys.argv[1])\nfcntl.flock(f, fcntl.LOCK_SH)\n"
                                 "print('locked', flush=True)\ntime.sleep(60)\n"),
                  m_db->path()});
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    {
        MessageRecorder rec;
        EXPECT_EQ(restore(path, rec), OperationResult::StayOpen);
        ASSERT_EQ(rec.Records().size(), 1u);
        EXPECT_TRUE(rec.Records()[0].text.contains(QStringLiteral("in use by another program")));
        EXPECT_TRUE(db().IsOpen());
        EXPECT_EQ(DumpAll(db()), changed);
        EXPECT_TRUE(DatabaseUseLock::IsHeld());
        EXPECT_FALSE(DatabaseUseLock::IsExclusive());
    }
    holder.kill();
    holder.waitForFinished();
    {
        MessageRecorder rec;
        rec.Queue(TVB_YES);
        EXPECT_EQ(restore(path, rec), OperationResult::Completed);
        EXPECT_NE(DumpAll(db()), changed);
        // The lock is back to shared, on the new file.
        EXPECT_FALSE(DatabaseUseLock::IsExclusive());
        QProcess probe;
        probe.start(QStringLiteral("flock"), {QStringLiteral("-n"), QStringLiteral("-s"), m_db->path(), QStringLiteral("true")});
        ASSERT_TRUE(probe.waitForFinished());
        EXPECT_EQ(probe.exitCode(), 0);
        probe.start(QStringLiteral("flock"), {QStringLiteral("-n"), QStringLiteral("-x"), m_db->path(), QStringLiteral("true")});
        ASSERT_TRUE(probe.waitForFinished());
        EXPECT_NE(probe.exitCode(), 0);
    }
    DatabaseUseLock::Release();
}

// A pane that cannot be filled again after a restore ends the program with
// message 1, like a database that cannot be opened.
TEST_F(BackupTest, AFailedReloadAfterRestoreEndsTheProgram)
{
    const QString path = makeBackup();
    SetAddressBookChangedHandler([] { return false; });
    MessageRecorder rec;
    rec.Queue(TVB_YES);
    EXPECT_EQ(restore(path, rec), OperationResult::Fatal);
    EXPECT_EQ(rec.Ids(), (std::vector<int>{124, 1}));
    EXPECT_EQ(fatalCode, 1);
}
