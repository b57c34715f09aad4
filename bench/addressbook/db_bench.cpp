// Timings of the address book's main queries on a generated book of
// 100,000 addresses (or the number given as the first argument), on the
// SQLite file and on a PostgreSQL server side by side, with the ratio of
// each server figure to the file's (goal: within 3x). The server is a
// private one started for the run (tests/support/pgserver.sh), or the one
// CORVELLE_BENCH_PG names; without the server binaries only the file is
// measured.
#include "bookcopy.h"
#include "datagen.h"
#include "folderops.h"
#include "recordsets.h"
#include "schema.h"
#include "sqlformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

namespace {

template <typename F> double bestOf(int runs, F &&f)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

struct Figures {
    double list = 0, search = 0, folder = 0, copy = 0;
    long listRows = 0, found = 0, folderRows = 0, copied = 0;
};

Figures measure(const QString &name)
{
    CDatabase db;
    db.Open(name);
    Figures r;
    r.list = bestOf(3, [&] {
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC"));
        r.listRows = 0;
        while (!a.IsEOF()) {
            ++r.listRows;
            a.MoveNext();
        }
    });
    r.search = bestOf(3, [&] {
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1") + SqlFormat(" AND NAME LIKE '*%s*'", QStringLiteral("nov")) +
               QStringLiteral(" ORDER BY NAME"));
        r.found = a.GetRecordCount();
    });
    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", -1));
    const std::int32_t root = f.m_ID_FOLDER_FOLDER;
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d ORDER BY NAME", root));
    const std::int32_t folder = f.IsEOF() ? root : f.m_ID_FOLDER_FOLDER;
    r.folder = bestOf(20, [&] {
        CSetAddress a(&db);
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME, STREET, TOWN, ZIP", folder));
        r.folderRows = a.GetRecordCount();
    });
    // A first-level folder with everything below it, copied under the root
    // and the copy deleted again.
    r.copy = bestOf(3, [&] {
        const FolderCopyResult copy = CopyFolder(db, folder, root);
        r.copied = long(copy.addresses.size());
        DeleteFolderTree(db, copy.folder.id);
    });
    return r;
}

void row(const char *what, double file, std::optional<double> server, double goalMs)
{
    if (server)
        std::printf("%-44s %9.2f ms %9.2f ms %6.2fx  (file goal < %.0f ms) %s\n", what, file, *server, *server / file,
                    goalMs, *server <= 3 * file ? "ok" : "SLOW");
    else
        std::printf("%-44s %9.2f ms %12s %7s  (file goal < %.0f ms) %s\n", what, file, "-", "-", goalMs,
                    file < goalMs ? "ok" : "SLOW");
}

// A private server for the run; stopped at the end.
class BenchServer {
public:
    BenchServer()
    {
        const QString env = qEnvironmentVariable("CORVELLE_BENCH_PG");
        if (!env.isEmpty()) {
            m_name = env;
            return;
        }
        m_dir = QStringLiteral("/tmp/corvelle-bench-pg-%1").arg(QCoreApplication::applicationPid());
        QProcess p;
        p.start(QStringLiteral("bash"), {m_script, QStringLiteral("start"), m_dir});
        p.waitForFinished(120000);
        if (p.exitCode() != 0 || QFile::exists(m_dir + QStringLiteral("/ABSENT"))) {
            std::printf("(no PostgreSQL server: %s)\n", p.readAll().trimmed().constData());
            return;
        }
        m_started = true;
        m_name = QStringLiteral("pg:host=%1 port=5432 user=corvelle dbname=postgres").arg(m_dir);
    }
    ~BenchServer()
    {
        if (m_started)
            QProcess::execute(QStringLiteral("bash"), {m_script, QStringLiteral("stop"), m_dir});
    }
    QString name() const { return m_name; }

private:
    QString m_script = QStringLiteral(CORVELLE_SOURCE_DIR "/tests/support/pgserver.sh");
    QString m_dir, m_name;
    bool m_started = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const long long n = argc > 1 ? std::atoll(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("envdb.mdb"));
    CreateNewDatabase(path, false);
    QElapsedTimer gen;
    gen.start();
    GenerateAddressBook(path, DataGenOptions{n, n / 100, 42});
    std::printf("generated %lld addresses in %.2f s\n", n, gen.elapsed() / 1000.0);

    // The same rows on the server, in a schema of this run.
    BenchServer server;
    QString serverName;
    if (!server.name().isEmpty()) {
        const QString schema = QStringLiteral("bench_%1").arg(QCoreApplication::applicationPid());
        CDatabase::ExecuteOnServer(server.name(), QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(schema));
        serverName = server.name() + QStringLiteral(" options='-csearch_path=%1'").arg(schema);
        CreateNewDatabase(serverName, false);
        QElapsedTimer copy;
        copy.start();
        CDatabase from, to;
        from.Open(path);
        to.Open(serverName);
        to.BeginTrans();
        ReplaceAddressBookRows(from, to);
        to.CommitTrans();
        to.ExecuteRaw(QStringLiteral("ANALYZE"));
        std::printf("copied them to the server in %.2f s\n", copy.elapsed() / 1000.0);
    }

    const Figures file = measure(path);
    std::optional<Figures> pg;
    if (!serverName.isEmpty())
        pg = measure(serverName);
    std::printf("list %ld rows, search found %ld, the folder holds %ld, its copy %ld addresses\n", file.listRows,
                file.found, file.folderRows, file.copied);
    if (pg && (pg->listRows != file.listRows || pg->found != file.found || pg->folderRows != file.folderRows ||
               pg->copied != file.copied))
        std::printf("the server gave other counts: list %ld, search %ld, folder %ld, copy %ld\n", pg->listRows,
                    pg->found, pg->folderRows, pg->copied);
    std::printf("%-44s %12s %12s %7s\n", "", "SQLite file", "PostgreSQL", "ratio");
    auto opt = [&](double Figures::*m) { return pg ? std::optional<double>((*pg).*m) : std::nullopt; };
    row("list pane query (all addresses, 4 keys DESC)", file.list, opt(&Figures::list), 500);
    row("containment search on NAME", file.search, opt(&Figures::search), 200);
    row("one folder's addresses", file.folder, opt(&Figures::folder), 5);
    row("folder copy (first-level folder and below)", file.copy, opt(&Figures::copy), 1000);
    return 0;
}
