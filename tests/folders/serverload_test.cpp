// Four desks on one server database: each saves 1,000 addresses while a
// fifth program copies a folder tree again and again and deletes copies,
// also the ones the desks are saving into. Every save either succeeds or
// is refused with its message (the folder was deleted meanwhile), nothing
// is half written, no identifier is given twice and the counters stay above
// every identifier. Against the private test server; skipped without it.
#include "addressrecords.h"
#include "database.h"
#include "dberror.h"
#include "folderops.h"
#include "recordsets.h"
#include "sqlformat.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <iostream>
#include <random>

namespace {

constexpr int kDesks = 4;
constexpr int kSaves = 1000;

ValueNoteList twoPhones()
{
    return {{QStringLiteral("+420 111 222 333"), QStringLiteral("work")}, {QStringLiteral("+420 444 555 666"), QString()}};
}

ValueNoteList oneEmail(const QString &who)
{
    return {{who + QStringLiteral("@example.com"), QString()}};
}

std::int32_t folderNamed(CDatabase &db, std::int32_t parent, const QString &name)
{
    for (const FolderEntry &f : SubfoldersOf(db, parent))
        if (f.name == name)
            return f.id;
    return -1;
}

// The copies the folder program made and has not deleted yet, oldest first.
std::vector<std::int32_t> copies(CDatabase &db, std::int32_t shared)
{
    std::vector<std::int32_t> out;
    for (const FolderEntry &f : SubfoldersOf(db, shared))
        out.push_back(f.id);
    std::sort(out.begin(), out.end());
    return out;
}

// The programs the test starts: a desk saving (CORVELLE_LOAD_ROLE=desk) or
// the folder program (folders).
void runChild(const QString &role)
{
    CDatabase db;
    db.Open(qEnvironmentVariable("CORVELLE_LOAD_INTO"));
    const std::int32_t root = RootFolder(db);
    const std::int32_t shared = folderNamed(db, root, QStringLiteral("Shared"));
    const std::int32_t templ = folderNamed(db, root, QStringLiteral("Template"));
    QFile report(qEnvironmentVariable("CORVELLE_LOAD_REPORT"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly | QIODevice::Truncate));
    if (role == QLatin1String("desk")) {
        const QString tag = qEnvironmentVariable("CORVELLE_LOAD_TAG");
        const std::int32_t own = folderNamed(db, root, QStringLiteral("Desk ") + tag);
        ASSERT_NE(own, -1);
        for (int k = 0; k < kSaves; ++k) {
            // Every fourth address into the newest copy, which the folder
            // program may be deleting at this moment.
            std::int32_t folder = own;
            if (k % 4 == 0) {
                const std::vector<std::int32_t> c = copies(db, shared);
                if (!c.empty())
                    folder = c.back();
            }
            AddressEntry e;
            e.name = QStringLiteral("Desk %1 address %2").arg(tag).arg(k);
            e.town = QStringLiteral("Brno");
            e.zip = QStringLiteral("602 00");
            try {
                const std::int32_t id = SaveNewAddress(db, e, twoPhones(), oneEmail(e.name.toLower().remove(u' ')), folder);
                report.write(QStringLiteral("saved %1 %2\n").arg(id).arg(folder).toUtf8());
            } catch (const DbGoneException &gone) {
                ASSERT_EQ(gone.text(), QString::fromLatin1(kFolderGoneText));
                ASSERT_NE(folder, own);
                report.write(QStringLiteral("gone %1\n").arg(folder).toUtf8());
            }
            ASSERT_EQ(db.TransactionDepth(), 0);
        }
    } else {
        std::mt19937 rng(7);
        const QString stop = qEnvironmentVariable("CORVELLE_LOAD_STOP");
        int made = 0, deleted = 0;
        while (!QFile::exists(stop) || made < 3) {
            CopyFolder(db, templ, shared);
            ++made;
            std::vector<std::int32_t> c = copies(db, shared);
            // Mostly the newest copy: the one the desks save into.
            if (c.size() > 1 && std::uniform_int_distribution<int>(0, 2)(rng) != 0) {
                const std::int32_t victim = std::uniform_int_distribution<int>(0, 3)(rng) ? c.back() : c.front();
                DeleteFolderTree(db, victim);
                ++deleted;
            }
        }
        report.write(QStringLiteral("copies %1 deleted %2\n").arg(made).arg(deleted).toUtf8());
    }
}

} // namespace

TEST(ServerLoad, Child)
{
    const QString role = qEnvironmentVariable("CORVELLE_LOAD_ROLE");
    if (role.isEmpty())
        GTEST_SKIP() << "runs as a program of FourDesksSaveWhileFoldersAreCopiedAndDeleted";
    runChild(role);
}

TEST(ServerLoad, FourDesksSaveWhileFoldersAreCopiedAndDeleted)
{
    if (!TempDatabase::OnServer())
        GTEST_SKIP() << "needs the test server (ctest runs this as test_folders_server_load)";
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t root = RootFolder(db);
    for (int d = 0; d < kDesks; ++d)
        CreateFolder(db, QStringLiteral("Desk %1").arg(d), root);
    CreateFolder(db, QStringLiteral("Shared"), root);
    const std::int32_t templ = CreateFolder(db, QStringLiteral("Template"), root).id;
    const std::int32_t below = CreateFolder(db, QStringLiteral("Below"), templ).id;
    for (int i = 0; i < 12; ++i) {
        AddressEntry e;
        e.name = QStringLiteral("Template %1").arg(i);
        e.town = QStringLiteral("Praha");
        e.zip = QStringLiteral("110 00");
        SaveNewAddress(db, e, twoPhones(), oneEmail(QStringLiteral("t%1").arg(i)), i < 8 ? templ : below);
    }

    QTemporaryDir dir;
    const QString stop = dir.filePath(QStringLiteral("stop"));
    std::vector<std::unique_ptr<QProcess>> programs;
    auto start = [&](const QString &role, const QString &tag) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVELLE_LOAD_INTO"), t.path());
        env.insert(QStringLiteral("CORVELLE_LOAD_ROLE"), role);
        env.insert(QStringLiteral("CORVELLE_LOAD_TAG"), tag);
        env.insert(QStringLiteral("CORVELLE_LOAD_STOP"), stop);
        env.insert(QStringLiteral("CORVELLE_LOAD_REPORT"), dir.filePath(role + tag));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=ServerLoad.Child")});
        EXPECT_TRUE(p->waitForStarted());
        programs.push_back(std::move(p));
    };
    start(QStringLiteral("folders"), QString());
    for (int d = 0; d < kDesks; ++d)
        start(QStringLiteral("desk"), QString::number(d));
    for (std::size_t i = 1; i < programs.size(); ++i) {
        ASSERT_TRUE(programs[i]->waitForFinished(120000));
        EXPECT_EQ(programs[i]->exitCode(), 0) << programs[i]->readAll().toStdString();
    }
    QFile(stop).open(QIODevice::WriteOnly);
    ASSERT_TRUE(programs[0]->waitForFinished(120000));
    EXPECT_EQ(programs[0]->exitCode(), 0) << programs[0]->readAll().toStdString();

    // Every save has its line: saved (with its identifier and folder) or gone.
    QSet<std::int32_t> savedIds;
    std::vector<std::pair<std::int32_t, std::int32_t>> saved; // address, folder
    int gone = 0;
    for (int d = 0; d < kDesks; ++d) {
        QFile f(dir.filePath(QStringLiteral("desk%1").arg(d)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), kSaves) << "desk " << d;
        for (const QString &line : lines) {
            const QStringList w = line.split(u' ');
            if (w[0] == QLatin1String("gone")) {
                ++gone;
                continue;
            }
            ASSERT_EQ(w.size(), 3);
            const std::int32_t id = w[1].toInt();
            EXPECT_FALSE(savedIds.contains(id)) << "identifier " << id << " given twice";
            savedIds.insert(id);
            saved.emplace_back(id, w[2].toInt());
        }
    }
    QFile folders(dir.filePath(QStringLiteral("folders")));
    ASSERT_TRUE(folders.open(QIODevice::ReadOnly));
    const QStringList counts = QString::fromUtf8(folders.readAll()).split(u' ');
    ASSERT_EQ(counts.size(), 4);
    EXPECT_GT(counts[3].trimmed().toInt(), 0) << "no copy was deleted";
    std::cout << "saved " << saved.size() << ", refused " << gone << ", copies " << counts[1].toStdString()
              << ", deleted " << counts[3].toStdString();

    // What the desks saved is there, unless its folder was deleted later.
    QSet<std::int32_t> folderIds;
    {
        CSetFolder f(&db);
        f.Open(QStringLiteral("SELECT * FROM FOLDER"));
        for (; !f.IsEOF(); f.MoveNext())
            folderIds.insert(f.m_ID_FOLDER_FOLDER);
    }
    QSet<std::int32_t> addressIds;
    int lost = 0;
    {
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS"));
        for (; !a.IsEOF(); a.MoveNext()) {
            EXPECT_TRUE(folderIds.contains(a.m_ID_ADDRESS_FOLDER)) << "address " << a.m_ID_ADDRESS_ADDRESS << " in no folder";
            addressIds.insert(a.m_ID_ADDRESS_ADDRESS);
        }
    }
    for (const auto &[id, folder] : saved)
        if (!addressIds.contains(id) && folderIds.contains(folder))
            ++lost;
    EXPECT_EQ(lost, 0);
    EXPECT_GE(addressIds.size(), kDesks * kSaves * 3 / 4);

    // Nothing half written: every address has its two phones and its e-mail,
    // no phone or e-mail lacks its address, every folder has its parent.
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM address a WHERE"
                                             " (SELECT count(*) FROM tel WHERE id_tel_address = a.id_address_address) <> 2"
                                             " OR (SELECT count(*) FROM email WHERE id_email_address = a.id_address_address) <> 1")),
              0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM tel WHERE id_tel_address NOT IN (SELECT id_address_address FROM address)")), 0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM email WHERE id_email_address NOT IN (SELECT id_address_address FROM address)")), 0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM folder WHERE id_parent <> -1 AND id_parent NOT IN (SELECT id_folder_folder FROM folder)")), 0);
    // Every copy that is left is whole: its subfolder and its twelve addresses.
    const std::int32_t shared = folderNamed(db, root, QStringLiteral("Shared"));
    for (std::int32_t copy : copies(db, shared)) {
        const std::int32_t sub = folderNamed(db, copy, QStringLiteral("Below"));
        ASSERT_NE(sub, -1);
        EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM address WHERE id_address_folder = %1"
                                                 " AND name COLLATE \"C\" LIKE 'Template %'").arg(copy)), 8);
        EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM address WHERE id_address_folder = %1").arg(sub)), 4);
    }

    // Counters: above every identifier in use.
    CSetIDS ids(&db);
    ids.Open(QStringLiteral("SELECT * FROM IDS"));
    ASSERT_EQ(ids.GetRecordCount(), 1);
    EXPECT_GT(ids.m_ID_ADDRESS_FF, db.QueryInteger(QStringLiteral("SELECT max(id_address_address) FROM address")));
    EXPECT_GT(ids.m_ID_TEL_FF, db.QueryInteger(QStringLiteral("SELECT max(id_tel_tel) FROM tel")));
    EXPECT_GT(ids.m_ID_EMAIL_FF, db.QueryInteger(QStringLiteral("SELECT max(id_email_email) FROM email")));
    EXPECT_GT(ids.m_ID_FOLDER_FF, db.QueryInteger(QStringLiteral("SELECT max(id_folder_folder) FROM folder")));
    // No save consumed identifiers it did not use: each made address took
    // one address identifier (desk saves, copies, the template).
    const int made = int(saved.size()) + counts[1].toInt() * 12 + 12;
    EXPECT_EQ(ids.m_ID_ADDRESS_FF - 1, made);
    EXPECT_EQ(ids.m_ID_TEL_FF - 1, 2 * made);
}

// What another program deleted meanwhile: a new address into a deleted
// folder and the changes to a deleted address are refused with their own
// message (not message 8), nothing is written and no identifier is used.
TEST(GoneRows, SavesIntoWhatAnotherProgramDeletedAreRefusedWithTheirMessage)
{
    TempDatabase t;
    CDatabase &db = t.db();
    const std::int32_t folder = CreateFolder(db, QStringLiteral("Soon gone"), RootFolder(db)).id;
    AddressEntry e;
    e.name = QStringLiteral("Novák");
    e.town = QStringLiteral("Brno");
    e.zip = QStringLiteral("602 00");
    e.id = SaveNewAddress(db, e, twoPhones(), {}, folder);
    {
        CDatabase other; // another desk deletes the folder with the address
        other.Open(t.path());
        DeleteFolderTree(other, folder);
    }
    const std::int64_t counter = db.QueryInteger(QStringLiteral("SELECT %1 FROM %2").arg(db.Quote(QStringLiteral("ID_ADDRESS_FF")), db.Quote(QStringLiteral("IDS"))));
    const std::int64_t tels = db.QueryInteger(QStringLiteral("SELECT %1 FROM %2").arg(db.Quote(QStringLiteral("ID_TEL_FF")), db.Quote(QStringLiteral("IDS"))));
    MessageRecorder rec;
    EXPECT_FALSE(DbOperation(db, [&] { SaveNewAddress(db, e, twoPhones(), {}, folder); }));
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, QString::fromLatin1(kFolderGoneText));
    rec.Clear();
    e.name = QStringLiteral("Novák changed");
    EXPECT_FALSE(DbOperation(db, [&] { SaveEditedAddress(db, e, twoPhones(), {}); }));
    ASSERT_EQ(rec.Records().size(), 1u);
    EXPECT_EQ(rec.Records()[0].text, QString::fromLatin1(kAddressGoneText));
    EXPECT_EQ(db.TransactionDepth(), 0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM %1").arg(db.Quote(QStringLiteral("ADDRESS")))), 0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT count(*) FROM %1").arg(db.Quote(QStringLiteral("TEL")))), 0);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT %1 FROM %2").arg(db.Quote(QStringLiteral("ID_ADDRESS_FF")), db.Quote(QStringLiteral("IDS")))), counter);
    EXPECT_EQ(db.QueryInteger(QStringLiteral("SELECT %1 FROM %2").arg(db.Quote(QStringLiteral("ID_TEL_FF")), db.Quote(QStringLiteral("IDS")))), tels);
}

// Changes to an address that another program changed since it was read are
// refused with their message and nothing written; the same lists in another
// order are no change; saving on purpose without the old state replaces.
TEST(GoneRows, ChangesToAnAddressChangedMeanwhileAreRefused)
{
    TempDatabase t;
    CDatabase &db = t.db();
    AddressEntry e;
    e.name = QStringLiteral("Dvořák");
    e.town = QStringLiteral("Praha");
    e.zip = QStringLiteral("110 00");
    e.id = SaveNewAddress(db, e, twoPhones(), oneEmail(QStringLiteral("d")), RootFolder(db));
    AddressEntry asRead = e;
    asRead.phones = LoadPhones(db, e.id);
    asRead.emails = LoadEmails(db, e.id);

    // The same lists, reversed: saved.
    AddressEntry reversed = asRead;
    std::reverse(reversed.phones->begin(), reversed.phones->end());
    e.note = QStringLiteral("first note");
    EXPECT_NO_THROW(SaveEditedAddress(db, e, twoPhones(), oneEmail(QStringLiteral("d")), &reversed));
    asRead.note = e.note;

    for (const bool phoneOnly : {false, true}) {
        {
            CDatabase other;
            other.Open(t.path());
            AddressEntry theirs = e;
            if (!phoneOnly)
                theirs.street = QStringLiteral("Their street %1").arg(int(phoneOnly));
            SaveEditedAddress(other, theirs, phoneOnly ? ValueNoteList{{QStringLiteral("+1"), QString()}} : twoPhones(),
                              oneEmail(QStringLiteral("d")));
        }
        const QStringList before = [&] {
            CSetAddress a(&db);
            a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", e.id));
            return QStringList{a.m_NAME, a.m_STREET, a.m_NOTE};
        }();
        const ValueNoteList phonesBefore = LoadPhones(db, e.id);
        AddressEntry mine = e;
        mine.name = QStringLiteral("Mine");
        MessageRecorder rec;
        EXPECT_FALSE(DbOperation(db, [&] { SaveEditedAddress(db, mine, twoPhones(), {}, &asRead); }));
        ASSERT_EQ(rec.Records().size(), 1u);
        EXPECT_EQ(rec.Records()[0].text, QString::fromLatin1(kAddressChangedText));
        CSetAddress a(&db);
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", e.id));
        EXPECT_EQ((QStringList{a.m_NAME, a.m_STREET, a.m_NOTE}), before);
        EXPECT_EQ(LoadPhones(db, e.id), phonesBefore);
        EXPECT_EQ(LoadEmails(db, e.id).size(), 1u);
        // What is stored now as the state read: the save goes through.
        asRead = AddressFromRecord(a);
        asRead.phones = LoadPhones(db, e.id);
        asRead.emails = LoadEmails(db, e.id);
    }
    AddressEntry mine = e;
    mine.name = QStringLiteral("Mine");
    EXPECT_NO_THROW(SaveEditedAddress(db, mine, twoPhones(), {}, &asRead));
    CSetAddress stored(&db);
    stored.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_ADDRESS = %d", e.id));
    EXPECT_EQ(stored.m_NAME, QStringLiteral("Mine"));
}
