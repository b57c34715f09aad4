#pragma once
// The four commands of Settings > Export / Import: 32814 Backup, 32815
// Restore, 32861 Export to Excel, 32862 Import from Excel, 32865 Import
// contacts, 32866 Export contacts. Available while
// the database is open.
enum {
    ID_EXCHANGE_BACKUP = 32814,
    ID_EXCHANGE_RESTORE = 32815,
    ID_EXCHANGE_EXPORT_EXCEL = 32861,
    ID_EXCHANGE_IMPORT_EXCEL = 32862,
    ID_EXCHANGE_IMPORT_CONTACTS = 32865, // vCard or CSV
    ID_EXCHANGE_EXPORT_CONTACTS = 32866,
};

// Registers the handlers with the command registry (addressbook/commands.h).
void RegisterExchangeCommands();
