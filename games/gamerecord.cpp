#include "gamerecord.h"

#include <QFile>
#include <QSaveFile>

QString GameFilePath(const QString &programDir, const char *fileName)
{
    const QString name = QString::fromLatin1(fileName);
    if (programDir.isEmpty())
        return name;
    if (programDir.endsWith(QLatin1Char('/')))
        return programDir + name;
    return programDir + QLatin1Char('/') + name;
}

qint32 ReadGameRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.read(4);
    if (bytes.size() < 4)
        return 0;
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<unsigned char>(bytes[i])); };
    const quint32 value = b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
    return static_cast<qint32>(value);
}

bool WriteGameRecord(const QString &path, qint32 value)
{
    const auto v = static_cast<quint32>(value);
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    // Written beside the old file and renamed over it, so an interrupted
    // write never leaves a short record behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes, 4) != 4) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

CGameRecord::CGameRecord(QString path) : m_path(std::move(path)), m_best(ReadGameRecord(m_path)) {}

bool CGameRecord::Offer(qint32 score)
{
    if (score <= m_best)
        return false;
    m_best = score;
    WriteGameRecord(m_path, score); // a failed write keeps the record for this run only
    return true;
}
