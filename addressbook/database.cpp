#include "database.h"
#include "schema.h"
#include "recordsets.h"
#include "textcompare.h"
#include "unocase.h"

#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QString>
#include <sqlite3.h>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

int UnicodeCaseCompare(const char *a, int an, const char *b, int bn)
{
    return unocase::Compare(a, an, b, bn);
}

bool UnicodeCaseContains(const char *h, int hn, const char *n, int nn)
{
    return unocase::Matches(h, hn, n, nn, unocase::Match::Contains);
}

CDatabase::~CDatabase()
{
    Close();
}

void CDatabase::Throw(const QString &what) const
{
    const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_MISUSE;
    const QString detail = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("database not open");
    throw DbException(what + QStringLiteral(": ") + detail, code);
}

void CDatabase::openFile(const QString &path, int flags, bool exclusive)
{
    Close();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbException(QStringLiteral("Cannot open %1: %2").arg(path, detail), rc);
    }
    m_db = db;
    m_path = path;
    m_exclusive = exclusive;
    m_depth = 0;
    sqlite3_extended_result_codes(m_db, 1);
    // Another program saving into the same file holds its write lock for
    // the length of one save: wait for it rather than fail.
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    try {
        registerFunctions();
        if (exclusive)
            ExecuteRaw(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
        ExecuteRaw(QStringLiteral("PRAGMA foreign_keys=OFF; PRAGMA recursive_triggers=OFF"));
    } catch (...) {
        Close();
        throw;
    }
}

void CDatabase::Open(const QString &path, bool exclusive)
{
    const QFileInfo info(path);
    if (!info.isFile())
        throw DbException(QStringLiteral("Database file %1 not found").arg(path), SQLITE_CANTOPEN);
    // SQLite quietly opens a write-protected file read-only, and a file in a
    // write-protected folder cannot get its journal: every save would fail.
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    if (::faccessat(AT_FDCWD, file.constData(), R_OK | W_OK, AT_EACCESS) != 0 ||
        ::faccessat(AT_FDCWD, folder.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        throw DbException(QStringLiteral("Database file %1 is write-protected").arg(path), SQLITE_READONLY);
    openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, exclusive);
    try {
        if (sqlite3_db_readonly(m_db, "main") != 0)
            throw DbException(QStringLiteral("Database file %1 is write-protected").arg(path), SQLITE_READONLY);
        const int version = userVersion();
        if (version > kFormatVersion)
            throw DbException(QStringLiteral("Database file %1 has format %2, newer than this program's %3")
                                  .arg(path)
                                  .arg(version)
                                  .arg(kFormatVersion),
                              SQLITE_CANTOPEN);
        AddLabelPaperColumns(*this); // label sheets have a paper size since this version
        CheckSchema();
        // Text indexes hold the order of the collation that built them; the
        // order comes from ICU, which changes between releases. Files written
        // before texts were indexed in this order, or under another version
        // of it, get their indexes rebuilt once.
        const QString collation = QString::fromStdString(unocase::CollationVersion());
        if (version < kTextOrderVersion || storedCollationVersion() != collation) {
            ExecuteRaw(QStringLiteral("BEGIN IMMEDIATE"));
            try {
                ExecuteRaw(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (KEY TEXT PRIMARY KEY, VALUE TEXT);"
                                          "REINDEX UNOCASE; PRAGMA user_version = %2")
                               .arg(QLatin1String(kInfoTable))
                               .arg(kFormatVersion));
                setInfo(QStringLiteral("collation"), collation);
                ExecuteRaw(QStringLiteral("COMMIT"));
            } catch (...) {
                sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
                throw;
            }
        }
        if (exclusive) // take the lock now, not at the first write
            ExecuteRaw(QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
    } catch (...) {
        Close();
        throw;
    }
}

QString CDatabase::storedCollationVersion() const
{
    sqlite3_stmt *stmt = nullptr;
    QString value;
    const QByteArray sql = QStringLiteral("SELECT VALUE FROM %1 WHERE KEY = 'collation'").arg(QLatin1String(kInfoTable)).toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return value;
}

void CDatabase::setInfo(const QString &key, const QString &value)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql =
        QStringLiteral("INSERT OR REPLACE INTO %1 (KEY, VALUE) VALUES (?, ?)").arg(QLatin1String(kInfoTable)).toUtf8();
    if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        Throw(QStringLiteral("Cannot record the file's collation"));
    const QByteArray k = key.toUtf8(), v = value.toUtf8();
    sqlite3_bind_text(stmt, 1, k.constData(), int(k.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, v.constData(), int(v.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        Throw(QStringLiteral("Cannot record the file's collation"));
}

void CDatabase::RecordCollation()
{
    ExecuteRaw(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (KEY TEXT PRIMARY KEY, VALUE TEXT)").arg(QLatin1String(kInfoTable)));
    setInfo(QStringLiteral("collation"), QString::fromStdString(unocase::CollationVersion()));
}

int CDatabase::userVersion() const
{
    sqlite3_stmt *stmt = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

void CDatabase::Create(const QString &path)
{
    openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, false);
}

void CDatabase::Close()
{
    if (!m_db)
        return;
    // Statements are finalized by their record sets; close_v2 defers if any remain.
    sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_depth = 0;
    m_exclusive = false;
}

void CDatabase::registerFunctions()
{
    if (unocase::Register(m_db) != SQLITE_OK)
        Throw(QStringLiteral("Cannot register the text collation"));
}

void CDatabase::ExecuteRaw(const QString &sql)
{
    if (!m_db)
        throw DbException(QStringLiteral("Database not open"));
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString detail = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        throw DbException(QStringLiteral("%1: %2").arg(sql.left(80), detail), rc);
    }
}

void CDatabase::BeginTrans()
{
    // The outermost transaction takes the write lock at once (BEGIN
    // IMMEDIATE): two programs that both read first and then write would
    // otherwise deadlock, and one of them fail without waiting. Inner
    // levels are savepoints.
    if (!m_db)
        throw DbException(QStringLiteral("Database not open"));
    if (m_depth == 0)
        m_savepointOuter = !sqlite3_get_autocommit(m_db);
    if (m_depth == 0 && !m_savepointOuter)
        ExecuteRaw(QStringLiteral("BEGIN IMMEDIATE"));
    else
        ExecuteRaw(QStringLiteral("SAVEPOINT tr%1").arg(m_depth + 1));
    ++m_depth;
}

void CDatabase::CommitTrans()
{
    if (m_depth <= 0)
        throw DbException(QStringLiteral("Commit without a transaction"));
    if (m_depth == 1 && !m_savepointOuter)
        ExecuteRaw(QStringLiteral("COMMIT"));
    else
        ExecuteRaw(QStringLiteral("RELEASE tr%1").arg(m_depth));
    --m_depth;
}

void CDatabase::Rollback() noexcept
{
    if (!m_db || m_depth <= 0)
        return;
    if (m_depth == 1 && !m_savepointOuter) {
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_depth = 0;
        return;
    }
    const QByteArray sql = QStringLiteral("ROLLBACK TO tr%1; RELEASE tr%1").arg(m_depth).toUtf8();
    if (sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        // The savepoint is gone (the engine rolled back on its own): end whatever remains.
        if (!sqlite3_get_autocommit(m_db))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_depth = 0;
        return;
    }
    --m_depth;
}

namespace {

// The affinity SQLite gives a column from its declared type.
enum class Affinity { Integer, Text, Blob, Real, Numeric };

Affinity affinityOf(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return Affinity::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (t.isEmpty() || t.contains(QLatin1String("BLOB")))
        return Affinity::Blob;
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) || t.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

// Whether a column of this declared type keeps the values the program
// stores: a text column must keep texts as they are (ZIP 01234 is not the
// number 1234), a number column must not turn numbers into texts.
bool typeFits(ColumnType type, const QString &declared)
{
    const Affinity a = affinityOf(declared);
    switch (type) {
    case ColumnType::Text: return a == Affinity::Text;
    case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
    case ColumnType::Double: return a == Affinity::Integer || a == Affinity::Real || a == Affinity::Numeric;
    case ColumnType::Binary: return a != Affinity::Text;
    }
    return true;
}

} // namespace

void CDatabase::CheckSchema() const
{
    if (!m_db)
        throw DbException(QStringLiteral("Database not open"));
    for (const TableDescription &table : AllTables()) {
        const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name).toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            Throw(QStringLiteral("Cannot read the tables"));
        QHash<QString, QString> present; // column name -> declared type
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            present.insert(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1))),
                           QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2))));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            Throw(QStringLiteral("Cannot read the tables"));
        for (const ColumnDescription &column : table.columns) {
            const auto found = present.constFind(column.name);
            if (found == present.constEnd())
                throw DbException(QStringLiteral("Table %1 lacks column %2").arg(table.name, column.name),
                                  SQLITE_CORRUPT);
            if (!typeFits(column.type, found.value()))
                throw DbException(QStringLiteral("Column %1.%2 has type %3").arg(table.name, column.name, found.value()),
                                  SQLITE_CORRUPT);
        }
    }
}
