#include "startup.h"

#include "schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>

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

ProgramDirectoryChoice ChooseProgramDirectory(const QString &workingDir, bool installed, const QString &dataHome)
{
    const QDir working(workingDir);
    if (!installed || dataHome.isEmpty() || working.exists(QStringLiteral("envelope.ini")) ||
        working.exists(QStringLiteral("envdb.mdb")))
        return {workingDir, false};
    return {QDir(dataHome).filePath(QStringLiteral("Corvelle")), true};
}

QString UserDataHome()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        return QString();
    return QDir::cleanPath(home + QStringLiteral("/.local/share"));
}

bool RunningInstalled()
{
#ifdef CORVELLE_BUILD_BIN_DIR
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    const QString build = QFileInfo(QStringLiteral(CORVELLE_BUILD_BIN_DIR)).canonicalFilePath();
    return build.isEmpty() || here != build;
#else
    return true;
#endif
}

QString InstalledSoundFile()
{
#ifdef CORVELLE_DATA_FROM_BIN
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/" CORVELLE_DATA_FROM_BIN "/eatitem.wav");
    if (QFileInfo(path).isFile())
        return QFileInfo(path).canonicalFilePath();
#endif
    return QString();
}

bool PrepareUserDataFolder(const QString &dir, const QString &soundFile, QString *error)
{
    QDir folder(dir);
    if (!folder.mkpath(QStringLiteral("."))) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(dir);
        return false;
    }
    if (folder.exists(QStringLiteral("envelope.ini")) || folder.exists(QStringLiteral("envdb.mdb")))
        return false;
    try {
        CreateNewDatabase(folder.filePath(QStringLiteral("envdb.mdb")), false);
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromLocal8Bit(e.what());
        return false;
    }
    const QString sound = folder.filePath(QStringLiteral("eatitem.dat"));
    if (!soundFile.isEmpty() && QFileInfo(soundFile).isFile() && !QFileInfo::exists(sound))
        QFile::copy(soundFile, sound); // without it the game is silent, nothing worse
    return true;
}
