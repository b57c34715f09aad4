#include "fileerrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileErrorCause CauseFromErrno(int error, const QString &path, bool opening)
{
    switch (error) {
    case 0:
        return FileErrorCause::None;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileErrorCause::DiskFull;
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case EREMOTEIO:
        return FileErrorCause::HardwareIo;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::BadPath;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY:
    case EISDIR:
    case EAGAIN:
        return FileErrorCause::AccessDenied;
    case ENOENT: {
        if (!opening)
            return FileErrorCause::BadPath;
        const QFileInfo info(path);
        return info.absoluteDir().exists() ? FileErrorCause::NotFound : FileErrorCause::BadPath;
    }
    default:
        return FileErrorCause::Other;
    }
}

namespace {
int pick(FileErrorCause cause, const int (&ids)[6])
{
    switch (cause) {
    case FileErrorCause::DiskFull: return ids[0];
    case FileErrorCause::HardwareIo: return ids[1];
    case FileErrorCause::BadPath: return ids[2];
    case FileErrorCause::AccessDenied: return ids[3];
    case FileErrorCause::NotFound: return ids[4];
    default: return ids[5];
    }
}
} // namespace

int BackupTargetMessage(FileErrorCause cause)
{
    return pick(cause, {112, 113, 114, 119, 120, 115});
}

int RestoreReadMessage(FileErrorCause cause)
{
    // Nothing is written to the backup file, so "disk full" cannot arise
    // there; should it, it is an unspecified error.
    return pick(cause, {129, 125, 126, 127, 128, 129});
}

int RestoreTempMessage(FileErrorCause cause)
{
    return pick(cause, {130, 131, 132, 133, 134, 135});
}

RawFile::~RawFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RawFile::fail(int error, bool opening)
{
    m_errno = error;
    m_cause = CauseFromErrno(error, m_path, opening);
    if (m_cause == FileErrorCause::None)
        m_cause = FileErrorCause::Other;
    return false;
}

bool RawFile::OpenRead(const QString &path)
{
    Close();
    m_path = path;
    if (path.isEmpty())
        return fail(ENOENT, false);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno, true);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : (errno ? errno : EINVAL);
        ::close(m_fd);
        m_fd = -1;
        return fail(error, true);
    }
    return true;
}

bool RawFile::Create(const QString &path)
{
    Close();
    m_path = path;
    if (path.isEmpty())
        return fail(ENOENT, false);
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return fail(errno, false);
    return true;
}

bool RawFile::CreateUnique(const QString &pathTemplate)
{
    Close();
    m_path = pathTemplate;
    QByteArray name = QFile::encodeName(pathTemplate);
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno, false);
    m_path = QFile::decodeName(name);
    return true;
}

bool RawFile::SetMode(unsigned mode)
{
    if (::fchmod(m_fd, mode_t(mode & 07777)) != 0)
        return fail(errno, false);
    return true;
}

void RawFile::SetOwner(unsigned uid, unsigned gid)
{
    // Only the owner's own group or a privileged user may change it; the
    // file then simply stays the restoring user's.
    if (::fchown(m_fd, uid_t(uid), gid_t(gid)) != 0)
        (void)::fchown(m_fd, uid_t(-1), gid_t(gid));
}

bool RawFile::OpenWriteExisting(const QString &path)
{
    Close();
    m_path = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno, true);
    return true;
}

long long RawFile::Read(void *buffer, std::size_t size)
{
    std::size_t done = 0;
    auto *p = static_cast<char *>(buffer);
    while (done < size) {
        const ssize_t n = ::read(m_fd, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, false);
            return -1;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return static_cast<long long>(done);
}

long long RawFile::ReadAt(void *buffer, std::size_t size, std::int64_t offset)
{
    std::size_t done = 0;
    auto *p = static_cast<char *>(buffer);
    while (done < size) {
        const ssize_t n = ::pread(m_fd, p + done, size - done, off_t(offset + std::int64_t(done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, false);
            return -1;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return static_cast<long long>(done);
}

bool RawFile::WriteAll(const void *data, std::size_t size)
{
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno, false);
        }
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

bool RawFile::Sync()
{
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno, false);
    return true;
}

bool RawFile::Close()
{
    if (m_fd < 0)
        return true;
    const int rc = ::close(m_fd);
    m_fd = -1;
    // close reports delayed write errors (a full disk on network file systems).
    if (rc != 0 && errno != EINTR)
        return fail(errno, false);
    return true;
}

std::int64_t RawFile::Size()
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        fail(errno, false);
        return -1;
    }
    return st.st_size;
}

bool ReplaceFile(const QString &from, const QString &to, int *error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        if (error)
            *error = errno;
        return false;
    }
    const QByteArray dir = QFile::encodeName(QFileInfo(to).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

FileIdentity IdentifyFile(const QString &path)
{
    FileIdentity id;
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.mode = st.st_mode;
    id.uid = st.st_uid;
    id.gid = st.st_gid;
    return id;
}

bool IsDatabaseOrJournal(const QString &path, const QString &databasePath)
{
    const FileIdentity target = IdentifyFile(path);
    if (!target.exists)
        return false;
    const QString real = RealFilePath(databasePath);
    for (const QString &base : {databasePath, real})
        for (const char *suffix : {"", "-journal", "-wal", "-shm"})
            if (target == IdentifyFile(base + QLatin1String(suffix)))
                return true;
    return false;
}

QString RealFilePath(const QString &path)
{
    char *resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!resolved)
        return path;
    const QString out = QFile::decodeName(resolved);
    std::free(resolved);
    return out;
}
