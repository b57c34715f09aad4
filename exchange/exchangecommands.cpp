#include "exchangecommands.h"

#include "appcontext.h"
#include "backupdialog.h"
#include "commands.h"
#include "contactdialogs.h"
#include "database.h"
#include "exportdialog.h"
#include "importdialog.h"

void RegisterExchangeCommands()
{
    auto databaseOpen = [] {
        CDatabase *db = AppContext::Database();
        return db && db->IsOpen();
    };
    RegisterCommand(ID_EXCHANGE_BACKUP, {[](QWidget *parent) { RunBackupDialog(parent); }, databaseOpen});
    RegisterCommand(ID_EXCHANGE_RESTORE, {[](QWidget *parent) { RunRestoreDialog(parent); }, databaseOpen});
    RegisterCommand(ID_EXCHANGE_EXPORT_EXCEL, {[](QWidget *parent) { RunExportDialog(parent); }, databaseOpen});
    RegisterCommand(ID_EXCHANGE_IMPORT_EXCEL, {[](QWidget *parent) { RunImportDialog(parent); }, databaseOpen});
    RegisterCommand(ID_EXCHANGE_IMPORT_CONTACTS,
                    {[](QWidget *parent) { RunContactImportDialog(parent); }, databaseOpen});
    RegisterCommand(ID_EXCHANGE_EXPORT_CONTACTS,
                    {[](QWidget *parent) { RunContactExportDialog(parent); }, databaseOpen});
}
