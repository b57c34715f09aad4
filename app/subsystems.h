#pragma once
// Hooks the subsystems built into this program into the main window: their
// command handlers, the reload of the panes after a restore or an import,
// and help from the games. Kept in its own file so that the subsystems'
// headers never meet the command table's names.
#include <QString>
#include <functional>

class QWidget;

void RegisterSubsystemCommands(QWidget *frame, const std::function<bool()> &reloadPanes,
                               const std::function<void(int)> &showHelp);
void UnregisterSubsystemHooks();

// Registers the printing parts' commands, print-list runners and
// command-line printing (also used by batch runs without a window).
void RegisterPrintingOperations();

// The games (Help > Games); false when this build has none.
bool RunGame(int commandId, QWidget *parent);
bool HaveGames();

// Marks the database file as used by this instance, before it is opened, so
// that a restore in another instance refuses to replace it; false after a
// message when a restore is replacing the file right now.
bool HoldDatabaseInUse(const QString &path);
