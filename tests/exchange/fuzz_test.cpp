// Bounded fuzzing: damaged .xls, .xlsx and .ods files through the import and damaged backup
// files through the restore. No crash; a refused restore leaves the database
// byte for byte as it was. EXCHANGE_FUZZ_ITERATIONS and EXCHANGE_FUZZ_SEED
// (exchange/fuzz/run-fuzz.sh) make longer runs.
#include "backupfile.h"
#include "datagen.h"
#include "excelexport.h"
#include "excelimport.h"
#include "exchangehooks.h"
#include "exchangetestutil.h"
#include "testsupport.h"
#include "zippackage.h"
#include "zipsheetreader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace {

int iterations(int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("EXCHANGE_FUZZ_ITERATIONS", &ok);
    return ok && n > 0 ? n : fallback;
}

unsigned seed()
{
    bool ok = false;
    const int s = qEnvironmentVariableIntValue("EXCHANGE_FUZZ_SEED", &ok);
    return ok ? unsigned(s) : 20240611u;
}

QByteArray mutate(QByteArray data, std::mt19937 &rng, qsizetype protectedPrefix = 0)
{
    std::uniform_int_distribution<int> kind(0, 5);
    const int edits = std::uniform_int_distribution<int>(1, 8)(rng);
    for (int e = 0; e < edits && !data.isEmpty(); ++e) {
        auto at = [&] { return std::uniform_int_distribution<qsizetype>(protectedPrefix, data.size() - 1)(rng); };
        switch (kind(rng)) {
        case 0: data[at()] = char(rng()); break;                              // random byte
        case 1: data[at()] ^= char(1 << (rng() % 8)); break;                  // bit flip
        case 2: data.truncate(at()); break;                                   // cut
        case 3: data.insert(at(), QByteArray(int(rng() % 64), char(rng()))); break;
        case 4: { const qsizetype p = at(); data.replace(p, 4, QByteArray::fromHex("FFFFFFFF")); break; }
        case 5: { const qsizetype p = at() & ~qsizetype(1); data.replace(p, 2, QByteArray::fromHex("0000")); break; }
        }
    }
    return data;
}

} // namespace

TEST(FuzzTest, DamagedXlsFilesNeverCrashTheImport)
{
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 60;
    GenerateAddressBook(t.path(), o);
    const int root = RootFolder(t.db());
    const int target = AddFolder(t.db(), root, QStringLiteral("Fuzz"));
    const QString good = t.dir() + QStringLiteral("/good.xls");
    {
        MessageRecorder rec;
        ASSERT_TRUE(ExportAddresses(t.db(), root, true, good, SheetFormat::Xls,
                                    TextMeasure{[](const QString &s, bool) { return int(s.size()) * 7; }}));
    }
    const QByteArray bytes = ReadAll(good);
    std::mt19937 rng(seed());
    const int n = iterations(150);
    int imported = 0, refused = 0;
    for (int i = 0; i < n; ++i) {
        const QString path = t.dir() + QStringLiteral("/fuzz.xls");
        WriteAll(path, mutate(bytes, rng));
        MessageRecorder rec;
        rec.defaultAnswer = TVB_YESTOALL;
        ImportSettings s;
        s.fileName = path;
        s.folder = target;
        const ImportCheck check = CheckImportSettings(s);
        ASSERT_EQ(check.message, 0);
        const ImportResult r = RunImport(t.db(), s, check);
        (r.outcome == ImportOutcome::Imported ? imported : refused)++;
        EXPECT_EQ(t.db().TransactionDepth(), 0);
        if (r.outcome == ImportOutcome::Cancelled) {
            EXPECT_FALSE(rec.Empty());
        }
    }
    RecordProperty("imported", imported);
    RecordProperty("refused", refused);
    EXPECT_EQ(imported + refused, n);
}

// Workbooks written by LibreOffice and Gnumeric, damaged two ways: the
// package's bytes (through the import and its reader process), and the XML
// of the parts repacked into a sound package (through the readers directly,
// so that the XML handling itself is what is tried).
TEST(FuzzTest, DamagedXlsxAndOdsFilesNeverCrashTheImport)
{
    TempDatabase t;
    const int target = AddFolder(t.db(), RootFolder(t.db()), QStringLiteral("Fuzz"));
    std::mt19937 rng(seed() + 2);
    const int n = iterations(40);
    int read = 0, refused = 0;
    for (const char *name : {"lo.xlsx", "gnm.xlsx", "lo.ods", "gnm.ods"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = ReadAll(QStringLiteral(CORVELLE_EXCHANGE_FIXTURES "/") + QLatin1String(name));
        ASSERT_FALSE(bytes.isEmpty());
        const QString path = t.dir() + QStringLiteral("/fuzz.") + QString::fromLatin1(name).section(u'.', 1);
        for (int i = 0; i < n; ++i) {
            WriteAll(path, mutate(bytes, rng));
            MessageRecorder rec;
            rec.defaultAnswer = TVB_NOTOALL;
            ImportSettings s;
            s.fileName = path;
            s.folder = target;
            const ImportCheck check = CheckImportSettings(s);
            ASSERT_EQ(check.message, 0);
            const ImportResult r = RunImport(t.db(), s, check);
            EXPECT_EQ(t.db().TransactionDepth(), 0);
            if (r.outcome == ImportOutcome::Cancelled) {
                EXPECT_FALSE(rec.Empty());
            }
        }
        // The parts' XML damaged, the package sound.
        ZipPackage zip(bytes);
        std::vector<std::pair<QString, QByteArray>> parts;
        for (const QString &part : zip.Names()) {
            QByteArray data;
            ASSERT_TRUE(zip.Read(part, data));
            parts.emplace_back(part, data);
        }
        QTemporaryDir dir;
        for (int i = 0; i < n * 2; ++i) {
            const QString repacked = dir.path() + QStringLiteral("/r.zip");
            {
                ZipWriter w(repacked);
                for (const auto &[part, data] : parts) {
                    const bool xml = part.endsWith(QLatin1String(".xml")) || part.endsWith(QLatin1String(".rels"));
                    w.Add(part, xml && rng() % 3 == 0 ? mutate(data, rng) : data, part != QLatin1String("mimetype"));
                }
                ASSERT_TRUE(w.Close());
            }
            SheetCells sheet;
            QString why;
            if (ReadSpreadsheet(ReadAll(repacked), sheet, &why)) {
                ++read;
                EXPECT_LE(sheet.rows, kZipSheetMaxRows);
                EXPECT_LE(sheet.columns, kZipSheetMaxColumns);
            } else {
                ++refused;
                EXPECT_FALSE(why.isEmpty());
                EXPECT_TRUE(sheet.cells.isEmpty());
            }
        }
    }
    RecordProperty("read", read);
    RecordProperty("refused", refused);
}

TEST(FuzzTest, DamagedBackupsNeverReplaceTheDatabaseWithGarbage)
{
    TempDatabase t;
    DataGenOptions o;
    o.addresses = 40;
    GenerateAddressBook(t.path(), o);
    auto oldFatal = SetFatalExitHandler([](int) { ADD_FAILURE() << "the database could not be reopened"; });
    const QString good = t.dir() + QStringLiteral("/good.env");
    {
        MessageRecorder rec;
        ASSERT_EQ(RunBackup(t.db(), good, {}), OperationResult::Completed);
    }
    const QByteArray bytes = ReadAll(good);
    std::mt19937 rng(seed() + 1);
    const int n = iterations(120);
    for (int i = 0; i < n; ++i) {
        const QString path = t.dir() + QStringLiteral("/fuzz.env");
        // Half of the runs damage only the framing (header, length, trailer).
        QByteArray damaged = i % 2 ? mutate(bytes, rng)
                                   : [&] {
                                         QByteArray b = bytes;
                                         const int spot = int(rng() % 36);
                                         const qsizetype at = spot < 32 ? spot : b.size() - (36 - spot);
                                         b[at] = char(b[at] ^ char(1 + rng() % 255));
                                         return b;
                                     }();
        WriteAll(path, damaged);
        t.db().Close();
        const QByteArray before = ReadAll(t.path());
        ASSERT_NO_THROW(t.db().Open(t.path(), true));
        MessageRecorder rec;
        rec.defaultAnswer = TVB_YES;
        const OperationResult r = RunRestore(t.db(), path, {});
        ASSERT_TRUE(t.db().IsOpen());
        if (r == OperationResult::Completed) {
            t.db().Close();
            EXPECT_TRUE(IsUsableDatabaseFile(t.path()));
            ASSERT_NO_THROW(t.db().Open(t.path(), true));
            // Put the good database back for the next round.
            MessageRecorder again;
            ASSERT_EQ(RunRestore(t.db(), good, {}), OperationResult::Completed);
        } else {
            t.db().Close();
            EXPECT_EQ(ReadAll(t.path()), before) << "round " << i;
            ASSERT_NO_THROW(t.db().Open(t.path(), true));
            EXPECT_FALSE(rec.Empty());
        }
    }
    SetFatalExitHandler(std::move(oldFatal));
}
