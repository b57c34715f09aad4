#include "schema.h"
#include "database.h"
#include "ids.h"
#include "recordsets.h"
#include "labelsheetdata.h"

#include <QFile>
#include <QStringList>
#include <sqlite3.h>
#include <stdexcept>

namespace {

QString columnDefinition(const ColumnDescription &c)
{
    const QString name = QStringLiteral("\"%1\"").arg(c.name);
    switch (c.type) {
    case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
        return name + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
    case ColumnType::Double:
        return name + QStringLiteral(" REAL NOT NULL DEFAULT 0");
    case ColumnType::Text:
        // A text column holds at most 255 characters; a longer value fails the write.
        return name + QStringLiteral(" TEXT NOT NULL DEFAULT '' CHECK (length(%1) <= 255)").arg(name);
    case ColumnType::Binary:
        return name + QStringLiteral(" BLOB");
    }
    return name;
}

QString serverColumnDefinition(const ColumnDescription &c)
{
    const QString name = CDatabase::QuoteName(c.name, SqlDialect::PostgreSQL);
    switch (c.type) {
    case ColumnType::Long: case ColumnType::Byte: case ColumnType::Bool:
        return name + QStringLiteral(" integer NOT NULL DEFAULT 0");
    case ColumnType::Double:
        return name + QStringLiteral(" double precision NOT NULL DEFAULT 0");
    case ColumnType::Text:
        return name + QStringLiteral(" text COLLATE unocase NOT NULL DEFAULT '' CHECK (char_length(%1) <= 255)").arg(name);
    case ColumnType::Binary:
        return name + QStringLiteral(" bytea");
    }
    return name;
}

// The text rule on the server. Equality and order: ICU's root order at
// secondary strength (letter case and width ignored, accents kept), the
// order the file's UNOCASE collation gives; characters that show nothing
// are ignorable to ICU there as here. The server's LIKE and strpos refuse
// such a collation, so umatch looks for the needle in a folded form of
// both texts: characters that show nothing removed, compatibility forms
// (full-width letters, ligatures) normalized by NFKC, letter case lowered
// by ICU. umatch is not STRICT, so the server inlines it into the query
// (a STRICT function with a CASE is called row by row: three times slower);
// the columns are never NULL.
const char *const kServerTextRule = R"SQL(
CREATE COLLATION IF NOT EXISTS unocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
CREATE COLLATION IF NOT EXISTS unocase_lower (provider = icu, locale = 'und');
CREATE OR REPLACE FUNCTION unocase_fold(t text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
  SELECT lower(normalize(regexp_replace(t COLLATE "C",
    '[\u00AD\u034F\u061C\u115F\u1160\u17B4\u17B5\u180B-\u180F\u200B-\u200F\u202A-\u202E\u2060-\u206F\u3164\uFE00-\uFE0F\uFEFF\uFFA0]',
    '', 'g'), NFKC) COLLATE unocase_lower) COLLATE "C"
$$;
CREATE OR REPLACE FUNCTION umatch(h text, n text, mode integer) RETURNS boolean LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE mode
    WHEN 1 THEN strpos(unocase_fold(h) COLLATE "C", unocase_fold(n) COLLATE "C") > 0
    WHEN 2 THEN starts_with(unocase_fold(h) COLLATE "C", unocase_fold(n) COLLATE "C")
    WHEN 3 THEN right(unocase_fold(h) COLLATE "C", char_length(unocase_fold(n))) = unocase_fold(n) COLLATE "C"
    ELSE (h COLLATE unocase) = (n COLLATE unocase)
  END
$$;
)SQL";

// Every committed change of an address or a folder is told to the other
// programs connected to the address book (LISTEN/NOTIFY on the channel
// tesmar_<schema oid>): the sender's process, A or F, I, U or D, the row's
// identifier, its folder (parent) now and before.
const char *const kServerChangeNotices = R"SQL(
CREATE OR REPLACE FUNCTION tesmar_notify() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
  channel text := 'tesmar_' || (SELECT oid::text FROM pg_namespace WHERE nspname = TG_TABLE_SCHEMA);
BEGIN
  IF TG_TABLE_NAME = 'address' THEN
    PERFORM pg_notify(channel, concat_ws(' ', pg_backend_pid(), 'A', left(TG_OP, 1),
      CASE WHEN TG_OP = 'DELETE' THEN OLD.id_address_address ELSE NEW.id_address_address END,
      CASE WHEN TG_OP = 'DELETE' THEN OLD.id_address_folder ELSE NEW.id_address_folder END,
      CASE WHEN TG_OP = 'INSERT' THEN NEW.id_address_folder ELSE OLD.id_address_folder END));
  ELSE
    PERFORM pg_notify(channel, concat_ws(' ', pg_backend_pid(), 'F', left(TG_OP, 1),
      CASE WHEN TG_OP = 'DELETE' THEN OLD.id_folder_folder ELSE NEW.id_folder_folder END,
      CASE WHEN TG_OP = 'DELETE' THEN OLD.id_parent ELSE NEW.id_parent END,
      CASE WHEN TG_OP = 'INSERT' THEN NEW.id_parent ELSE OLD.id_parent END));
  END IF;
  RETURN NULL;
END $$;
CREATE TRIGGER address_notify AFTER INSERT OR UPDATE OR DELETE ON address FOR EACH ROW EXECUTE FUNCTION tesmar_notify();
CREATE TRIGGER folder_notify AFTER INSERT OR UPDATE OR DELETE ON folder FOR EACH ROW EXECUTE FUNCTION tesmar_notify();
)SQL";

void createServerSchema(CDatabase &db)
{
    QStringList sql;
    sql << QString::fromLatin1(kServerTextRule);
    for (const TableDescription &table : AllTables()) {
        QStringList columns{QStringLiteral("rowid bigserial PRIMARY KEY")};
        for (const ColumnDescription &c : table.columns)
            columns << serverColumnDefinition(c);
        sql << QStringLiteral("CREATE TABLE %1 (%2);").arg(db.Quote(table.name), columns.join(QStringLiteral(", ")));
        const QString idColumn = QStringLiteral("ID_%1_%1").arg(table.name);
        for (const ColumnDescription &c : table.columns)
            if (c.name == idColumn)
                sql << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3);")
                           .arg(db.Quote(table.name + QStringLiteral("_ID")), db.Quote(table.name), db.Quote(idColumn));
    }
    sql << QStringLiteral(
        "CREATE INDEX address_folder ON address (id_address_folder, name, street, town, zip);"
        "CREATE INDEX address_order ON address (name, street, town, zip);"
        "CREATE INDEX tel_address ON tel (id_tel_address);"
        "CREATE INDEX email_address ON email (id_email_address);"
        "CREATE INDEX folder_parent ON folder (id_parent, name);"
        "CREATE INDEX kalibrace_envsize ON kalibrace (id_envsize);"
        "CREATE INDEX kalibrace_labsize ON kalibrace (id_labsize);"
        // The phones and e-mails of a deleted address go with it.
        "CREATE OR REPLACE FUNCTION address_delete() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
        " DELETE FROM tel WHERE id_tel_address = OLD.id_address_address;"
        " DELETE FROM email WHERE id_email_address = OLD.id_address_address;"
        " RETURN NULL; END $$;"
        "CREATE TRIGGER address_delete AFTER DELETE ON address FOR EACH ROW EXECUTE FUNCTION address_delete();");
    sql << QString::fromLatin1(kServerChangeNotices);
    db.BeginTrans();
    try {
        db.ExecuteRaw(sql.join(u'\n'));
        db.RecordCollation();
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

// A server database takes a new address book only when it is empty: no
// tables at all in the schema it names. One that holds an address book is
// replaced with `force` (its tables removed in the transaction that
// creates the new ones); tables of anything else are never touched.
void prepareServerDatabase(CDatabase &db, bool force)
{
    QStringList ours;
    for (const TableDescription &table : AllTables())
        ours << table.name.toLower();
    ours << QString::fromLatin1(CDatabase::kInfoTable).toLower();
    const auto st = db.Engine().Prepare(QStringLiteral(
        "SELECT table_name::text FROM information_schema.tables WHERE table_schema = current_schema() ORDER BY 1"));
    QStringList present, foreign;
    while (st->Step()) {
        const QString name = st->Column(0, ColumnType::Text).toString();
        present << name;
        if (!ours.contains(name))
            foreign << name;
    }
    const QString schema = [&] {
        const auto s = db.Engine().Prepare(QStringLiteral("SELECT coalesce(current_schema()::text, '')"));
        return s->Step() ? s->Column(0, ColumnType::Text).toString() : QString();
    }();
    if (schema.isEmpty())
        throw std::runtime_error("the database has no schema to create the tables in (search_path names none that exists)");
    if (!foreign.isEmpty()) {
        if (foreign.size() > 5)
            foreign = foreign.mid(0, 5) << QStringLiteral("...");
        throw std::runtime_error(QStringLiteral("the database is not empty: schema \"%1\" holds other tables (%2);"
                                                " an address book needs an empty database or schema of its own")
                                     .arg(schema, foreign.join(QStringLiteral(", ")))
                                     .toStdString());
    }
    if (present.isEmpty())
        return;
    if (!force)
        throw std::runtime_error(QStringLiteral("the database already holds an address book (schema \"%1\");"
                                                " use --force to replace it with a new, empty one")
                                     .arg(schema)
                                     .toStdString());
    QStringList drops;
    for (const QString &name : present)
        drops << QStringLiteral("DROP TABLE IF EXISTS \"%1\" CASCADE;").arg(name);
    drops << QStringLiteral("DROP FUNCTION IF EXISTS address_delete() CASCADE;"
                            "DROP FUNCTION IF EXISTS tesmar_notify() CASCADE;");
    db.ExecuteRaw(drops.join(u' '));
}

} // namespace

void CreateSchema(CDatabase &db)
{
    if (db.IsServer()) {
        createServerSchema(db);
        return;
    }
    QStringList sql;
    for (const TableDescription &table : AllTables()) {
        QStringList columns;
        for (const ColumnDescription &c : table.columns)
            columns << columnDefinition(c);
        sql << QStringLiteral("CREATE TABLE \"%1\" (%2);").arg(table.name, columns.join(QStringLiteral(", ")));
        // Each ID_<T>_<T> column identifies its row.
        const QString idColumn = QStringLiteral("ID_%1_%1").arg(table.name);
        for (const ColumnDescription &c : table.columns)
            if (c.name == idColumn)
                sql << QStringLiteral("CREATE UNIQUE INDEX \"%1_ID\" ON \"%1\" (\"%2\");").arg(table.name, idColumn);
    }
    sql << QStringLiteral(
        "CREATE INDEX ADDRESS_FOLDER ON ADDRESS (ID_ADDRESS_FOLDER, NAME COLLATE UNOCASE, STREET COLLATE UNOCASE,"
        " TOWN COLLATE UNOCASE, ZIP COLLATE UNOCASE);"
        "CREATE INDEX ADDRESS_ORDER ON ADDRESS (NAME COLLATE UNOCASE, STREET COLLATE UNOCASE,"
        " TOWN COLLATE UNOCASE, ZIP COLLATE UNOCASE);"
        "CREATE INDEX TEL_ADDRESS ON TEL (ID_TEL_ADDRESS);"
        "CREATE INDEX EMAIL_ADDRESS ON EMAIL (ID_EMAIL_ADDRESS);"
        "CREATE INDEX FOLDER_PARENT ON FOLDER (ID_PARENT, NAME COLLATE UNOCASE);"
        "CREATE INDEX KALIBRACE_ENVSIZE ON KALIBRACE (ID_ENVSIZE);"
        "CREATE INDEX KALIBRACE_LABSIZE ON KALIBRACE (ID_LABSIZE);"
        // The phones and e-mails of a deleted address go with it.
        "CREATE TRIGGER ADDRESS_DELETE AFTER DELETE ON ADDRESS BEGIN"
        " DELETE FROM TEL WHERE ID_TEL_ADDRESS = OLD.ID_ADDRESS_ADDRESS;"
        " DELETE FROM EMAIL WHERE ID_EMAIL_ADDRESS = OLD.ID_ADDRESS_ADDRESS;"
        " END;");
    sql << QStringLiteral("PRAGMA user_version = %1;").arg(CDatabase::kFormatVersion);
    db.BeginTrans();
    try {
        db.ExecuteRaw(sql.join(u'\n'));
        db.RecordCollation();
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

namespace {

bool tableHasColumn(CDatabase &db, const char *table, const char *column)
{
    const QByteArray sql = QByteArray("PRAGMA table_info(\"") + table + "\")";
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        db.Throw(QStringLiteral("Cannot read the tables"));
    bool found = false;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
        if (qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)), column) == 0)
            found = true;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE)
        db.Throw(QStringLiteral("Cannot read the tables"));
    return found;
}

} // namespace

void AddLabelPaperColumns(CDatabase &db)
{
    if (!db.Handle() || tableHasColumn(db, "LABSIZE", "PAPERW"))
        return;
    // Not a database of this program at all: leave it to the schema check.
    if (!tableHasColumn(db, "LABSIZE", "N"))
        return;
    // Labels plus the left and top margins; the sheet fits A4 when that
    // stays within 210 x 297 mm, either way round.
    const QString width = QStringLiteral("(\"A\" + \"N\" * \"B\" + (\"N\" - 1) * \"C\")");
    const QString height = QStringLiteral("(\"D\" + \"M\" * \"E\" + (\"M\" - 1) * \"F\")");
    const QString fitsA4 = QStringLiteral("((%1 <= 210 AND %2 <= 297) OR (%1 <= 297 AND %2 <= 210))").arg(width, height);
    const QString sheetW = QStringLiteral("(%1 + \"A\")").arg(width);
    const QString sheetH = QStringLiteral("(%1 + \"D\")").arg(height);
    db.BeginTrans();
    try {
        db.ExecuteRaw(QStringLiteral("ALTER TABLE \"LABSIZE\" ADD COLUMN \"PAPERW\" REAL NOT NULL DEFAULT 0;"
                                     "ALTER TABLE \"LABSIZE\" ADD COLUMN \"PAPERH\" REAL NOT NULL DEFAULT 0;"
                                     "UPDATE \"LABSIZE\" SET"
                                     " \"PAPERW\" = CASE WHEN %1 THEN 210 ELSE min(%2, %3) END,"
                                     " \"PAPERH\" = CASE WHEN %1 THEN 297 ELSE max(%2, %3) END;")
                          .arg(fitsA4, sheetW, sheetH));
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

namespace {

struct EnvelopeSeed {
    const char *name;
    double a, b, c, d, e, f, g, h, k, l;
};

// Common envelopes: the address area sits right of centre in the lower half,
// the return area in the top-left corner.
const EnvelopeSeed kEnvelopes[] = {
    {"DL (220 x 110 mm)", 220, 110, 90, 20, 15, 40, 70, 10, 10, 30},
    {"C6 (162 x 114 mm)", 162, 114, 80, 12, 15, 40, 60, 8, 8, 28},
    {"C5 (229 x 162 mm)", 229, 162, 100, 25, 30, 45, 75, 12, 12, 32},
    {"C4 (324 x 229 mm)", 324, 229, 120, 40, 50, 50, 90, 15, 15, 36},
    {"C6/5 (229 x 114 mm)", 229, 114, 90, 25, 15, 40, 70, 10, 10, 30},
    {"US No. 10 (241.3 x 104.8 mm)", 241.3, 104.8, 95, 30, 12, 38, 75, 10, 8, 28},
};

FontSpec font(const char *face, int tenths, bool bold)
{
    FontSpec f;
    f.lfFaceName = QString::fromLatin1(face);
    f.lfHeight = tenths;
    f.lfWeight = bold ? 700 : 400;
    f.lfPitchAndFamily = 18; // variable pitch, roman family
    return f;
}

// The IDS row, the root folder, the usual sizes, the two "Standard" styles
// and the default calibration, inside the caller's transaction.
void seedDatabase(CDatabase &db)
{
    CSetIDS ids(&db);
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    ids.AddNew();
    ids.m_ID_ADDRESS_FF = ids.m_ID_EMAIL_FF = ids.m_ID_TEL_FF = ids.m_ID_ENVSIZE_FF = ids.m_ID_ENVSTYLE_FF =
        ids.m_ID_LABSIZE_FF = ids.m_ID_LABSTYLE_FF = ids.m_ID_FOLDER_FF = ids.m_ID_KALIBRACE_FF = 1;
    ids.Update();
    ids.Close();

    IdAllocator alloc(db);
    CSetFolder folder(&db);
    folder.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0"));
    folder.AddNew();
    folder.m_ID_FOLDER_FOLDER = alloc.Next(IdCounter::Folder);
    folder.m_ID_PARENT = -1;
    folder.m_NAME = QString::fromLatin1(kRootFolderName);
    folder.Update();

    CSetEnvsize env(&db);
    env.Open(QStringLiteral("SELECT * FROM ENVSIZE WHERE 0"));
    for (const EnvelopeSeed &s : kEnvelopes) {
        env.AddNew();
        env.m_ID_ENVSIZE_ENVSIZE = alloc.Next(IdCounter::Envsize);
        env.m_NAME = QString::fromLatin1(s.name);
        env.m_A = s.a; env.m_B = s.b; env.m_C = s.c; env.m_D = s.d; env.m_E = s.e;
        env.m_F = s.f; env.m_G = s.g; env.m_H = s.h; env.m_K = s.k; env.m_L = s.l;
        env.Update();
    }

    // The most common sheets of the built-in list, named by brand and
    // part number.
    CSetLabsize lab(&db);
    lab.Open(QStringLiteral("SELECT * FROM LABSIZE WHERE 0"));
    for (const LabelSheetRecord &s : BuiltInLabelSheets()) {
        if (!s.seedsNewDatabase)
            continue;
        lab.AddNew();
        lab.m_ID_LABSIZE_LABSIZE = alloc.Next(IdCounter::Labsize);
        lab.m_NAME = s.DisplayName();
        lab.m_A = s.A; lab.m_B = s.B; lab.m_C = s.C; lab.m_D = s.D; lab.m_E = s.E; lab.m_F = s.F;
        lab.m_M = s.M; lab.m_N = s.N;
        lab.m_PAPERW = s.paperWidth; lab.m_PAPERH = s.paperHeight;
        lab.Update();
    }

    CSetEnvstyle envStyle(&db);
    envStyle.Open(QStringLiteral("SELECT * FROM ENVSTYLE WHERE 0"));
    envStyle.AddNew();
    envStyle.m_ID_ENVSTYLE_ENVSTYLE = alloc.Next(IdCounter::Envstyle);
    envStyle.m_ENVSTYLE_NAME = QStringLiteral("Standard");
    envStyle.m_HORIZONTAL = 0; // left
    envStyle.m_VERTICAL = 0;   // top
    envStyle.m_RETURN = 2;     // nothing in the return place
    envStyle.m_OFFSET = 2;
    envStyle.m_OFFSET_RETURN = 2;
    for (std::size_t i = 0; i < envStyle.m_fonts.size(); ++i)
        envStyle.m_fonts[i] = font("Times New Roman", i == LINE_RETURN ? 100 : 120, i == LINE_NAME);
    envStyle.Update();

    CSetLabstyle labStyle(&db);
    labStyle.Open(QStringLiteral("SELECT * FROM LABSTYLE WHERE 0"));
    labStyle.AddNew();
    labStyle.m_ID_LABSTYLE_LABSTYLE = alloc.Next(IdCounter::Labstyle);
    labStyle.m_LABSTYLE_NAME = QStringLiteral("Standard");
    labStyle.m_OFFSET_FRAME = 0; // no frame, so no frame offset
    labStyle.m_OFFSET_ADDRESSX = 5;
    labStyle.m_OFFSET_ADDRESSY = 3;
    for (std::size_t i = 0; i < labStyle.m_fonts.size(); ++i)
        labStyle.m_fonts[i] = font("Arial", 100, i == LINE_NAME);
    labStyle.Update();

    CSetKalibrace cal(&db);
    cal.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE 0"));
    cal.AddNew();
    cal.m_ID_KALIBRACE_KALIBRACE = alloc.Next(IdCounter::Kalibrace);
    cal.m_ID_ENVSIZE = -1;
    cal.m_ID_LABSIZE = -1;
    cal.m_X = 0;
    cal.m_Y = 0;
    cal.m_DEFAULT = true;
    cal.m_LANDSCAPE = false;
    cal.Update();

    alloc.Finish();
}

} // namespace

void CreateNewDatabase(const QString &path, bool force)
{
    const bool server = CDatabase::IsServerName(path);
    if (server) {
        // The whole address book is made in one transaction: a failure
        // leaves the database as empty as it was.
        CDatabase db;
        db.Create(path);
        db.BeginTrans();
        try {
            prepareServerDatabase(db, force);
            CreateSchema(db);
            seedDatabase(db);
            db.CommitTrans();
        } catch (...) {
            db.Rollback();
            throw;
        }
        return;
    }
    if (QFile::exists(path)) {
        if (!force)
            throw std::runtime_error(QStringLiteral("%1 already exists; use --force to replace it").arg(path).toStdString());
        if (!QFile::remove(path))
            throw std::runtime_error(QStringLiteral("cannot remove %1").arg(path).toStdString());
    }
    CDatabase db;
    db.Create(path);
    try {
        CreateSchema(db);
        db.BeginTrans();
        seedDatabase(db);
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        db.Close();
        QFile::remove(path);
        throw;
    }
    db.Close();
}
