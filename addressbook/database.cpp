#include "database.h"
#include "pgengine.h"
#include "schema.h"
#include "recordsets.h"
#include "sqliteengine.h"
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
    const int code = m_engine ? m_engine->ErrorCode() : SQLITE_MISUSE;
    const QString detail = m_engine ? m_engine->ErrorText() : QStringLiteral("database not open");
    throw DbException(what + QStringLiteral(": ") + detail, code);
}

DbEngine &CDatabase::Engine() const
{
    if (!m_engine)
        throw DbException(QStringLiteral("Database not open"));
    return *m_engine;
}

QString CDatabase::QuoteName(const QString &name, SqlDialect dialect)
{
    // The server folds unquoted names to lower case: its tables are stored
    // so, and a statement that names them plainly (DELETE FROM FOLDER)
    // reaches them on either engine.
    return QStringLiteral("\"%1\"").arg(dialect == SqlDialect::PostgreSQL ? name.toLower() : name);
}

bool CDatabase::IsServerName(const QString &name)
{
    return name.startsWith(QLatin1String("postgresql://")) || name.startsWith(QLatin1String("postgres://")) ||
           name.startsWith(QLatin1String("pg:"));
}

QString CDatabase::ServerConnectionString(const QString &name)
{
    return name.startsWith(QLatin1String("pg:")) ? name.mid(3).trimmed() : name;
}

void CDatabase::ExecuteOnServer(const QString &name, const QString &sql)
{
    PgEngine engine(ServerConnectionString(name));
    engine.Execute(sql);
}

std::int64_t CDatabase::QueryInteger(const QString &sql)
{
    auto stmt = Engine().Prepare(sql);
    return stmt->Step() ? stmt->ColumnInt64(0) : 0;
}

void CDatabase::adopt(std::unique_ptr<DbEngine> engine, SqlDialect dialect, const QString &path)
{
    m_engine = std::move(engine);
    m_dialect = dialect;
    m_sqlite = dialect == SqlDialect::SQLite ? static_cast<SqliteEngine *>(m_engine.get())->Handle() : nullptr;
    m_path = path;
    m_depth = 0;
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
    adopt(std::make_unique<SqliteEngine>(db), SqlDialect::SQLite, path);
    m_exclusive = exclusive;
    sqlite3_extended_result_codes(m_sqlite, 1);
    // Another program saving into the same file holds its write lock for
    // the length of one save: wait for it rather than fail.
    sqlite3_busy_timeout(m_sqlite, kBusyTimeoutMs);
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
    if (IsServerName(path)) {
        openServer(path);
        return;
    }
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
        if (sqlite3_db_readonly(m_sqlite, "main") != 0)
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
                m_engine->ExecuteQuietly(QStringLiteral("ROLLBACK"));
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
    try {
        auto stmt = Engine().Prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 'collation'")
                                         .arg(Quote(QStringLiteral("VALUE")), Quote(QLatin1String(kInfoTable)),
                                              Quote(QStringLiteral("KEY"))));
        return stmt->Step() ? stmt->Column(0, ColumnType::Text).toString() : QString();
    } catch (const DbException &) {
        return QString(); // a file from before the table existed
    }
}

void CDatabase::setInfo(const QString &key, const QString &value)
{
    const QString k = Quote(QStringLiteral("KEY")), v = Quote(QStringLiteral("VALUE"));
    auto stmt = Engine().Prepare(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?) ON CONFLICT (%2) DO UPDATE SET %3 = excluded.%3")
                                     .arg(Quote(QLatin1String(kInfoTable)), k, v));
    stmt->Bind(1, key);
    stmt->Bind(2, value);
    stmt->Step();
}

void CDatabase::RecordCollation()
{
    ExecuteRaw(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 TEXT PRIMARY KEY, %3 TEXT)")
                   .arg(Quote(QLatin1String(kInfoTable)), Quote(QStringLiteral("KEY")), Quote(QStringLiteral("VALUE"))));
    setInfo(QStringLiteral("collation"), QString::fromStdString(unocase::CollationVersion()));
    if (IsServer())
        setInfo(QStringLiteral("format"), QString::number(kFormatVersion));
}

int CDatabase::userVersion() const
{
    sqlite3_stmt *stmt = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(m_sqlite, "PRAGMA user_version", -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    return version;
}

void CDatabase::Create(const QString &path)
{
    if (IsServerName(path)) {
        Close();
        adopt(std::make_unique<PgEngine>(ServerConnectionString(path)), SqlDialect::PostgreSQL, path);
        m_exclusive = false;
        return;
    }
    openFile(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, false);
}

void CDatabase::openServer(const QString &name)
{
    Close();
    adopt(std::make_unique<PgEngine>(ServerConnectionString(name)), SqlDialect::PostgreSQL, name);
    // A server database is shared by every desk: it is never opened
    // exclusively.
    m_exclusive = false;
    try {
        checkServerSchema();
    } catch (...) {
        Close();
        throw;
    }
}

void CDatabase::Close()
{
    if (!m_engine)
        return;
    m_engine.reset();
    m_sqlite = nullptr;
    m_depth = 0;
    m_exclusive = false;
}

void CDatabase::registerFunctions()
{
    if (unocase::Register(m_sqlite) != SQLITE_OK)
        Throw(QStringLiteral("Cannot register the text collation"));
}

void CDatabase::ExecuteRaw(const QString &sql)
{
    Engine().Execute(sql);
}

bool CDatabase::TryServerAlone(int *others)
{
    auto *server = dynamic_cast<PgEngine *>(m_engine.get());
    if (others)
        *others = 0;
    return server && server->TryExclusiveUse(others);
}

int CDatabase::ChangeSocket()
{
    auto *server = dynamic_cast<PgEngine *>(m_engine.get());
    return server ? server->Listen() : -1;
}

std::pair<int, int> CDatabase::CurrentChangeSocket() const
{
    auto *server = dynamic_cast<PgEngine *>(m_engine.get());
    return server ? std::pair{server->ListeningSocket(), server->Reconnections()} : std::pair{-1, 0};
}

std::vector<CDatabase::ChangeNotice> CDatabase::TakeChanges()
{
    std::vector<ChangeNotice> out;
    auto *server = dynamic_cast<PgEngine *>(m_engine.get());
    if (!server)
        return out;
    for (const QString &text : server->TakeNotices()) {
        const QStringList w = text.split(u' ');
        if (w.size() != 5 || w[0].size() != 1 || w[1].size() != 1)
            continue;
        ChangeNotice n;
        n.table = char(w[0][0].toLatin1());
        n.op = char(w[1][0].toLatin1());
        n.id = w[2].toInt();
        n.owner = w[3].toInt();
        n.oldOwner = w[4].toInt();
        out.push_back(n);
    }
    return out;
}

void CDatabase::EndServerAlone() noexcept
{
    if (auto *server = dynamic_cast<PgEngine *>(m_engine.get()))
        server->ReleaseExclusiveUse();
}

void CDatabase::BeginTrans()
{
    // The outermost transaction takes the write lock at once (BEGIN
    // IMMEDIATE): two programs that both read first and then write would
    // otherwise deadlock, and one of them fail without waiting. Inner
    // levels are savepoints.
    DbEngine &engine = Engine();
    if (m_depth == 0)
        m_savepointOuter = engine.InTransaction();
    if (m_depth == 0 && !m_savepointOuter)
        engine.Begin();
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
    if (!m_engine || m_depth <= 0)
        return;
    if (m_depth == 1 && !m_savepointOuter) {
        if (m_engine->InTransaction())
            m_engine->ExecuteQuietly(QStringLiteral("ROLLBACK"));
        m_depth = 0;
        return;
    }
    if (!m_engine->ExecuteQuietly(QStringLiteral("ROLLBACK TO tr%1; RELEASE tr%1").arg(m_depth))) {
        // The savepoint is gone (the engine rolled back on its own): end whatever remains.
        if (m_engine->InTransaction())
            m_engine->ExecuteQuietly(QStringLiteral("ROLLBACK"));
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
    if (!m_engine)
        throw DbException(QStringLiteral("Database not open"));
    if (IsServer()) {
        const_cast<CDatabase *>(this)->checkServerSchema();
        return;
    }
    for (const TableDescription &table : AllTables()) {
        const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table.name).toUtf8();
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_sqlite, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
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

namespace {

// Whether a server column of this type keeps the values the program stores.
bool serverTypeFits(ColumnType type, const QString &t)
{
    switch (type) {
    case ColumnType::Text: return t == QLatin1String("text") || t == QLatin1String("character varying");
    case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
        return t == QLatin1String("integer") || t == QLatin1String("smallint") || t == QLatin1String("bigint");
    case ColumnType::Double:
        return t == QLatin1String("double precision") || t == QLatin1String("real") || t == QLatin1String("numeric");
    case ColumnType::Binary: return t == QLatin1String("bytea");
    }
    return false;
}

} // namespace

void CDatabase::checkServerSchema()
{
    // Text columns must carry the address book's collation: under another
    // one "Novák" and "NOVÁK" would be two names and the order another.
    auto stmt = Engine().Prepare(QStringLiteral(
        "SELECT table_name::text, column_name::text, data_type::text, coalesce(collation_name::text, '')"
        " FROM information_schema.columns WHERE table_schema = current_schema()"));
    QHash<QString, QHash<QString, QPair<QString, QString>>> tables; // table -> column -> (type, collation)
    while (stmt->Step())
        tables[stmt->Column(0, ColumnType::Text).toString()].insert(
            stmt->Column(1, ColumnType::Text).toString(),
            {stmt->Column(2, ColumnType::Text).toString(), stmt->Column(3, ColumnType::Text).toString()});
    for (const TableDescription &table : AllTables()) {
        const auto columns = tables.constFind(table.name.toLower());
        if (columns == tables.constEnd())
            throw DbException(QStringLiteral("The database lacks table %1").arg(table.name), SQLITE_CORRUPT);
        if (!columns->contains(QStringLiteral("rowid")))
            throw DbException(QStringLiteral("Table %1 lacks its row numbers").arg(table.name), SQLITE_CORRUPT);
        for (const ColumnDescription &column : table.columns) {
            const auto found = columns->constFind(column.name.toLower());
            if (found == columns->constEnd())
                throw DbException(QStringLiteral("Table %1 lacks column %2").arg(table.name, column.name),
                                  SQLITE_CORRUPT);
            if (!serverTypeFits(column.type, found->first))
                throw DbException(QStringLiteral("Column %1.%2 has type %3").arg(table.name, column.name, found->first),
                                  SQLITE_CORRUPT);
            if (column.type == ColumnType::Text && found->second != QLatin1String(kServerCollation))
                throw DbException(QStringLiteral("Column %1.%2 has collation %3")
                                      .arg(table.name, column.name, found->second),
                                  SQLITE_CORRUPT);
        }
    }
    if (!tables.contains(QString::fromLatin1(kInfoTable).toLower()))
        throw DbException(QStringLiteral("The database lacks table %1").arg(QLatin1String(kInfoTable)), SQLITE_CORRUPT);
    auto format = Engine().Prepare(QStringLiteral("SELECT \"value\" FROM \"dbinfo\" WHERE \"key\" = 'format'"));
    const int version = format->Step() ? format->Column(0, ColumnType::Text).toString().toInt() : 0;
    if (version > kFormatVersion)
        throw DbException(QStringLiteral("Database %1 has format %2, newer than this program's %3")
                              .arg(m_path)
                              .arg(version)
                              .arg(kFormatVersion),
                          SQLITE_CANTOPEN);
}
