// What the user enters is kept exactly: the one matching rule for texts,
// character limits, and the database file under real conditions (another
// program saving at the same time, write protection, files written by other
// tools, the sqlite3 shell).
#include "addressentry.h"
#include "addressrecords.h"
#include "database.h"
#include "folderwidgets.h"
#include "multilinefield.h"
#include "recordsets.h"
#include "search.h"
#include "sqlformat.h"
#include "testsupport.h"
#include "textcompare.h"
#include "unocase.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <random>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

bool equal(const QString &a, const QString &b)
{
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return unocase::Compare(x.constData(), int(x.size()), y.constData(), int(y.size())) == 0;
}

bool contains(const QString &h, const QString &n)
{
    const QByteArray x = h.toUtf8(), y = n.toUtf8();
    return unocase::Matches(x.constData(), int(x.size()), y.constData(), int(y.size()), unocase::Match::Contains);
}

std::vector<AddressEntry> search(CDatabase &db, const QString &name, bool exact)
{
    SearchCriteria c;
    c.name = name;
    c.exact = exact;
    return RunSearch(db, BuildSearchStatement(c));
}

std::int32_t save(CDatabase &db, const QString &name, const QString &town = QStringLiteral("Praha"),
                  const QString &zip = QStringLiteral("11000"))
{
    AddressEntry e;
    e.name = name;
    e.town = town;
    e.zip = zip;
    return SaveNewAddress(db, e, {}, {}, RootFolder(db));
}

QString sqliteShell()
{
    return QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
}

QString extensionPath()
{
    return QDir(QFileInfo(BuiltProgram(QStringLiteral("tesmar"))).absolutePath() + QStringLiteral("/../lib"))
        .absoluteFilePath(QStringLiteral("unocase"));
}

// Runs the sqlite3 shell with the program's extension loaded.
QString shell(const QString &file, const QString &sql, int *exitCode = nullptr)
{
    QProcess p;
    p.start(sqliteShell(), {QStringLiteral("-batch"), QStringLiteral("-cmd"), QStringLiteral(".load ") + extensionPath(),
                            file, sql});
    p.waitForFinished(60000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

} // namespace

TEST(TextRule, EqualityOrderingAndContainmentAgree)
{
    const QString rlm = QString::fromUtf8("\u200F"), zwsp = QString::fromUtf8("\u200B");
    // Case and width are ignored, accents are not.
    EXPECT_TRUE(equal(QStringLiteral("Šťastný"), QStringLiteral("ŠŤASTNÝ")));
    EXPECT_TRUE(equal(QString::fromUtf8("ＰＲＡＨＡ"), QStringLiteral("praha")));
    EXPECT_FALSE(equal(QStringLiteral("Stastny"), QStringLiteral("Šťastný")));
    // An invisible character changes neither equality nor containment.
    EXPECT_TRUE(equal(QStringLiteral("Prague"), QStringLiteral("Prague") + rlm));
    EXPECT_TRUE(contains(QStringLiteral("Pra") + zwsp + QStringLiteral("gue"), QStringLiteral("ague")));
    EXPECT_TRUE(contains(QString::fromUtf8("ＰＲＡＨＡ 1"), QStringLiteral("rah")));
    EXPECT_FALSE(contains(QStringLiteral("Šťastný"), QStringLiteral("stastny")));
    EXPECT_TRUE(contains(QStringLiteral("Šťastný"), QStringLiteral("ŤAST")));
    // Nothing in the needle is a wildcard.
    EXPECT_TRUE(contains(QStringLiteral("50% off"), QStringLiteral("0% O")));
    EXPECT_FALSE(contains(QStringLiteral("500 off"), QStringLiteral("0%")));
    EXPECT_FALSE(contains(QStringLiteral("abc"), QStringLiteral("a*")));
    EXPECT_FALSE(contains(QStringLiteral("abc"), QStringLiteral("[a]")));
    EXPECT_TRUE(contains(QStringLiteral("McDonald's"), QStringLiteral("d'S")));

    // Whenever two texts are equal, each contains the other, for printable
    // ASCII (the fast path) and for texts beyond it alike.
    std::mt19937 random(7);
    const QString alphabet = QString::fromUtf8("aAbB .,'%*-ÄäČčŠšＡ\u200B\u00AD");
    for (int i = 0; i < 3000; ++i) {
        QString a, b;
        for (int n = int(random() % 5); n > 0; --n)
            a += alphabet[int(random() % alphabet.size())];
        for (int n = int(random() % 5); n > 0; --n)
            b += alphabet[int(random() % alphabet.size())];
        if (equal(a, b)) {
            EXPECT_TRUE(contains(a, b) && contains(b, a)) << a.toStdString() << " | " << b.toStdString();
        }
        EXPECT_EQ(CompareTexts(a, b) == 0, equal(a, b)) << a.toStdString() << " | " << b.toStdString();
        EXPECT_EQ(CompareTexts(a, b), -CompareTexts(b, a));
        // The program's sort keys order texts as the database does.
        EXPECT_EQ(TextSortKey(a).compare(TextSortKey(b)) < 0, CompareTexts(a, b) < 0)
            << a.toStdString() << " | " << b.toStdString();
    }
}

TEST(TextRule, CharactersAreCountedAndNeverCutInHalf)
{
    const QString smile = QString::fromUtf8("\U0001F600");
    EXPECT_EQ(CharacterCount(smile + QStringLiteral("ab")), 3);
    EXPECT_EQ(LeftCharacters(smile + smile, 1), smile);
    EXPECT_EQ(LeftCharacters(QStringLiteral("ab") + smile, 3), QStringLiteral("ab") + smile);
    EXPECT_TRUE(IsBlankText(QString::fromUtf8(" \t\u200B\u200E\u2060\uFEFF\u00AD")));
    EXPECT_FALSE(IsBlankText(QStringLiteral(" x ")));
    EXPECT_EQ(TrimmedText(QString::fromUtf8("\u200B Jan \u200F")), QStringLiteral("Jan"));
    EXPECT_TRUE(ContainsDisallowed(QStringLiteral("a") + QChar(u'\0')));
    EXPECT_FALSE(ContainsDisallowed(QStringLiteral("[]%*'")));

    // Typing and pasting into a folder-name or ZIP field: 255 characters,
    // an emoji counted once and kept whole.
    QLineEdit line;
    LimitCharacters(&line, kMaxTextCharacters);
    QString text;
    for (int i = 0; i < 200; ++i)
        text += smile;
    text += QString(100, u'x');
    line.setText(text);
    EXPECT_EQ(CharacterCount(line.text()), 255);
    EXPECT_TRUE(line.text().startsWith(smile + smile));
    EXPECT_FALSE(line.text().back().isHighSurrogate());
    line.clear();
    line.setFocus();
    for (int i = 0; i < 254; ++i)
        line.insert(QStringLiteral("a"));
    line.insert(smile);
    line.insert(smile);
    EXPECT_EQ(line.text(), QString(254, u'a') + smile);

    QPlainTextEdit *multi = NewMultiLineField(nullptr, "name");
    multi->setPlainText(QString(250, u'n') + QStringLiteral("\n\n\n\n"));
    // Each line break is stored as CR LF: 250 + 2 breaks of two characters fit, a third does not.
    EXPECT_EQ(CharacterCount(StoredText(multi)), 254);
    delete multi;
}

TEST(TextRule, ApostrophesAndEveryLimitAreStoredAndFoundExactly)
{
    TempDatabase t;
    const QString irish = QStringLiteral("Seán O'Brien");
    save(t.db(), irish);
    save(t.db(), QStringLiteral("McDonald's [Praha] 100% *"));
    const QString longest = QString(254, u'x') + QString::fromUtf8("\U0001F600");
    save(t.db(), longest);
    EXPECT_EQ(search(t.db(), QStringLiteral("o'brien"), false).size(), 1u);
    ASSERT_EQ(search(t.db(), QStringLiteral("SEÁN O'BRIEN"), true).size(), 1u);
    EXPECT_EQ(search(t.db(), QStringLiteral("SEÁN O'BRIEN"), true)[0].name, irish);
    EXPECT_EQ(search(t.db(), QStringLiteral("SEAN O'BRIEN"), true).size(), 0u);
    EXPECT_EQ(search(t.db(), QStringLiteral("] 100% *"), false).size(), 1u);
    EXPECT_EQ(search(t.db(), QStringLiteral("%"), false).size(), 1u);
    ASSERT_EQ(search(t.db(), longest, true).size(), 1u);
    EXPECT_EQ(search(t.db(), longest, true)[0].name, longest);
    // One character more than a column holds is refused by the database.
    EXPECT_THROW(save(t.db(), longest + QStringLiteral("x")), DbException);
    // The same rule for equality and containment: a right-to-left mark
    // neither hides a row from one nor shows it to the other.
    save(t.db(), QStringLiteral("Prague") + QString::fromUtf8("\u200F"));
    EXPECT_EQ(search(t.db(), QStringLiteral("prague"), true).size(), search(t.db(), QStringLiteral("prague"), false).size());
    EXPECT_TRUE(HasDuplicateAddress(t.db(), QStringLiteral("PRAGUE"), QString(), QStringLiteral("Praha"),
                                    RootFolder(t.db())));
}

TEST(DatabaseFile, WriteProtectedFileOrFolderIsRefused)
{
    TempDatabase t;
    const QString path = t.path();
    t.db().Close();
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("envdb.mdb"));
    ASSERT_TRUE(QFile::copy(path, copy));
    // The superuser may write anything: check as an ordinary user.
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), 65534, 65534) == 0 || !root, true);
    ASSERT_EQ(::chown(QFile::encodeName(copy).constData(), 65534, 65534) == 0 || !root, true);
    auto openAsUser = [&]() -> bool {
        if (root && ::seteuid(65534) != 0)
            return false;
        bool opened = false;
        try {
            CDatabase db;
            db.Open(copy);
            opened = true;
        } catch (const DbException &) {
        }
        if (root) {
            EXPECT_EQ(::seteuid(0), 0);
        }
        return opened;
    };
    EXPECT_TRUE(openAsUser());
    ::chmod(QFile::encodeName(copy).constData(), 0444);
    EXPECT_FALSE(openAsUser());
    ::chmod(QFile::encodeName(copy).constData(), 0644);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0555);
    EXPECT_FALSE(openAsUser()); // no journal could be made beside it
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_TRUE(openAsUser());
}

TEST(DatabaseFile, ColumnsOfAnotherTypeAndNewerFormatsAreRefused)
{
    TempDatabase t;
    const QString path = t.path();
    // A file whose ZIP column has numeric affinity would turn 01234 into 1234.
    t.db().ExecuteRaw(QStringLiteral(
        "ALTER TABLE ADDRESS RENAME TO OLDADDRESS;"
        "CREATE TABLE ADDRESS AS SELECT * FROM OLDADDRESS WHERE 0;"
        "DROP TABLE OLDADDRESS;"));
    t.db().ExecuteRaw(QStringLiteral("ALTER TABLE ADDRESS RENAME COLUMN ZIP TO ZIPTEXT;"
                                     "ALTER TABLE ADDRESS ADD COLUMN ZIP NUMERIC"));
    t.db().Close();
    CDatabase db;
    EXPECT_THROW(db.Open(path), DbException);

    TempDatabase u;
    u.db().ExecuteRaw(QStringLiteral("PRAGMA user_version = %1").arg(CDatabase::kFormatVersion + 1));
    const QString newer = u.path();
    u.db().Close();
    const QByteArray before = [&] {
        QFile f(newer);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_THROW(db.Open(newer), DbException);
    QFile f(newer);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before); // not written into
}

TEST(DatabaseFile, IndexesAreRebuiltWhenTheCollationVersionDiffers)
{
    TempDatabase t;
    const QString path = t.path();
    auto stored = [&](CDatabase &db) {
        sqlite3_stmt *stmt = nullptr;
        QString v;
        if (sqlite3_prepare_v2(db.Handle(), "SELECT VALUE FROM DBINFO WHERE KEY = 'collation'", -1, &stmt, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            v = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return v;
    };
    const QString current = QString::fromStdString(unocase::CollationVersion());
    EXPECT_EQ(stored(t.db()), current);
    EXPECT_TRUE(current.startsWith(QStringLiteral("icu-")));
    save(t.db(), QStringLiteral("Čapek"));
    save(t.db(), QStringLiteral("Capek"));
    // A file whose indexes were built by another release: the version is
    // replaced and the index rebuilt on the next open.
    t.db().ExecuteRaw(QStringLiteral("UPDATE DBINFO SET VALUE = 'icu-1.0/1.0' WHERE KEY = 'collation'"));
    t.db().Close();
    CDatabase db;
    db.Open(path);
    EXPECT_EQ(stored(db), current);
}

// Saves 1,000 addresses into the database named by CORVELLE_SAVE_INTO; a
// child process of the two-instance test below.
TEST(DatabaseFile, SaverProcess)
{
    const QString path = qEnvironmentVariable("CORVELLE_SAVE_INTO");
    if (path.isEmpty())
        GTEST_SKIP() << "runs as a child of TwoProgramsSaveIntoOneFileAtOnce";
    CDatabase db;
    db.Open(path);
    const QString tag = qEnvironmentVariable("CORVELLE_SAVE_TAG");
    for (int i = 0; i < 1000; ++i)
        save(db, QStringLiteral("%1 %2").arg(tag).arg(i));
}

TEST(DatabaseFile, TwoProgramsSaveIntoOneFileAtOnce)
{
    TempDatabase t;
    const QString path = t.path();
    t.db().Close();
    QProcess a, b;
    for (QProcess *p : {&a, &b}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVELLE_SAVE_INTO"), path);
        env.insert(QStringLiteral("CORVELLE_SAVE_TAG"), p == &a ? QStringLiteral("first") : QStringLiteral("second"));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=DatabaseFile.SaverProcess")});
    }
    for (QProcess *p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(300000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAll().toStdString();
    }
    CDatabase db;
    db.Open(path);
    CSetAddress set(&db);
    set.Open(QStringLiteral("SELECT * FROM ADDRESS"));
    QSet<std::int32_t> ids;
    int first = 0, second = 0;
    for (; !set.IsEOF(); set.MoveNext()) {
        ids.insert(set.m_ID_ADDRESS_ADDRESS);
        first += set.m_NAME.startsWith(QLatin1String("first "));
        second += set.m_NAME.startsWith(QLatin1String("second "));
    }
    EXPECT_EQ(first, 1000);
    EXPECT_EQ(second, 1000);
    EXPECT_EQ(ids.size(), 2000);
}

TEST(DatabaseFile, TheSqliteShellWorksWithTheExtension)
{
    if (sqliteShell().isEmpty())
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    TempDatabase t;
    save(t.db(), QStringLiteral("Šťastný"));
    save(t.db(), QStringLiteral("O'Brien"));
    const QString path = t.path();
    t.db().Close();
    // Without the extension the shell cannot touch the indexed texts.
    {
        QProcess p;
        p.start(sqliteShell(), {QStringLiteral("-batch"), path, QStringLiteral("PRAGMA integrity_check")});
        p.waitForFinished(60000);
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("collation")));
    }
    int code = -1;
    EXPECT_EQ(shell(path, QStringLiteral("PRAGMA integrity_check"), &code), QStringLiteral("ok"));
    EXPECT_EQ(code, 0);
    // A row the shell inserts is found by the program's equality search,
    // and the shell's own queries follow the program's rule.
    shell(path, QStringLiteral("INSERT INTO ADDRESS (ID_ADDRESS_ADDRESS, ID_ADDRESS_FOLDER, NAME, TOWN, ZIP) "
                               "SELECT 900000, ID_FOLDER_FOLDER, 'Dvořák', 'Brno', '60200' FROM FOLDER "
                               "WHERE ID_PARENT = -1"),
          &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(shell(path, QStringLiteral("SELECT NAME FROM ADDRESS WHERE NAME = 'ŠŤASTNÝ' COLLATE UNOCASE")),
              QStringLiteral("Šťastný"));
    EXPECT_EQ(shell(path, QStringLiteral("SELECT count(*) FROM ADDRESS WHERE umatch(NAME, 'o''b', 1)")), QStringLiteral("1"));
    EXPECT_EQ(shell(path, QStringLiteral("VACUUM; PRAGMA integrity_check")), QStringLiteral("ok"));
    CDatabase db;
    db.Open(path);
    const std::vector<AddressEntry> found = search(db, QStringLiteral("DVOŘÁK"), true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].id, 900000);
}

TEST(DatabaseFile, CheckOnADamagedFileWritesToStandardErrorAndNeverWaits)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("envelope.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("dbfile=envdb.mdb\n");
    ini.close();
    QFile damaged(dir.filePath(QStringLiteral("envdb.mdb")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(8192, 'x'));
    damaged.close();
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TESMAR_AUTOANSWER"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(BuiltProgram(QStringLiteral("tesmar")), {QStringLiteral("--check")});
    ASSERT_TRUE(p.waitForFinished(30000)) << "tesmar --check waits for an answer nobody can give";
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("error 1:")));
}
