#include "dberror.h"
#include "ids.h"
#include "recordsets.h"
#include "schema.h"
#include "sqlformat.h"
#include "sqltranslate.h"
#include "testsupport.h"
#include "textcompare.h"

#include <random>

#include <QFile>
#include <QProcess>
#include <sqlite3.h>
#include <gtest/gtest.h>

namespace {

std::int32_t rootFolder(CDatabase &db)
{
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", -1));
    EXPECT_FALSE(f.IsEOF());
    return f.m_ID_FOLDER_FOLDER;
}

std::int32_t addAddress(CDatabase &db, std::int32_t folder, const QString &name, const QString &street = QString(),
                        const QString &town = QStringLiteral("Praha"))
{
    std::int32_t id = -1;
    db.BeginTrans();
    IdAllocator ids(db);
    CSetAddress a(&db);
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
    a.AddNew();
    a.m_ID_ADDRESS_FOLDER = folder;
    a.m_ID_ADDRESS_ADDRESS = id = ids.Next(IdCounter::Address);
    a.m_NAME = name;
    a.m_STREET = street;
    a.m_TOWN = town;
    a.m_ZIP = QStringLiteral("110 00");
    a.Update();
    ids.Finish();
    db.CommitTrans();
    return id;
}

QStringList names(CSetAddress &a)
{
    QStringList out;
    while (!a.IsEOF()) {
        out << a.m_NAME;
        a.MoveNext();
    }
    return out;
}

} // namespace

TEST(Schema, TwelveTablesWithColumnsInOrder)
{
    TempDatabase t;
    const std::vector<TableDescription> &tables = AllTables();
    ASSERT_EQ(tables.size(), 12u);
    const std::vector<std::pair<const char *, std::size_t>> expected = {
        {"ADDRESS", 8}, {"TEL", 4},      {"EMAIL", 4},    {"FOLDER", 3},     {"IDS", 9},     {"ENVSIZE", 12},
        {"LABSIZE", 12}, {"ENVSTYLE", 102}, {"LABSTYLE", 84}, {"KALIBRACE", 7}, {"ENVPAIR", 2}, {"LABPAIR", 2}};
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tables[i].name, QString::fromLatin1(expected[i].first));
        EXPECT_EQ(tables[i].columns.size(), expected[i].second) << expected[i].first;
    }
    // The file's own column order is the binding order.
    QProcess sqlite;
    EXPECT_EQ(tables[7].columns[12].name, QStringLiteral("F_NAME_HEIGHT"));
    EXPECT_EQ(tables[7].columns[101].name, QStringLiteral("F_RETURN_COLOR"));
    EXPECT_EQ(tables[8].columns[83].name, QStringLiteral("F_COUNTRY_COLOR"));
    t.db().CheckSchema();
}

TEST(Schema, NewDatabaseContentAndRefusalToOverwrite)
{
    TempDatabase t;
    CSetFolder f(&t.db());
    f.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
    ASSERT_EQ(f.GetRecordCount(), 1);
    EXPECT_EQ(f.m_NAME, QStringLiteral("Addresses"));
    CSetEnvsize e(&t.db());
    e.Open(QStringLiteral("SELECT * FROM ENVSIZE WHERE NAME = 'dl (220 X 110 MM)'"));
    ASSERT_FALSE(e.IsEOF());
    EXPECT_DOUBLE_EQ(e.m_A, 220);
    EXPECT_DOUBLE_EQ(e.m_B, 110);
    CSetLabsize l(&t.db());
    l.Open(QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
    EXPECT_GE(l.GetRecordCount(), 5);
    CSetKalibrace k(&t.db());
    k.Open(QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"));
    ASSERT_EQ(k.GetRecordCount(), 1);
    EXPECT_FALSE(k.m_LANDSCAPE);
    EXPECT_DOUBLE_EQ(k.m_X, 0);
    CSetIDS ids(&t.db());
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    EXPECT_EQ(ids.GetRecordCount(), 1);
    EXPECT_GT(ids.m_ID_ENVSIZE_FF, e.m_ID_ENVSIZE_ENVSIZE);

    // Every identifier column is indexed, so a look-up by identifier never scans its table.
    for (const char *table : {"ADDRESS", "TEL", "EMAIL", "FOLDER", "ENVSIZE", "ENVSTYLE", "LABSIZE", "LABSTYLE", "KALIBRACE"}) {
        sqlite3_stmt *stmt = nullptr;
        const QByteArray sql = QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM %1 WHERE ID_%1_%1 = 5").arg(QLatin1String(table)).toUtf8();
        ASSERT_EQ(sqlite3_prepare_v2(t.db().Handle(), sql.constData(), -1, &stmt, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
        const QString plan = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3)));
        sqlite3_finalize(stmt);
        EXPECT_TRUE(plan.contains(QStringLiteral("USING INDEX")) || plan.contains(QStringLiteral("USING COVERING INDEX")))
            << table << ": " << plan.toStdString();
    }

    EXPECT_THROW(CreateNewDatabase(t.path(), false), std::exception);
    EXPECT_TRUE(QFile::exists(t.path()));
}

// Every SQL text of the program, formatted with sample values, opens on a
// fresh database.
TEST(Catalogue, EverySqlTextOpens)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const QString s = QStringLiteral("O'Brien");
    CSetAddress a(&db);
    for (const QString &sql : {
             SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", 5),
             SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d", 1),
             SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME, STREET, TOWN, ZIP", 1),
             SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC", 1),
             SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC", 1),
             QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC"),
             QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"),
             SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s' AND STREET = '%s' AND TOWN = '%s' AND ID_ADDRESS_FOLDER = %d", s, s, s, 1),
             SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s' AND STREET = '%s' AND TOWN = '%s' AND ID_ADDRESS_FOLDER = %d AND ID_ADDRESS_ADDRESS <> %d", s, s, s, 1, 2),
             QStringLiteral("SELECT * FROM ADDRESS WHERE 1") + SqlFormat(" AND NAME LIKE '*%s*'", s) +
                 SqlFormat(" AND STREET LIKE '*%s*'", s) + SqlFormat(" AND TOWN LIKE '*%s*'", s) +
                 SqlFormat(" AND ZIP LIKE '*%s*'", s) + SqlFormat(" AND COUNTRY LIKE '*%s*'", s) +
                 SqlFormat(" AND NOTE LIKE '*%s*'", s) + QStringLiteral(" ORDER BY NAME"),
             QStringLiteral("SELECT * FROM ADDRESS WHERE 0")})
        EXPECT_NO_THROW(a.Open(sql)) << sql.toStdString();
    CSetTel tel(&db);
    for (const char *sql : {"SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d", "SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d ORDER BY PHONE",
                            "SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d ORDER BY PHONE DESC"})
        EXPECT_NO_THROW(tel.Open(SqlFormat(QString::fromLatin1(sql), 3))) << sql;
    EXPECT_NO_THROW(tel.Open(QStringLiteral("SELECT * FROM TEL WHERE 0")));
    CSetEmail em(&db);
    for (const char *sql : {"SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d", "SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d ORDER BY EMAIL",
                            "SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d ORDER BY EMAIL DESC"})
        EXPECT_NO_THROW(em.Open(SqlFormat(QString::fromLatin1(sql), 3))) << sql;
    EXPECT_NO_THROW(em.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0")));
    CSetFolder f(&db);
    for (const char *sql : {"SELECT * FROM FOLDER WHERE ID_PARENT = %d", "SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME",
                            "SELECT * FROM FOLDER WHERE FOLDER.ID_PARENT = %d ORDER BY NAME", "SELECT * FROM FOLDER WHERE ID_FOLDER_FOLDER = %d",
                            "SELECT * FROM FOLDER WHERE FOLDER.ID_FOLDER_FOLDER = %d"})
        EXPECT_NO_THROW(f.Open(SqlFormat(QString::fromLatin1(sql), -1))) << sql;
    EXPECT_NO_THROW(f.Open(SqlFormat("SELECT * FROM FOLDER WHERE NAME = '%s' AND ID_PARENT = %d", s, 1)));
    EXPECT_NO_THROW(f.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0")));
    CSetIDS ids(&db);
    EXPECT_NO_THROW(ids.Open(QStringLiteral("SELECT * FROM IDS")));
    CSetEnvsize es(&db);
    for (const QString &sql : {QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME DESC"), QStringLiteral("SELECT * FROM ENVSIZE ORDER BY NAME"),
                               SqlFormat("SELECT * FROM ENVSIZE WHERE ID_ENVSIZE_ENVSIZE = %d", 1),
                               SqlFormat("SELECT * FROM ENVSIZE WHERE NAME = '%s'", s), QStringLiteral("SELECT * FROM ENVSIZE WHERE 0")})
        EXPECT_NO_THROW(es.Open(sql)) << sql.toStdString();
    CSetEnvstyle est(&db);
    for (const QString &sql : {QStringLiteral("SELECT * FROM ENVSTYLE ORDER BY ENVSTYLE_NAME DESC"),
                               SqlFormat("SELECT * FROM ENVSTYLE WHERE ID_ENVSTYLE_ENVSTYLE = %d", 1),
                               SqlFormat("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = '%s'", s), QStringLiteral("SELECT * FROM ENVSTYLE WHERE 0")})
        EXPECT_NO_THROW(est.Open(sql)) << sql.toStdString();
    CSetLabsize ls(&db);
    for (const QString &sql : {QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME DESC"), QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"),
                               SqlFormat("SELECT * FROM LABSIZE WHERE ID_LABSIZE_LABSIZE = %d", 1),
                               SqlFormat("SELECT * FROM LABSIZE WHERE NAME = '%s'", s), QStringLiteral("SELECT * FROM LABSIZE WHERE 0")})
        EXPECT_NO_THROW(ls.Open(sql)) << sql.toStdString();
    CSetLabstyle lst(&db);
    for (const QString &sql : {QStringLiteral("SELECT * FROM LABSTYLE ORDER BY LABSTYLE_NAME DESC"),
                               SqlFormat("SELECT * FROM LABSTYLE WHERE ID_LABSTYLE_LABSTYLE = %d", 1),
                               SqlFormat("SELECT * FROM LABSTYLE WHERE LABSTYLE_NAME = '%s'", s), QStringLiteral("SELECT * FROM LABSTYLE WHERE 0")})
        EXPECT_NO_THROW(lst.Open(sql)) << sql.toStdString();
    CSetKalibrace k(&db);
    for (const QString &sql : {QStringLiteral("SELECT * FROM KALIBRACE"), QStringLiteral("SELECT * FROM KALIBRACE WHERE 0"),
                               QStringLiteral("SELECT * FROM KALIBRACE WHERE DEFAULT"), SqlFormat("SELECT * FROM KALIBRACE WHERE ID_ENVSIZE = %d", 1),
                               SqlFormat("SELECT * FROM KALIBRACE WHERE ID_LABSIZE = %d", 1),
                               SqlFormat("SELECT * FROM KALIBRACE WHERE ID_KALIBRACE_KALIBRACE = %d", 1)})
        EXPECT_NO_THROW(k.Open(sql)) << sql.toStdString();
    CSetEnvpair ep(&db);
    EXPECT_NO_THROW(ep.Open(QStringLiteral("SELECT * FROM ENVPAIR")));
    CSetLabpair lp(&db);
    EXPECT_NO_THROW(lp.Open(QStringLiteral("SELECT * FROM LABPAIR")));
}

TEST(Catalogue, TextsOutsideTheDialectAreRefused)
{
    for (const char *sql : {"DELETE FROM ADDRESS", "SELECT * FROM ADDRESS WHERE NAME = 'x' OR 1", "SELECT NAME FROM ADDRESS",
                            "SELECT * FROM ADDRESS WHERE NAME = 'unterminated", "SELECT * FROM ADDRESS; DROP TABLE ADDRESS",
                            "SELECT * FROM ADDRESS WHERE TEL.ID = 1"})
        EXPECT_THROW(TranslateJetSql(QString::fromLatin1(sql)), DbException) << sql;
}

TEST(Text, QuotesAreDoubledAndCannotChangeTheStatement)
{
    TempDatabase t;
    const std::int32_t root = rootFolder(t.db());
    addAddress(t.db(), root, QStringLiteral("O'Brien"));
    addAddress(t.db(), root, QStringLiteral("Other"));
    CSetAddress a(&t.db());
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s'", QStringLiteral("O'Brien")));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("O'Brien")});
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE NAME = '%s'", QStringLiteral("x' OR NAME <> '")));
    EXPECT_TRUE(a.IsEOF());
}

TEST(Text, UnicodeCaseInsensitiveEqualityOrderAndContainment)
{
    TempDatabase t;
    const std::int32_t root = rootFolder(t.db());
    addAddress(t.db(), root, QStringLiteral("Šťastný"));
    addAddress(t.db(), root, QStringLiteral("adam"));
    addAddress(t.db(), root, QStringLiteral("Bohumil"));
    addAddress(t.db(), root, QStringLiteral("100_% sure?"));
    CSetAddress a(&t.db());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE NAME = 'šťastný'"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("Šťastný")});
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*ŤASTN*' ORDER BY NAME"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("Šťastný")});
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*AD*'"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("adam")});
    // An underscore and a question mark are ordinary characters.
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*0_*'"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("100_% sure?")});
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*e?*'"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("100_% sure?")});
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1 AND NAME LIKE '*a_a*'"));
    EXPECT_TRUE(a.IsEOF());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"));
    EXPECT_EQ(names(a), (QStringList{QStringLiteral("100_% sure?"), QStringLiteral("adam"), QStringLiteral("Bohumil"),
                                     QStringLiteral("Šťastný")}));
    a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC"));
    EXPECT_EQ(names(a).first(), QStringLiteral("Šťastný"));
}

TEST(Text, At255CharactersStoredAndBeyondRefused)
{
    TempDatabase t;
    const std::int32_t root = rootFolder(t.db());
    const QString full(255, QChar(u'ž')); // 255 characters, 510 bytes
    addAddress(t.db(), root, full);
    CSetAddress a(&t.db());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1"));
    EXPECT_EQ(a.m_NAME, full);
    EXPECT_THROW(addAddress(t.db(), root, full + u'x'), DbException);
    t.db().Rollback();
}

TEST(Transactions, RollbackLeavesRowsAndCountersUnchanged)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t root = rootFolder(db);
    CSetIDS before(&db);
    before.Open(QStringLiteral("SELECT * FROM IDS"));
    MessageRecorder rec;
    const bool ok = DbTransaction(db, [&] {
        IdAllocator ids(db);
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 0"));
        a.AddNew();
        a.m_ID_ADDRESS_FOLDER = root;
        a.m_ID_ADDRESS_ADDRESS = ids.Next(IdCounter::Address);
        a.m_NAME = QStringLiteral("Never stored");
        a.Update();
        CSetTel tel(&db);
        tel.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
        for (int i = 0; i < 3; ++i) {
            tel.AddNew();
            tel.m_ID_TEL_TEL = ids.Next(IdCounter::Tel);
            tel.m_PHONE = i < 2 ? QStringLiteral("123") : QString(300, u'9'); // the last write fails
            tel.Update();
        }
        ids.Finish();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(rec.OnlyId(), 8);
    EXPECT_EQ(db.TransactionDepth(), 0);
    CSetIDS after(&db);
    after.Open(QStringLiteral("SELECT * FROM IDS"));
    EXPECT_EQ(after.m_ID_ADDRESS_FF, before.m_ID_ADDRESS_FF);
    EXPECT_EQ(after.m_ID_TEL_FF, before.m_ID_TEL_FF);
    CSetAddress a(&db);
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1"));
    EXPECT_TRUE(a.IsEOF());
    CSetTel tel(&db);
    tel.Open(QStringLiteral("SELECT * FROM TEL"));
    EXPECT_TRUE(tel.IsEOF());
}

TEST(Identifiers, CountersAdvancePerRowAndAreNeverReused)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t root = rootFolder(db);
    CSetIDS ids0(&db);
    ids0.Open(QStringLiteral("SELECT * FROM IDS"));
    const std::int32_t first = addAddress(db, root, QStringLiteral("A"));
    EXPECT_EQ(first, ids0.m_ID_ADDRESS_FF);
    // Delete it and create again: the new one gets a higher identifier.
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", first));
    a.Delete();
    EXPECT_GT(addAddress(db, root, QStringLiteral("A")), first);

    // One address with three phones: ADDRESS +1, TEL +3, EMAIL unchanged.
    CSetIDS ids1(&db);
    ids1.Open(QStringLiteral("SELECT * FROM IDS"));
    db.BeginTrans();
    {
        IdAllocator alloc(db);
        EXPECT_EQ(alloc.Next(IdCounter::Address), ids1.m_ID_ADDRESS_FF);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(alloc.Next(IdCounter::Tel), ids1.m_ID_TEL_FF + i);
        alloc.Finish();
    }
    db.CommitTrans();
    CSetIDS ids2(&db);
    ids2.Open(QStringLiteral("SELECT * FROM IDS"));
    EXPECT_EQ(ids2.m_ID_ADDRESS_FF, ids1.m_ID_ADDRESS_FF + 1);
    EXPECT_EQ(ids2.m_ID_TEL_FF, ids1.m_ID_TEL_FF + 3);
    EXPECT_EQ(ids2.m_ID_EMAIL_FF, ids1.m_ID_EMAIL_FF);
}

TEST(Identifiers, MissingIdsRowFailsAsDatabaseError)
{
    TempDatabase t;
    CDatabase &db = t.db();
    db.ExecuteRaw(QStringLiteral("DELETE FROM IDS"));
    MessageRecorder rec;
    EXPECT_FALSE(DbTransaction(db, [&] { IdAllocator ids(db); }));
    EXPECT_EQ(rec.OnlyId(), 8);
}

TEST(RecordSets, DeletedAddressTakesItsPhonesAndEmails)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t id = addAddress(db, rootFolder(db), QStringLiteral("X"));
    CSetTel tel(&db);
    tel.Open(QStringLiteral("SELECT * FROM TEL WHERE 0"));
    tel.AddNew();
    tel.m_ID_TEL_TEL = 100;
    tel.m_ID_TEL_ADDRESS = id;
    tel.Update();
    CSetEmail em(&db);
    em.Open(QStringLiteral("SELECT * FROM EMAIL WHERE 0"));
    em.AddNew();
    em.m_ID_EMAIL_EMAIL = 100;
    em.m_ID_EMAIL_ADDRESS = id;
    em.Update();
    CSetAddress a(&db);
    a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", id));
    a.Delete();
    tel.Open(SqlFormat("SELECT * FROM TEL WHERE ID_TEL_ADDRESS = %d", id));
    em.Open(SqlFormat("SELECT * FROM EMAIL WHERE ID_EMAIL_ADDRESS = %d", id));
    EXPECT_TRUE(tel.IsEOF() && tel.IsBOF());
    EXPECT_TRUE(em.IsEOF());
}

TEST(RecordSets, PairTablesEmptyFirstWriteAddsLaterWritesEdit)
{
    TempDatabase t;
    CDatabase &db = t.db();
    CSetEnvpair p(&db);
    p.Open(QStringLiteral("SELECT * FROM ENVPAIR"));
    EXPECT_TRUE(p.IsEOF() && p.IsBOF());
    for (int round = 0; round < 2; ++round) {
        p.Open(QStringLiteral("SELECT * FROM ENVPAIR"));
        if (p.IsEOF())
            p.AddNew();
        else
            p.Edit();
        p.m_ID_ENVPAIR_ENVSIZE = 10 + round;
        p.m_ID_ENVPAIR_ENVSTYLE = 20 + round;
        p.Update();
    }
    p.Open(QStringLiteral("SELECT * FROM ENVPAIR"));
    EXPECT_EQ(p.GetRecordCount(), 1);
    EXPECT_EQ(p.m_ID_ENVPAIR_ENVSIZE, 11);
    EXPECT_EQ(p.m_ID_ENVPAIR_ENVSTYLE, 21);
}

TEST(RecordSets, WalkEditDeleteAndLogoRoundTrip)
{
    TempDatabase t;
    CDatabase &db = t.db();
    CSetEnvstyle s(&db);
    s.Open(QStringLiteral("SELECT * FROM ENVSTYLE WHERE ENVSTYLE_NAME = 'standard'"));
    ASSERT_FALSE(s.IsEOF());
    EXPECT_TRUE(s.m_LOGO.isEmpty());
    EXPECT_EQ(s.m_fonts[LINE_NAME].lfHeight, 120);
    s.Edit();
    s.m_LOGO = QByteArray("\xFF\xD8\x00\x01\xFF\xD9", 6);
    s.m_fonts[LINE_RETURN].lfHeight = 105;
    s.m_fonts[LINE_RETURN].color = 0x00FF8040;
    s.Update();
    CSetEnvstyle r(&db);
    r.Open(SqlFormat("SELECT * FROM ENVSTYLE WHERE ID_ENVSTYLE_ENVSTYLE = %d", s.m_ID_ENVSTYLE_ENVSTYLE));
    EXPECT_EQ(r.m_LOGO, s.m_LOGO);
    EXPECT_EQ(r.m_fonts[LINE_RETURN], s.m_fonts[LINE_RETURN]);

    // Walking while deleting: every row is visited once.
    CSetLabsize l(&db);
    l.Open(QStringLiteral("SELECT * FROM LABSIZE ORDER BY NAME"));
    const long count = l.GetRecordCount();
    long visited = 0;
    while (!l.IsEOF()) {
        l.Delete();
        l.MoveNext();
        ++visited;
    }
    EXPECT_EQ(visited, count);
    l.Open(QStringLiteral("SELECT * FROM LABSIZE"));
    EXPECT_TRUE(l.IsEOF());
    EXPECT_THROW(l.MoveFirst(), DbException);
    EXPECT_THROW(l.Edit(), DbException);
}

TEST(RecordSets, NestedTransactionRollsBackOnlyItsOwnPart)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t root = rootFolder(db);
    db.BeginTrans();
    addAddress(db, root, QStringLiteral("kept"));
    db.BeginTrans();
    addAddress(db, root, QStringLiteral("dropped"));
    db.Rollback();
    db.CommitTrans();
    CSetAddress a(&db);
    a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("kept")});
}

TEST(Text, AlphabeticOrderWithAccentsBesideTheirLetters)
{
    TempDatabase t;
    const std::int32_t root = rootFolder(t.db());
    for (const char *name : {"Zeman", "Černý", "Cyril", "adam", "Ábel", "Bäcker", "Boulanger"})
        addAddress(t.db(), root, QString::fromUtf8(name));
    CSetAddress a(&t.db());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME"));
    EXPECT_EQ(names(a), (QStringList{QStringLiteral("Ábel"), QStringLiteral("adam"), QStringLiteral("Bäcker"),
                                     QStringLiteral("Boulanger"), QStringLiteral("Černý"), QStringLiteral("Cyril"),
                                     QStringLiteral("Zeman")}));
    // Accents still tell texts apart; letter case does not.
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE NAME = 'CERNY'"));
    EXPECT_TRUE(a.IsEOF());
    a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE NAME = 'ČERNÝ'"));
    EXPECT_EQ(names(a), QStringList{QStringLiteral("Černý")});
}

TEST(Text, FastPathAgreesWithTheFullComparison)
{
    // Plain letters, digits and blanks take a fast path; it must give the
    // full comparison's answer, or the database's indexes would disagree.
    std::mt19937 rng(7);
    const std::string alphabet = "aAbBzZ09 m5Q";
    auto randomText = [&] {
        std::string s(std::uniform_int_distribution<int>(0, 6)(rng), 'a');
        for (char &c : s)
            c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
        return s;
    };
    for (int i = 0; i < 5000; ++i) {
        const std::string x = randomText(), y = randomText();
        const int fast = CompareTextsUtf8(x.data(), int(x.size()), y.data(), int(y.size()));
        const int full = CompareTexts(QString::fromStdString(x), QString::fromStdString(y));
        ASSERT_EQ(fast, full) << "'" << x << "' vs '" << y << "'";
    }
}

TEST(Text, OlderFilesGetTheirIndexesRebuiltOnOpen)
{
    TempDatabase t;
    t.db().ExecuteRaw(QStringLiteral("PRAGMA user_version = 0"));
    const QString path = t.path();
    t.db().Close();
    CDatabase db;
    db.Open(path);
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db.Handle(), "PRAGMA user_version", -1, &stmt, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(stmt, 0), CDatabase::kTextOrderVersion);
    sqlite3_finalize(stmt);
}
