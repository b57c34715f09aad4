// The printout's geometry, columns and pages, checked on the recording
// device with its fixed metrics.
#include "recordingdevice.h"
#include "reportprinter.h"
#include "reporttable.h"

#include <gtest/gtest.h>

namespace {

// A4 at 600 dpi. Pixels per cm 236; margins round(0.8 × 236) = 189 across
// and round(1.3 × 236) = 307 down. Title font 16 pt: em (16 × 600 + 36) div
// 72 = 133, line 145 + 13 = 158. Body font 12 pt: em 100, line 110 + 10 =
// 120, average character width 50.
DeviceMetrics a4At600()
{
    DeviceMetrics m;
    m.LOGPIXELSX = m.LOGPIXELSY = 600;
    m.HORZRES = 4960;
    m.VERTRES = 7016;
    m.HORZSIZE = 210;
    m.VERTSIZE = 297;
    return m;
}

std::vector<AddressEntry> numberedRows(int n)
{
    std::vector<AddressEntry> rows;
    for (int i = 0; i < n; ++i) {
        AddressEntry a;
        a.id = i + 1;
        a.name = QStringLiteral("Name %1").arg(i);
        a.street = QStringLiteral("Street %1").arg(i);
        a.town = QStringLiteral("Town %1").arg(i);
        a.zip = QStringLiteral("%1").arg(10000 + i);
        a.country = QStringLiteral("Country %1").arg(i);
        a.note = QStringLiteral("Note %1").arg(i);
        rows.push_back(a);
    }
    return rows;
}

std::vector<RecordedOp> texts(const RecordingDevice &device)
{
    return device.Ops(RecordedOp::Text);
}

} // namespace

TEST(ReportGeometry, RoundingHelpers)
{
    EXPECT_EQ(ReportRound(188.8), 189);
    EXPECT_EQ(ReportRound(188.5), 189);
    EXPECT_EQ(ReportRound(188.49), 188);
    EXPECT_EQ(ReportFontPixels(16, 1200), 267); // 266.67 rounded, not cut
    EXPECT_EQ(ReportFontPixels(12, 1200), 200);
    EXPECT_EQ(ReportFontPixels(16, 600), 133);
    EXPECT_EQ(ReportFontPixels(12, 96), 16);
    EXPECT_EQ(ReportFontPixels(12, 1), 1);
}

TEST(ReportGeometry, FontsOfThePrintout)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    const RecordedFont &title = device.Fonts()[std::size_t(report.TitleFont())];
    const RecordedFont &body = device.Fonts()[std::size_t(report.BodyFont())];
    EXPECT_EQ(title.spec.lfFaceName, QStringLiteral("Arial"));
    EXPECT_EQ(title.spec.lfWeight, 700);
    EXPECT_EQ(title.spec.lfCharSet, 238);
    EXPECT_FALSE(title.spec.lfItalic);
    EXPECT_EQ(title.pixels, 133);
    EXPECT_EQ(body.spec.lfFaceName, QStringLiteral("Times New Roman"));
    EXPECT_EQ(body.spec.lfWeight, 700);
    EXPECT_EQ(body.spec.lfCharSet, 238);
    EXPECT_EQ(body.pixels, 100);
}

TEST(ReportGeometry, PageContentAndRowsOnA4)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    const ReportGeometry &g = report.Geometry();
    EXPECT_EQ(g.pixelsPerCmX, 236);
    EXPECT_EQ(g.pixelsPerCmY, 236);
    EXPECT_EQ(g.page, QRect(0, 0, 4960, 7016));
    EXPECT_EQ(g.Content(), GdiRect(189, 307, 4771, 6709));
    EXPECT_EQ(g.titleLineHeight, 158);
    EXPECT_EQ(g.bodyLineHeight, 120);
    EXPECT_EQ(g.padding, 50);
    EXPECT_EQ(g.underlineY, 307 + 205);  // round(1.3 × 158)
    EXPECT_EQ(g.underlineThickness, 12); // round(0.05 × 236)
    EXPECT_EQ(g.firstRowTop, 512 + 47);  // round(0.3 × 158)
    // (6402 − round(1.6 × 158)) div 120 = 6149 div 120
    EXPECT_EQ(g.rowsPerPage, 51);
    // Rows spread evenly from 559 down to the content bottom 6709.
    EXPECT_EQ(g.RowTop(0), 559);
    EXPECT_EQ(g.RowTop(1), 680);  // 559 + 120.59
    EXPECT_EQ(g.RowTop(2), 800);  // 559 + 241.18
    EXPECT_EQ(g.RowTop(50), 6588); // 559 + 6029.41
    EXPECT_EQ(report.PageCount(0), 0);
    EXPECT_EQ(report.PageCount(1), 1);
    EXPECT_EQ(report.PageCount(51), 1);
    EXPECT_EQ(report.PageCount(52), 2);
    EXPECT_EQ(report.PageCount(120), 3);
}

TEST(ReportGeometry, LineHeightsAndPaddingFromTheFontMetrics)
{
    // Title: 300 + 20; body: 200 + 30, average width 77.
    auto rule = [](const RecordedFont &f) {
        TextMetrics tm;
        const bool title = f.spec.lfFaceName == QLatin1String("Arial");
        tm.tmAscent = title ? 240 : 160;
        tm.tmDescent = title ? 60 : 40;
        tm.tmHeight = tm.tmAscent + tm.tmDescent;
        tm.tmExternalLeading = title ? 20 : 30;
        tm.tmAveCharWidth = title ? 99 : 77;
        return tm;
    };
    DeviceMetrics m = a4At600();
    m.LOGPIXELSX = 300; // 118 pixels per cm across: margin round(94.4) = 94
    RecordingDevice device(m, rule);
    ReportPrinter report(device);
    const ReportGeometry &g = report.Geometry();
    EXPECT_EQ(g.pixelsPerCmX, 118);
    EXPECT_EQ(g.left, 94);
    EXPECT_EQ(g.right, 4960 - 94);
    EXPECT_EQ(g.titleLineHeight, 320);
    EXPECT_EQ(g.bodyLineHeight, 230);
    EXPECT_EQ(g.padding, 77);
    EXPECT_EQ(g.underlineY, 307 + 416);
    EXPECT_EQ(g.firstRowTop, 723 + 96);
    EXPECT_EQ(g.rowsPerPage, (6402 - 512) / 230);
}

TEST(ReportGeometry, PageTooSmallForOneLineStillGetsOneRow)
{
    DeviceMetrics m = a4At600();
    m.VERTRES = 914; // content 300 high: less than round(1.6 × 158) + 120
    RecordingDevice device(m);
    ReportPrinter report(device);
    EXPECT_EQ(report.Geometry().rowsPerPage, 1);
    EXPECT_EQ(report.PageCount(3), 3);
    const std::vector<AddressEntry> rows = numberedRows(3);
    report.DrawPage(2, rows, kReportInitialWidths, false);
    const auto drawn = texts(device);
    ASSERT_EQ(drawn.size(), 7u); // title and one row
    EXPECT_EQ(drawn[1].text, QStringLiteral("Name 2"));
    EXPECT_EQ(drawn[1].rect.top(), 559);
    // Even a page with no room below the title.
    m.VERTRES = 100;
    RecordingDevice tiny(m);
    EXPECT_EQ(ReportPrinter(tiny).Geometry().rowsPerPage, 1);
}

TEST(ReportGeometry, ColumnsInProportionToTheTableWidths)
{
    // Content width 4582, widths 110 110 110 50 110 110 (total 600).
    const auto spans = ReportColumnSpans(4582, kReportInitialWidths);
    EXPECT_EQ(spans[0], (ReportColumnSpan{0, 840}));
    EXPECT_EQ(spans[1], (ReportColumnSpan{841, 1680}));
    EXPECT_EQ(spans[2], (ReportColumnSpan{1681, 2520}));
    EXPECT_EQ(spans[3], (ReportColumnSpan{2521, 2901}));
    EXPECT_EQ(spans[4], (ReportColumnSpan{2902, 3741}));
    EXPECT_EQ(spans[5], (ReportColumnSpan{3742, 4581}));
    // Equal widths split the width equally; the last column ends at w − 1.
    const auto equal = ReportColumnSpans(600, {7, 7, 7, 7, 7, 7});
    EXPECT_EQ(equal[0], (ReportColumnSpan{0, 100}));
    EXPECT_EQ(equal[3], (ReportColumnSpan{301, 400}));
    EXPECT_EQ(equal[5], (ReportColumnSpan{501, 599}));
    // A wide first column takes its share.
    const auto wide = ReportColumnSpans(1000, {500, 100, 100, 100, 100, 100});
    EXPECT_EQ(wide[0], (ReportColumnSpan{0, 500}));
    EXPECT_EQ(wide[1], (ReportColumnSpan{501, 600}));
    // No width at all: equal shares rather than a division by zero.
    const auto none = ReportColumnSpans(600, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(none[1], (ReportColumnSpan{101, 200}));
}

TEST(ReportGeometry, CellsArePaddedAndClipped)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    const ReportGeometry &g = report.Geometry();
    const auto spans = ReportColumnSpans(g.ContentWidth(), kReportInitialWidths);
    // The first column starts at the content's left edge, the others one
    // average character width after their start; each ends one before.
    EXPECT_EQ(ReportCellRect(g, spans[0], 0, 559), GdiRect(189, 559, 189 + 840 - 50, 679));
    EXPECT_EQ(ReportCellRect(g, spans[1], 1, 559), GdiRect(189 + 841 + 50, 559, 189 + 1680 - 50, 679));
    EXPECT_EQ(ReportCellRect(g, spans[5], 5, 680), GdiRect(189 + 3742 + 50, 680, 189 + 4581 - 50, 800));
}

TEST(ReportGeometry, DrawsTitleUnderlineAndRows)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    std::vector<AddressEntry> rows = numberedRows(2);
    rows[1].name = QStringLiteral("Alpha s.r.o.\r\nJan Novák");
    rows[1].street = QStringLiteral("Polní 3\r\nP.O. Box 12");
    report.DrawPage(0, rows, kReportInitialWidths, false);

    EXPECT_TRUE(device.Ops(RecordedOp::Fill).empty()); // printing: no white page
    const auto drawn = texts(device);
    ASSERT_EQ(drawn.size(), 13u);
    EXPECT_EQ(drawn[0].text, QStringLiteral("Addresses that match the requested criteria"));
    EXPECT_EQ(drawn[0].rect.topLeft(), QPoint(189, 307));
    EXPECT_EQ(drawn[0].font, report.TitleFont());
    EXPECT_FALSE(drawn[0].centred);
    EXPECT_EQ(drawn[0].color, 0u);

    const auto lines = device.Ops(RecordedOp::Line);
    ASSERT_EQ(lines.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(lines[std::size_t(i)].from, QPoint(189, 512 + i));
        EXPECT_EQ(lines[std::size_t(i)].to, QPoint(4771, 512 + i));
    }

    const QStringList first = {QStringLiteral("Name 0"), QStringLiteral("Street 0"), QStringLiteral("Town 0"),
                               QStringLiteral("10000"),  QStringLiteral("Country 0"), QStringLiteral("Note 0")};
    for (int c = 0; c < 6; ++c) {
        const RecordedOp &op = drawn[std::size_t(1 + c)];
        EXPECT_EQ(op.text, first[c]);
        EXPECT_EQ(op.font, report.BodyFont());
        EXPECT_EQ(op.rect.top(), 559);
        EXPECT_FALSE(op.centred);
    }
    // The two-line name and street are printed on one line joined by ", ".
    EXPECT_EQ(drawn[7].text, QStringLiteral("Alpha s.r.o., Jan Novák"));
    EXPECT_EQ(drawn[8].text, QStringLiteral("Polní 3, P.O. Box 12"));
    EXPECT_EQ(drawn[7].rect.top(), 680);
    EXPECT_EQ(drawn[7].rect, GdiRect(189, 680, 979, 800));
}

TEST(ReportGeometry, PreviewFillsThePageWhiteFirst)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    report.DrawPage(0, numberedRows(1), kReportInitialWidths, true);
    ASSERT_FALSE(device.Ops().empty());
    const RecordedOp &first = device.Ops().front();
    EXPECT_EQ(first.kind, RecordedOp::Fill);
    EXPECT_EQ(first.rect, QRect(0, 0, 4960, 7016));
    EXPECT_EQ(first.color, 0xFFFFFFu);
}

TEST(ReportGeometry, PagesTakeTheirShareOfRows)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    const std::vector<AddressEntry> rows = numberedRows(120);
    report.DrawPage(1, rows, kReportInitialWidths, false);
    auto drawn = texts(device);
    ASSERT_EQ(drawn.size(), 1u + 51u * 6u);
    EXPECT_EQ(drawn[1].text, QStringLiteral("Name 51"));
    EXPECT_EQ(drawn[1].rect.top(), 559);
    EXPECT_EQ(drawn[drawn.size() - 6].text, QStringLiteral("Name 101"));
    EXPECT_EQ(drawn[drawn.size() - 6].rect.top(), 6588);

    device.Clear();
    report.DrawPage(2, rows, kReportInitialWidths, false);
    drawn = texts(device);
    ASSERT_EQ(drawn.size(), 1u + 18u * 6u);
    EXPECT_EQ(drawn[1].text, QStringLiteral("Name 102"));
    EXPECT_EQ(drawn.back().text, QStringLiteral("Note 119"));

    // Past the last page only the title and underline.
    device.Clear();
    report.DrawPage(3, rows, kReportInitialWidths, false);
    EXPECT_EQ(texts(device).size(), 1u);
}

TEST(ReportGeometry, ColumnsFollowTheTableWidthsWhenDrawn)
{
    RecordingDevice device(a4At600());
    ReportPrinter report(device);
    report.DrawPage(0, numberedRows(1), {300, 60, 60, 60, 60, 60}, false);
    const auto drawn = texts(device);
    ASSERT_EQ(drawn.size(), 7u);
    // Content width 4582: the name column ends at trunc(4582 × 300 ÷ 600).
    EXPECT_EQ(drawn[1].rect.right() + 1, 189 + 2291 - 50);
    EXPECT_EQ(drawn[2].rect.left(), 189 + 2292 + 50);
}

TEST(ReportGeometry, PageFittedAndCentredInTheTablesPlace)
{
    // A4 proportions in a wide area: full height, centred across.
    const QRect fit = FitPageInto(QSize(4960, 7016), QRect(14, 52, 602, 198));
    EXPECT_EQ(fit.height(), 198);
    EXPECT_EQ(fit.width(), 140); // 4960 × 198 ÷ 7016 = 139.98
    EXPECT_EQ(fit.left(), 14 + (602 - 140) / 2);
    EXPECT_EQ(fit.top(), 52);
    // In a tall area: full width, centred down.
    const QRect tall = FitPageInto(QSize(1000, 500), QRect(0, 0, 200, 400));
    EXPECT_EQ(tall, QRect(0, 150, 200, 100));
    EXPECT_EQ(FitPageInto(QSize(0, 0), QRect(5, 5, 10, 10)).size(), QSize(1, 1));
}

TEST(ReportGeometry, ColumnWidthsRescaledInProportion)
{
    const std::array<double, 6> start = {110, 110, 110, 50, 110, 110};
    std::array<double, 6> w = RescaleColumnWidths(start, 600, 900);
    EXPECT_EQ(RoundColumnWidths(w), (ReportColumnWidths{165, 165, 165, 75, 165, 165}));
    // Many small steps and back do not drift.
    for (int width = 900; width > 601; width -= 7)
        w = RescaleColumnWidths(w, width, width - 7);
    w = RescaleColumnWidths(w, 900 - 7 * 43, 600);
    EXPECT_EQ(RoundColumnWidths(w), (ReportColumnWidths{110, 110, 110, 50, 110, 110}));
    // Nothing to scale from.
    EXPECT_EQ(RescaleColumnWidths(start, 0, 500), start);
}
