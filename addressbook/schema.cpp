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

} // namespace

void CreateSchema(CDatabase &db)
{
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

} // namespace

void CreateNewDatabase(const QString &path, bool force)
{
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
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        db.Close();
        QFile::remove(path);
        throw;
    }
    db.Close();
}
