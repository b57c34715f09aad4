#pragma once
// The embedded engine: one SQLite file on this computer.
#include "engine.h"

struct sqlite3;

class SqliteEngine final : public DbEngine {
public:
    // Takes over an open connection and closes it at the end.
    explicit SqliteEngine(sqlite3 *db) : m_db(db) {}
    ~SqliteEngine() override;
    sqlite3 *Handle() const { return m_db; }

    SqlDialect Dialect() const override { return SqlDialect::SQLite; }
    std::unique_ptr<DbStatement> Prepare(const QString &sql) override;
    void Execute(const QString &sql) override;
    bool ExecuteQuietly(const QString &sql) noexcept override;
    bool InTransaction() const override;
    void Begin() override;
    std::int64_t LastInsertRowid() const override;
    QString ErrorText() const override;
    int ErrorCode() const override;

private:
    sqlite3 *m_db;
};
