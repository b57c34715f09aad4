#include "databaselock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct State {
    int fd = -1;
    bool exclusive = false;
};

State &state()
{
    static State s;
    return s;
}

void closeFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// True when `fd` is still the file that `path` names.
bool sameFile(int fd, const QByteArray &path)
{
    struct stat a {}, b {};
    return ::fstat(fd, &a) == 0 && ::stat(path.constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens `path` and locks it with `operation` (LOCK_SH or LOCK_EX, non
// blocking); retries when the file was replaced between open and lock.
int lockFile(const QByteArray &path, int operation)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        int rc;
        do
            rc = ::flock(fd, operation | LOCK_NB);
        while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd);
            return -1;
        }
        if (sameFile(fd, path))
            return fd;
        ::close(fd);
    }
    return -1;
}

} // namespace

bool DatabaseUseLock::HoldShared(const QString &path, int waitMs)
{
    State &s = state();
    const QByteArray name = QFile::encodeName(path);
    if (s.fd >= 0 && !s.exclusive && sameFile(s.fd, name))
        return true;
    if (s.exclusive)
        return BackToShared(path);
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        const int fd = lockFile(name, LOCK_SH);
        if (fd >= 0) {
            closeFd(s.fd);
            s.fd = fd;
            s.exclusive = false;
            return true;
        }
        if (errno != EWOULDBLOCK || timer.elapsed() >= waitMs)
            return false;
        QThread::msleep(50);
    }
}

bool DatabaseUseLock::TryExclusive(const QString &path)
{
    State &s = state();
    const QByteArray name = QFile::encodeName(path);
    if (s.fd >= 0 && s.exclusive && sameFile(s.fd, name))
        return true;
    // Our own shared lock would stand in the way of an exclusive lock taken
    // through another descriptor: give it up, and take it back on failure.
    const bool hadShared = s.fd >= 0;
    closeFd(s.fd);
    const int fd = lockFile(name, LOCK_EX);
    if (fd >= 0) {
        s.fd = fd;
        s.exclusive = true;
        return true;
    }
    const int error = errno;
    if (hadShared)
        HoldShared(path, 0);
    errno = error;
    return false;
}

bool DatabaseUseLock::BackToShared(const QString &path)
{
    State &s = state();
    const QByteArray name = QFile::encodeName(path);
    if (s.fd >= 0 && s.exclusive && sameFile(s.fd, name)) {
        if (::flock(s.fd, LOCK_SH | LOCK_NB) == 0) {
            s.exclusive = false;
            return true;
        }
    }
    // The locked file was replaced: lock the new one, then let the old go.
    const int fd = lockFile(name, LOCK_SH);
    closeFd(s.fd);
    s.exclusive = false;
    s.fd = fd;
    return fd >= 0;
}

void DatabaseUseLock::Release()
{
    State &s = state();
    closeFd(s.fd);
    s.exclusive = false;
}

bool DatabaseUseLock::IsHeld()
{
    return state().fd >= 0;
}

bool DatabaseUseLock::IsExclusive()
{
    return state().fd >= 0 && state().exclusive;
}

QString DatabaseInUseText()
{
    return QStringLiteral("The database is in use by another program.\nClose the other program and try again.");
}

QString ServerInUseText(int others)
{
    if (others == 1)
        return QStringLiteral("The shared address book is open in another program (on this or another desk).\n"
                              "Close it there and try again.");
    return QStringLiteral("The shared address book is open in %1 other programs (on this or other desks).\n"
                          "Close them there and try again.")
        .arg(others);
}
