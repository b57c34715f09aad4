// Timings of the address book's main queries on a generated book of
// 100,000 addresses (or the number given as the first argument).
#include "datagen.h"
#include "recordsets.h"
#include "schema.h"
#include "sqlformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

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

void report(const char *what, double ms, double goalMs)
{
    std::printf("%-58s %9.2f ms  (goal < %.0f ms) %s\n", what, ms, goalMs, ms < goalMs ? "ok" : "SLOW");
}

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

    CDatabase db;
    db.Open(path);
    long rows = 0;
    const double list = bestOf(3, [&] {
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC"));
        rows = 0;
        while (!a.IsEOF()) {
            ++rows;
            a.MoveNext();
        }
    });
    std::printf("list pane query read %ld rows\n", rows);
    report("list pane query (all addresses, 4 keys DESC)", list, 500);

    const double search = bestOf(3, [&] {
        CSetAddress a(&db);
        a.Open(QStringLiteral("SELECT * FROM ADDRESS WHERE 1") + SqlFormat(" AND NAME LIKE '*%s*'", QStringLiteral("nov")) +
               QStringLiteral(" ORDER BY NAME"));
        rows = a.GetRecordCount();
    });
    std::printf("containment search found %ld rows\n", rows);
    report("containment search on NAME", search, 200);

    CSetFolder f(&db);
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", -1));
    const std::int32_t root = f.m_ID_FOLDER_FOLDER;
    f.Open(SqlFormat("SELECT * FROM FOLDER WHERE ID_PARENT = %d", root));
    const std::int32_t folder = f.IsEOF() ? root : f.m_ID_FOLDER_FOLDER;
    const double one = bestOf(20, [&] {
        CSetAddress a(&db);
        a.Open(SqlFormat("SELECT * FROM ADDRESS WHERE ID_ADDRESS_FOLDER = %d ORDER BY NAME, STREET, TOWN, ZIP", folder));
        rows = a.GetRecordCount();
    });
    std::printf("one folder holds %ld addresses\n", rows);
    report("one folder's addresses", one, 5);
    return 0;
}
