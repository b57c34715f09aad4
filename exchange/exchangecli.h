#pragma once
// The command-line forms of the four operations, run on the database that
// start-up opened (AppContext::Database()). Messages go through the message
// boxes, which write "KIND ID: TEXT" lines to standard error in scripted
// runs (TESMAR_AUTOANSWER set, or no widget application). Each returns the
// process exit code: 0 only on success, 1 on failure, 2 on wrong arguments.
//
//   tesmar --backup FILE
//   tesmar --restore FILE          question 124 is answered by TESMAR_AUTOANSWER;
//                                  anything but "yes" restores nothing
//   tesmar --export FILE --folder PATH [--subfolders]
//                                  .xls, .xlsx or .ods from FILE's extension
//   tesmar --import FILE --folder PATH [--duplicates ask|add|skip]
//                                  .xls, .xlsx or .ods (told by the file's bytes);
//                                  columns A-H, begin row 2, "Find automatically";
//                                  prints the summary 59438
//
// PATH names a folder from the root down, "/" between the names
// (addressbook/folderpath.h): "Addresses/Customers" or "/Customers"; "/" is the root.
#include <QString>

int RunBackupCommandLine(const QString &file);
int RunRestoreCommandLine(const QString &file);
int RunExportCommandLine(const QString &file, const QString &folderPath, bool subfolders);
// duplicatesMode: "ask" (question 59437, answered by TESMAR_AUTOANSWER), "add"
// (every duplicate added) or "skip" (none added); empty means "ask".
int RunImportCommandLine(const QString &file, const QString &folderPath, const QString &duplicatesMode);

// The lines `tesmar --help` shows for these options.
QString ExchangeCommandLineHelp();
