#pragma once
// The open database: one SQLite file holding the address book and the
// printing definitions. Transactions nest (each level is a savepoint), so an
// operation can run inside its caller's transaction. Every failure of the
// engine is thrown as DbException.
#include <QString>
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
    void Open(const QString &path, bool exclusive = false);
    // Creates a new, empty database file (used by the creation tool).
    void Create(const QString &path);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    QString GetName() const { return m_path; }
    bool IsExclusive() const { return m_exclusive; }
    sqlite3 *Handle() const { return m_db; }

    // Workspace transactions.
    void BeginTrans();
    void CommitTrans();
    // Undoes the innermost open transaction; its own errors are swallowed.
    void Rollback() noexcept;
    int TransactionDepth() const { return m_depth; }

    // Runs statements given in SQLite's own language (schema work, tools).
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
    // How long a save waits for another program's save to the same file.
    static constexpr int kBusyTimeoutMs = 10000;

    // Records in a new file the collation version its indexes follow.
    void RecordCollation();

private:
    int userVersion() const;
    QString storedCollationVersion() const;
    void setInfo(const QString &key, const QString &value);
    void openFile(const QString &path, int flags, bool exclusive);
    void registerFunctions();

    sqlite3 *m_db = nullptr;
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
