#pragma once
// Best-score files of the games (Snakerec.dat, Blocksrec.dat): exactly four
// bytes, a 32-bit integer, little-endian. A missing or short file reads as 0;
// errors while reading or writing are ignored (the game goes on without its
// record).

#include <QString>
#include <QtGlobal>

inline constexpr const char *kSnakeRecordFile = "Snakerec.dat";
inline constexpr const char *kBlocksRecordFile = "Blocksrec.dat";
inline constexpr const char *kEatSoundFile = "eatitem.dat";

// programDir + "/" + fileName (the program directory is the working
// directory at start-up; an empty directory means the current one).
QString GameFilePath(const QString &programDir, const char *fileName);

// The value kept in `path`, or 0 when the file is missing, short or unreadable.
qint32 ReadGameRecord(const QString &path);

// Replaces the file with the four bytes of `value`. Returns false on an error,
// which callers ignore.
bool WriteGameRecord(const QString &path, qint32 value);

// The best score of one game, read once and kept in memory.
class CGameRecord {
public:
    explicit CGameRecord(QString path);

    qint32 Best() const { return m_best; }
    const QString &Path() const { return m_path; }
    // When `score` beats the best score: keeps it, writes the file and
    // returns true. Otherwise nothing happens.
    bool Offer(qint32 score);

private:
    QString m_path;
    qint32 m_best = 0;
};
