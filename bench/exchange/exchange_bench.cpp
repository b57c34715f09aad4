// Export of 50,000 addresses to .xls, .xlsx and .ods, import of each back
// into an empty folder, and a backup and restore of the same database.
// Prints the seconds of each step, beside Gnumeric's ssconvert converting
// the same data from CSV when it is installed. Usage: bench_exchange [ADDRESSES]
#include "appcontext.h"
#include "backupfile.h"
#include "database.h"
#include "datagen.h"
#include "excelexport.h"
#include "excelimport.h"
#include "exchangehooks.h"
#include "ids.h"
#include "recordsets.h"
#include "schema.h"
#include "strings/strings.h"
#include "tvmessage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <tuple>

namespace {

int addFolder(CDatabase &db, int parent, const QString &name)
{
    db.BeginTrans();
    IdAllocator ids(db);
    CSetFolder set(&db);
    set.Open(QStringLiteral("SELECT * FROM FOLDER WHERE 0"));
    set.AddNew();
    set.m_ID_FOLDER_FOLDER = ids.Next(IdCounter::Folder);
    set.m_ID_PARENT = parent;
    set.m_NAME = name;
    const int id = set.m_ID_FOLDER_FOLDER;
    set.Update();
    ids.Finish();
    db.CommitTrans();
    return id;
}

void line(const char *what, double seconds, const QString &detail = QString())
{
    std::printf("%-34s %7.2f s  %s\n", what, seconds, detail.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CorvelleRegisterStrings();
    // Every box is answered and printed, none shown.
    CTVMessage::SetHook([](const TVMessageRecord &r) {
        std::fprintf(stderr, "message %d: %s\n", r.id, r.text.toUtf8().constData());
        return (r.buttons & TVB_YESTOALL) ? unsigned(TVB_YESTOALL) : (r.buttons & TVB_YES) ? unsigned(TVB_YES) : unsigned(TVB_OK);
    });
    const long long count = argc > 1 ? std::atoll(argv[1]) : 50000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("envdb.mdb"));
    CreateNewDatabase(path, false);
    DataGenOptions options;
    options.addresses = count;
    const DataGenResult generated = GenerateAddressBook(path, options);
    CDatabase db;
    db.Open(path, true);
    AppContext::SetDatabase(&db);
    AppContext::SetProgramDirectory(dir.path());
    std::printf("%lld addresses, %lld phones, %lld e-mails, %lld folders; database %.1f MB\n", generated.addresses,
                generated.phones, generated.emails, generated.folders, QFileInfo(path).size() / 1048576.0);

    CSetFolder rootSet(&db);
    rootSet.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
    const int root = rootSet.m_ID_FOLDER_FOLDER;
    rootSet.Close();

    int status = 0;
    QElapsedTimer t;
    // The same rows as CSV, for Gnumeric's converter as the yardstick.
    const QString csv = dir.filePath(QStringLiteral("bench.csv"));
    {
        const SheetData sheet = BuildExportSheet(db, CollectFolderSet(db, root, true), TextMeasure::Default());
        QFile out(csv);
        out.open(QIODevice::WriteOnly);
        QByteArray data;
        for (const auto &row : sheet.rows) {
            QStringList cells;
            for (const QString &c : row)
                cells << u'"' + QString(c).replace(u'"', QLatin1String("\"\"")) + u'"';
            data += cells.join(u',').toUtf8() + '\n';
        }
        out.write(data);
    }
    const QString ssconvert = QStandardPaths::findExecutable(QStringLiteral("ssconvert"));
    auto convert = [&](const QString &to) -> double {
        if (ssconvert.isEmpty())
            return 0;
        QProcess p;
        QElapsedTimer c;
        c.start();
        p.start(ssconvert, {csv, to});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            return 0;
        return c.elapsed() / 1000.0;
    };
    const double ssXls = convert(dir.filePath(QStringLiteral("ss.xls")));
    const double ssXlsx = convert(dir.filePath(QStringLiteral("ss.xlsx")));
    const double ssOds = convert(dir.filePath(QStringLiteral("ss.ods")));
    auto ratio = [](double ours, double theirs) {
        return theirs > 0 && ours > 0 ? QStringLiteral("%1x faster than ssconvert (%2 s)").arg(theirs / ours, 0, 'f', 1).arg(theirs, 0, 'f', 2)
                                      : QStringLiteral("ssconvert not installed");
    };
    const QString xls = dir.filePath(QStringLiteral("bench.xls"));
    const QString xlsx = dir.filePath(QStringLiteral("bench.xlsx"));
    t.start();
    status |= !ExportAddresses(db, root, true, xls, SheetFormat::Xls);
    const double exportXls = t.elapsed() / 1000.0;
    line("export to .xls", exportXls, QStringLiteral("%1 MB, %2").arg(QFileInfo(xls).size() / 1048576.0, 0, 'f', 1).arg(ratio(exportXls, ssXls)));
    t.restart();
    status |= !ExportAddresses(db, root, true, xlsx, SheetFormat::Xlsx);
    const double exportXlsx = t.elapsed() / 1000.0;
    line("export to .xlsx", exportXlsx, QStringLiteral("%1 MB, %2").arg(QFileInfo(xlsx).size() / 1048576.0, 0, 'f', 1).arg(ratio(exportXlsx, ssXlsx)));
    const QString ods = dir.filePath(QStringLiteral("bench.ods"));
    t.restart();
    status |= !ExportAddresses(db, root, true, ods, SheetFormat::Ods);
    const double exportOds = t.elapsed() / 1000.0;
    line("export to .ods", exportOds, QStringLiteral("%1 MB, %2").arg(QFileInfo(ods).size() / 1048576.0, 0, 'f', 1).arg(ratio(exportOds, ssOds)));

    const int target = addFolder(db, root, QStringLiteral("Imported"));
    ImportSettings settings;
    settings.fileName = xls;
    settings.folder = target;
    const ImportCheck check = CheckImportSettings(settings);
    t.restart();
    const ImportResult imported = RunImport(db, settings, check);
    const double importXls = t.elapsed() / 1000.0;
    line("import from .xls", importXls,
         QStringLiteral("%1 imported, %2 skipped, %3 errors, %4").arg(imported.accepted).arg(imported.skipped).arg(imported.errors).arg(ratio(importXls, ssXls)));
    status |= imported.outcome != ImportOutcome::Imported || imported.accepted != count;
    // The same from .xlsx and .ods, each into a folder of its own.
    for (const auto &[file, name, theirs] : {std::tuple{xlsx, "import from .xlsx", ssXlsx}, std::tuple{ods, "import from .ods", ssOds}}) {
        ImportSettings other;
        other.fileName = file;
        other.folder = addFolder(db, root, QString::fromLatin1(name));
        const ImportCheck otherCheck = CheckImportSettings(other);
        t.restart();
        const ImportResult r = RunImport(db, other, otherCheck);
        const double seconds = t.elapsed() / 1000.0;
        line(name, seconds, QStringLiteral("%1 imported, %2 errors, %3").arg(r.accepted).arg(r.errors).arg(ratio(seconds, theirs)));
        status |= r.outcome != ImportOutcome::Imported || r.accepted != count;
    }

    // The second import finds every address already there; "No to all".
    t.restart();
    const ImportResult again = RunImport(db, settings, check, [](const ImportEntry &) { return unsigned(TVB_NOTOALL); });
    line("import again, all duplicates", t.elapsed() / 1000.0, QStringLiteral("%1 skipped").arg(again.skipped));

    const QString backup = dir.filePath(QStringLiteral("bench.env"));
    t.restart();
    status |= RunBackup(db, backup, {}) != OperationResult::Completed;
    line("backup", t.elapsed() / 1000.0, QStringLiteral("%1 MB").arg(QFileInfo(backup).size() / 1048576.0, 0, 'f', 1));
    t.restart();
    status |= RunRestore(db, backup, {}) != OperationResult::Completed;
    line("restore (with the checks)", t.elapsed() / 1000.0);
    return status;
}
