#include "contactcli.h"

#include "appcontext.h"
#include "contactimport.h"
#include "database.h"
#include "dberror.h"
#include "folderpath.h"
#include "tvmessage.h"

#include <QFileInfo>
#include <cstdio>

namespace {

enum {
    MSG_DATABASE = 8,
    MSG_EXPORT_NO_FOLDER = 59426,
    MSG_IMPORT_NO_FOLDER = 59427,
    MSG_NOT_CONTACT_FILE = 59452,
    MSG_EXPORTED = 59453,
};

constexpr int kOk = 0, kFailed = 1, kUsage = 2;

CDatabase *openDatabase()
{
    CDatabase *db = AppContext::Database();
    if (!db || !db->IsOpen()) {
        CTVError error(MSG_DATABASE);
        return nullptr;
    }
    return db;
}

std::optional<int> findFolder(CDatabase &db, const QString &path)
{
    try {
        return FindFolderByPath(db, path);
    } catch (const DbException &) {
        CTVError error(MSG_DATABASE);
        return std::nullopt;
    }
}

} // namespace

bool IsContactFile(const QString &file) { return ContactFormatOfFile(file.trimmed()).has_value(); }

int RunContactImportCommandLine(const QString &fileIn, const QString &folderPath, const QString &modeIn)
{
    const QString mode = modeIn.trimmed().toLower();
    DuplicateAsker ask;
    if (mode.isEmpty() || mode == QLatin1String("ask"))
        ask = AskDuplicateWithQuestion();
    else if (mode == QLatin1String("add"))
        ask = [](const ImportEntry &) { return unsigned(TVB_YESTOALL); };
    else if (mode == QLatin1String("skip"))
        ask = [](const ImportEntry &) { return unsigned(TVB_NOTOALL); };
    else {
        std::fprintf(stderr, "--duplicates takes ask, add or skip, not \"%s\"\n", modeIn.toUtf8().constData());
        return kUsage;
    }
    const QString file = fileIn.trimmed();
    const std::optional<ContactFormat> format = ContactFormatOfFile(file);
    if (!format) {
        CTVError error(MSG_NOT_CONTACT_FILE);
        return kUsage;
    }
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    const std::optional<int> folder = findFolder(*db, folderPath);
    if (!folder) {
        CTVError error(MSG_IMPORT_NO_FOLDER);
        return kFailed;
    }
    const ContactImportResult result =
        RunContactImport(*db, QFileInfo(file).absoluteFilePath(), *format, *folder, ask);
    if (result.outcome != ImportOutcome::Imported)
        return kFailed;
    ShowContactImportSummary(result);
    return kOk;
}

int RunContactExportCommandLine(const QString &fileIn, const QString &folderPath, bool subfolders,
                                const QString &versionIn)
{
    const QString file = fileIn.trimmed();
    const std::optional<ContactFormat> format = ContactFormatOfFile(file);
    if (!format) {
        CTVError error(MSG_NOT_CONTACT_FILE);
        return kUsage;
    }
    const QString v = versionIn.trimmed();
    VCardVersion version = VCardVersion::V4;
    if (!v.isEmpty()) {
        if (*format != ContactFormat::VCard) {
            std::fprintf(stderr, "--vcard-version is for .vcf files only\n");
            return kUsage;
        }
        if (v == QLatin1String("3") || v == QLatin1String("3.0"))
            version = VCardVersion::V3;
        else if (v != QLatin1String("4") && v != QLatin1String("4.0")) {
            std::fprintf(stderr, "--vcard-version takes 3 or 4, not \"%s\"\n", versionIn.toUtf8().constData());
            return kUsage;
        }
    }
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    const std::optional<int> folder = findFolder(*db, folderPath);
    if (!folder) {
        CTVError error(MSG_EXPORT_NO_FOLDER);
        return kFailed;
    }
    int count = 0;
    if (ExportContacts(*db, *folder, subfolders, QFileInfo(file).absoluteFilePath(), *format, version, &count) !=
        ContactExportOutcome::Exported)
        return kFailed;
    CTVInfo info(MSG_EXPORTED, TVB_OK, count);
    return kOk;
}

QString ContactCommandLineHelp()
{
    return QStringLiteral(
        "  --import FILE.vcf|FILE.csv --folder PATH [--duplicates ask|add|skip]\n"
        "                                import contacts: vCards 2.1, 3.0 and 4.0, or CSV (Google\n"
        "                                Contacts, Outlook, Thunderbird, this program's export; a\n"
        "                                file without a header row has the columns A-H of the export)\n"
        "  --export FILE.vcf|FILE.csv --folder PATH [--subfolders] [--vcard-version 3|4]\n"
        "                                export the folder's addresses as vCard 4.0 (3.0 on request)\n"
        "                                or as CSV (UTF-8, a header row, the export's eight columns)\n");
}
