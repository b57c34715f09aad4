// The image object: loading, JPEG round trips, depth, thumbnails, nearest
// resampling and drawing.
#include "imagetest.h"
#include "tvimage.h"

#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

// A picture whose left half is red and right half blue, with a green band at
// the top, so that size and orientation show after a round trip.
QImage MarkedImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter p(&image);
    p.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    p.fillRect(0, 0, width, height / 4, Qt::green);
    return image;
}

uchar At(const QByteArray &bytes, qsizetype i)
{
    return uchar(bytes.at(i < 0 ? bytes.size() + i : i));
}

} // namespace

TEST(Image, EmptyImageRefusesEveryOperation)
{
    CTVImage image;
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetBpp(), 0);
    EXPECT_FALSE(image.IncreaseBpp(24));
    QByteArray out("stale");
    EXPECT_FALSE(image.Encode(out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(image.Thumbnail(10, 10, Qt::white));
    CTVImage resampled(SolidImage(3, 3, Qt::red));
    EXPECT_FALSE(image.Resample(4, 4, TVResampleMode::Nearest, resampled));
    EXPECT_FALSE(resampled.IsValid()) << "a failed resample leaves no stale pixels in the target";
    QImage canvas = SolidImage(4, 4, Qt::white);
    QPainter painter(&canvas);
    EXPECT_FALSE(image.Draw2(&painter, 0, 0, 4, 4));
}

TEST(Image, LoadsEachFormatAndDetectsItFromTheContents)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage source = MarkedImage(24, 16);
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    int loaded = 0;
    for (const char *format : {"bmp", "png", "jpeg", "gif", "tiff", "ico"}) {
        if (!writable.contains(format))
            continue; // GIF has no writer in Qt
        const QString path = dir.filePath(QStringLiteral("picture.") + QLatin1String(format));
        ASSERT_TRUE(WriteFile(path, EncodedWith(source, format))) << format;
        CTVImage image;
        EXPECT_TRUE(image.Load(path)) << format;
        EXPECT_EQ(image.GetWidth(), 24) << format;
        EXPECT_EQ(image.GetHeight(), 16) << format;
        ++loaded;
    }
    EXPECT_GE(loaded, 5);

    // TGA has no signature: it is known by its suffix.
    const QString tga = dir.filePath(QStringLiteral("picture.tga"));
    ASSERT_TRUE(WriteFile(tga, TgaFile(source)));
    CTVImage fromTga;
    ASSERT_TRUE(fromTga.Load(tga));
    EXPECT_EQ(fromTga.GetWidth(), 24);
    EXPECT_TRUE(NearColour(fromTga.Image().pixel(2, 10), Qt::red, 0));
    EXPECT_TRUE(NearColour(fromTga.Image().pixel(20, 10), Qt::blue, 0));
    EXPECT_TRUE(NearColour(fromTga.Image().pixel(2, 1), Qt::green, 0));

    // A PNG named .jpg is still a PNG.
    const QString misnamed = dir.filePath(QStringLiteral("really-a-png.jpg"));
    ASSERT_TRUE(WriteFile(misnamed, EncodedWith(source, "png")));
    CTVImage fromMisnamed;
    EXPECT_TRUE(fromMisnamed.Load(misnamed));
    EXPECT_EQ(fromMisnamed.GetHeight(), 16);
}

TEST(Image, LoadRefusesTextMissingFilesAndFormatsOutsideTheList)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("notes.png"));
    ASSERT_TRUE(WriteFile(text, "This is not a picture.\n"));
    CTVImage image(SolidImage(2, 2, Qt::red));
    EXPECT_FALSE(image.Load(text));
    EXPECT_FALSE(image.IsValid()) << "a failed load leaves the image empty";
    EXPECT_FALSE(image.Load(dir.filePath(QStringLiteral("missing.png"))));

    // A plain-text portable pixmap parses as an image in Qt, but is not one
    // of the formats offered.
    const QString ppm = dir.filePath(QStringLiteral("tiny.ppm"));
    ASSERT_TRUE(WriteFile(ppm, "P3\n1 1\n255\n255 0 0\n"));
    EXPECT_FALSE(image.Load(ppm));
}

TEST(Image, PngSavedAsJpegReadsBackAsACompleteJpegOfTheSameSize)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    ASSERT_TRUE(WriteFile(png, EncodedWith(MarkedImage(120, 45), "png")));

    CTVImage logo;
    ASSERT_TRUE(logo.Load(png));
    ASSERT_TRUE(logo.IncreaseBpp(24));
    EXPECT_EQ(logo.GetBpp(), 24);
    logo.SetJpegQuality(150);
    EXPECT_EQ(logo.GetJpegQuality(), 100);
    QByteArray bytes;
    ASSERT_TRUE(logo.Encode(bytes, TVImageFormat::Jpeg));
    ASSERT_GT(bytes.size(), 4);
    EXPECT_EQ(At(bytes, 0), 0xFF);
    EXPECT_EQ(At(bytes, 1), 0xD8);
    EXPECT_EQ(At(bytes, -2), 0xFF);
    EXPECT_EQ(At(bytes, -1), 0xD9);
    EXPECT_TRUE(CTVImage::IsCompleteJpeg(bytes));

    CTVImage back;
    ASSERT_TRUE(back.Decode(bytes, TVImageFormat::Jpeg));
    EXPECT_EQ(back.GetWidth(), 120);
    EXPECT_EQ(back.GetHeight(), 45);
    EXPECT_EQ(back.GetBpp(), 24);
    // At quality 100 the colours survive closely.
    EXPECT_TRUE(NearColour(back.Image().pixel(20, 30), Qt::red, 12));
    EXPECT_TRUE(NearColour(back.Image().pixel(100, 30), Qt::blue, 12));
    EXPECT_TRUE(NearColour(back.Image().pixel(60, 4), Qt::green, 12));

    // The raw-pointer form reads the same bytes.
    CTVImage fromPointer;
    EXPECT_TRUE(fromPointer.Decode(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size()));
    EXPECT_EQ(fromPointer.GetWidth(), 120);
}

TEST(Image, JpegQualityIsClampedAndApplied)
{
    CTVImage image(MarkedImage(64, 64));
    image.SetJpegQuality(-5);
    EXPECT_EQ(image.GetJpegQuality(), 0);
    image.SetJpegQuality(150);
    EXPECT_EQ(image.GetJpegQuality(), 100);

    // A noisy picture shows the quality in the file size.
    QImage noise(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * x + y * 7) % 256, (x * y * 13) % 256));
    CTVImage noisy(noise);
    QByteArray best, worst;
    noisy.SetJpegQuality(150);
    ASSERT_TRUE(noisy.Encode(best));
    noisy.SetJpegQuality(5);
    ASSERT_TRUE(noisy.Encode(worst));
    EXPECT_GT(best.size(), 2 * worst.size());
}

TEST(Image, DecodeRefusesDamagedOrForeignData)
{
    CTVImage source(MarkedImage(40, 30));
    QByteArray jpeg;
    ASSERT_TRUE(source.Encode(jpeg));

    CTVImage image;
    EXPECT_FALSE(image.Decode(jpeg.left(jpeg.size() / 2), TVImageFormat::Jpeg)) << "truncated";
    EXPECT_FALSE(image.IsValid());
    EXPECT_FALSE(image.Decode(QByteArray(), TVImageFormat::Jpeg));
    EXPECT_FALSE(image.Decode(QByteArray("\xFF\xD8\xFF garbage \xFF\xD9", 15), TVImageFormat::Jpeg));
    EXPECT_FALSE(image.Decode(nullptr, 10));

    const QByteArray png = EncodedWith(MarkedImage(40, 30), "png");
    EXPECT_FALSE(image.Decode(png, TVImageFormat::Jpeg)) << "a PNG is not a JPEG";
    EXPECT_TRUE(image.Decode(png, TVImageFormat::Unknown));
    EXPECT_EQ(image.GetWidth(), 40);

    // Bytes after the end-of-image marker do no harm.
    EXPECT_TRUE(image.Decode(jpeg + QByteArray(16, '\0'), TVImageFormat::Jpeg));
    EXPECT_EQ(image.GetHeight(), 30);
}

TEST(Image, PaletteAndSixteenBitPicturesBecomeTwentyFourBit)
{
    QImage palette(8, 8, QImage::Format_Indexed8);
    palette.setColorCount(2);
    palette.setColor(0, qRgb(255, 0, 0));
    palette.setColor(1, qRgb(0, 0, 255));
    palette.fill(1);
    CTVImage fromPalette(palette);
    EXPECT_EQ(fromPalette.GetBpp(), 8);
    ASSERT_TRUE(fromPalette.IncreaseBpp(24));
    EXPECT_EQ(fromPalette.GetBpp(), 24);
    EXPECT_EQ(fromPalette.Image().format(), QImage::Format_RGB888);
    EXPECT_EQ(fromPalette.Image().pixel(3, 3), qRgb(0, 0, 255));

    CTVImage fromRgb16(SolidImage(8, 8, Qt::red, QImage::Format_RGB16));
    EXPECT_EQ(fromRgb16.GetBpp(), 16);
    ASSERT_TRUE(fromRgb16.IncreaseBpp(24));
    EXPECT_EQ(fromRgb16.GetBpp(), 24);

    CTVImage other(SolidImage(2, 2, Qt::red));
    EXPECT_FALSE(other.IncreaseBpp(12));
    EXPECT_TRUE(other.IncreaseBpp(32));
    EXPECT_EQ(other.GetBpp(), 32);
}

TEST(Image, TransparentPartsBecomePaperWhiteAtTwentyFourBits)
{
    QImage logo(10, 10, QImage::Format_ARGB32);
    logo.fill(qRgba(0, 0, 0, 0)); // transparent black, as many PNG writers store it
    logo.setPixel(5, 5, qRgba(0, 0, 255, 255));
    CTVImage image(logo);
    EXPECT_EQ(image.GetBpp(), 32);
    CTVImage encodedFrom(logo);

    ASSERT_TRUE(image.IncreaseBpp(24));
    EXPECT_EQ(image.Image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.Image().pixel(5, 5), qRgb(0, 0, 255));

    // Encoding straight to JPEG does the same.
    QByteArray bytes;
    encodedFrom.SetJpegQuality(100);
    ASSERT_TRUE(encodedFrom.Encode(bytes));
    CTVImage back;
    ASSERT_TRUE(back.Decode(bytes));
    EXPECT_TRUE(NearColour(back.Image().pixel(0, 0), Qt::white, 6));
}

TEST(Image, CopiesAreIndependent)
{
    CTVImage original(SolidImage(30, 20, Qt::red));
    CTVImage assigned;
    assigned = original;
    CTVImage copied;
    ASSERT_TRUE(copied.Copy(original));
    ASSERT_TRUE(assigned.Thumbnail(10, 10, Qt::white));
    ASSERT_TRUE(copied.IncreaseBpp(24));
    EXPECT_EQ(original.GetWidth(), 30);
    EXPECT_EQ(original.GetHeight(), 20);
    EXPECT_EQ(original.Image().format(), QImage::Format_RGB32);
    EXPECT_EQ(assigned.GetWidth(), 10);
    EXPECT_EQ(copied.GetWidth(), 30);

    CTVImage empty;
    EXPECT_TRUE(copied.Copy(empty));
    EXPECT_FALSE(copied.IsValid());
    original.Destroy();
    EXPECT_FALSE(original.IsValid());
    EXPECT_EQ(original.GetWidth(), 0);
}

TEST(Image, ThumbnailKeepsProportionsAndFillsWithTheBackground)
{
    // 4:1, red, into a white 100 x 100 box: a 100 x 25 band in the middle.
    CTVImage wide(SolidImage(400, 100, Qt::red));
    ASSERT_TRUE(wide.Thumbnail(100, 100, QColor(255, 255, 255)));
    ASSERT_EQ(wide.GetWidth(), 100);
    ASSERT_EQ(wide.GetHeight(), 100);
    int redRows = 0;
    for (int y = 0; y < 100; ++y) {
        const QRgb p = wide.Image().pixel(50, y);
        if (NearColour(p, Qt::red, 40))
            ++redRows;
        else
            EXPECT_TRUE(NearColour(p, Qt::white, 40)) << "row " << y;
    }
    EXPECT_NEAR(redRows, 25, 1);
    EXPECT_TRUE(NearColour(wide.Image().pixel(0, 50), Qt::red, 0)) << "the full width is used";
    EXPECT_TRUE(NearColour(wide.Image().pixel(99, 50), Qt::red, 0));
    EXPECT_EQ(wide.Image().pixel(50, 5), qRgb(255, 255, 255));
    EXPECT_EQ(wide.Image().pixel(50, 95), qRgb(255, 255, 255));

    // 1:3 into 90 x 60: full height, 20 wide, centred.
    CTVImage tall(SolidImage(100, 300, Qt::blue));
    ASSERT_TRUE(tall.Thumbnail(90, 60, Qt::white));
    EXPECT_EQ(tall.GetWidth(), 90);
    EXPECT_EQ(tall.GetHeight(), 60);
    int blueColumns = 0;
    for (int x = 0; x < 90; ++x)
        if (NearColour(tall.Image().pixel(x, 30), Qt::blue, 40))
            ++blueColumns;
    EXPECT_NEAR(blueColumns, 20, 1);
    EXPECT_TRUE(NearColour(tall.Image().pixel(45, 0), Qt::blue, 0));
    EXPECT_EQ(tall.Image().pixel(5, 30), qRgb(255, 255, 255));

    // A picture that fits is centred, not enlarged.
    CTVImage small(SolidImage(10, 6, Qt::red));
    ASSERT_TRUE(small.Thumbnail(50, 50, Qt::white));
    int redPixels = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
            if (small.Image().pixel(x, y) == qRgb(255, 0, 0))
                ++redPixels;
    EXPECT_EQ(redPixels, 60);
    EXPECT_EQ(small.Image().pixel(20, 22), qRgb(255, 0, 0));
    EXPECT_EQ(small.Image().pixel(19, 22), qRgb(255, 255, 255));

    EXPECT_FALSE(small.Thumbnail(0, 10, Qt::white));
}

TEST(Image, NearestResampleOfACheckerKeepsSharpBlocks)
{
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixel(0, 0, qRgb(0, 0, 0));
    checker.setPixel(1, 0, qRgb(255, 255, 255));
    checker.setPixel(0, 1, qRgb(255, 255, 255));
    checker.setPixel(1, 1, qRgb(0, 0, 0));
    const CTVImage source(checker);
    CTVImage big;
    ASSERT_TRUE(source.Resample(4, 4, TVResampleMode::Nearest, big));
    ASSERT_EQ(big.GetWidth(), 4);
    ASSERT_EQ(big.GetHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const QRgb expected = ((x / 2) + (y / 2)) % 2 == 0 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            EXPECT_EQ(big.Image().pixel(x, y) & 0xFFFFFF, expected & 0xFFFFFF) << x << "," << y;
        }
    EXPECT_EQ(source.GetWidth(), 2) << "the source is left alone";

    // Any size: only the source's colours appear.
    CTVImage odd;
    ASSERT_TRUE(source.Resample(7, 3, TVResampleMode::Nearest, odd));
    EXPECT_EQ(odd.GetWidth(), 7);
    EXPECT_EQ(odd.GetHeight(), 3);
    std::set<QRgb> colours;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            colours.insert(odd.Image().pixel(x, y) | 0xFF000000);
    EXPECT_EQ(colours, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));

    CTVImage refused(SolidImage(2, 2, Qt::red));
    EXPECT_FALSE(source.Resample(0, 4, TVResampleMode::Nearest, refused));
    EXPECT_FALSE(refused.IsValid());
}

TEST(Image, Draw2StretchesIntoTheRectangle)
{
    QImage twoPixels(2, 1, QImage::Format_RGB32);
    twoPixels.setPixel(0, 0, qRgb(255, 0, 0));
    twoPixels.setPixel(1, 0, qRgb(0, 0, 255));
    const CTVImage image(twoPixels);

    QImage canvas = SolidImage(40, 30, Qt::white);
    {
        QPainter painter(&canvas);
        ASSERT_TRUE(image.Draw2(&painter, 5, 5, 20, 10));
    }
    EXPECT_EQ(canvas.pixel(6, 6), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(13, 14), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(17, 6), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(24, 14), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(4, 6), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(25, 6), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(10, 15), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(10, 4), qRgb(255, 255, 255));

    // Without a size the image's own is used.
    QImage second = SolidImage(10, 10, Qt::white);
    {
        QPainter painter(&second);
        ASSERT_TRUE(image.Draw2(&painter, 3, 3));
    }
    EXPECT_EQ(second.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(second.pixel(4, 3), qRgb(0, 0, 255));
    EXPECT_EQ(second.pixel(5, 3), qRgb(255, 255, 255));
    EXPECT_EQ(second.pixel(3, 4), qRgb(255, 255, 255));

    QPainter inactive;
    EXPECT_FALSE(image.Draw2(&inactive, 0, 0, 5, 5));
    EXPECT_FALSE(image.Draw2(nullptr, 0, 0, 5, 5));
}
