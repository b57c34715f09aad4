#pragma once
// Start-up steps that need no window: reading envelope.ini, the printer name
// from a profile entry, the database path.
#include <QString>

// The database path named on the first line of `iniPath` ("dbfile=" anywhere
// in the line, the rest trimmed); empty when the file is missing, unreadable
// or names nothing.
QString ReadConfiguredDatabasePath(const QString &iniPath);

// A default-printer entry "name,driver,port" cut before its first comma,
// unless the comma is the first character.
QString PrinterNameFromProfileEntry(const QString &entry);

// The name of the built-in printer that writes PDF files.
inline constexpr const char *kPdfPrinterName = "PDF file";
