#pragma once
// Backup and restore of the database file, without any window.
//
// A backup file is the database file's bytes between a 32-byte header and a
// 4-byte trailer, every integer 32-bit unsigned little-endian:
//   0 L (length of the database file), 4 year, 8 month, 12 day, 16 hour,
//   20 minute, 24 second (local time when the backup started),
//   28 header mark 123456, 32 the L bytes, 32+L trailer mark 654321.
//
// Both operations close the application's database first and open it again,
// exclusively, at the end; a failed reopen shows message 1 and ends the
// program (exchangehooks.h). Every message of the operations is shown here;
// the caller only learns what to do with its dialog.
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class CDatabase;

struct BackupHeader {
    static constexpr std::uint32_t kHeaderMark = 123456;  // 0x0001E240
    static constexpr std::uint32_t kTrailerMark = 654321; // 0x0009FBF1
    static constexpr int kHeaderSize = 32;
    static constexpr int kTrailerSize = 4;

    std::uint32_t length = 0;
    std::uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::uint32_t mark = kHeaderMark;

    static BackupHeader ForNow(std::uint32_t length, const QDateTime &now = QDateTime::currentDateTime());
    std::array<unsigned char, kHeaderSize> Encode() const;
    static BackupHeader Decode(const unsigned char *bytes);
    // Exactly the restore's test: L not 0 and the header mark present.
    bool IsValid() const { return length != 0 && mark == kHeaderMark; }
    // "07.12.2026 - 04:16:30": day, month, year, hour, minute, second.
    QString CreationText() const;
};

// Chunk size of the copies.
constexpr std::size_t kBackupChunk = 16000;

// What a running operation asks of its window.
struct OperationObserver {
    std::function<void(int percent)> progress; // 0..100
    std::function<void()> pump;                // handle pending window events
    std::function<bool()> aborted;             // the abort flag
    std::function<void()> clearAbort;
    // Question 124 with the creation text; true to go on. Empty: the
    // question box itself decides (Yes goes on).
    std::function<bool(const QString &created)> confirm;
};

enum class OperationResult {
    Completed, // the dialog closes with OK and shows 118 (backup) or 121 (restore)
    // The backup is complete (118), but another program took the database
    // while it was closed: EndAfterFailedReopen(ReopenOutcome::InUse) follows.
    CompletedDatabaseInUse,
    StayOpen,  // a message was shown; the dialog stays open for another try
    Close,     // the dialog closes as cancelled
    Fatal,     // the database could not be reopened; the program ends
};

// Backs the database up into `backupFile`. The file is written beside its
// final name and renamed over it only when complete, so an abort or a full
// disk never destroys an earlier backup of the same name. A target that is
// the database itself or one of its journals is refused with 114. The
// backup gets the database file's permission mode.
OperationResult RunBackup(CDatabase &db, const QString &backupFile, const OperationObserver &observer);

// Restores the database from `backupFile`. Refused at once when another
// program has the database open (databaselock.h) or when the backup is the
// database itself (126). The backup is checked in full (header, length,
// trailer, that it holds a database) before question 124 and copied into a
// new temporary file beside the database (in `tempFolder` when given);
// the copy must pass SQLite's integrity check; the real database file
// (links resolved) is then replaced atomically, keeping its mode and owner,
// and the panes are reloaded.
OperationResult RunRestore(CDatabase &db, const QString &backupFile, const OperationObserver &observer,
                           const QString &tempFolder = QString());

// True when the file at `path` opens as an address-book database that
// passes SQLite's integrity check (tables, indexes and their agreement).
bool IsUsableDatabaseFile(const QString &path);

// The default backup file and the folder that holds it.
QString ExportDirectory();
QString DefaultBackupFile();
