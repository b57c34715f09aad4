#include "backupfile.h"

#include "appcontext.h"
#include "bookcopy.h"
#include "schema.h"
#include "databaselock.h"
#include "database.h"
#include "exchangehooks.h"
#include "fileerrors.h"
#include "tvmessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace {

enum {
    MSG_BACKUP_SOURCE = 110,
    MSG_BACKUP_ABORTED = 116,
    MSG_RESTORE_ABORTED = 122,
    MSG_BACKUP_CORRUPTED = 123,
    MSG_RESTORE_QUESTION = 124,
    MSG_BACKUP_UNSPECIFIED = 115,
    MSG_BACKUP_BAD_PATH = 114,
    MSG_RESTORE_BAD_PATH = 126,
    MSG_DATABASE = 8,
    MSG_MEMORY = 9,
};

void put32(unsigned char *p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

std::uint32_t get32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void progress(const OperationObserver &o, int percent)
{
    if (o.progress)
        o.progress(percent);
}

void pump(const OperationObserver &o)
{
    if (o.pump)
        o.pump();
}

// Tests the abort flag; when set, clears it. The caller shows its message.
bool abortRequested(const OperationObserver &o)
{
    if (!o.aborted || !o.aborted())
        return false;
    if (o.clearAbort)
        o.clearAbort();
    return true;
}

int percentOf(std::uint64_t done, std::uint64_t total)
{
    if (total == 0)
        return 100;
    return int(done * 100 / total);
}

// The database is reopened at the end of every path; a failure there wins.
OperationResult finish(CDatabase &db, const QString &path, OperationResult result)
{
    if (!ReopenDatabaseOrEnd(db, path))
        return OperationResult::Fatal;
    return result;
}

OperationResult afterCause(FileErrorCause cause)
{
    return IsKnownCause(cause) ? OperationResult::StayOpen : OperationResult::Close;
}

void removeQuietly(const QString &path)
{
    if (!path.isEmpty())
        QFile::remove(path);
}

} // namespace

BackupHeader BackupHeader::ForNow(std::uint32_t length, const QDateTime &now)
{
    BackupHeader h;
    h.length = length;
    const QDate d = now.date();
    const QTime t = now.time();
    h.year = std::uint32_t(d.year());
    h.month = std::uint32_t(d.month());
    h.day = std::uint32_t(d.day());
    h.hour = std::uint32_t(t.hour());
    h.minute = std::uint32_t(t.minute());
    h.second = std::uint32_t(t.second());
    h.mark = kHeaderMark;
    return h;
}

std::array<unsigned char, BackupHeader::kHeaderSize> BackupHeader::Encode() const
{
    std::array<unsigned char, kHeaderSize> out{};
    const std::uint32_t values[8] = {length, year, month, day, hour, minute, second, mark};
    for (int i = 0; i < 8; ++i)
        put32(out.data() + 4 * i, values[i]);
    return out;
}

BackupHeader BackupHeader::Decode(const unsigned char *bytes)
{
    BackupHeader h;
    h.length = get32(bytes);
    h.year = get32(bytes + 4);
    h.month = get32(bytes + 8);
    h.day = get32(bytes + 12);
    h.hour = get32(bytes + 16);
    h.minute = get32(bytes + 20);
    h.second = get32(bytes + 24);
    h.mark = get32(bytes + 28);
    return h;
}

QString BackupHeader::CreationText() const
{
    return QString::asprintf("%02u.%02u.%04u - %02u:%02u:%02u", day, month, year, hour, minute, second);
}

QString ExportDirectory()
{
    return AppContext::ProgramFile(QStringLiteral("Export"));
}

QString DefaultBackupFile()
{
    return ExportDirectory() + QStringLiteral("/envdata.env");
}

bool IsUsableDatabaseFile(const QString &path)
{
    // Through CDatabase, so that the collations the indexes use exist.
    try {
        CDatabase check;
        check.Open(path, false);
        bool ok = false;
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(check.Handle(), "PRAGMA integrity_check(1)", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            const unsigned char *text = sqlite3_column_text(stmt, 0);
            ok = text && std::strcmp(reinterpret_cast<const char *>(text), "ok") == 0;
        }
        sqlite3_finalize(stmt);
        check.Close();
        return ok;
    } catch (const DbException &) {
        return false;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

namespace {

// Writes the backup of the database file `dbPath`. With `reopen` that file
// is the application's database, closed for the copy and opened again at
// every end; otherwise it is a copy made for the backup (of a server's
// rows), left alone.
OperationResult backupOfFile(CDatabase &db, const QString &dbPath, bool reopen, const QString &backupFile,
                             const OperationObserver &observer)
{
    auto reopenOrEnd = [&] { return !reopen || ReopenDatabaseOrEnd(db, dbPath); };
    auto ending = [&](OperationResult result) { return reopen ? finish(db, dbPath, result) : result; };
    const QString partial = backupFile + QStringLiteral(".part");
    // The backup must never be written over the database (or its journal),
    // under whatever name or link: the rename at the end would replace it.
    if (IsDatabaseOrJournal(backupFile, dbPath) || IsDatabaseOrJournal(partial, dbPath)) {
        CTVError error(MSG_BACKUP_BAD_PATH);
        return OperationResult::StayOpen;
    }
    const FileIdentity dbFile = IdentifyFile(dbPath);
    if (reopen)
        db.Close();

    // 1. The database file.
    RawFile source;
    if (!source.OpenRead(dbPath)) {
        if (!reopenOrEnd())
            return OperationResult::Fatal;
        CTVError error(MSG_BACKUP_SOURCE);
        return OperationResult::Close;
    }
    const std::int64_t size = source.Size();
    if (size < 0 || size > std::int64_t(UINT32_MAX)) {
        source.Close();
        if (!reopenOrEnd())
            return OperationResult::Fatal;
        CTVError error(MSG_BACKUP_SOURCE);
        return OperationResult::Close;
    }
    const auto length = std::uint32_t(size);

    // 2. The backup file: an existing file must be writable; the data goes
    // into a file beside it that replaces it once complete.
    auto targetFailure = [&](FileErrorCause cause, const QString &partial) {
        source.Close();
        removeQuietly(partial);
        CTVError error(BackupTargetMessage(cause));
        progress(observer, 0);
        return ending(afterCause(cause));
    };
    if (QFileInfo::exists(backupFile) || QFileInfo(backupFile).isSymLink()) {
        RawFile probe;
        if (!probe.OpenWriteExisting(backupFile))
            return targetFailure(probe.Cause(), QString());
        probe.Close();
    }
    RawFile target;
    if (!target.Create(partial))
        return targetFailure(target.Cause(), QString());
    // The backup holds the same data as the database: it gets its mode,
    // so a private database does not become a readable backup.
    if (dbFile.exists && !target.SetMode(dbFile.mode & 0666))
        return targetFailure(target.Cause(), partial);

    auto aborted = [&] {
        source.Close();
        target.Close();
        removeQuietly(partial);
        CTVInfo info(MSG_BACKUP_ABORTED);
        return ending(OperationResult::StayOpen);
    };

    // 3. Abort before anything is written.
    if (abortRequested(observer))
        return aborted();

    // 4. Header.
    const auto header = BackupHeader::ForNow(length).Encode();
    if (!target.WriteAll(header.data(), header.size()))
        return targetFailure(target.Cause(), partial);

    // 5. The database bytes in chunks, then the trailer.
    std::vector<char> chunk(kBackupChunk);
    std::uint64_t done = 0;
    while (done < length) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(kBackupChunk, length - done));
        const long long got = source.Read(chunk.data(), want);
        if (got != static_cast<long long>(want)) {
            // The database file could not be read (or shrank while closed).
            target.Close();
            source.Close();
            removeQuietly(partial);
            if (!reopenOrEnd())
                return OperationResult::Fatal;
            CTVError error(MSG_BACKUP_SOURCE);
            progress(observer, 0);
            return OperationResult::Close;
        }
        pump(observer);
        if (abortRequested(observer))
            return aborted();
        if (!target.WriteAll(chunk.data(), want))
            return targetFailure(target.Cause(), partial);
        pump(observer);
        if (abortRequested(observer))
            return aborted();
        done += want;
        progress(observer, percentOf(done, length));
    }
    unsigned char trailer[4];
    put32(trailer, BackupHeader::kTrailerMark);
    if (!target.WriteAll(trailer, sizeof trailer) || !target.Sync() || !target.Close())
        return targetFailure(target.Cause(), partial);
    int renameError = 0;
    if (!ReplaceFile(partial, backupFile, &renameError))
        return targetFailure(CauseFromErrno(renameError, backupFile, false), partial);

    // 6. Reopen. The backup is complete whatever happens now; a database
    // that another program has taken meanwhile is reported as such.
    source.Close();
    progress(observer, 100);
    if (!reopen)
        return OperationResult::Completed;
    const ReopenOutcome reopened = ReopenDatabase(db, dbPath);
    if (reopened == ReopenOutcome::Opened)
        return OperationResult::Completed;
    if (reopened == ReopenOutcome::InUse)
        return OperationResult::CompletedDatabaseInUse;
    EndAfterFailedReopen(reopened);
    return OperationResult::Fatal;
}

} // namespace

namespace {

// One phase of an operation as a part of the whole progress bar.
OperationObserver phase(const OperationObserver &o, int from, int to)
{
    OperationObserver p = o;
    if (o.progress)
        p.progress = [report = o.progress, from, to](int percent) { report(from + (to - from) * percent / 100); };
    return p;
}

// The step of a row copy: progress, window events, the abort flag.
std::function<bool(std::int64_t, std::int64_t)> rowStep(const OperationObserver &o)
{
    return [&o](std::int64_t done, std::int64_t total) {
        progress(o, percentOf(std::uint64_t(done), std::uint64_t(total)));
        pump(o);
        return !abortRequested(o);
    };
}

// A backup of a server database holds a database file as a file's backup
// does: the server's rows are written into a new file first, read in one
// snapshot (what other desks save meanwhile is in it wholly or not at all,
// and they go on saving), and that file is backed up.
OperationResult serverBackup(CDatabase &db, const QString &backupFile, const OperationObserver &observer)
{
    const QFileInfo target(backupFile);
    RawFile rowsFile;
    if (!rowsFile.CreateUnique(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                               QStringLiteral(".rows-XXXXXX"))) {
        CTVError error(BackupTargetMessage(rowsFile.Cause()));
        progress(observer, 0);
        return afterCause(rowsFile.Cause());
    }
    const QString rowsPath = rowsFile.Path();
    rowsFile.Close();
    const OperationObserver rows = phase(observer, 0, 80);
    bool snapshot = false;
    int failure = 0;
    bool aborted = false;
    try {
        CDatabase copy;
        copy.Create(rowsPath);
        CreateSchema(copy);
        db.ExecuteRaw(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
        snapshot = true;
        copy.BeginTrans();
        ReplaceAddressBookRows(db, copy, rowStep(rows));
        copy.CommitTrans();
        db.ExecuteRaw(QStringLiteral("COMMIT"));
        snapshot = false;
        copy.Close();
    } catch (const CopyAborted &) {
        aborted = true;
    } catch (const DbException &e) {
        // The new file is the only thing written: a full disk is the
        // target's; anything else is the database's failure.
        failure = (e.code() & 0xFF) == SQLITE_FULL ? BackupTargetMessage(FileErrorCause::DiskFull) : MSG_DATABASE;
    } catch (const std::bad_alloc &) {
        failure = MSG_MEMORY;
    }
    if (snapshot)
        db.Engine().ExecuteQuietly(QStringLiteral("ROLLBACK"));
    if (aborted || failure) {
        removeQuietly(rowsPath);
        progress(observer, 0);
        if (aborted)
            CTVInfo info(MSG_BACKUP_ABORTED);
        else
            CTVError error(failure);
        return failure == MSG_DATABASE || failure == MSG_MEMORY ? OperationResult::Close : OperationResult::StayOpen;
    }
    const OperationResult result = backupOfFile(db, rowsPath, false, backupFile, phase(observer, 80, 100));
    removeQuietly(rowsPath);
    return result;
}

// The last step of a restore into a server database: the rows of the
// checked copy replace the server's in one transaction; on any failure or
// abort the server keeps the rows it had. `stop` shows a message, removes
// the copy and ends the server's hold.
template <typename Stop>
OperationResult replaceServerRows(CDatabase &db, const QString &copyPath, const OperationObserver &observer, Stop &&stop)
{
    int failure = 0;
    bool aborted = false;
    try {
        CDatabase copy;
        copy.Open(copyPath, false);
        db.BeginTrans();
        try {
            ReplaceAddressBookRows(copy, db, rowStep(observer));
            db.CommitTrans();
        } catch (...) {
            db.Rollback();
            throw;
        }
    } catch (const CopyAborted &) {
        aborted = true;
    } catch (const DbException &) {
        failure = MSG_DATABASE;
    } catch (const std::bad_alloc &) {
        failure = MSG_MEMORY;
    }
    if (aborted) {
        progress(observer, 0);
        return stop(MSG_RESTORE_ABORTED, OperationResult::StayOpen, true);
    }
    if (failure) {
        progress(observer, 0);
        return stop(failure, OperationResult::StayOpen);
    }
    progress(observer, 100);
    stop(0, OperationResult::Completed);
    if (!NotifyAddressBookChanged())
        return OperationResult::Fatal;
    return OperationResult::Completed;
}

} // namespace

OperationResult RunBackup(CDatabase &db, const QString &backupFile, const OperationObserver &observer)
{
    if (db.IsServer())
        return serverBackup(db, backupFile, observer);
    return backupOfFile(db, db.GetName(), true, backupFile, observer);
}

OperationResult RunRestore(CDatabase &db, const QString &backupFile, const OperationObserver &observer,
                           const QString &tempFolder)
{
    // A server database keeps running: its rows are replaced in one
    // transaction by those of the backup, read from a checked copy.
    const bool server = db.IsServer();
    const QString dbPath = db.GetName();
    // The file to replace is the one the path finally names: a link to the
    // database stays a link to the restored database.
    const QString realDb = server ? QString() : RealFilePath(dbPath);
    if (!server && IsDatabaseOrJournal(backupFile, dbPath)) {
        CTVError error(MSG_RESTORE_BAD_PATH);
        return OperationResult::StayOpen;
    }
    // No other instance may have the database open: it would go on working
    // on the replaced file, or on rows that are gone. The lock also keeps
    // new instances out until the end.
    if (server) {
        int others = 0;
        if (!db.TryServerAlone(&others)) {
            CTVError error(ServerInUseText(others));
            return OperationResult::StayOpen;
        }
    } else if (!DatabaseUseLock::TryExclusive(realDb)) {
        CTVError error(DatabaseInUseText());
        return OperationResult::StayOpen;
    }
    const FileIdentity dbFile = server ? FileIdentity() : IdentifyFile(realDb);
    const QFileInfo realInfo(realDb);
    const QString tempPrefix = server ? QStringLiteral(".tesmar-restore-")
                                      : QStringLiteral(".") + realInfo.fileName() + QStringLiteral(".restore-");
    const QString tempDir = !tempFolder.isEmpty() ? tempFolder : server ? QDir::tempPath() : realInfo.absolutePath();
    // Copies left by a restore that was killed: with the lock held, no
    // restore of this database is running.
    if (tempFolder.isEmpty() && !server)
        for (const QString &stale : QDir(tempDir).entryList({tempPrefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden))
            QFile::remove(tempDir + u'/' + stale);
    if (!server)
        db.Close();
    // The server's phases: the copy of the backup, then its rows.
    const OperationObserver copying = server ? phase(observer, 0, 30) : observer;

    RawFile backup, temp;
    QString tempCopy;
    auto stop = [&](int message, OperationResult result, bool info = false) {
        backup.Close();
        temp.Close();
        removeQuietly(tempCopy);
        if (info)
            CTVInfo box(message);
        else if (message)
            CTVError box(message);
        if (server) {
            db.EndServerAlone();
            return result;
        }
        return finish(db, dbPath, result);
    };
    auto readFailure = [&](FileErrorCause cause) {
        progress(observer, 0);
        return stop(RestoreReadMessage(cause), afterCause(cause));
    };
    auto tempFailure = [&](FileErrorCause cause) {
        progress(observer, 0);
        return stop(RestoreTempMessage(cause), afterCause(cause));
    };

    // 1. The backup file.
    if (!backup.OpenRead(backupFile))
        return readFailure(backup.Cause());
    // 2. The temporary copy: a new file of its own name beside the database,
    // so that neither a file of the user's nor the backup itself is touched.
    if (!temp.CreateUnique(tempDir + u'/' + tempPrefix + QStringLiteral("XXXXXX")))
        return tempFailure(temp.Cause());
    tempCopy = temp.Path();

    // 3. Header, and everything else that can be checked before the question:
    // the file's length must be exactly header + L + trailer, the trailer
    // mark must be in place and the data must start as a database file does.
    unsigned char head[BackupHeader::kHeaderSize];
    const long long headRead = backup.Read(head, sizeof head);
    if (headRead < 0)
        return readFailure(backup.Cause());
    if (headRead != BackupHeader::kHeaderSize)
        return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
    const BackupHeader header = BackupHeader::Decode(head);
    if (!header.IsValid())
        return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
    const std::int64_t fileSize = backup.Size();
    if (fileSize < 0)
        return readFailure(backup.Cause());
    const std::int64_t expected =
        std::int64_t(BackupHeader::kHeaderSize) + std::int64_t(header.length) + BackupHeader::kTrailerSize;
    if (fileSize != expected)
        return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
    {
        unsigned char mark[4];
        const long long got = backup.ReadAt(mark, sizeof mark, expected - BackupHeader::kTrailerSize);
        if (got < 0)
            return readFailure(backup.Cause());
        if (got != 4 || get32(mark) != BackupHeader::kTrailerMark)
            return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
        static const char kMagic[16] = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f', 'o', 'r', 'm', 'a', 't', ' ', '3', 0};
        char magic[16];
        const long long m = backup.ReadAt(magic, sizeof magic, BackupHeader::kHeaderSize);
        if (m < 0)
            return readFailure(backup.Cause());
        if (m != 16 || std::memcmp(magic, kMagic, 16) != 0)
            return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
    }

    // 4. The question.
    const QString created = header.CreationText();
    bool proceed;
    if (observer.confirm)
        proceed = observer.confirm(created);
    else
        proceed = CTVQuestion::Show(MSG_RESTORE_QUESTION, TVB_YESNO, created) == TVB_YES;
    if (!proceed)
        return stop(0, OperationResult::Close);

    // 5. Copy L bytes into the temporary copy.
    std::vector<char> chunk(kBackupChunk);
    std::uint64_t done = 0;
    auto aborted = [&] {
        progress(observer, 0);
        return stop(MSG_RESTORE_ABORTED, OperationResult::StayOpen, true);
    };
    while (done < header.length) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(kBackupChunk, header.length - done));
        const long long got = backup.Read(chunk.data(), want);
        if (got < 0)
            return readFailure(backup.Cause());
        if (got != static_cast<long long>(want)) // cut short after the checks above
            return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
        pump(observer);
        if (abortRequested(observer))
            return aborted();
        if (!temp.WriteAll(chunk.data(), want))
            return tempFailure(temp.Cause());
        pump(observer);
        if (abortRequested(observer))
            return aborted();
        done += want;
        progress(copying, percentOf(done, header.length));
    }

    // 6. The trailer.
    unsigned char trailer[4];
    const long long got = backup.Read(trailer, sizeof trailer);
    if (got < 0)
        return readFailure(backup.Cause());
    if (got != 4 || get32(trailer) != BackupHeader::kTrailerMark)
        return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);

    // 7. Close both files; the copy must hold a usable database before it
    // replaces anything. The replacement is a rename within the database's
    // folder, so the database file is at every moment either the old or the
    // new one, whole; it keeps the old file's mode and owner.
    backup.Close();
    if (dbFile.exists) {
        if (!temp.SetMode(dbFile.mode))
            return tempFailure(temp.Cause());
        temp.SetOwner(dbFile.uid, dbFile.gid);
    }
    if (!temp.Sync() || !temp.Close())
        return tempFailure(temp.Cause());
    if (!IsUsableDatabaseFile(tempCopy))
        return stop(MSG_BACKUP_CORRUPTED, OperationResult::StayOpen);
    if (server)
        return replaceServerRows(db, tempCopy, phase(observer, 30, 100), stop);

    // A rollback journal left beside the old file would be applied to the new one.
    for (const QString &base : {dbPath, realDb})
        for (const char *suffix : {"-journal", "-wal", "-shm"})
            removeQuietly(base + QLatin1String(suffix));

    int error = 0;
    if (!ReplaceFile(tempCopy, realDb, &error)) {
        if (error != EXDEV)
            return tempFailure(CauseFromErrno(error, realDb, false));
        // Another file system: copy beside the database, then rename.
        RawFile in, out;
        if (!in.OpenRead(tempCopy))
            return tempFailure(in.Cause());
        if (!out.CreateUnique(realInfo.absolutePath() + u'/' + tempPrefix + QStringLiteral("XXXXXX")))
            return tempFailure(out.Cause());
        const QString beside = out.Path();
        if (dbFile.exists) {
            out.SetMode(dbFile.mode);
            out.SetOwner(dbFile.uid, dbFile.gid);
        }
        for (;;) {
            const long long n = in.Read(chunk.data(), chunk.size());
            if (n < 0) {
                out.Close();
                removeQuietly(beside);
                return tempFailure(in.Cause());
            }
            if (n == 0)
                break;
            if (!out.WriteAll(chunk.data(), std::size_t(n))) {
                const FileErrorCause cause = out.Cause();
                out.Close();
                removeQuietly(beside);
                return tempFailure(cause);
            }
        }
        in.Close();
        if (!out.Sync() || !out.Close()) {
            removeQuietly(beside);
            return tempFailure(out.Cause());
        }
        if (!ReplaceFile(beside, realDb, &error)) {
            removeQuietly(beside);
            return tempFailure(CauseFromErrno(error, realDb, false));
        }
        removeQuietly(tempCopy);
    }
    tempCopy.clear();

    // 8. Reopen and reload the panes; a failed reload ends the program.
    progress(observer, 100);
    if (!ReopenDatabaseOrEnd(db, dbPath))
        return OperationResult::Fatal;
    if (!NotifyAddressBookChanged())
        return OperationResult::Fatal;
    return OperationResult::Completed;
}
