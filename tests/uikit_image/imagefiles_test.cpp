// The image dialog's logic without a window: filter items, file lists,
// sub-folders and volumes.
#include "imagetest.h"
#include "tvimagefiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

QStringList Texts(const std::vector<TVImageFilter> &filters)
{
    QStringList texts;
    for (const TVImageFilter &f : filters)
        texts << f.text;
    return texts;
}

QStringList Names(const std::vector<TVFileEntry> &files)
{
    QStringList names;
    for (const TVFileEntry &f : files)
        names << f.name;
    names.sort();
    return names;
}

} // namespace

TEST(ImageFilters, ItemsInOrderWithTheirSuffixes)
{
    const auto filters = TVImageFiltersFor([](TVImageFormat) { return true; });
    EXPECT_EQ(Texts(filters), (QStringList{"all supported formats", "*.BMP", "*.GIF", "*.ICO", "*.JPG, *.JPEG",
                                           "*.PCX", "*.PNG", "*.TGA", "*.TIF, *.TIFF", "all files (*.*)"}));
    EXPECT_EQ(filters[0].suffixes,
              (QStringList{"BMP", "GIF", "ICO", "JPG", "JPEG", "PCX", "PNG", "TGA", "TIF", "TIFF"}));
    EXPECT_EQ(filters[4].suffixes, (QStringList{"JPG", "JPEG"}));
    EXPECT_FALSE(filters[0].anyFile);
    EXPECT_TRUE(filters.back().anyFile);
}

TEST(ImageFilters, AFormatWithoutDecoderIsMarkedAndLeftOutOfAllSupported)
{
    const auto filters = TVImageFiltersFor([](TVImageFormat f) { return f != TVImageFormat::Pcx; });
    ASSERT_EQ(filters.size(), 10u);
    EXPECT_EQ(filters[5].text, QStringLiteral("*.PCX (no decoder installed)"));
    EXPECT_EQ(filters[5].suffixes, QStringList{"PCX"});
    EXPECT_FALSE(filters[0].suffixes.contains("PCX"));
    EXPECT_TRUE(filters[0].suffixes.contains("TGA"));

    // This build: every format but PCX has its decoder.
    const auto built = TVImageFilters();
    EXPECT_EQ(built[0].suffixes.contains("PCX"), CTVImage::CanDecode(TVImageFormat::Pcx));
    for (TVImageFormat f : {TVImageFormat::Bmp, TVImageFormat::Gif, TVImageFormat::Ico, TVImageFormat::Jpeg,
                            TVImageFormat::Png, TVImageFormat::Tga, TVImageFormat::Tiff})
        EXPECT_TRUE(CTVImage::CanDecode(f)) << int(f);
}

TEST(ImageFilters, SuffixesCompareInUpperCaseAfterTheLastDot)
{
    const auto filters = TVImageFiltersFor([](TVImageFormat) { return true; });
    const TVImageFilter &jpeg = filters[4];
    EXPECT_TRUE(TVFilterAdmits(jpeg, "photo.jpg"));
    EXPECT_TRUE(TVFilterAdmits(jpeg, "PHOTO.JPEG"));
    EXPECT_TRUE(TVFilterAdmits(jpeg, "holiday.2024.Jpg"));
    EXPECT_FALSE(TVFilterAdmits(jpeg, "photo.jpg.txt"));
    EXPECT_FALSE(TVFilterAdmits(jpeg, "photo.png"));
    EXPECT_FALSE(TVFilterAdmits(jpeg, "jpg"));
    EXPECT_EQ(TVFileSuffixUpper("a.b.tif"), QStringLiteral("TIF"));
    EXPECT_EQ(TVFileSuffixUpper("README"), QString());
    EXPECT_EQ(TVFileSuffixUpper("trailing."), QString());

    // A name without a dot passes only the last item.
    for (std::size_t i = 0; i < filters.size(); ++i)
        EXPECT_EQ(TVFilterAdmits(filters[i], "README"), i + 1 == filters.size()) << i;
    EXPECT_FALSE(TVFilterAdmits(filters[0], "trailing."));
    EXPECT_TRUE(TVFilterAdmits(filters.back(), "trailing."));
}

TEST(ImageFiles, ListsTheFilesOfAFolderThatTheFilterAdmits)
{
    QTemporaryDir dir;
    for (const char *name : {"photo.jpg", "PHOTO.JPEG", "image.png", "README", "notes.txt", ".hidden.jpg"})
        ASSERT_TRUE(WriteFile(dir.filePath(name), QByteArray(2000, 'x')));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.jpg"));
    const auto filters = TVImageFilters();

    const auto jpegs = TVListImageFiles(dir.path(), filters[4]);
    ASSERT_TRUE(jpegs.has_value());
    EXPECT_EQ(Names(*jpegs), (QStringList{"PHOTO.JPEG", "photo.jpg"}));
    EXPECT_EQ(jpegs->front().size, 2000);

    const auto all = TVListImageFiles(dir.path(), filters.back());
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(Names(*all), (QStringList{"PHOTO.JPEG", "README", "image.png", "notes.txt", "photo.jpg"}));

    const auto supported = TVListImageFiles(dir.path(), filters.front());
    EXPECT_EQ(Names(*supported), (QStringList{"PHOTO.JPEG", "image.png", "photo.jpg"}));

    EXPECT_FALSE(TVListImageFiles(dir.filePath("missing"), filters.back()).has_value());
}

TEST(ImageFiles, SizesInKilobytesRoundUp)
{
    EXPECT_EQ(TVSizeInKilobytes(0), 0);
    EXPECT_EQ(TVSizeInKilobytes(1), 1);
    EXPECT_EQ(TVSizeInKilobytes(1024), 1);
    EXPECT_EQ(TVSizeInKilobytes(1025), 2);
    EXPECT_EQ(TVSizeInKilobytes(10 * 1024 * 1024), 10240);
}

TEST(ImageFiles, SubfoldersAndTheExpandButtonRule)
{
    QTemporaryDir dir;
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("b/inner"));
    ASSERT_TRUE(root.mkdir("A"));
    ASSERT_TRUE(root.mkdir(".hidden"));
    ASSERT_TRUE(WriteFile(dir.filePath("A/file.png"), "x"));

    const auto subs = TVSubfolders(dir.path());
    ASSERT_TRUE(subs.has_value());
    EXPECT_EQ(*subs, (QStringList{"A", "b"}));
    EXPECT_TRUE(TVHasSubfolder(dir.path()));
    EXPECT_TRUE(TVHasSubfolder(dir.filePath("b")));
    EXPECT_FALSE(TVHasSubfolder(dir.filePath("A"))) << "a file is not a sub-folder";
    EXPECT_FALSE(TVHasSubfolder(dir.filePath("b/inner")));
    EXPECT_FALSE(TVSubfolders(dir.filePath("gone")).has_value());
    EXPECT_FALSE(TVHasSubfolder(dir.filePath("gone")));
}

TEST(Volumes, KindsFromFileSystemAndDevice)
{
    EXPECT_EQ(TVClassifyVolume("ext4", "/dev/sda1", false), TVVolumeKind::Local);
    EXPECT_EQ(TVClassifyVolume("vfat", "/dev/sdb1", true), TVVolumeKind::Removable);
    EXPECT_EQ(TVClassifyVolume("vfat", "/dev/fd0", false), TVVolumeKind::Removable);
    EXPECT_EQ(TVClassifyVolume("iso9660", "/dev/sr0", true), TVVolumeKind::CdRom);
    EXPECT_EQ(TVClassifyVolume("udf", "/dev/loop3", false), TVVolumeKind::CdRom);
    EXPECT_EQ(TVClassifyVolume("nfs4", "server:/export", false), TVVolumeKind::Network);
    EXPECT_EQ(TVClassifyVolume("cifs", "//server/share", false), TVVolumeKind::Network);
    EXPECT_EQ(TVClassifyVolume("fuse.sshfs", "user@host:", false), TVVolumeKind::Network);
}

TEST(Volumes, LabelsUseTheLibraryStrings)
{
    EXPECT_EQ(TVVolumeLabel(TVVolumeKind::Local, "/"), QStringLiteral("Local disc (/)"));
    EXPECT_EQ(TVVolumeLabel(TVVolumeKind::Removable, "/media/stick"), QStringLiteral("Floppy disc (/media/stick)"));
    EXPECT_EQ(TVVolumeLabel(TVVolumeKind::CdRom, "/media/cdrom"), QStringLiteral("CD-ROM drive (/media/cdrom)"));
    EXPECT_EQ(TVVolumeLabel(TVVolumeKind::Network, "/mnt/share"), QStringLiteral("Network drive (/mnt/share)"));
    // A mount point with a per cent sign is shown as it is.
    EXPECT_EQ(TVVolumeLabel(TVVolumeKind::Local, "/mnt/100%"), QStringLiteral("Local disc (/mnt/100%)"));
}

TEST(Volumes, TheRootComesFirstAndSystemMountsAreLeftOut)
{
    const auto volumes = TVMountedVolumes();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().rootPath, QStringLiteral("/"));
    for (const TVVolume &v : volumes) {
        EXPECT_FALSE(v.rootPath.startsWith("/proc")) << v.rootPath.toStdString();
        EXPECT_FALSE(v.rootPath.startsWith("/sys")) << v.rootPath.toStdString();
        EXPECT_FALSE(v.rootPath.startsWith("/dev")) << v.rootPath.toStdString();
    }
    QStringList roots;
    for (const TVVolume &v : volumes)
        roots << v.rootPath;
    EXPECT_EQ(roots.removeDuplicates(), 0);
}
