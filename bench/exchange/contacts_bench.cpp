// Contacts: 50,000 generated addresses exported to vCard 4.0, 3.0 and CSV,
// and each file imported into an empty folder (goal: 50,000 cards in under
// 2 s). Prints the seconds of each step. Usage: bench_contacts [ADDRESSES]
#include "appcontext.h"
#include "contactimport.h"
#include "database.h"
#include "datagen.h"
#include "exchangehooks.h"
#include "ids.h"
#include "recordsets.h"
#include "schema.h"
#include "strings/strings.h"
#include "tvmessage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

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
    QCoreApplication app(argc, argv);
    CorvelleRegisterStrings();
    CTVMessage::SetHook([](const TVMessageRecord &r) {
        std::fprintf(stderr, "message %d: %s\n", r.id, r.text.toUtf8().constData());
        return (r.buttons & TVB_YESTOALL) ? unsigned(TVB_YESTOALL) : unsigned(TVB_OK);
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
    std::printf("%lld addresses, %lld phones, %lld e-mails\n", generated.addresses, generated.phones, generated.emails);
    CSetFolder rootSet(&db);
    rootSet.Open(QStringLiteral("SELECT * FROM FOLDER WHERE ID_PARENT = -1"));
    const int root = rootSet.m_ID_FOLDER_FOLDER;
    rootSet.Close();

    int status = 0;
    struct Case {
        const char *file;
        ContactFormat format;
        VCardVersion version;
        const char *exportName, *importName;
    };
    const Case cases[] = {
        {"bench4.vcf", ContactFormat::VCard, VCardVersion::V4, "export to vCard 4.0", "import vCard 4.0"},
        {"bench3.vcf", ContactFormat::VCard, VCardVersion::V3, "export to vCard 3.0", "import vCard 3.0"},
        {"bench.csv", ContactFormat::Csv, VCardVersion::V4, "export to CSV", "import CSV"},
    };
    // Every file is written from the generated folders before anything is imported.
    for (const Case &c : cases) {
        const QString file = dir.filePath(QString::fromLatin1(c.file));
        QElapsedTimer t;
        t.start();
        status |= ExportContacts(db, root, true, file, c.format, c.version) != ContactExportOutcome::Exported;
        line(c.exportName, t.elapsed() / 1000.0,
             QStringLiteral("%1 MB").arg(QFileInfo(file).size() / 1048576.0, 0, 'f', 1));
    }
    int n = 0;
    for (const Case &c : cases) {
        const QString file = dir.filePath(QString::fromLatin1(c.file));
        QElapsedTimer t;
        t.start();
        ContactFile read;
        status |= !ReadContactFile(file, c.format, std::nullopt, read);
        line("  of which reading the file", t.elapsed() / 1000.0,
             QStringLiteral("%1 addresses").arg(read.addresses.size()));
        const int target = addFolder(db, root, QStringLiteral("Imported %1").arg(++n));
        t.restart();
        const ContactImportResult r = RunContactImport(db, file, c.format, target, AskDuplicateWithQuestion());
        line(c.importName, t.elapsed() / 1000.0,
             QStringLiteral("%1 imported, %2 errors").arg(r.accepted).arg(r.errors));
        status |= r.outcome != ImportOutcome::Imported || r.accepted != count;
    }
    return status;
}
