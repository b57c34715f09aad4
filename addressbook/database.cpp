#include "database.h"
#include "schema.h"
#include "recordsets.h"
#include "textcompare.h"

#include <QFileInfo>
#include <QString>
#include <sqlite3.h>
#include <cstring>

namespace {

bool isAscii(const char *s, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    return true;
}

inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

QString folded(const char *s, int n)
{
    return QString::fromUtf8(s, n).toCaseFolded();
}

int collateUnocase(void *, int aLength, const void *a, int bLength, const void *b)
{
    return UnicodeCaseCompare(static_cast<const char *>(a), aLength, static_cast<const char *>(b), bLength);
}

// umatch(value, needle, mode): mode 0 equal, 1 contains, 2 starts with,
// 3 ends with; all compared without regard to case.
void umatchFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const char *h = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const int hn = sqlite3_value_bytes(argv[0]);
    const char *n = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int nn = sqlite3_value_bytes(argv[1]);
    const int mode = sqlite3_value_int(argv[2]);
    bool result = false;
    if (mode == 1) {
        result = UnicodeCaseContains(h, hn, n, nn);
    } else {
        QString hs = folded(h, hn), ns = folded(n, nn);
        if (mode == 0)
            result = hs == ns;
        else if (mode == 2)
            result = hs.startsWith(ns);
        else
            result = hs.endsWith(ns);
    }
    sqlite3_result_int(ctx, result ? 1 : 0);
}

} // namespace

int UnicodeCaseCompare(const char *a, int an, const char *b, int bn)
{
    return CompareTextsUtf8(a, an, b, bn);
}

bool UnicodeCaseContains(const char *h, int hn, const char *n, int nn)
{
    if (nn == 0)
        return true;
    if (isAscii(n, nn) && isAscii(h, hn)) {
        for (int i = 0; i + nn <= hn; ++i) {
            int j = 0;
            while (j < nn && lowerAscii(static_cast<unsigned char>(h[i + j])) ==
                                 lowerAscii(static_cast<unsigned char>(n[j])))
                ++j;
            if (j == nn)
                return true;
        }
        return false;
    }
    return folded(h, hn).contains(folded(n, nn));
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
    sqlite3_busy_timeout(m_db, 2000);
    registerFunctions();
    try {
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
    if (!QFileInfo(path).isFile())
        throw DbException(QStringLiteral("Database file %1 not found").arg(path), SQLITE_CANTOPEN);
    openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, exclusive);
    try {
        AddLabelPaperColumns(*this); // label sheets have a paper size since this version
        CheckSchema();
        // Files written before texts were indexed in the alphabetic order get
        // their indexes rebuilt once, so look-ups and ordering agree.
        if (userVersion() < kTextOrderVersion)
            ExecuteRaw(QStringLiteral("REINDEX UNOCASE; PRAGMA user_version = %1").arg(kTextOrderVersion));
        if (exclusive) // take the lock now, not at the first write
            ExecuteRaw(QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
    } catch (...) {
        Close();
        throw;
    }
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
    sqlite3_create_collation_v2(m_db, "UNOCASE", SQLITE_UTF8, nullptr, collateUnocase, nullptr);
    sqlite3_create_function_v2(m_db, "umatch", 3, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, umatchFunction,
                               nullptr, nullptr, nullptr);
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
    ExecuteRaw(QStringLiteral("SAVEPOINT tr%1").arg(m_depth + 1));
    ++m_depth;
}

void CDatabase::CommitTrans()
{
    if (m_depth <= 0)
        throw DbException(QStringLiteral("Commit without a transaction"));
    ExecuteRaw(QStringLiteral("RELEASE tr%1").arg(m_depth));
    --m_depth;
}

void CDatabase::Rollback() noexcept
{
    if (!m_db || m_depth <= 0)
        return;
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

void CDatabase::CheckSchema() const
{
    if (!m_db)
        throw DbException(QStringLiteral("Database not open"));
    for (const TableDescription &table : AllTables()) {
        const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name).toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            Throw(QStringLiteral("Cannot read the tables"));
        QStringList present;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            present << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            Throw(QStringLiteral("Cannot read the tables"));
        for (const ColumnDescription &column : table.columns)
            if (!present.contains(column.name))
                throw DbException(QStringLiteral("Table %1 lacks column %2").arg(table.name, column.name),
                                  SQLITE_CORRUPT);
    }
}
