#include "exchangecli.h"

#include "appcontext.h"
#include "backupfile.h"
#include "database.h"
#include "databaselock.h"
#include "excelexport.h"
#include "excelimport.h"
#include "exchangehooks.h"
#include "folderpath.h"
#include "tvmessage.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

enum {
    MSG_DATABASE = 8,
    MSG_NO_BACKUP_FILE = 111,
    MSG_BACKUP_DONE = 118,
    MSG_RESTORE_DONE = 121,
    MSG_RESTORE_QUESTION = 124,
    MSG_NO_OUTPUT = 59411,
    MSG_NEED_XLS = 59412,
    MSG_EXPORT_NO_FOLDER = 59426,
    MSG_IMPORT_NO_FOLDER = 59427,
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

// During a command-line run a failed reopen ends the run with exit code 1
// through the caller instead of ending the process from inside.
class FatalGuard {
public:
    FatalGuard() { m_old = SetFatalExitHandler([this](int) { fatal = true; }); }
    ~FatalGuard() { SetFatalExitHandler(std::move(m_old)); }
    bool fatal = false;

private:
    std::function<void(int)> m_old;
};

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

int RunBackupCommandLine(const QString &fileIn)
{
    const QString file = fileIn.trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_BACKUP_FILE);
        return kUsage;
    }
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    FatalGuard guard;
    const OperationResult r = RunBackup(*db, QFileInfo(file).absoluteFilePath(), OperationObserver{});
    if (r != OperationResult::Completed && r != OperationResult::CompletedDatabaseInUse)
        return kFailed;
    // The backup is written; a database that another program took in the
    // meantime is said after the success, and does not make the run fail.
    CTVInfo info(MSG_BACKUP_DONE);
    if (r == OperationResult::CompletedDatabaseInUse)
        CTVWarning warning(DatabaseInUseText());
    return kOk;
}

int RunRestoreCommandLine(const QString &fileIn)
{
    const QString file = fileIn.trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_BACKUP_FILE);
        return kUsage;
    }
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    FatalGuard guard;
    OperationObserver observer;
    // Only an explicit Yes restores: without an answer the box would take
    // its first button, and that is Yes.
    observer.confirm = [](const QString &created) {
        const unsigned answer = CTVQuestion::Show(MSG_RESTORE_QUESTION, TVB_YESNO, created);
        const QString wanted = qEnvironmentVariable("TESMAR_AUTOANSWER").trimmed().toLower();
        return answer == TVB_YES && wanted == QLatin1String("yes");
    };
    const OperationResult r = RunRestore(*db, QFileInfo(file).absoluteFilePath(), observer);
    if (r != OperationResult::Completed)
        return kFailed;
    CTVInfo info(MSG_RESTORE_DONE);
    return kOk;
}

int RunExportCommandLine(const QString &fileIn, const QString &folderPath, bool subfolders)
{
    const QString file = fileIn.trimmed();
    if (file.isEmpty()) {
        CTVError error(MSG_NO_OUTPUT);
        return kUsage;
    }
    const QString ext = FileExtension(QFileInfo(file).fileName());
    SheetFormat format;
    if (ext == QLatin1String("xls"))
        format = SheetFormat::Xls;
    else if (ext == QLatin1String("xlsx"))
        format = SheetFormat::Xlsx;
    else if (ext == QLatin1String("ods"))
        format = SheetFormat::Ods;
    else {
        CTVError error(MSG_NEED_XLS);
        return kUsage;
    }
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    const std::optional<int> folder = findFolder(*db, folderPath);
    if (!folder) {
        CTVError error(MSG_EXPORT_NO_FOLDER);
        return kFailed;
    }
    if (!ExportAddresses(*db, *folder, subfolders, QFileInfo(file).absoluteFilePath(), format))
        return kFailed;
    CTVInfo info(MSG_BACKUP_DONE);
    return kOk;
}

int RunImportCommandLine(const QString &fileIn, const QString &folderPath, const QString &modeIn)
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
    CDatabase *db = openDatabase();
    if (!db)
        return kFailed;
    ImportSettings settings;
    settings.fileName = fileIn;
    settings.folder = findFolder(*db, folderPath);
    ImportCheck check = CheckImportSettings(settings);
    if (check.message) {
        CTVError error(check.message == 59427 ? int(MSG_IMPORT_NO_FOLDER) : check.message);
        return check.focus == ImportField::Folder ? kFailed : kUsage;
    }
    settings.fileName = QFileInfo(settings.fileName).absoluteFilePath();
    const ImportResult result = RunImport(*db, settings, check, ask);
    if (result.outcome != ImportOutcome::Imported)
        return kFailed;
    ShowImportSummary(result);
    return kOk;
}

QString ExchangeCommandLineHelp()
{
    return QStringLiteral(
        "  --backup FILE                 back the database up into FILE (.env)\n"
        "  --restore FILE                restore the database from the backup FILE; question 124 is\n"
        "                                answered by TESMAR_AUTOANSWER=yes, anything else restores nothing\n"
        "  --export FILE --folder PATH [--subfolders]\n"
        "                                export the addresses of the folder PATH (and its subfolders)\n"
        "                                to FILE, .xls, .xlsx or .ods by its extension\n"
        "  --import FILE --folder PATH [--duplicates ask|add|skip]\n"
        "                                import the .xls, .xlsx or .ods FILE (its first sheet)\n"
        "                                into the folder PATH: columns A-H,\n"
        "                                data from row 2 to the first empty name; addresses already\n"
        "                                in the folder are asked about (TESMAR_AUTOANSWER answers),\n"
        "                                all added or all skipped\n"
        "  PATH is the folder's path from the root, \"/\" between the names: \"Addresses/Family\" or\n"
        "  \"/Family\"; \"/\" alone is the root. Messages go to standard error; the exit code is 0 only\n"
        "  on success.\n");
}
