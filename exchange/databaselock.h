#pragma once
// Which running programs use a database file. Every instance that has the
// database open holds a shared lock on the file (flock, apart from the
// engine's own byte-range locks, so the two never meet); a restore turns its
// own lock into an exclusive one before it touches anything, so it can
// refuse while another instance has the file open, and no instance can
// start on a file that is being replaced. The lock follows the file the
// path names at the moment it is taken: a lock whose file was renamed away
// is taken again on the new one.
#include <QString>

class DatabaseUseLock {
public:
    // Takes (or moves to `path`) this process's shared lock; waits up to
    // `waitMs` while a restore holds the file. False when the file cannot
    // be opened or stays locked.
    static bool HoldShared(const QString &path, int waitMs = 5000);
    // Turns this process's lock on `path` into an exclusive one, without
    // waiting; false, with the shared lock kept, when another process holds
    // the file (or it cannot be opened).
    static bool TryExclusive(const QString &path);
    // Back from exclusive to shared, on the file `path` names now (after a
    // restore: the new file).
    static bool BackToShared(const QString &path);
    static void Release();
    static bool IsHeld();
    static bool IsExclusive();
};

// The message shown when another program has the database open.
QString DatabaseInUseText();

// The message shown when a restore into a server database is refused
// because `others` other programs have it open.
QString ServerInUseText(int others);
