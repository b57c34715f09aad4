#pragma once
// The engine under the database: statements prepared, bound and stepped,
// transactions and raw statements, for the embedded SQLite file and for a
// PostgreSQL server. CDatabase owns one engine; the record sets, the SQL
// translation and the identifiers speak only to this interface.
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

enum class ColumnType;

// Which SQL the engine speaks; the translator writes statements in it.
enum class SqlDialect { SQLite, PostgreSQL };

class DbStatement {
public:
    virtual ~DbStatement() = default;
    // Binds the value of the index-th ? (from 1): integers, doubles, texts
    // and byte arrays.
    virtual void Bind(int index, const QVariant &value) = 0;
    // Runs the statement or moves to its next row: true while a row is current.
    virtual bool Step() = 0;
    // The index-th column (from 0) of the current row, as the given type.
    virtual QVariant Column(int index, ColumnType type) const = 0;
    virtual std::int64_t ColumnInt64(int index) const = 0;
    // Rows changed by the finished statement.
    virtual std::int64_t Changes() const = 0;
    // Makes the statement ready to run again; the bound values stay until
    // bound anew.
    virtual void Reset() = 0;
};

class DbEngine {
public:
    virtual ~DbEngine() = default;
    virtual SqlDialect Dialect() const = 0;
    // Throws DbException when the text does not prepare.
    virtual std::unique_ptr<DbStatement> Prepare(const QString &sql) = 0;
    // Runs statements without parameters (schema work, transactions).
    virtual void Execute(const QString &sql) = 0;
    // Runs statements and ignores their failure; false when one failed.
    virtual bool ExecuteQuietly(const QString &sql) noexcept = 0;
    // Whether a transaction begun by SQL is open on the connection.
    virtual bool InTransaction() const = 0;
    // The outermost transaction: it holds the address book's write lock from
    // its start, so that two programs saving at once wait for each other
    // instead of deadlocking or interleaving.
    virtual void Begin() = 0;
    // The row identifier the last INSERT gave (SQLite; the server's INSERTs
    // return it themselves).
    virtual std::int64_t LastInsertRowid() const = 0;
    // The engine's text and code of the last failure.
    virtual QString ErrorText() const = 0;
    virtual int ErrorCode() const = 0;
};
