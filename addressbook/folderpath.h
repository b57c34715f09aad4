#pragma once
// Folders named by their path, for the command line.
//
// A path lists the folder names from the root down, separated by "/". It may
// start with the root folder's own name ("Addresses/Customers/Club 3") or
// with "/" standing for the root ("/Customers/Club 3"); "" and "/" name the
// root itself. A "/" inside a folder name is written "\/", a backslash "\\";
// a trailing "/" is ignored. Names are compared as the database compares
// texts (letter case ignored); an exact match is preferred.
#include <QString>
#include <QStringList>
#include <optional>

class CDatabase;

// How a path that starts neither with "/" nor with the root's name is taken.
enum class FolderPathStart {
    RootRequired,   // it names no folder
    BelowRoot,      // its first name is a folder right below the root
};

// The names of a path; false when it has an unfinished escape.
bool SplitFolderPath(const QString &path, QStringList &names, bool &fromRoot);

// The folder at `path`, or none. Throws DbException on database errors.
std::optional<int> FindFolderByPath(CDatabase &db, const QString &path,
                                    FolderPathStart start = FolderPathStart::RootRequired);

// The path of a folder, starting with the root's name. Throws DbException.
QString FolderPath(CDatabase &db, int folder);
