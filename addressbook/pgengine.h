#pragma once
// The server engine: one address book in a PostgreSQL database, reached
// through libpq, shared by every desk of an office.
#include "engine.h"

typedef struct pg_conn PGconn;

class PgEngine final : public DbEngine {
public:
    // Connects to the server named by a libpq connection string: a URI
    // (postgresql://user@host:port/dbname?params) or key/value pairs
    // ("host=... dbname=..."). Passwords may come from ~/.pgpass as libpq
    // reads it. Throws DbException when the server cannot be reached.
    explicit PgEngine(const QString &conninfo);
    ~PgEngine() override;
    PGconn *Handle() const { return m_conn; }

    SqlDialect Dialect() const override { return SqlDialect::PostgreSQL; }
    std::unique_ptr<DbStatement> Prepare(const QString &sql) override;
    void Execute(const QString &sql) override;
    bool ExecuteQuietly(const QString &sql) noexcept override;
    bool InTransaction() const override;
    void Begin() override;
    std::int64_t LastInsertRowid() const override { return 0; }
    // The first key of the advisory lock that serializes saves; the second
    // is the address book's schema.
    static constexpr int kAdvisoryLockKey = 0x436F7276;
    QString ErrorText() const override;
    int ErrorCode() const override;

    // Reconnects a connection the server or the network broke; only
    // between transactions, where nothing can be lost.
    void ReconnectIfBroken();

private:
    void configureSession();
    PGconn *m_conn = nullptr;
};

// The server's placeholders: each ? outside quotes becomes $1, $2, ...
QString PgPlaceholders(const QString &sql);
