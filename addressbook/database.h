#pragma once
// The open database: one SQLite file, or one database on a PostgreSQL
// server shared by an office, holding the address book and the printing
// definitions. Transactions nest (each level is a savepoint), so an
// operation can run inside its caller's transaction. Every failure of the
// engine is thrown as DbException.
#include "engine.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>
#include <stdexcept>

struct sqlite3;

class DbException : public std::runtime_error {
public:
    explicit DbException(const QString &message, int code = 0)
        : std::runtime_error(message.toStdString()), m_code(code)
    {
    }
    int code() const { return m_code; }

private:
    int m_code;
};

// A row an operation works on was deleted (or changed) by another program
// since it was read: the operation changed nothing, and the text says what
// happened in the user's terms.
class DbGoneException : public DbException {
public:
    explicit DbGoneException(const QString &message) : DbException(message), m_text(message) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

class CDatabase {
public:
    CDatabase() = default;
    ~CDatabase();
    CDatabase(const CDatabase &) = delete;
    CDatabase &operator=(const CDatabase &) = delete;

    // Opens an existing database file read-write. With `exclusive` no other
    // process may open it while it stays open. Throws DbException when the
    // file is missing, unreadable, write-protected (or in a write-protected
    // folder), not a database, lacks the tables or columns of the right
    // types, or carries a newer format mark than this program writes.
    //
    // A name of the form postgresql://[user[:password]@]host[:port]/dbname
    // [?params] (or postgres://...), or "pg:" followed by libpq key/value
    // pairs, opens a database on a PostgreSQL server instead; the schema
    // (search_path) it names holds the tables. An unreachable server or a
    // database without the tables throws DbException as a bad file does.
    void Open(const QString &path, bool exclusive = false);
    // Creates a new, empty database file, or connects to an empty server
    // database (used by the creation tool).
    void Create(const QString &path);
    void Close();
    bool IsOpen() const { return m_engine != nullptr; }
    QString GetName() const { return m_path; }
    bool IsExclusive() const { return m_exclusive; }
    // The SQLite connection; null for a server database.
    sqlite3 *Handle() const { return m_sqlite; }

    // The engine and its dialect; a server database is not a file.
    DbEngine &Engine() const;
    SqlDialect Dialect() const { return m_dialect; }
    bool IsServer() const { return m_dialect == SqlDialect::PostgreSQL && m_engine; }
    // A table or column name quoted as the engine stores it.
    QString Quote(const QString &name) const { return QuoteName(name, m_dialect); }
    static QString QuoteName(const QString &name, SqlDialect dialect);

    // Whether a configured name is a server database rather than a file.
    static bool IsServerName(const QString &name);
    // The libpq connection string of such a name.
    static QString ServerConnectionString(const QString &name);
    // Runs statements on a server database without opening the address
    // book (making and removing schemas); throws DbException.
    static void ExecuteOnServer(const QString &name, const QString &sql);

    // A server database is open in every program connected to it. A
    // restore must have it alone: TryServerAlone succeeds only when no
    // other program is connected (others then holds how many are) and
    // keeps new ones from opening it until EndServerAlone. False for a file.
    bool TryServerAlone(int *others);
    void EndServerAlone() noexcept;

    // What other programs changed in a server database, as they commit it.
    struct ChangeNotice {
        char table = 0; // 'A' an address, 'F' a folder
        char op = 0;    // 'I' added, 'U' changed, 'D' deleted
        std::int32_t id = -1;
        std::int32_t owner = -1;    // the address's folder, the folder's parent
        std::int32_t oldOwner = -1; // the same before the change
    };
    // Starts listening for such changes; the socket to watch for them, -1
    // for a file.
    int ChangeSocket();
    // The socket to watch now, and a number that changes whenever the
    // connection was made anew (a watcher then watches the new socket):
    // {-1, 0} for a file, {-1, n} while a server connection is broken.
    std::pair<int, int> CurrentChangeSocket() const;
    // The changes other programs committed since the last call, in order.
    std::vector<ChangeNotice> TakeChanges();

    // The first column of the first row of a query (0 without rows), for
    // counts and checks written in the engine's SQL.
    std::int64_t QueryInteger(const QString &sql);

    // Workspace transactions.
    void BeginTrans();
    void CommitTrans();
    // Undoes the innermost open transaction; its own errors are swallowed.
    void Rollback() noexcept;
    int TransactionDepth() const { return m_depth; }

    // Runs statements given in the engine's own language (schema work, tools).
    void ExecuteRaw(const QString &sql);

    // Raises the error of the last engine call as DbException.
    [[noreturn]] void Throw(const QString &what) const;

    // Verifies that the twelve tables exist with their columns.
    void CheckSchema() const;

    // The file's format mark (PRAGMA user_version): 2 means its text indexes
    // follow the alphabetic order of CompareTexts. A file marked with a
    // newer format than this program writes is refused, not written into.
    static constexpr int kTextOrderVersion = 2;
    static constexpr int kFormatVersion = 2;
    // The table of facts about the file itself: key "collation" names the
    // collation version its text indexes were built with.
    static constexpr const char *kInfoTable = "DBINFO";
    // The server's collation of text columns (equality and order).
    static constexpr const char *kServerCollation = "unocase";
    // How long a save waits for another program's save to the same file.
    static constexpr int kBusyTimeoutMs = 10000;

    // Records in a new file the collation version its indexes follow.
    void RecordCollation();

private:
    void openServer(const QString &name);
    void checkServerSchema();
    void adopt(std::unique_ptr<DbEngine> engine, SqlDialect dialect, const QString &path);
    int userVersion() const;
    QString storedCollationVersion() const;
    void setInfo(const QString &key, const QString &value);
    void openFile(const QString &path, int flags, bool exclusive);
    void registerFunctions();

    std::unique_ptr<DbEngine> m_engine;
    sqlite3 *m_sqlite = nullptr; // the SQLite engine's connection
    SqlDialect m_dialect = SqlDialect::SQLite;
    QString m_path;
    bool m_exclusive = false;
    int m_depth = 0;
    // The outermost level is a savepoint inside a transaction begun by SQL.
    bool m_savepointOuter = false;
};

// Case-insensitive comparison for all of Unicode, used by the database's
// UNOCASE collation (text equality and ordering) and by containment tests.
int UnicodeCaseCompare(const char *a, int aLength, const char *b, int bLength);
bool UnicodeCaseContains(const char *haystack, int haystackLength, const char *needle, int needleLength);
