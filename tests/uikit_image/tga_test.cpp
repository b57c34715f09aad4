// The library's own TGA reader, through CTVImage: every image type, origin
// and depth it claims, and the damaged files it must refuse.
#include "imagetest.h"
#include "tvimage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>

namespace {

QByteArray Header(int type, int width, int height, int depth, int descriptor, int mapType = 0, int mapFirst = 0,
                  int mapLength = 0, int mapBits = 0)
{
    QByteArray h(18, '\0');
    h[1] = char(mapType);
    h[2] = char(type);
    h[3] = char(mapFirst & 0xFF);
    h[4] = char(mapFirst >> 8);
    h[5] = char(mapLength & 0xFF);
    h[6] = char(mapLength >> 8);
    h[7] = char(mapBits);
    h[12] = char(width & 0xFF);
    h[13] = char(width >> 8);
    h[14] = char(height & 0xFF);
    h[15] = char(height >> 8);
    h[16] = char(depth);
    h[17] = char(descriptor);
    return h;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

// Blue, green, red: how TGA stores a 24-bit pixel.
QByteArray Bgr(QRgb c)
{
    return Bytes({qBlue(c), qGreen(c), qRed(c)});
}

const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255);
const QRgb W = qRgb(255, 255, 255), K = qRgb(0, 0, 0), Y = qRgb(255, 255, 0);

// The 3 x 2 picture R G B / W K Y.
void ExpectPicture(const CTVImage &image)
{
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    const QImage &i = image.Image();
    EXPECT_EQ(i.pixel(0, 0), R);
    EXPECT_EQ(i.pixel(1, 0), G);
    EXPECT_EQ(i.pixel(2, 0), B);
    EXPECT_EQ(i.pixel(0, 1), W);
    EXPECT_EQ(i.pixel(1, 1), K);
    EXPECT_EQ(i.pixel(2, 1), Y);
}

QByteArray Row(QRgb a, QRgb b, QRgb c)
{
    return Bgr(a) + Bgr(b) + Bgr(c);
}

} // namespace

TEST(Tga, UncompressedTrueColourFromEitherOrigin)
{
    CTVImage image;
    // Bottom-left origin (descriptor 0): the bottom row comes first.
    ASSERT_TRUE(image.Decode(Header(2, 3, 2, 24, 0) + Row(W, K, Y) + Row(R, G, B), TVImageFormat::Tga));
    ExpectPicture(image);
    // Top-left origin.
    ASSERT_TRUE(image.Decode(Header(2, 3, 2, 24, 0x20) + Row(R, G, B) + Row(W, K, Y), TVImageFormat::Tga));
    ExpectPicture(image);
    // Right to left, top down.
    ASSERT_TRUE(image.Decode(Header(2, 3, 2, 24, 0x30) + Row(B, G, R) + Row(Y, K, W), TVImageFormat::Tga));
    ExpectPicture(image);
    // An image identification field is skipped.
    QByteArray withId = Header(2, 3, 2, 24, 0x20) + "logo" + Row(R, G, B) + Row(W, K, Y);
    withId[0] = 4;
    ASSERT_TRUE(image.Decode(withId, TVImageFormat::Tga));
    ExpectPicture(image);
}

TEST(Tga, RunLengthPacketsIncludingRunsAcrossRows)
{
    CTVImage image;
    // Top row: one raw packet of three pixels; bottom row: raw W, a run
    // packet of one K, raw Y.
    const QByteArray data = Bytes({0x02}) + Row(R, G, B) + Bytes({0x00}) + Bgr(W) + Bytes({0x80}) + Bgr(K) +
                            Bytes({0x00}) + Bgr(Y);
    ASSERT_TRUE(image.Decode(Header(10, 3, 2, 24, 0x20) + data, TVImageFormat::Tga));
    ExpectPicture(image);

    // One run packet covering both rows of a 2 x 2 picture.
    ASSERT_TRUE(image.Decode(Header(10, 2, 2, 24, 0x20) + Bytes({0x83}) + Bgr(R), TVImageFormat::Tga));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(image.Image().pixel(x, y), R);
}

TEST(Tga, GreyColourMappedSixteenAndThirtyTwoBit)
{
    CTVImage image;
    ASSERT_TRUE(image.Decode(Header(3, 3, 1, 8, 0x20) + Bytes({0, 128, 255}), TVImageFormat::Tga));
    EXPECT_EQ(image.Image().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.Image().pixel(1, 0), qRgb(128, 128, 128));
    EXPECT_EQ(image.Image().pixel(2, 0), qRgb(255, 255, 255));

    // Colour map of two 24-bit entries starting at index 5; run-length encoded.
    const QByteArray mapped = Header(9, 3, 1, 8, 0x20, 1, 5, 2, 24) + Bgr(R) + Bgr(B) + Bytes({0x81, 6, 0x00, 5});
    ASSERT_TRUE(image.Decode(mapped, TVImageFormat::Tga));
    EXPECT_EQ(image.Image().pixel(0, 0), B);
    EXPECT_EQ(image.Image().pixel(1, 0), B);
    EXPECT_EQ(image.Image().pixel(2, 0), R);

    // 5-5-5 bits, blue lowest.
    ASSERT_TRUE(image.Decode(Header(2, 2, 1, 16, 0x20) + Bytes({0x00, 0x7C, 0x1F, 0x00}), TVImageFormat::Tga));
    EXPECT_EQ(image.Image().pixel(0, 0), R);
    EXPECT_EQ(image.Image().pixel(1, 0), B);

    // 32 bits with 8 alpha bits keep the alpha; without alpha bits the fourth
    // byte is not alpha and the picture is opaque.
    const QByteArray pixels = Bytes({255, 0, 0, 0, 0, 0, 255, 255});
    ASSERT_TRUE(image.Decode(Header(2, 2, 1, 32, 0x28) + pixels, TVImageFormat::Tga));
    EXPECT_EQ(qAlpha(image.Image().pixel(0, 0)), 0);
    EXPECT_EQ(image.Image().pixel(1, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(image.GetBpp(), 32);
    ASSERT_TRUE(image.Decode(Header(2, 2, 1, 32, 0x20) + pixels, TVImageFormat::Tga));
    EXPECT_EQ(image.Image().pixel(0, 0), B);
    EXPECT_EQ(image.GetBpp(), 24);
}

TEST(Tga, DamagedDataIsRefused)
{
    CTVImage image;
    const QByteArray full = Header(2, 3, 2, 24, 0x20) + Row(R, G, B) + Row(W, K, Y);
    EXPECT_FALSE(image.Decode(full.left(full.size() - 1), TVImageFormat::Tga)) << "one byte short";
    EXPECT_FALSE(image.Decode(full.left(10), TVImageFormat::Tga)) << "header cut";
    EXPECT_FALSE(image.Decode(Header(10, 2, 2, 24, 0x20) + Bytes({0x84}) + Bgr(R), TVImageFormat::Tga))
        << "a run past the last pixel";
    EXPECT_FALSE(image.Decode(Header(10, 2, 2, 24, 0x20) + Bytes({0x81}) + Bgr(R), TVImageFormat::Tga))
        << "data ends before the picture does";
    EXPECT_FALSE(image.Decode(Header(1, 2, 1, 8, 0x20, 1, 0, 1, 24) + Bgr(R) + Bytes({0, 1}), TVImageFormat::Tga))
        << "an index outside the colour map";
    EXPECT_FALSE(image.Decode(Header(2, 0, 2, 24, 0x20), TVImageFormat::Tga)) << "no width";
    EXPECT_FALSE(image.Decode(Header(4, 1, 1, 24, 0x20) + Bgr(R), TVImageFormat::Tga)) << "unknown type";
    EXPECT_FALSE(image.Decode(Header(2, 1, 1, 12, 0x20) + Bytes({1, 2}), TVImageFormat::Tga)) << "odd depth";
    EXPECT_FALSE(image.Decode(Header(10, 65535, 65535, 24, 0x20) + Bytes({0xFF, 1, 2, 3}), TVImageFormat::Tga))
        << "a huge picture from a few bytes";
    EXPECT_FALSE(image.Decode(QByteArray("This is plain text, not a picture at all."), TVImageFormat::Tga));
    EXPECT_FALSE(image.IsValid());
}

TEST(Tga, FilesWithoutTheNewFooterLoadByTheirSuffix)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("OLD.TGA");
    ASSERT_TRUE(WriteFile(plain, Header(2, 3, 2, 24, 0) + Row(W, K, Y) + Row(R, G, B)));
    CTVImage image;
    ASSERT_TRUE(image.Load(plain));
    ExpectPicture(image);

    const QString packed = dir.filePath("packed.tga");
    ASSERT_TRUE(WriteFile(packed, Header(10, 2, 2, 24, 0x20) + Bytes({0x83}) + Bgr(G)));
    ASSERT_TRUE(image.Load(packed));
    EXPECT_EQ(image.Image().pixel(1, 1), G);

    const QString text = dir.filePath("notes.tga");
    ASSERT_TRUE(WriteFile(text, "Hello, this is text.\n"));
    EXPECT_FALSE(image.Load(text));
}

TEST(Tga, EveryCutAndEveryChangedByteIsReadSafely)
{
    // Under the sanitizers this walks the reader's bounds checks: each prefix
    // of a file and each single-byte change must give a picture or a refusal.
    const QByteArray mapped = Header(9, 3, 2, 8, 0x20, 1, 0, 2, 24) + Bgr(R) + Bgr(B) + Bytes({0x82, 1, 0x02, 0, 1, 0});
    const QByteArray packed = Bytes({0x02}) + Row(R, G, B) + Bytes({0x00}) + Bgr(W) + Bytes({0x81}) + Bgr(K);
    for (const QByteArray &file : {mapped, Header(10, 3, 2, 24, 0x20) + packed}) {
        CTVImage image;
        ASSERT_TRUE(image.Decode(file, TVImageFormat::Tga));
        for (qsizetype cut = 0; cut < file.size(); ++cut)
            EXPECT_FALSE(image.Decode(file.left(cut), TVImageFormat::Tga)) << cut;
        for (qsizetype at = 0; at < file.size(); ++at)
            for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                QByteArray changed = file;
                changed[at] = char(value);
                if (image.Decode(changed, TVImageFormat::Tga)) {
                    EXPECT_GT(image.GetWidth(), 0);
                    EXPECT_GT(image.GetHeight(), 0);
                }
            }
    }
}
