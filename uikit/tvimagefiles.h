#pragma once
// What the image-open dialog shows, apart from its widgets: the file-type
// filter items with their suffix sets, the filtered file list of a folder,
// the sub-folders of a folder and the mounted volumes that stand where other
// systems show drives. Tests and other callers reach these without a window.
#include "tvexport.h"
#include "tvimage.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// One item of the file-type filter.
struct TVImageFilter {
    QString text;          // what the drop-down list shows
    QStringList suffixes;  // upper-case suffixes admitted; empty with anyFile
    bool anyFile = false;  // the last item: every file, with a suffix or not
};

// The filter items in the dialog's order: all supported formats, BMP, GIF,
// ICO, JPG/JPEG, PCX, PNG, TGA, TIF/TIFF, all files. A format without a
// decoder (by `canDecode`; PCX in a standard Qt) keeps its item, marked
// " (no decoder installed)", and is left out of "all supported formats".
TEVROKIT_EXPORT std::vector<TVImageFilter> TVImageFiltersFor(const std::function<bool(TVImageFormat)> &canDecode);
// The same with the decoders of this build (CTVImage::CanDecode).
TEVROKIT_EXPORT std::vector<TVImageFilter> TVImageFilters();

// The upper-case text after the last "." of a file name; empty without one.
TEVROKIT_EXPORT QString TVFileSuffixUpper(const QString &fileName);
// True when the filter item admits the file name.
TEVROKIT_EXPORT bool TVFilterAdmits(const TVImageFilter &filter, const QString &fileName);

struct TVFileEntry {
    QString name;     // file name without the folder
    qint64 size = 0;  // bytes
};
// The files of a folder (not hidden, symbolic links to files included) that
// the filter admits, in no particular order; nullopt when the folder cannot
// be read.
TEVROKIT_EXPORT std::optional<std::vector<TVFileEntry>> TVListImageFiles(const QString &folder,
                                                                         const TVImageFilter &filter);
// A size in bytes as whole kilobytes (1024 bytes) for the file list, rounded
// up so that only an empty file shows 0.
TEVROKIT_EXPORT qint64 TVSizeInKilobytes(qint64 bytes);

// The sub-folders of a folder (not hidden), sorted by name ignoring case;
// nullopt when the folder cannot be read.
TEVROKIT_EXPORT std::optional<QStringList> TVSubfolders(const QString &folder);
// True when the folder can be read and has at least one sub-folder.
TEVROKIT_EXPORT bool TVHasSubfolder(const QString &folder);

// The kinds of volume, shown with the library strings 13-16.
enum class TVVolumeKind { Removable = 13, Local = 14, CdRom = 15, Network = 16 };

struct TVVolume {
    QString rootPath;   // where it is mounted, e.g. "/media/usb"
    TVVolumeKind kind = TVVolumeKind::Local;
    bool ready = true;  // false when its contents cannot be read now
};

// The kind of a volume from its file-system type, its device and whether the
// kernel calls the device removable.
TEVROKIT_EXPORT TVVolumeKind TVClassifyVolume(const QByteArray &fileSystemType, const QByteArray &device,
                                              bool removable);
// "Local disc (/data)" and the like.
TEVROKIT_EXPORT QString TVVolumeLabel(TVVolumeKind kind, const QString &rootPath);
// The mounted volumes worth browsing: the root file system first, then the
// others by mount point; system mounts (/proc, /sys, /dev, /run, /snap,
// squashfs images and files mounted over files) are left out.
TEVROKIT_EXPORT std::vector<TVVolume> TVMountedVolumes();
