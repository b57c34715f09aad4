#pragma once
// Printing from the command line, for batch work without a window:
//
//   tesmar --print KIND --folder PATH [--subfolders] --size NAME --style NAME
//          [--copies N] [--collate] [--first-label N] [--pdf FILE | --printer NAME]
//
// RunPrintCommandLine checks what every kind shares (the kind, the database,
// the folder, the size and style names being given, the copies, the output)
// and collects the folder's addresses; then it hands them to the runner that
// the kind registered ("envelopes", "labels"). Runners look up their own
// size and style by name, find the calibration and print. Messages go to
// standard error; the exit code is 0 on success, 1 on an error of the data
// (unknown folder, size, style, printer, nothing to print, a failed job) and
// 2 on a wrong command line.
#include "addressentry.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CDatabase;

struct PrintCommandLine {
    QString kind;          // "envelopes", "labels"
    QString folderPath;    // --folder
    bool hasFolder = false;
    bool subfolders = false;
    QString sizeName;      // --size
    QString styleName;     // --style
    QString copies = QStringLiteral("1");
    bool collate = false;
    QString firstLabel;    // --first-label (labels only)
    QString pdfFile;       // --pdf
    QString printerName;   // --printer
};

// A kind's printing: gets the checked options and the addresses (never
// empty) and returns the exit code.
using PrintCommandLineRunner = std::function<int(const PrintCommandLine &, const std::vector<AddressEntry> &)>;
void RegisterPrintCommandLineKind(const QString &kind, PrintCommandLineRunner runner);
// The registered kinds in name order.
QStringList PrintCommandLineKinds();

int RunPrintCommandLine(const PrintCommandLine &options);
QString PrintCommandLineHelp();

// The copies option as a number: a whole number from 1 to 1000; nullopt
// otherwise (RunPrintCommandLine refuses such a value before any runner).
std::optional<int> PrintCommandLineCopies(const PrintCommandLine &options);

// Writes "tesmar: TEXT" to standard error and returns `code`.
int PrintCommandLineError(const QString &text, int code = 1);

// The folder a path names, as FindFolderByPath (folderpath.h) finds it: the
// folder names from the root down with "/" between them; "" and "/" name the
// root, a path may start with "/", with the root's own name or right below
// the root (FolderPathStart::BelowRoot); "\/" is a "/" inside a name and
// "\\" a backslash. Names are compared as the database compares texts
// (letter case ignored; an exact match is preferred). Throws DbException.
std::optional<int> FindPrintFolder(CDatabase &db, const QString &path);

// The addresses of a folder as "Add entire folder" gathers them into an
// empty print list: every address is inserted at the top of the list in
// turn, after those of the subfolders (when `subfolders` is set; each
// subfolder handled the same way, before the next), each folder's addresses
// read with "ORDER BY NAME DESC, STREET DESC, TOWN DESC, ZIP DESC" and the
// subfolders in descending name order, so that the list reads: the folder's
// own addresses ascending, then each subfolder's, depth first, by name. An
// address already in the list is skipped. Folder ids of the entries are -1,
// notes empty. Throws DbException.
std::vector<AddressEntry> CollectFolderAddresses(CDatabase &db, int folder, bool subfolders);
