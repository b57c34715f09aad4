#include "sqliteengine.h"
#include "database.h"
#include "recordset.h"

#include <sqlite3.h>

namespace {

class SqliteStatement final : public DbStatement {
public:
    SqliteStatement(SqliteEngine *engine, const QString &sql) : m_engine(engine)
    {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(engine->Handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
            fail(QStringLiteral("Cannot prepare %1").arg(sql));
    }
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }

    void Bind(int index, const QVariant &v) override
    {
        int rc;
        switch (v.typeId()) {
        case QMetaType::LongLong: case QMetaType::Int: case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(m_stmt, index, v.toDouble());
            break;
        case QMetaType::UnknownType: // no value: NULL
            rc = sqlite3_bind_null(m_stmt, index);
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray s = v.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, s.constData(), sqlite3_uint64(s.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK)
            fail(QStringLiteral("Cannot bind a value"));
    }

    bool Step() override
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail(QStringLiteral("Database operation failed"));
        if (rc == SQLITE_DONE)
            m_changes = sqlite3_changes64(m_engine->Handle());
        return rc == SQLITE_ROW;
    }

    QVariant Column(int i, ColumnType type) const override
    {
        switch (type) {
        case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
            return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
        case ColumnType::Double:
            return QVariant(sqlite3_column_double(m_stmt, i));
        case ColumnType::Binary: {
            const void *data = sqlite3_column_blob(m_stmt, i);
            return QVariant(QByteArray(static_cast<const char *>(data), sqlite3_column_bytes(m_stmt, i)));
        }
        case ColumnType::Text: {
            const unsigned char *text = sqlite3_column_text(m_stmt, i);
            return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(text), sqlite3_column_bytes(m_stmt, i)));
        }
        }
        return {};
    }

    std::int64_t ColumnInt64(int i) const override { return sqlite3_column_int64(m_stmt, i); }
    std::int64_t Changes() const override { return m_changes; }
    void Reset() override { sqlite3_reset(m_stmt); }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw DbException(what + QStringLiteral(": ") + m_engine->ErrorText(), m_engine->ErrorCode());
    }

    SqliteEngine *m_engine;
    sqlite3_stmt *m_stmt = nullptr;
    std::int64_t m_changes = 0;
};

} // namespace

SqliteEngine::~SqliteEngine()
{
    // Statements are finalized by their owners; close_v2 defers if any remain.
    sqlite3_close_v2(m_db);
}

std::unique_ptr<DbStatement> SqliteEngine::Prepare(const QString &sql)
{
    return std::make_unique<SqliteStatement>(this, sql);
}

void SqliteEngine::Execute(const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString detail = QString::fromUtf8(error ? error : "");
        sqlite3_free(error);
        throw DbException(QStringLiteral("%1: %2").arg(sql.left(80), detail), rc);
    }
}

bool SqliteEngine::ExecuteQuietly(const QString &sql) noexcept
{
    return sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteEngine::InTransaction() const
{
    return !sqlite3_get_autocommit(m_db);
}

void SqliteEngine::Begin()
{
    // BEGIN IMMEDIATE takes the file's write lock before anything is read:
    // two programs that both read first and then write would otherwise
    // deadlock, and one of them fail without waiting.
    Execute(QStringLiteral("BEGIN IMMEDIATE"));
}

std::int64_t SqliteEngine::LastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

QString SqliteEngine::ErrorText() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_db));
}

int SqliteEngine::ErrorCode() const
{
    return sqlite3_extended_errcode(m_db);
}
