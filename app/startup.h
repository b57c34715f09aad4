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

// Where the program keeps its files. The working directory is the program
// directory when it holds envelope.ini or envdb.mdb, and always for a program
// run from its build tree (`make run`). An installed program started
// elsewhere (from the desktop menu, in the home folder) uses its per-user data
// folder `dataHome`/Corvelle instead.
struct ProgramDirectoryChoice {
    QString directory;
    bool userDataFolder = false; // true: `dataHome`/Corvelle
};
ProgramDirectoryChoice ChooseProgramDirectory(const QString &workingDir, bool installed, const QString &dataHome);

// The per-user data folder of the XDG base directories: $XDG_DATA_HOME when it
// is an absolute path, else $HOME/.local/share.
QString UserDataHome();

// True unless this program runs from the build tree it was built in.
bool RunningInstalled();

// Makes the per-user data folder ready: creates it, and when it holds neither
// envelope.ini nor envdb.mdb creates envdb.mdb there as tesmar-newdb does and
// copies the game sound `soundFile` (when given and present) as eatitem.dat.
// True when a new database was created; `error` receives the reason when the
// folder or the database could not be made (opening then fails as usual).
bool PrepareUserDataFolder(const QString &dir, const QString &soundFile, QString *error);

// The game sound shipped with an installed program, or empty.
QString InstalledSoundFile();
