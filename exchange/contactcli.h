#pragma once
// The command-line forms of the contact import and export, run on the
// database that start-up opened. Messages go through the message boxes
// (standard error in scripted runs). Exit codes: 0 success, 1 failure, 2
// wrong arguments.
//
//   tesmar --import FILE.vcf|FILE.csv --folder PATH [--duplicates ask|add|skip]
//   tesmar --export FILE.vcf|FILE.csv --folder PATH [--subfolders] [--vcard-version 3|4]
#include <QString>

// True for a file name the contact commands take (.vcf, .vcard, .csv).
bool IsContactFile(const QString &file);

// duplicatesMode: "ask" (question 59437, answered by TESMAR_AUTOANSWER),
// "add" or "skip"; empty means "ask". Prints the summary 59446.
int RunContactImportCommandLine(const QString &file, const QString &folderPath, const QString &duplicatesMode);
// vcardVersion: "3", "4" or empty (4); refused for CSV files.
int RunContactExportCommandLine(const QString &file, const QString &folderPath, bool subfolders,
                                const QString &vcardVersion);

// The lines `tesmar --help` shows for these forms.
QString ContactCommandLineHelp();
