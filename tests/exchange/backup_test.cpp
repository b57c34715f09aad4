// Backup and restore: the file format, the checks before the question, the
// replacement of the database and every way a restore can stop.
#include "appcontext.h"
#include "backupfile.h"
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
        SetAddressBookChangedHandler([this] { ++reloads; });
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
    QString tempCopy() const { return AppContext::ProgramFile(QStringLiteral("backup.dat")); }
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
        return RunRestore(db(), backup, tempCopy(), o);
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
    EXPECT_FALSE(QFileInfo::exists(tempCopy()));
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
    EXPECT_EQ(RunRestore(db(), path, file(QStringLiteral("no/dir/backup.dat")), {}), OperationResult::StayOpen);
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
