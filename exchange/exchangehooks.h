#pragma once
// The two ways this subsystem reaches the rest of the program:
// - after a restore or an import the address panes must be reloaded; the
//   main window installs the handler that does it;
// - a database that cannot be opened again after a backup or a restore ends
//   the program with message 1; the end itself goes through a handler so
//   that tests and the command line can see it.
#include <QString>
#include <functional>

class CDatabase;

// Installs the reload of the panes (an empty function removes it).
void SetAddressBookChangedHandler(std::function<void()> handler);
// Calls the installed handler, if any.
void NotifyAddressBookChanged();

// Installs what ends the program after message 1. The default leaves the
// event loop and ends the process with exit code 1.
// Returns the handler it replaces.
std::function<void(int exitCode)> SetFatalExitHandler(std::function<void(int exitCode)> handler);

// Opens the database file again, exclusively. On failure shows message 1,
// calls the fatal-exit handler and returns false.
bool ReopenDatabaseOrEnd(CDatabase &db, const QString &path);

enum { MSG_FATAL_REOPEN = 1 };
