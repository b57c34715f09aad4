#include "tvimagefiles.h"
#include "tvformat.h"
#include "tvstrings.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace {

struct FormatItem {
    TVImageFormat format;
    const char *text;
    QStringList suffixes;
};

const std::vector<FormatItem> &formatItems()
{
    static const std::vector<FormatItem> items = {
        {TVImageFormat::Bmp, "*.BMP", {"BMP"}},
        {TVImageFormat::Gif, "*.GIF", {"GIF"}},
        {TVImageFormat::Ico, "*.ICO", {"ICO"}},
        {TVImageFormat::Jpeg, "*.JPG, *.JPEG", {"JPG", "JPEG"}},
        {TVImageFormat::Pcx, "*.PCX", {"PCX"}},
        {TVImageFormat::Png, "*.PNG", {"PNG"}},
        {TVImageFormat::Tga, "*.TGA", {"TGA"}},
        // TIFF files are as often named .tiff as .tif; both are read.
        {TVImageFormat::Tiff, "*.TIF, *.TIFF", {"TIF", "TIFF"}},
    };
    return items;
}

bool startsWithFolder(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// True when the kernel marks the block device (or the disc it is a partition
// of) removable.
bool deviceRemovable(const QByteArray &device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString node = QFileInfo(QString::fromLocal8Bit(device)).canonicalFilePath();
    if (node.isEmpty())
        return false;
    const QString sys =
        QFileInfo(QStringLiteral("/sys/class/block/") + QFileInfo(node).fileName()).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    for (const QString &dir : {sys, QFileInfo(sys).path()}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

} // namespace

std::vector<TVImageFilter> TVImageFiltersFor(const std::function<bool(TVImageFormat)> &canDecode)
{
    std::vector<TVImageFilter> filters;
    TVImageFilter all{TVLibraryString(11), {}, false};
    filters.push_back(all);
    for (const FormatItem &item : formatItems()) {
        const bool readable = canDecode && canDecode(item.format);
        TVImageFilter filter{QString::fromLatin1(item.text), item.suffixes, false};
        if (readable)
            filters.front().suffixes += item.suffixes;
        else
            filter.text += QStringLiteral(" (no decoder installed)");
        filters.push_back(filter);
    }
    filters.push_back(TVImageFilter{TVLibraryString(12), {}, true});
    return filters;
}

std::vector<TVImageFilter> TVImageFilters()
{
    return TVImageFiltersFor([](TVImageFormat f) { return CTVImage::CanDecode(f); });
}

QString TVFileSuffixUpper(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    return fileName.mid(dot + 1).toUpper();
}

bool TVFilterAdmits(const TVImageFilter &filter, const QString &fileName)
{
    if (filter.anyFile)
        return true;
    if (!fileName.contains(QLatin1Char('.')))
        return false;
    return filter.suffixes.contains(TVFileSuffixUpper(fileName));
}

std::optional<std::vector<TVFileEntry>> TVListImageFiles(const QString &folder, const TVImageFilter &filter)
{
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return std::nullopt;
    std::vector<TVFileEntry> files;
    const QFileInfoList infos = dir.entryInfoList(QDir::Files, QDir::NoSort);
    for (const QFileInfo &info : infos)
        if (TVFilterAdmits(filter, info.fileName()))
            files.push_back(TVFileEntry{info.fileName(), info.size()});
    return files;
}

qint64 TVSizeInKilobytes(qint64 bytes)
{
    if (bytes <= 0)
        return 0;
    return (bytes + 1023) / 1024;
}

std::optional<QStringList> TVSubfolders(const QString &folder)
{
    QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return std::nullopt;
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
}

bool TVHasSubfolder(const QString &folder)
{
    QDir dir(folder);
    if (!dir.isReadable())
        return false;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    return it.hasNext();
}

TVVolumeKind TVClassifyVolume(const QByteArray &fileSystemType, const QByteArray &device, bool removable)
{
    static const QByteArray kNetwork[] = {"nfs",  "nfs4",      "cifs", "smb3",      "smbfs",      "ncpfs",
                                          "afs",  "coda",      "9p",   "ceph",      "glusterfs",  "davfs",
                                          "sshfs", "fuse.sshfs", "fuse.rclone", "fuse.davfs2", "fuse.glusterfs",
                                          "fuse.s3fs", "fuse.gvfsd-fuse"};
    const QByteArray type = fileSystemType.toLower();
    if (type == "iso9660" || type == "udf" || device.startsWith("/dev/sr") || device.startsWith("/dev/cdrom") ||
        device.startsWith("/dev/scd"))
        return TVVolumeKind::CdRom;
    if (std::find(std::begin(kNetwork), std::end(kNetwork), type) != std::end(kNetwork) ||
        device.startsWith("//"))
        return TVVolumeKind::Network;
    if (removable || device.startsWith("/dev/fd"))
        return TVVolumeKind::Removable;
    return TVVolumeKind::Local;
}

QString TVVolumeLabel(TVVolumeKind kind, const QString &rootPath)
{
    return TVFormat(TVLibraryString(int(kind)), {TVArg(rootPath)}).value_or(rootPath);
}

std::vector<TVVolume> TVMountedVolumes()
{
    static const QString kSystem[] = {"/proc", "/sys", "/dev", "/run", "/snap", "/var/lib/docker", "/var/snap"};
    static const QByteArray kSkippedTypes[] = {"squashfs", "tmpfs", "devtmpfs", "ramfs", "overlay", "autofs",
                                               "proc", "sysfs", "cgroup", "cgroup2", "tracefs", "debugfs"};
    std::vector<TVVolume> volumes;
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        const QString root = info.rootPath();
        const QByteArray type = info.fileSystemType();
        if (root != QLatin1String("/")) {
            const bool userMedia = startsWithFolder(root, QStringLiteral("/run/media"));
            if (!userMedia && std::any_of(std::begin(kSystem), std::end(kSystem),
                                          [&](const QString &s) { return startsWithFolder(root, s); }))
                continue;
            if (std::find(std::begin(kSkippedTypes), std::end(kSkippedTypes), type) != std::end(kSkippedTypes))
                continue;
            if (!QFileInfo(root).isDir())
                continue;
        }
        const QByteArray device = info.device();
        TVVolume v;
        v.rootPath = root;
        v.kind = TVClassifyVolume(type, device, deviceRemovable(device));
        v.ready = info.isValid() && info.isReady();
        volumes.push_back(v);
    }
    std::sort(volumes.begin(), volumes.end(), [](const TVVolume &a, const TVVolume &b) {
        if ((a.rootPath == QLatin1String("/")) != (b.rootPath == QLatin1String("/")))
            return a.rootPath == QLatin1String("/");
        return a.rootPath < b.rootPath;
    });
    // Bind mounts and stacked mounts can list a mount point twice.
    volumes.erase(std::unique(volumes.begin(), volumes.end(),
                              [](const TVVolume &a, const TVVolume &b) { return a.rootPath == b.rootPath; }),
                  volumes.end());
    if (volumes.empty() || volumes.front().rootPath != QLatin1String("/"))
        volumes.insert(volumes.begin(), TVVolume{QStringLiteral("/"), TVVolumeKind::Local, true});
    return volumes;
}
