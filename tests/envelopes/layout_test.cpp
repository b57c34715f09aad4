// The address block on the recording device. At 600 dpi a 12 pt font has an
// em height of 100 pixels, so with the recording device's rule: tmHeight 110,
// external leading 10, pitch P = 120, gap g = trunc(0.2 × 110 + 0.5) = 22,
// average character width 50 (and every character 50 pixels wide).
#include "addresslayout.h"
#include "painterdevice.h"
#include "recordingdevice.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

DeviceMetrics metrics600()
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = 600;
    m.HORZRES = 5000;
    m.VERTRES = 7000;
    return m;
}

AddressFonts twelvePoint()
{
    AddressFonts fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        fonts[i].lfHeight = 120;
        fonts[i].color = 0x000010 * std::uint32_t(i + 1);
    }
    return fonts;
}

AddressEntry address(const QString &name, const QString &street, const QString &town, const QString &zip,
                     const QString &country)
{
    AddressEntry a;
    a.name = name;
    a.street = street;
    a.town = town;
    a.zip = zip;
    a.country = country;
    return a;
}

struct Drawn {
    QString text;
    QRect rect;
    bool centred;
    std::uint32_t color;
};

std::vector<Drawn> texts(const RecordingDevice &device)
{
    std::vector<Drawn> out;
    for (const RecordedOp &op : device.Ops(RecordedOp::Text))
        out.push_back({op.text, op.rect, op.centred, op.color});
    return out;
}

const EdgeRect kR{1000, 2000, 3000, 3500};

} // namespace

TEST(AddressLines, SplitAtLineFeedsDroppingCarriageReturns)
{
    EXPECT_TRUE(SplitAddressLines(QString()).isEmpty());
    EXPECT_EQ(SplitAddressLines(QStringLiteral("One")), QStringList{QStringLiteral("One")});
    EXPECT_EQ(SplitAddressLines(QStringLiteral("A\r\n\r\nB")),
              (QStringList{QStringLiteral("A"), QString(), QStringLiteral("B")}));
    EXPECT_EQ(SplitAddressLines(QStringLiteral("A\r\nB\r\n")), (QStringList{QStringLiteral("A"), QStringLiteral("B"), QString()}));
    EXPECT_EQ(SplitAddressLines(QStringLiteral("A\nB")), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
}

TEST(AddressLayout, MetricsOfTheFiveFonts)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    EXPECT_EQ(layout.Metrics(ADDR_NAME).tmHeight, 110);
    EXPECT_EQ(layout.Pitch(ADDR_ZIP), 120);
    EXPECT_EQ(layout.Gap(ADDR_TOWN), 22);
    ASSERT_EQ(device.Fonts().size(), 6u); // the stock font and the five
    EXPECT_EQ(device.Fonts()[1].tenths, 120);
    EXPECT_EQ(device.SelectedFont(), 0);
}

TEST(AddressLayout, FontScaleTruncatesTheTenths)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint(), 0.45);
    EXPECT_EQ(device.Fonts()[1].tenths, 54); // trunc(120 × 0.45)
    RecordingDevice tiny(metrics600());
    AddressLayout small(tiny, twelvePoint(), 0.001);
    EXPECT_EQ(tiny.Fonts()[1].tenths, 1);
}

TEST(AddressLayout, TopWithEmptyStreetAndCountry)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("Name", "", "Town", "12345", ""), {});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].text, "Name");
    EXPECT_EQ(t[0].rect, GdiRect(1000, 2000, 3000, 3500));
    // name pitch, then g(name) + g(street) although the street is empty
    EXPECT_EQ(t[1].text, "Town");
    EXPECT_EQ(t[1].rect.top(), 2000 + 120 + 22 + 22);
    EXPECT_EQ(t[2].text, "12345");
    EXPECT_EQ(t[2].rect.top(), 2164 + 120 + 22);
    EXPECT_EQ(t[2].rect.left(), 1000);
    // Each block in its own colour.
    EXPECT_EQ(t[0].color, 0x10u);
    EXPECT_EQ(t[1].color, 0x30u);
    EXPECT_EQ(t[2].color, 0x40u);
    EXPECT_EQ(device.SelectedFont(), 0);
}

TEST(AddressLayout, TopWithEveryBlockAndAnEmptyMiddleLine)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N1\r\n\r\nN3", "S", "T", "Z", "C1\r\nC2"), {});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 8u);
    EXPECT_EQ(t[1].text, "");
    EXPECT_EQ(t[2].rect.top(), 2240);           // the empty line takes a pitch
    EXPECT_EQ(t[3].rect.top(), 2360 + 22);      // street
    EXPECT_EQ(t[4].rect.top(), 2502 + 22);      // town
    EXPECT_EQ(t[5].rect.top(), 2644 + 22);      // ZIP
    EXPECT_EQ(t[6].rect.top(), 2666 + 120 + 22); // country
    EXPECT_EQ(t[7].rect.top(), 2808 + 120);
}

TEST(AddressLayout, JoinedZipBesideTheSecondTownLine)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "S", "Town\r\nBB", "12345", "C"), {HORZ_LEFT, VERT_TOP, true});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 6u);
    const int y = 2000 + 142 + 142;
    EXPECT_EQ(t[2].text, "Town");
    EXPECT_EQ(t[2].rect.topLeft(), QPoint(1000, y));
    EXPECT_EQ(t[3].rect.topLeft(), QPoint(1000, y + 120));
    EXPECT_EQ(t[4].text, "12345");
    // right of the widest town line (4 × 50) plus trunc(1.2 × 50)
    EXPECT_EQ(t[4].rect.topLeft(), QPoint(1000 + 200 + 60, y + 120));
    EXPECT_FALSE(t[4].centred);
    // lower edges level: ZIP top + ZH = town top + TH
    EXPECT_EQ(t[4].rect.top() + 120, t[2].rect.top() + 240);
    // country after max(TH, ZH) + trunc(0.2 × 110 + 0.5)
    EXPECT_EQ(t[5].rect.top(), y + 240 + 22);
}

TEST(AddressLayout, JoinedRowCentredAsOneBlock)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "", "Town", "123", ""), {HORZ_CENTER, VERT_TOP, true});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_TRUE(t[0].centred);
    const int off = (2000 - 60 - 150 - 200) / 2;
    EXPECT_EQ(t[1].rect.left(), 1000 + off);
    EXPECT_FALSE(t[1].centred);
    EXPECT_EQ(t[2].rect.left(), 1000 + off + 200 + 60);
}

TEST(AddressLayout, BottomLeavesTheStreetGapAboveTheBottom)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "S", "T", "Z", ""), {HORZ_LEFT, VERT_BOTTOM, false});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 4u);
    const int S = 3500 - (22 + 120) - (22 + 120) - (22 + 22 + 120 + 120);
    EXPECT_EQ(t[0].rect.top(), S - 33);
    // The ZIP block with its gap ends trunc(0.3 × 110 + 0.5) = 33 above R.bottom.
    EXPECT_EQ(t[3].rect.top() + 120 + 22, 3500 - 33);
}

TEST(AddressLayout, CenterHalvesTheFreeSpace)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "S", "T", "Z", "C"), {HORZ_LEFT, VERT_CENTER, true});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 5u);
    const int S = 3500 - 120 - (22 + 120) - (22 + 120) - (120 + 22);
    EXPECT_EQ(t[0].rect.top(), 2000 + (S - 2000) / 2);
}

TEST(AddressLayout, BottomAndCenterNeverStartAboveTheRectangle)
{
    const EdgeRect small{0, 100, 2000, 400};
    for (int vertical : {int(VERT_BOTTOM), int(VERT_CENTER)}) {
        RecordingDevice device(metrics600());
        AddressLayout layout(device, twelvePoint());
        layout.Draw(small, address("N", "S", "T", "Z", "C"), {HORZ_LEFT, vertical, false});
        ASSERT_FALSE(texts(device).empty());
        EXPECT_EQ(texts(device)[0].rect.top(), 100) << vertical;
    }
}

TEST(AddressLayout, ExpandSpreadsTheFreeSpace)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "S", "T", "Z", "C"), {HORZ_LEFT, VERT_EXPAND, false});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 5u);
    const int n = 1 + 1 + 2; // street has lines, not joined, country has lines
    const int gap = (3500 - 33 - 120 * 5 - 2000) / n;
    EXPECT_EQ(t[0].rect.top(), 2000);
    EXPECT_EQ(t[1].rect.top(), 2000 + 120 + gap);
    EXPECT_EQ(t[2].rect.top(), 2000 + 240 + 2 * gap);
    EXPECT_EQ(t[3].rect.top(), 2000 + 360 + 3 * gap);
    EXPECT_EQ(t[4].rect.top(), 2000 + 480 + 4 * gap);
}

TEST(AddressLayout, ExpandJoinedWithoutStreetAndCountry)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "", "T", "Z", ""), {HORZ_LEFT, VERT_EXPAND, true});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 3u);
    const int n = 2; // after the name and after the (empty) street
    const int gap = (3500 - 33 - 120 - 120 - 2000) / n;
    EXPECT_EQ(t[1].rect.top(), 2000 + 120 + gap + gap); // the street's gap is kept
    EXPECT_LE(t[1].rect.top() + 120, 3500);
}

TEST(AddressLayout, ExpandKeepsEveryLineInsideTheAreaWhenItFits)
{
    // Every combination of a one- or two-line name, an empty or filled
    // street and country, joined or separate ZIP: the last line ends inside
    // R, 0.3 of the street's height above its bottom.
    for (const bool twoLineName : {false, true})
        for (const bool street : {false, true})
            for (const bool country : {false, true})
                for (const bool join : {false, true}) {
                    RecordingDevice device(metrics600());
                    AddressLayout layout(device, twelvePoint());
                    layout.Draw(kR,
                                address(twoLineName ? "Name\r\nDept" : "Name", street ? "S" : "", "T", "Z",
                                        country ? "GERMANY" : ""),
                                {HORZ_LEFT, VERT_EXPAND, join});
                    const auto t = texts(device);
                    ASSERT_FALSE(t.empty());
                    int lowest = 0;
                    for (const auto &line : t)
                        lowest = std::max(lowest, line.rect.top() + 120);
                    const std::string which = std::to_string(twoLineName) + std::to_string(street) +
                                              std::to_string(country) + std::to_string(join);
                    EXPECT_LE(lowest, 3500 - 33) << which;
                    EXPECT_GE(lowest, 3500 - 33 - 6) << which; // the space is used (rounding of the gaps)
                    EXPECT_EQ(t.back().text, QString::fromLatin1(country ? "GERMANY" : "Z")) << which;
                }
}

TEST(AddressLayout, ExpandWithNoRoomHasNoGaps)
{
    const EdgeRect small{0, 0, 2000, 300};
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(small, address("N", "S", "T", "Z", ""), {HORZ_LEFT, VERT_EXPAND, false});
    const auto t = texts(device);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[1].rect.top(), 120);
    EXPECT_EQ(t[3].rect.top(), 360);
}

TEST(AddressLayout, UnknownVerticalValueDrawsNothing)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    layout.Draw(kR, address("N", "S", "T", "Z", "C"), {HORZ_LEFT, 7, false});
    EXPECT_TRUE(device.Ops().empty());
}

TEST(AddressLayout, LinesAreClippedAtTheRectangle)
{
    RecordingDevice device(metrics600());
    AddressLayout layout(device, twelvePoint());
    const EdgeRect R{0, 0, 400, 300};
    layout.Draw(R, address("A very long name", "S", "T", "Z", ""), {});
    const auto t = texts(device);
    for (const Drawn &d : t) {
        EXPECT_EQ(d.rect.left() + d.rect.width(), 400) << d.text.toStdString();
        EXPECT_EQ(d.rect.top() + d.rect.height(), 300) << d.text.toStdString();
    }
    // Lines starting below R.bottom have no height left.
    EXPECT_LE(t.back().rect.height(), 0);
}

TEST(AddressLayout, PaintedTextStaysInsideTheRectangle)
{
    QImage image(800, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(11811); // 300 dpi
    image.setDotsPerMeterY(11811);
    QPainter painter(&image);
    PainterDevice device(painter);
    AddressLayout layout(device, twelvePoint());
    const EdgeRect R{100, 50, 300, 150};
    layout.Draw(R, address("WWWWWWWWWWWWWWWWWWWW", "MMMMMMMMMMMMMMM", "Town", "1", ""), {});
    painter.end();
    int inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 200) {
                EXPECT_TRUE(R.ToQRect().contains(x, y)) << x << "," << y;
                ++inside;
                if (!R.ToQRect().contains(x, y))
                    return;
            }
    EXPECT_GT(inside, 100);
}

TEST(AddressFrame, LinesOfTheGivenThickness)
{
    RecordingDevice device(metrics600());
    DrawAddressFrame(device, {100, 200, 1100, 700}, 2, 3);
    const auto lines = device.Ops(RecordedOp::Line);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].from, QPoint(100, 200));
    EXPECT_EQ(lines[0].to, QPoint(100, 700));
    EXPECT_EQ(lines[1].from, QPoint(1100, 200));
    EXPECT_EQ(lines[3].from, QPoint(1099, 200));
    EXPECT_EQ(lines[4].from, QPoint(100, 200));
    EXPECT_EQ(lines[4].to, QPoint(1100, 200));
    EXPECT_EQ(lines[5].from, QPoint(100, 700));
    EXPECT_EQ(lines[9].from, QPoint(100, 698));
    EXPECT_EQ(FrameThickness(600), 12);
    EXPECT_EQ(FrameThickness(20), 1);
}
