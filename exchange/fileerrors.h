#pragma once
// Files opened at the operating system level, so that every failure keeps its
// errno, and the six causes the backup and restore messages are chosen by:
// disk full, hardware I/O error, bad path, access denied, file not found and
// any other error.
#include <QString>
#include <cstddef>
#include <cstdint>

enum class FileErrorCause { None, DiskFull, HardwareIo, BadPath, AccessDenied, NotFound, Other };

// The cause of an errno value. `opening` tells an open of an existing file
// (ENOENT then means "not found" when the folder exists, else "bad path")
// from the creation of a file (ENOENT always means a bad path).
FileErrorCause CauseFromErrno(int error, const QString &path, bool opening);

// True for the five causes after which a dialog stays open for another try.
inline bool IsKnownCause(FileErrorCause cause)
{
    return cause != FileErrorCause::None && cause != FileErrorCause::Other;
}

// The messages of the three columns of the cause table.
int BackupTargetMessage(FileErrorCause cause);  // 112, 113, 114, 119, 120, 115
int RestoreReadMessage(FileErrorCause cause);   // 125 ... 129
int RestoreTempMessage(FileErrorCause cause);   // 130 ... 135

class RawFile {
public:
    RawFile() = default;
    ~RawFile();
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    // Each returns false and keeps the cause on failure.
    bool OpenRead(const QString &path);
    bool Create(const QString &path); // create or truncate, for writing
    // Creates a new file with a unique name from `pathTemplate`, which ends
    // in "XXXXXX" (mkstemp); Path() then gives the name.
    bool CreateUnique(const QString &pathTemplate);
    // Gives the open file this permission mode and, where allowed, owner.
    bool SetMode(unsigned mode);
    void SetOwner(unsigned uid, unsigned gid);
    QString Path() const { return m_path; }
    // Opens for writing without truncating or creating; used to learn
    // whether an existing file may be replaced.
    bool OpenWriteExisting(const QString &path);
    // Reads up to `size` bytes (fewer only at the end of the file); -1 on error.
    long long Read(void *buffer, std::size_t size);
    // Reads at an offset without moving the position; -1 on error.
    long long ReadAt(void *buffer, std::size_t size, std::int64_t offset);
    bool WriteAll(const void *data, std::size_t size);
    bool Sync();
    bool Close();
    // Size of the open file, -1 on error.
    std::int64_t Size();
    bool IsOpen() const { return m_fd >= 0; }

    FileErrorCause Cause() const { return m_cause; }
    int Errno() const { return m_errno; }

private:
    bool fail(int error, bool opening);
    int m_fd = -1;
    QString m_path;
    FileErrorCause m_cause = FileErrorCause::None;
    int m_errno = 0;
};

// Renames `from` over `to` and flushes the folder entry; false with errno kept.
bool ReplaceFile(const QString &from, const QString &to, int *error);

// Identity of a file (device and inode), for telling whether two names are
// one file.
struct FileIdentity {
    unsigned long long device = 0, inode = 0;
    unsigned mode = 0, uid = 0, gid = 0;
    bool exists = false;
    bool operator==(const FileIdentity &o) const { return exists && o.exists && device == o.device && inode == o.inode; }
};
FileIdentity IdentifyFile(const QString &path);

// True when `path` names the database file `databasePath` or one of its
// journals (-journal, -wal, -shm), under whatever name or link.
bool IsDatabaseOrJournal(const QString &path, const QString &databasePath);

// The real path of a file: every symbolic link resolved. The path itself
// when it cannot be resolved.
QString RealFilePath(const QString &path);
