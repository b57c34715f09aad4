#pragma once
// Creating a new database: the twelve tables (columns in binding order), the
// indexes that keep child look-ups from scanning whole tables, the trigger
// that removes the phones and e-mails of a deleted address, and the content a
// new user needs to print at once.
#include <QString>

class CDatabase;

// Creates the tables, indexes and trigger in an empty database.
void CreateSchema(CDatabase &db);

// Brings a file written before label sheets had a paper size up to date: the
// LABSIZE columns PAPERW and PAPERH are added in one transaction, filled with
// A4 (210 x 297 mm) for a sheet whose labels fit on A4 either way round, and
// otherwise with the label grid plus right and bottom margins equal to the
// left and top ones, narrower side first. A file that has them is left alone.
// Throws DbException (the file is then unchanged).
void AddLabelPaperColumns(CDatabase &db);

// Creates the file `path` with the schema, the IDS row, the root folder, the
// usual envelope sizes and label sheets, a "Standard" envelope style and label
// style and a default calibration. Refuses an existing file unless `force`.
// Throws DbException (or std::runtime_error for the file checks).
void CreateNewDatabase(const QString &path, bool force);

// Name of the root folder of a new database.
inline constexpr const char *kRootFolderName = "Addresses";
