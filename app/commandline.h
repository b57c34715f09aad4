#pragma once
// Batch work without a window: printing, backup, restore, export and import
// on the database that start-up opens. Messages go to standard error as
// "KIND ID: TEXT" lines; questions take the answer named by
// TESMAR_AUTOANSWER, and without one the answer No.
#include <QStringList>

// True when the arguments ask for a command-line operation.
bool IsCommandLineOperation(const QStringList &arguments);
// Runs it; the process exit code (0 only on success, 2 for wrong arguments).
int RunCommandLineOperation(const QStringList &arguments);
// Installs the message hook of command-line runs.
void InstallCommandLineMessages();
// The text of `tesmar --help`.
QString CommandLineHelp();
