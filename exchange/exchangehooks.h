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

// Installs the reload of the panes (an empty function removes it). The
// handler returns false when a pane could not be filled again.
void SetAddressBookChangedHandler(std::function<bool()> handler);
// Calls the installed handler, if any. A failed reload shows message 1 and
// ends the program (the fatal-exit handler); false then.
bool NotifyAddressBookChanged();

// Installs what ends the program after message 1. The default leaves the
// event loop and ends the process with exit code 1.
// Returns the handler it replaces.
std::function<void(int exitCode)> SetFatalExitHandler(std::function<void(int exitCode)> handler);

enum class ReopenOutcome { Opened, InUse, Failed };

// Opens the database file again, exclusively, and takes this program's use
// lock on it (databaselock.h); shows nothing. InUse when another program
// holds the file locked.
ReopenOutcome ReopenDatabase(CDatabase &db, const QString &path);

// Ends the program after a failed reopen: the in-use message or message 1,
// then the fatal-exit handler.
void EndAfterFailedReopen(ReopenOutcome outcome);

// ReopenDatabase, and EndAfterFailedReopen when it fails; false then.
bool ReopenDatabaseOrEnd(CDatabase &db, const QString &path);

enum { MSG_FATAL_REOPEN = 1 };
