#include "pgengine.h"
#include "database.h"
#include "recordset.h"

#include <libpq-fe.h>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// libpq writes the server's notices (CREATE ... IF NOT EXISTS) to standard
// error; the program has no use for them.
void ignoreNotice(void *, const char *) {}

constexpr Oid kByteaOid = 17;

QString resultError(const PGresult *result, PGconn *conn)
{
    const char *message = result ? PQresultErrorMessage(result) : PQerrorMessage(conn);
    return QString::fromUtf8(message && *message ? message : PQerrorMessage(conn)).trimmed();
}

// An SQLSTATE such as "40P01" as a number for DbException's code.
int stateCode(const PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return state ? int(std::strtol(state, nullptr, 36)) : 1;
}

class PgStatement final : public DbStatement {
public:
    PgStatement(PgEngine *engine, const QString &sql) : m_engine(engine), m_sql(PgPlaceholders(sql).toUtf8()) {}
    ~PgStatement() override { PQclear(m_result); }

    void Bind(int index, const QVariant &v) override
    {
        if (index < 1)
            throw DbException(QStringLiteral("Cannot bind a value"));
        const std::size_t i = std::size_t(index - 1);
        if (m_values.size() <= i) {
            m_values.resize(i + 1);
            m_types.resize(i + 1, 0);
            m_formats.resize(i + 1, 0);
            m_nulls.resize(i + 1, false);
        }
        m_nulls[i] = false;
        m_types[i] = 0;
        m_formats[i] = 0;
        switch (v.typeId()) {
        case QMetaType::UnknownType: // no value: NULL
            m_values[i].clear();
            m_nulls[i] = true;
            break;
        case QMetaType::LongLong: case QMetaType::Int: case QMetaType::Bool:
            m_values[i] = QByteArray::number(v.toLongLong());
            break;
        case QMetaType::Double:
            m_values[i] = QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case QMetaType::QByteArray:
            m_values[i] = v.toByteArray();
            m_types[i] = kByteaOid;
            m_formats[i] = 1;
            break;
        default:
            m_values[i] = v.toString().toUtf8();
            // The server's texts cannot hold U+0000, and libpq would end
            // the value there without a word: refused, not cut short.
            if (m_values[i].contains('\0'))
                throw DbException(QStringLiteral("A text holds the character U+0000, which the server cannot store"));
            break;
        }
    }

    bool Step() override
    {
        if (!m_result) {
            m_engine->ReconnectIfBroken();
            std::vector<const char *> values;
            std::vector<int> lengths;
            for (std::size_t i = 0; i < m_values.size(); ++i) {
                values.push_back(m_nulls[i] ? nullptr : m_values[i].constData());
                lengths.push_back(int(m_values[i].size()));
            }
            m_result = PQexecParams(m_engine->Handle(), m_sql.constData(), int(m_values.size()), m_types.data(),
                                    values.data(), lengths.data(), m_formats.data(), 0);
            const ExecStatusType status = PQresultStatus(m_result);
            if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
                const QString detail = resultError(m_result, m_engine->Handle());
                const int code = stateCode(m_result);
                PQclear(m_result);
                m_result = nullptr;
                throw DbException(QStringLiteral("Database operation failed: %1 (%2)")
                                      .arg(detail, QString::fromUtf8(m_sql.left(120))),
                                  code);
            }
            m_rows = PQntuples(m_result);
            const char *changed = PQcmdTuples(m_result);
            m_changes = changed && *changed ? std::strtoll(changed, nullptr, 10) : 0;
            m_row = 0;
        } else {
            ++m_row;
        }
        return m_row < m_rows;
    }

    QVariant Column(int i, ColumnType type) const override
    {
        const bool null = PQgetisnull(m_result, m_row, i);
        const char *text = PQgetvalue(m_result, m_row, i);
        const int length = PQgetlength(m_result, m_row, i);
        switch (type) {
        case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
            return QVariant(qlonglong(null ? 0 : std::strtoll(text, nullptr, 10)));
        case ColumnType::Double:
            return QVariant(null ? 0.0 : QByteArray(text, length).toDouble());
        case ColumnType::Binary: {
            if (null)
                return QVariant(QByteArray());
            // Text results give bytea in hex: \x followed by two digits a byte.
            const QByteArray raw(text, length);
            return QVariant(raw.startsWith("\\x") ? QByteArray::fromHex(raw.mid(2)) : raw);
        }
        case ColumnType::Text:
            return QVariant(null ? QString() : QString::fromUtf8(text, length));
        }
        return {};
    }

    std::int64_t ColumnInt64(int i) const override
    {
        return std::strtoll(PQgetvalue(m_result, m_row, i), nullptr, 10);
    }
    std::int64_t Changes() const override { return m_changes; }
    void Reset() override
    {
        PQclear(m_result);
        m_result = nullptr;
        m_rows = m_row = 0;
    }

private:
    PgEngine *m_engine;
    QByteArray m_sql;
    std::vector<QByteArray> m_values;
    std::vector<Oid> m_types;
    std::vector<int> m_formats;
    std::vector<bool> m_nulls;
    PGresult *m_result = nullptr;
    int m_rows = 0;
    int m_row = 0;
    std::int64_t m_changes = 0;
};

} // namespace

QString PgPlaceholders(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 16);
    int n = 0;
    QChar quote;
    for (QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out += c;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
            out += c;
        } else if (c == u'?') {
            out += u'$' + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out;
}

PgEngine::PgEngine(const QString &conninfo)
{
    const QByteArray info = conninfo.toUtf8();
    // The texts travel as UTF-8 whatever the server's or the desk's locale.
    const char *keys[] = {"dbname", "client_encoding", "application_name", "connect_timeout", nullptr};
    const char *values[] = {info.constData(), "UTF8", "tesmar", "10", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    if (!m_conn)
        throw DbException(QStringLiteral("Cannot connect to the database server: out of memory"));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString detail = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DbException(QStringLiteral("Cannot connect to the database server: %1").arg(detail), 1);
    }
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    try {
        configureSession();
    } catch (...) {
        PQfinish(m_conn);
        m_conn = nullptr;
        throw;
    }
}

PgEngine::~PgEngine()
{
    // The server drops a closed session's locks only when its backend has
    // ended, a moment after the connection closes; released here, a restore
    // started right after this program closes finds the address book free.
    if (m_conn && PQstatus(m_conn) == CONNECTION_OK && PQtransactionStatus(m_conn) == PQTRANS_IDLE)
        ExecuteQuietly(QStringLiteral("SELECT pg_advisory_unlock_all()"));
    PQfinish(m_conn);
}

void PgEngine::configureSession()
{
    // A save waits as long for another desk's save as a file's does.
    Execute(QStringLiteral("SET lock_timeout = %1").arg(CDatabase::kBusyTimeoutMs));
    // This program has the address book open; a restore running on another
    // desk holds it alone until it is done.
    QElapsedTimer timer;
    timer.start();
    while (!queryFlag(QStringLiteral("SELECT pg_try_advisory_lock_shared(%1)").arg(useLockKeys()))) {
        if (timer.elapsed() >= kUseLockWaitMs)
            throw DbException(QStringLiteral("The address book is being restored from a backup on another desk"), 1);
        QThread::msleep(100);
    }
}

QString PgEngine::useLockKeys() const
{
    return QStringLiteral("%1, coalesce((SELECT oid::integer FROM pg_namespace WHERE nspname = current_schema()), 0)")
        .arg(kUseLockKey);
}

bool PgEngine::queryFlag(const QString &sql)
{
    PgStatement st(this, sql);
    return st.Step() && st.Column(0, ColumnType::Text).toString() == QLatin1String("t");
}

bool PgEngine::TryExclusiveUse(int *others)
{
    // The own shared hold does not stand in the way: a session's locks
    // never conflict with each other.
    if (queryFlag(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(useLockKeys()))) {
        if (others)
            *others = 0;
        return true;
    }
    if (others)
        *others = std::max(1, OtherUsers());
    return false;
}

void PgEngine::ReleaseExclusiveUse() noexcept
{
    ExecuteQuietly(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(useLockKeys()));
}

void PgEngine::listen()
{
    Execute(QStringLiteral("DO $$ BEGIN EXECUTE format('LISTEN %I', 'tesmar_' ||"
                           " (SELECT oid::text FROM pg_namespace WHERE nspname = current_schema())); END $$"));
}

int PgEngine::Listen()
{
    listen();
    m_listening = true;
    return PQsocket(m_conn);
}

int PgEngine::ListeningSocket() const
{
    return m_listening && PQstatus(m_conn) == CONNECTION_OK ? PQsocket(m_conn) : -1;
}

QStringList PgEngine::TakeNotices()
{
    QStringList out;
    if (!m_conn || PQconsumeInput(m_conn) == 0)
        return out;
    const QByteArray own = QByteArray::number(PQbackendPID(m_conn)) + ' ';
    while (PGnotify *n = PQnotifies(m_conn)) {
        const QByteArray payload(n->extra);
        if (!payload.startsWith(own)) {
            const int space = payload.indexOf(' ');
            if (space > 0)
                out << QString::fromLatin1(payload.mid(space + 1));
        }
        PQfreemem(n);
    }
    return out;
}

int PgEngine::OtherUsers()
{
    PgStatement st(this, QStringLiteral("SELECT count(DISTINCT pid) FROM pg_locks WHERE locktype = 'advisory'"
                                        " AND classid = (%1)::oid AND objid = (%2)::oid AND objsubid = 2"
                                        " AND pid <> pg_backend_pid()")
                             .arg(kUseLockKey)
                             .arg(QStringLiteral("SELECT coalesce((SELECT oid::integer FROM pg_namespace"
                                                 " WHERE nspname = current_schema()), 0)")));
    return st.Step() ? int(st.ColumnInt64(0)) : 0;
}

void PgEngine::ReconnectIfBroken()
{
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    PQreset(m_conn);
    if (PQstatus(m_conn) == CONNECTION_OK) {
        ++m_reconnections;
        PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
        configureSession();
        // The new server session hears nothing until it listens itself;
        // what others saved while the connection was down is not told.
        if (m_listening)
            listen();
    }
}

std::unique_ptr<DbStatement> PgEngine::Prepare(const QString &sql)
{
    return std::make_unique<PgStatement>(this, sql);
}

void PgEngine::Execute(const QString &sql)
{
    PGresult *result = PQexec(m_conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString detail = resultError(result, m_conn);
        const int code = stateCode(result);
        PQclear(result);
        throw DbException(QStringLiteral("%1: %2").arg(sql.left(80), detail), code);
    }
    PQclear(result);
}

bool PgEngine::ExecuteQuietly(const QString &sql) noexcept
{
    PGresult *result = PQexec(m_conn, sql.toUtf8().constData());
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

bool PgEngine::InTransaction() const
{
    const PGTransactionStatusType s = PQtransactionStatus(m_conn);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

void PgEngine::Begin()
{
    // One writer at a time per address book, as with a file: the lock is
    // the transaction's and ends with it. Rows read after it are the ones
    // every earlier save committed, so a folder deleted by another desk is
    // never written into half.
    ReconnectIfBroken();
    Execute(QStringLiteral("BEGIN; SELECT pg_advisory_xact_lock(%1, "
                           "(SELECT oid::integer FROM pg_namespace WHERE nspname = current_schema()))")
                .arg(kAdvisoryLockKey));
}

QString PgEngine::ErrorText() const
{
    return QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
}

int PgEngine::ErrorCode() const
{
    return 1;
}
