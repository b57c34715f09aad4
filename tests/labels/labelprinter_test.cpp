// LabelPrinter on the recording device: label rectangles with and without
// the calibration, the frame, the inner rectangle, the page loop of a job
// and the page a preview draws.
#include "labelprinter.h"
#include "labelorder.h"
#include "recordingdevice.h"

#include <gtest/gtest.h>

namespace {

DeviceMetrics a4(int dpi)
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = dpi;
    m.HORZRES = int(210 / 25.4 * dpi);
    m.VERTRES = int(297 / 25.4 * dpi);
    m.HORZSIZE = 210;
    m.VERTSIZE = 297;
    return m;
}

LabelSize sheet(int rows, int columns)
{
    LabelSize s;
    s.id = 7;
    s.name = QStringLiteral("test sheet");
    s.A = 7.2;
    s.B = 63.5;
    s.C = 2.5;
    s.D = 12.9;
    s.E = 33.9;
    s.F = 1.5;
    s.M = rows;
    s.N = columns;
    return s;
}

AddressEntry address(const QString &name)
{
    AddressEntry a;
    a.id = name.size() + name.at(0).unicode();
    a.name = name;
    a.street = QStringLiteral("Main Street 1");
    a.town = QStringLiteral("Springfield");
    a.zip = QStringLiteral("12345");
    return a;
}

LabelJob job(int rows, int columns, std::vector<QString> names, int copies, bool collate, int first)
{
    LabelJob j;
    j.size = sheet(rows, columns);
    j.style = DefaultLabelStyle();
    j.style.frameOffset = 2.0;
    j.style.addressX = 5.0;
    j.style.addressY = 4.0;
    j.calibration.X = 1.5;
    j.calibration.Y = -2.0;
    for (const QString &n : names)
        j.addresses.push_back(address(n));
    j.copies = copies;
    j.collate = collate;
    j.firstLabel = first;
    return j;
}

// Records each page's drawing.
class RecordingSink : public LabelPageSink {
public:
    explicit RecordingSink(const DeviceMetrics &m) : device(m) {}
    bool StartPage(int number) override
    {
        if (number == failAtPage)
            return false;
        numbers.push_back(number);
        device.Clear();
        return true;
    }
    PrintDevice &Device() override { return device; }
    bool EndPage() override
    {
        pages.push_back(device.Ops());
        return true;
    }

    RecordingDevice device;
    std::vector<int> numbers;
    std::vector<std::vector<RecordedOp>> pages;
    int failAtPage = -1;
};

// The label index and name of every name line drawn on a page: the name
// stands at the inner rectangle's top-left corner (vertical Top, Left).
std::vector<std::pair<int, QString>> namesOnPage(const LabelPrinter &printer, const std::vector<RecordedOp> &ops,
                                                 bool calibrated, int dpi = 300)
{
    const LabelJob &j = printer.Job();
    const int perSheet = j.size.M * j.size.N;
    std::vector<std::pair<int, QString>> found;
    for (const RecordedOp &op : ops) {
        if (op.kind != RecordedOp::Text || !op.text.startsWith(QStringLiteral("Name")))
            continue;
        bool matched = false;
        for (int i = 0; i < perSheet; ++i) {
            const EdgeRect inner = printer.LabelRect(i, calibrated)
                                       .Inset(DeviceUnits(j.style.addressX, dpi), DeviceUnits(j.style.addressY, dpi));
            if (op.rect.left() == inner.left && op.rect.top() == inner.top) {
                found.emplace_back(i, op.text);
                matched = true;
            }
        }
        EXPECT_TRUE(matched) << op.text.toStdString() << " at " << op.rect.left() << "," << op.rect.top();
    }
    return found;
}

} // namespace

TEST(LabelPrinter, LabelRectanglesCalibratedAndNot)
{
    const LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    const LabelPrinter printer(j, a4(300));
    // Label 4: column 1, row 1.
    const double x = 7.2 + 1 * (63.5 + 2.5), y = 12.9 + 1 * (33.9 + 1.5);
    EXPECT_EQ(printer.LabelRect(4, false),
              (EdgeRect{DeviceUnits(x, 300), DeviceUnits(y, 300), DeviceUnits(x + 63.5, 300), DeviceUnits(y + 33.9, 300)}));
    EXPECT_EQ(printer.LabelRect(4, true), (EdgeRect{DeviceUnits(x + 1.5, 300), DeviceUnits(y - 2.0, 300),
                                                    DeviceUnits(x + 63.5 + 1.5, 300), DeviceUnits(y + 33.9 - 2.0, 300)}));
    // trunc((v + X) × 300 ÷ 25.4 + 0.5) for the first label's left edge.
    EXPECT_EQ(printer.LabelRect(0, true).left, int((7.2 + 1.5) * 300 / 25.4 + 0.5));
}

TEST(LabelPrinter, FirstLabelFiveOneAddressFourCopies)
{
    const LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 4, false, 5);
    const LabelPrinter printer(j, a4(300));
    RecordingSink sink(a4(300));
    EXPECT_EQ(printer.RunPages(sink), 1);
    ASSERT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(sink.numbers, std::vector<int>({1}));
    const auto names = namesOnPage(printer, sink.pages[0], true);
    std::vector<int> positions;
    for (const auto &n : names)
        positions.push_back(n.first);
    EXPECT_EQ(positions, std::vector<int>({5, 6, 7, 8}));
    // Five fonts (beside the stock font), made once for the job.
    EXPECT_EQ(sink.device.Fonts().size(), 6u);
}

TEST(LabelPrinter, TwoByTwoSheetCollatedAndNot)
{
    for (const bool collate : {false, true}) {
        const LabelJob j = job(2, 2, {QStringLiteral("Name A"), QStringLiteral("Name B")}, 2, collate, 3);
        const LabelPrinter printer(j, a4(300));
        RecordingSink sink(a4(300));
        EXPECT_EQ(printer.RunPages(sink), 2);
        ASSERT_EQ(sink.pages.size(), 2u);
        EXPECT_EQ(sink.numbers, std::vector<int>({1, 2}));
        const auto first = namesOnPage(printer, sink.pages[0], true);
        const auto second = namesOnPage(printer, sink.pages[1], true);
        ASSERT_EQ(first.size(), 1u);
        EXPECT_EQ(first[0], std::make_pair(3, QStringLiteral("Name A")));
        const std::vector<std::pair<int, QString>> expected =
            collate ? std::vector<std::pair<int, QString>>{{0, QStringLiteral("Name B")},
                                                           {1, QStringLiteral("Name A")},
                                                           {2, QStringLiteral("Name B")}}
                    : std::vector<std::pair<int, QString>>{{0, QStringLiteral("Name A")},
                                                           {1, QStringLiteral("Name B")},
                                                           {2, QStringLiteral("Name B")}};
        EXPECT_EQ(second, expected) << "collate " << collate;
    }
}

TEST(LabelPrinter, FirstLabelTwentyThreeGivesTwoPages)
{
    const LabelJob j = job(8, 3, {QStringLiteral("Name A"), QStringLiteral("Name B")}, 1, false, 23);
    const LabelPrinter printer(j, a4(300));
    RecordingSink sink(a4(300));
    EXPECT_EQ(printer.RunPages(sink), 2);
    ASSERT_EQ(sink.pages.size(), 2u);
    EXPECT_EQ(namesOnPage(printer, sink.pages[0], true),
              (std::vector<std::pair<int, QString>>{{23, QStringLiteral("Name A")}}));
    EXPECT_EQ(namesOnPage(printer, sink.pages[1], true),
              (std::vector<std::pair<int, QString>>{{0, QStringLiteral("Name B")}}));
}

TEST(LabelPrinter, FailedPageEndsTheJob)
{
    const LabelJob j = job(2, 2, {QStringLiteral("Name A"), QStringLiteral("Name B"), QStringLiteral("Name C")}, 3,
                           false, 0);
    const LabelPrinter printer(j, a4(300));
    RecordingSink sink(a4(300));
    sink.failAtPage = 2;
    EXPECT_EQ(printer.RunPages(sink), 1);
    EXPECT_EQ(sink.numbers, std::vector<int>({1}));
}

TEST(LabelPrinter, EmptyListPrintsNoPage)
{
    LabelJob j = job(8, 3, {}, 1, false, 0);
    const LabelPrinter printer(j, a4(300));
    RecordingSink sink(a4(300));
    EXPECT_EQ(printer.RunPages(sink), 0);
    EXPECT_TRUE(sink.numbers.empty());
}

TEST(LabelPrinter, FrameAtOffsetWithItsThickness)
{
    LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    const LabelPrinter printer(j, a4(300));
    RecordingDevice device(a4(300));
    const AddressLayout layout(device, j.style.fonts, 1.0);
    device.Clear();
    printer.DrawLabel(device, layout, 0, j.addresses[0], true);
    const auto lines = device.Ops(RecordedOp::Line);
    const int t = DeviceUnits(0.5, 300); // 6 pixels
    ASSERT_EQ(int(lines.size()), 4 * t);
    const EdgeRect label = printer.LabelRect(0, true);
    const EdgeRect frame = label.Inset(DeviceUnits(2.0, 300), DeviceUnits(2.0, 300));
    for (int k = 0; k < t; ++k) {
        EXPECT_EQ(lines[std::size_t(2 * k)].from, QPoint(frame.left + k, frame.top));
        EXPECT_EQ(lines[std::size_t(2 * k)].to, QPoint(frame.left + k, frame.bottom));
        EXPECT_EQ(lines[std::size_t(2 * k + 1)].from, QPoint(frame.right - k, frame.top));
        EXPECT_EQ(lines[std::size_t(2 * t + 2 * k)].from, QPoint(frame.left, frame.top + k));
        EXPECT_EQ(lines[std::size_t(2 * t + 2 * k)].to, QPoint(frame.right, frame.top + k));
        EXPECT_EQ(lines[std::size_t(2 * t + 2 * k + 1)].from, QPoint(frame.left, frame.bottom - k));
    }
    // The name in the inner rectangle, clipped to it.
    const auto texts = device.Ops(RecordedOp::Text);
    ASSERT_FALSE(texts.empty());
    const EdgeRect inner = label.Inset(DeviceUnits(5.0, 300), DeviceUnits(4.0, 300));
    EXPECT_EQ(texts[0].text, QStringLiteral("Name A"));
    EXPECT_EQ(texts[0].rect, GdiRect(inner.left, inner.top, inner.right, inner.bottom));
}

TEST(LabelPrinter, FrameOffsetZeroIsAtLeastOnePixelThick)
{
    // At 20 dpi 0.5 mm rounds to 0 pixels; the frame still has one.
    LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    j.style.frameOffset = 0;
    const LabelPrinter printer(j, a4(20));
    RecordingDevice device(a4(20));
    const AddressLayout layout(device, j.style.fonts, 1.0);
    device.Clear();
    printer.DrawLabel(device, layout, 4, j.addresses[0], false);
    const auto lines = device.Ops(RecordedOp::Line);
    ASSERT_EQ(lines.size(), 4u);
    const EdgeRect label = printer.LabelRect(4, false);
    EXPECT_EQ(lines[0].from, QPoint(label.left, label.top));
    EXPECT_EQ(lines[0].to, QPoint(label.left, label.bottom));
    EXPECT_EQ(lines[1].from, QPoint(label.right, label.top));
    EXPECT_EQ(lines[2].from, QPoint(label.left, label.top));
    EXPECT_EQ(lines[2].to, QPoint(label.right, label.top));
    EXPECT_EQ(lines[3].from, QPoint(label.left, label.bottom));
}

TEST(LabelPrinter, NoFrameWithoutPrintFrame)
{
    LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    j.style.printFrame = false;
    const LabelPrinter printer(j, a4(300));
    RecordingDevice device(a4(300));
    const AddressLayout layout(device, j.style.fonts, 1.0);
    printer.DrawLabel(device, layout, 0, j.addresses[0], true);
    EXPECT_TRUE(device.Ops(RecordedOp::Line).empty());
    EXPECT_FALSE(device.Ops(RecordedOp::Text).empty());
}

TEST(LabelPrinter, UnknownVerticalDrawsTheFrameOnly)
{
    LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    j.style.vertical = 9;
    const LabelPrinter printer(j, a4(300));
    RecordingDevice device(a4(300));
    const AddressLayout layout(device, j.style.fonts, 1.0);
    printer.DrawLabel(device, layout, 0, j.addresses[0], true);
    EXPECT_FALSE(device.Ops(RecordedOp::Line).empty());
    EXPECT_TRUE(device.Ops(RecordedOp::Text).empty());
}

TEST(LabelPrinter, PreviewDrawsOnlyItsPageUncalibrated)
{
    // 3 addresses × 10 copies on a 3 × 8 sheet: page 2 holds 6 labels.
    const LabelJob j = job(8, 3, {QStringLiteral("Name A"), QStringLiteral("Name B"), QStringLiteral("Name C")}, 10,
                           false, 0);
    const LabelPrinter printer(j, a4(300));
    RecordingDevice device(a4(300));
    printer.DrawPreviewPage(device, 1);
    const auto names = namesOnPage(printer, device.Ops(), false);
    ASSERT_EQ(names.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(names[std::size_t(i)].first, i);
        EXPECT_EQ(names[std::size_t(i)].second, QStringLiteral("Name C"));
    }
    device.Clear();
    printer.DrawPreviewPage(device, 0);
    EXPECT_EQ(namesOnPage(printer, device.Ops(), false).size(), 24u);
    device.Clear();
    printer.DrawPreviewPage(device, 2);
    EXPECT_TRUE(device.Ops(RecordedOp::Text).empty());
}

TEST(LabelPrinter, PreviewFontScale)
{
    const LabelJob j = job(8, 3, {QStringLiteral("Name A")}, 1, false, 0);
    LabelPrinter printer(j, a4(300));
    printer.SetFontScale(0.5);
    RecordingDevice device(a4(300));
    printer.DrawPreviewPage(device, 0);
    ASSERT_EQ(device.Fonts().size(), 6u); // the stock font and five
    for (std::size_t i = 1; i < device.Fonts().size(); ++i)
        EXPECT_EQ(device.Fonts()[i].tenths, 60); // 12 pt × 0.5
}

TEST(LabelPrinter, PreviewExtentAndProportions)
{
    DeviceMetrics m = a4(600);
    m.HORZRES = 4961;
    m.VERTRES = 7016;
    LabelSize s = sheet(8, 3);
    s.paperWidth = 210;
    s.paperHeight = 297;
    // The page of the job: the paper, turned in landscape; the extent has its proportions.
    EXPECT_EQ(LabelPreviewExtent(s, false, m), QSize(4960, 7015));
    EXPECT_EQ(LabelSheetProportions(s, false), QSize(210, 297));
    EXPECT_EQ(LabelPreviewExtent(s, true, m), QSize(7015, 4960));
    EXPECT_EQ(LabelSheetProportions(s, true), QSize(297, 210));
}

namespace {

// The text ops of one label drawn alone.
std::vector<RecordedOp> drawOne(LabelJob &j, const AddressEntry &a)
{
    j.addresses = {a};
    const LabelPrinter printer(j, a4(300));
    RecordingDevice device(a4(300));
    const AddressLayout layout(device, j.style.fonts, 1.0);
    printer.DrawLabel(device, layout, 0, a, false);
    return device.Ops(RecordedOp::Text);
}

} // namespace

TEST(LabelPrinter, EmptyStreetAndCountryAtTheTop)
{
    // 12 pt at 300 dpi on the recording device: em 50, tmHeight 55,
    // external leading 5: pitch 60, gap trunc(0.2 × 55 + 0.5) = 11.
    LabelJob j = job(8, 3, {}, 1, false, 0);
    AddressEntry a = address(QStringLiteral("Name A"));
    a.street.clear();
    a.country.clear();
    const auto texts = drawOne(j, a);
    ASSERT_EQ(texts.size(), 3u);
    const LabelPrinter printer(j, a4(300));
    const EdgeRect inner = printer.LabelRect(0, false).Inset(DeviceUnits(5.0, 300), DeviceUnits(4.0, 300));
    EXPECT_EQ(texts[0].rect.top(), inner.top);
    EXPECT_EQ(texts[1].text, QStringLiteral("Springfield"));
    EXPECT_EQ(texts[1].rect.top(), inner.top + 60 + 11 + 11); // name, g(name), g(street)
    EXPECT_EQ(texts[2].text, QStringLiteral("12345"));
    EXPECT_EQ(texts[2].rect.top(), inner.top + 60 + 11 + 11 + 60 + 11);
}

TEST(LabelPrinter, JoinedZipStandsBesideTheSecondTownLine)
{
    LabelJob j = job(8, 3, {}, 1, false, 0);
    j.style.joinZip = true;
    AddressEntry a = address(QStringLiteral("Name A"));
    a.street.clear();
    a.town = QStringLiteral("Upper\r\nLonger Town");
    const auto texts = drawOne(j, a);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].text, QStringLiteral("Upper"));
    EXPECT_EQ(texts[2].text, QStringLiteral("Longer Town"));
    EXPECT_EQ(texts[3].text, QStringLiteral("12345"));
    // The ZIP's top is the second town line's; it stands right of the
    // widest town line (11 characters of 25 pixels) plus 1.2 average ZIP
    // characters (trunc(25 × 1.2) = 30).
    EXPECT_EQ(texts[3].rect.top(), texts[2].rect.top());
    EXPECT_EQ(texts[3].rect.left(), texts[2].rect.left() + 11 * 25 + 30);
}
