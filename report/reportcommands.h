#pragma once
// The Report command of the Address menu (32785; the main window maps its
// toolbar twin 32844 onto it): "Creating a printout", then "Printout" with
// the addresses found. Available while the database is open.
class QWidget;

enum { ID_REPORT_COMMAND = 32785 };

// Registers the command's handler with the command registry.
void RegisterReportCommands();

// The command itself, on the application's database.
void RunReportCommand(QWidget *parent);
