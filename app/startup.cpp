#include "startup.h"

#include <QFile>

QString ReadConfiguredDatabasePath(const QString &iniPath)
{
    QFile file(iniPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    const QString line = QString::fromUtf8(file.readLine(4096)).remove(u'\n').remove(u'\r');
    const qsizetype at = line.indexOf(QLatin1String("dbfile="));
    if (at < 0)
        return QString();
    return line.mid(at + 7).trimmed();
}

QString PrinterNameFromProfileEntry(const QString &entry)
{
    const qsizetype comma = entry.indexOf(u',');
    if (comma > 0)
        return entry.left(comma);
    return entry;
}
