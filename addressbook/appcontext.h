#pragma once
// Process-wide state that every subsystem reaches: the open database, the
// program directory, the temporary spreadsheet path and the current printer.
// The application object fills it at start-up; tests fill it themselves.
#include <QString>

class CDatabase;

namespace AppContext {
CDatabase *Database();
void SetDatabase(CDatabase *db);

// The working directory at start-up, without a trailing "/".
QString ProgramDirectory();
void SetProgramDirectory(const QString &dir);
// A file name in the program directory.
QString ProgramFile(const QString &name);

QString TempSpreadsheetPath();

QString CurrentPrinter();
void SetCurrentPrinter(const QString &name);
} // namespace AppContext
