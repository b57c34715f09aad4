#include "painterdevice.h"
#include "printingtest.h"
#include "recordingdevice.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage whiteImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    return image;
}

bool dark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels outside `inside`.
int darkOutside(const QImage &image, const QRect &inside)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!inside.contains(x, y) && dark(image, x, y))
                ++n;
    return n;
}

int darkInside(const QImage &image, const QRect &inside)
{
    int n = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (dark(image, x, y))
                ++n;
    return n;
}

FontSpec face(const char *name)
{
    FontSpec f;
    f.lfFaceName = QString::fromLatin1(name);
    return f;
}

} // namespace

TEST(RecordingDevice, PointFontsFollowTheResolution)
{
    RecordingDevice device(A4Metrics(600));
    const DeviceFont twelve = device.CreatePointFont(face("Times New Roman"), 120);
    const DeviceFont eight = device.CreatePointFont(face("Arial"), 80);
    EXPECT_EQ(device.Fonts()[std::size_t(twelve)].pixels, 100); // 600 × 120 ÷ 720
    EXPECT_EQ(device.Fonts()[std::size_t(eight)].pixels, 66);   // 66.67 truncated
    EXPECT_EQ(device.SelectFont(twelve), 0);
    EXPECT_EQ(device.SelectFont(eight), twelve);
    const TextMetrics tm = device.GetTextMetrics();
    EXPECT_EQ(tm.tmAscent, 59);
    EXPECT_EQ(tm.tmDescent, 13);
    EXPECT_EQ(tm.tmHeight, 72);
    EXPECT_EQ(tm.tmExternalLeading, 6);
    EXPECT_EQ(tm.tmAveCharWidth, 33);
    EXPECT_EQ(device.TextWidth(QStringLiteral("abcd")), 132);
    // Tiny heights still give a font one unit high.
    const DeviceFont tiny = device.CreatePointFont(face("Arial"), 1);
    EXPECT_EQ(device.Fonts()[std::size_t(tiny)].pixels, 1);
}

TEST(RecordingDevice, FontResolutionAndCustomRules)
{
    RecordingDevice device(A4Metrics(96), [](const RecordedFont &f) {
        TextMetrics tm;
        tm.tmHeight = f.pixels * 2;
        tm.tmAveCharWidth = 7;
        return tm;
    });
    device.SetFontResolution(1200);
    const DeviceFont f = device.CreatePointFont(face("Arial"), 120);
    EXPECT_EQ(device.Fonts()[std::size_t(f)].pixels, 200);
    device.SelectFont(f);
    EXPECT_EQ(device.GetTextMetrics().tmHeight, 400);
    EXPECT_EQ(device.TextWidth(QStringLiteral("abc")), 21);
}

TEST(RecordingDevice, RecordsCallsInOrder)
{
    RecordingDevice device(A4Metrics(600));
    device.SetTextColor(0x0000FF);
    device.DrawLine(1, 2, 3, 4);
    device.DrawTextLine(GdiRect(10, 20, 110, 60), QStringLiteral("Smith & Sons"), true);
    device.DrawEllipse(0, 0, 10, 10);
    device.SetMapping(QSize(1000, 2000), QSize(100, 200));
    ASSERT_EQ(device.Ops().size(), 4u);
    EXPECT_EQ(device.Ops()[0].from, QPoint(1, 2));
    EXPECT_EQ(device.Ops()[0].to, QPoint(3, 4));
    const RecordedOp &text = device.Ops()[1];
    EXPECT_EQ(text.rect, QRect(10, 20, 100, 40));
    EXPECT_EQ(text.text, QStringLiteral("Smith & Sons"));
    EXPECT_TRUE(text.centred);
    EXPECT_EQ(text.color, 0x0000FFu);
    EXPECT_EQ(device.Ops(RecordedOp::Ellipse).size(), 1u);
    EXPECT_EQ(device.Ops()[3].viewport, QSize(100, 200));
}

TEST(PainterDevice, LinesLeaveOutTheirEndPoint)
{
    QImage image = whiteImage(40, 40);
    {
        QPainter painter(&image);
        PainterDevice device(painter);
        device.DrawLine(10, 5, 10, 15);
        device.DrawLine(20, 30, 30, 30);
        device.DrawLine(5, 35, 5, 35); // empty
    }
    for (int y = 5; y < 15; ++y)
        EXPECT_TRUE(dark(image, 10, y)) << y;
    EXPECT_FALSE(dark(image, 10, 15));
    EXPECT_FALSE(dark(image, 10, 4));
    for (int x = 20; x < 30; ++x)
        EXPECT_TRUE(dark(image, x, 30)) << x;
    EXPECT_FALSE(dark(image, 30, 30));
    EXPECT_FALSE(dark(image, 5, 35));
    EXPECT_EQ(darkOutside(image, QRect(10, 5, 1, 10)) , 10); // only the horizontal line elsewhere
}

TEST(PainterDevice, ImageMetricsAndFill)
{
    QImage image = whiteImage(200, 100);
    QPainter painter(&image);
    PainterDevice device(painter);
    const DeviceMetrics m = device.Metrics();
    EXPECT_EQ(m.LOGPIXELSX, 96);
    EXPECT_EQ(m.HORZRES, 200);
    EXPECT_EQ(m.VERTRES, 100);
    device.FillRect(GdiRect(10, 10, 20, 30), 0x000000);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    device.DrawImage(QPoint(50, 50), red);
    painter.end();
    EXPECT_TRUE(dark(image, 10, 10));
    EXPECT_TRUE(dark(image, 19, 29));
    EXPECT_FALSE(dark(image, 20, 29));
    EXPECT_FALSE(dark(image, 19, 30));
    EXPECT_EQ(image.pixelColor(53, 53), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(54, 54), QColor(Qt::white));
}

TEST(PainterDevice, TextIsClippedToItsRectangle)
{
    QImage image = whiteImage(200, 100);
    const QRect box = GdiRect(20, 20, 80, 40);
    {
        QPainter painter(&image);
        PainterDevice device(painter);
        const DeviceFont big = device.CreatePixelFont(face("Arial"), 40);
        device.SelectFont(big);
        device.DrawTextLine(box, QStringLiteral("WWWWWWWWWW"), false);
    }
    EXPECT_GT(darkInside(image, box), 50);
    EXPECT_EQ(darkOutside(image, box), 0);
}

TEST(PainterDevice, CentredTextStandsInTheMiddle)
{
    QImage image = whiteImage(300, 60);
    int textWidth = 0;
    {
        QPainter painter(&image);
        PainterDevice device(painter);
        device.SelectFont(device.CreatePixelFont(face("Arial"), 20));
        textWidth = device.TextWidth(QStringLiteral("IIII"));
        device.DrawTextLine(GdiRect(0, 10, 300, 60), QStringLiteral("IIII"), true);
    }
    int minX = 300, maxX = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x)
            if (dark(image, x, y)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GT(textWidth, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 150, 4);
}

TEST(PainterDevice, MappingScalesLogicalUnitsOntoThePicture)
{
    QImage image = whiteImage(100, 50);
    {
        QPainter painter(&image);
        PainterDevice device(painter, A4Metrics(600));
        device.SetMapping(QSize(1000, 500), QSize(100, 50));
        device.FillRect(GdiRect(500, 0, 1000, 250), 0x000000);
        device.DrawLine(0, 400, 1000, 400); // one device pixel, whatever the scale
    }
    EXPECT_TRUE(dark(image, 75, 10));
    EXPECT_FALSE(dark(image, 25, 10));
    EXPECT_FALSE(dark(image, 75, 30));
    EXPECT_TRUE(dark(image, 30, 40) || dark(image, 30, 39));
    EXPECT_FALSE(dark(image, 30, 38));
}

TEST(PainterDevice, PointFontOnThePdfPrinterHasTheDesignedMetrics)
{
    // Whichever metric-compatible face fontconfig gives for Times New Roman
    // (Liberation Serif 1 or 2, another release), the relations the layout
    // relies on hold: a 12 pt font at 1200 dpi has a 200-pixel em, its line
    // is a little taller than the em, ascent above descent, a small leading,
    // and an average width of about half the em.
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(1200);
    printer.setFullPage(true);
    printer.setOutputFileName(dir.filePath(QStringLiteral("m.pdf")));
    QPainter painter(&printer);
    PainterDevice device(painter);
    EXPECT_EQ(device.Metrics().LOGPIXELSY, 1200);
    EXPECT_NEAR(device.Metrics().HORZSIZE, 210, 1);
    const DeviceFont f = device.CreatePointFont(face("Times New Roman"), 120);
    device.SelectFont(f);
    const TextMetrics tm = device.GetTextMetrics();
    const int em = 1200 * 120 / 720;
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, em);
    EXPECT_LE(tm.tmHeight, em * 5 / 4);
    EXPECT_GT(tm.tmAscent, 3 * tm.tmDescent);
    EXPECT_GE(tm.tmExternalLeading, 0);
    EXPECT_LE(tm.tmExternalLeading, em / 10);
    EXPECT_GE(tm.tmAveCharWidth, em * 2 / 5);
    EXPECT_LE(tm.tmAveCharWidth, em * 7 / 10);
    // A twice as large font measures twice as much, within rounding.
    const DeviceFont big = device.CreatePointFont(face("Times New Roman"), 240);
    device.SelectFont(big);
    const TextMetrics tm2 = device.GetTextMetrics();
    EXPECT_NEAR(tm2.tmHeight, 2 * tm.tmHeight, 2);
    EXPECT_NEAR(tm2.tmAveCharWidth, 2 * tm.tmAveCharWidth, 2);
    painter.end();
}

TEST(FontFromSpec, TakesTheLogicalFontMembers)
{
    FontSpec spec = face("An extraordinarily long face name beyond thirty-one");
    spec.lfWeight = 700;
    spec.lfItalic = true;
    spec.lfUnderline = true;
    spec.lfStrikeOut = true;
    const QFont font = QFontFromSpec(spec, 37);
    EXPECT_EQ(font.family().size(), 31);
    EXPECT_EQ(font.pixelSize(), 37);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_EQ(QFontFromSpec(face("Arial"), 0).pixelSize(), 1);
}

TEST(FontScale, TruncatedAndAtLeastOneTenth)
{
    EXPECT_EQ(ScaledFontTenths(120, 1.0), 120);
    EXPECT_EQ(ScaledFontTenths(120, 0.5), 60);
    EXPECT_EQ(ScaledFontTenths(125, 0.333), 41); // 41.6 truncated
    EXPECT_EQ(ScaledFontTenths(120, 0.001), 1);
    EXPECT_EQ(ScaledFontTenths(0, 1.0), 1);
    EXPECT_EQ(ScaledFontTenths(-20, 1.0), 1);
}

TEST(ResampleNearest, KeepsHardEdges)
{
    QImage image(2, 1, QImage::Format_RGB32);
    image.setPixelColor(0, 0, Qt::black);
    image.setPixelColor(1, 0, Qt::white);
    const QImage big = ResampleNearest(image, QSize(8, 3));
    ASSERT_EQ(big.size(), QSize(8, 3));
    EXPECT_EQ(big.pixelColor(3, 2), QColor(Qt::black));
    EXPECT_EQ(big.pixelColor(4, 0), QColor(Qt::white));
    EXPECT_TRUE(ResampleNearest(image, QSize(0, 3)).isNull());
}
