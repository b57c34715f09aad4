#pragma once
// The server engine: one address book in a PostgreSQL database, reached
// through libpq, shared by every desk of an office.
#include "engine.h"

#include <QStringList>

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

    // The first key of the lock that says which programs have the address
    // book open: each holds it shared for as long as it is connected; a
    // restore takes it exclusively, which it can only while no other
    // program is connected, and new ones wait (and then give up) until the
    // restore is over. The second key is the address book's schema.
    static constexpr int kUseLockKey = 0x436F7275;
    // How long opening waits for a restore on another desk to finish.
    static constexpr int kUseLockWaitMs = 5000;
    // Takes the use lock exclusively when no other program holds it; false
    // otherwise, with the number of other programs in `others`.
    bool TryExclusiveUse(int *others);
    // Back to the shared hold after TryExclusiveUse.
    void ReleaseExclusiveUse() noexcept;
    // Programs other than this one that have the address book open.
    int OtherUsers();

    // Listens for the change notices of the address book (schema.cpp);
    // returns the connection's socket, readable when notices arrive. A
    // reconnected connection listens again by itself.
    int Listen();
    // The socket notices arrive on now (-1 while the connection is broken
    // or not listening), and how many times the connection was made anew:
    // a watcher of the socket follows both.
    int ListeningSocket() const;
    int Reconnections() const { return m_reconnections; }
    // The notices received since the last call, sent by other programs:
    // "<table> <op> <id> <owner> <old owner>".
    QStringList TakeNotices();

private:
    void configureSession();
    bool queryFlag(const QString &sql);
    QString useLockKeys() const;
    void listen();
    PGconn *m_conn = nullptr;
    bool m_listening = false;
    int m_reconnections = 0;
};

// The server's placeholders: each ? outside quotes becomes $1, $2, ...
QString PgPlaceholders(const QString &sql);
