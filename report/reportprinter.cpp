#include "reportprinter.h"

#include "painterdevice.h"
#include "printers.h"
#include "printjob.h"
#include "tvstrings.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kCentimetresPerInch = 0.39370078740157477;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

int lineHeight(const TextMetrics &tm)
{
    return tm.tmHeight + tm.tmExternalLeading;
}

} // namespace

int ReportRound(double value)
{
    return static_cast<int>(std::trunc(value + 0.5));
}

int ReportFontPixels(int points, int resolution)
{
    const long long product = static_cast<long long>(points) * resolution;
    return static_cast<int>(std::max<long long>(1, (product + 36) / 72));
}

int ReportGeometry::RowTop(int k) const
{
    const double step = double(bottom - firstRowTop) / rowsPerPage;
    return static_cast<int>(std::trunc(firstRowTop + k * step + 0.5));
}

int ReportGeometry::PageCount(int rows) const
{
    if (rows <= 0)
        return 0;
    return (rows + rowsPerPage - 1) / rowsPerPage;
}

std::pair<int, int> ReportGeometry::PageRows(int page, int rows) const
{
    const long long first = static_cast<long long>(page) * rowsPerPage;
    const long long end = std::min<long long>(first + rowsPerPage, rows);
    if (page < 0 || first >= rows)
        return {rows, rows};
    return {int(first), int(end)};
}

ReportGeometry ComputeReportGeometry(const DeviceMetrics &metrics, const TextMetrics &title, const TextMetrics &body)
{
    ReportGeometry g;
    g.pixelsPerCmX = static_cast<int>(std::trunc(metrics.LOGPIXELSX * kCentimetresPerInch));
    g.pixelsPerCmY = static_cast<int>(std::trunc(metrics.LOGPIXELSY * kCentimetresPerInch));
    g.page = QRect(0, 0, metrics.HORZRES, metrics.VERTRES);
    const int marginX = ReportRound(0.8 * g.pixelsPerCmX);
    const int marginY = ReportRound(1.3 * g.pixelsPerCmY);
    g.left = marginX;
    g.right = metrics.HORZRES - marginX;
    g.top = marginY;
    g.bottom = metrics.VERTRES - marginY;
    g.titleLineHeight = lineHeight(title);
    g.bodyLineHeight = std::max(1, lineHeight(body));
    g.padding = body.tmAveCharWidth;
    g.underlineY = g.top + ReportRound(1.3 * g.titleLineHeight);
    g.underlineThickness = std::max(1, ReportRound(0.05 * g.pixelsPerCmY));
    g.firstRowTop = g.underlineY + ReportRound(0.3 * g.titleLineHeight);
    // A page too small for one body line still carries one row.
    const int available = g.ContentHeight() - ReportRound(1.6 * g.titleLineHeight);
    g.rowsPerPage = std::max(1, available / g.bodyLineHeight);
    return g;
}

std::array<ReportColumnSpan, 6> ReportColumnSpans(int contentWidth, const ReportColumnWidths &widths)
{
    std::array<long long, 7> cumulative{};
    for (std::size_t k = 0; k < 6; ++k)
        cumulative[k + 1] = cumulative[k] + std::max(0, widths[k]);
    if (cumulative[6] <= 0) {
        for (std::size_t k = 0; k < 6; ++k)
            cumulative[k + 1] = static_cast<long long>(k) + 1;
    }
    const long long total = cumulative[6];
    std::array<ReportColumnSpan, 6> spans;
    for (std::size_t k = 0; k < 6; ++k) {
        spans[k].start = static_cast<int>(contentWidth * cumulative[k] / total) + (k > 0 ? 1 : 0);
        spans[k].end = static_cast<int>(contentWidth * cumulative[k + 1] / total);
    }
    spans[5].end = contentWidth - 1;
    return spans;
}

QRect ReportCellRect(const ReportGeometry &g, const ReportColumnSpan &span, int column, int rowTop)
{
    const int left = g.left + span.start + (column > 0 ? g.padding : 0);
    const int right = g.left + span.end - g.padding;
    return GdiRect(left, rowTop, std::max(left, right), rowTop + g.bodyLineHeight);
}

std::array<QString, 6> ReportRowTexts(const AddressEntry &row)
{
    return {JoinLines(row.name), JoinLines(row.street),  JoinLines(row.town),
            JoinLines(row.zip),  JoinLines(row.country), JoinLines(row.note)};
}

QString ReportTitle()
{
    return QStringLiteral("Addresses that match the requested criteria");
}

FontSpec ReportPrinter::TitleFontSpec()
{
    FontSpec f;
    f.lfHeight = kTitlePoints * 10;
    f.lfWeight = 700;
    f.lfCharSet = 238;
    f.lfFaceName = QStringLiteral("Arial");
    return f;
}

FontSpec ReportPrinter::BodyFontSpec()
{
    FontSpec f;
    f.lfHeight = kBodyPoints * 10;
    f.lfWeight = 700;
    f.lfCharSet = 238;
    f.lfFaceName = QStringLiteral("Times New Roman");
    return f;
}

ReportPrinter::ReportPrinter(PrintDevice &device) : m_device(device)
{
    const int resolution = device.FontResolution();
    m_titleFont = device.CreatePixelFont(TitleFontSpec(), ReportFontPixels(kTitlePoints, resolution));
    m_bodyFont = device.CreatePixelFont(BodyFontSpec(), ReportFontPixels(kBodyPoints, resolution));
    const DeviceFont previous = device.SelectFont(m_titleFont);
    const TextMetrics title = device.GetTextMetrics();
    device.SelectFont(m_bodyFont);
    const TextMetrics body = device.GetTextMetrics();
    device.SelectFont(previous);
    m_geometry = ComputeReportGeometry(device.Metrics(), title, body);
}

void ReportPrinter::DrawPage(int page, const std::vector<AddressEntry> &rows, const ReportColumnWidths &widths,
                             bool preview)
{
    const ReportGeometry &g = m_geometry;
    if (preview)
        m_device.FillRect(g.page, kWhite);
    m_device.SetTextColor(kBlack);

    const DeviceFont previous = m_device.SelectFont(m_titleFont);
    m_device.DrawTextLine(GdiRect(g.left, g.top, g.right, g.top + g.titleLineHeight), ReportTitle(), false);
    for (int i = 0; i < g.underlineThickness; ++i)
        m_device.DrawLine(g.left, g.underlineY + i, g.right, g.underlineY + i);

    m_device.SelectFont(m_bodyFont);
    const auto spans = ReportColumnSpans(g.ContentWidth(), widths);
    const auto [first, end] = g.PageRows(page, int(rows.size()));
    for (int index = first; index < end; ++index) {
        const int rowTop = g.RowTop(index - first);
        const std::array<QString, 6> texts = ReportRowTexts(rows[std::size_t(index)]);
        for (int column = 0; column < 6; ++column)
            m_device.DrawTextLine(ReportCellRect(g, spans[std::size_t(column)], column, rowTop),
                                  texts[std::size_t(column)], false);
    }
    m_device.SelectFont(previous);
}

QRect FitPageInto(const QSize &page, const QRect &area)
{
    if (page.width() <= 0 || page.height() <= 0 || area.width() <= 0 || area.height() <= 0)
        return QRect(area.topLeft(), QSize(1, 1));
    const double scale = std::min(double(area.width()) / page.width(), double(area.height()) / page.height());
    const int w = std::clamp(ReportRound(page.width() * scale), 1, area.width());
    const int h = std::clamp(ReportRound(page.height() * scale), 1, area.height());
    return QRect(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2, w, h);
}

QImage RenderReportPreview(const DeviceMetrics &printer, const QSize &size, int page,
                           const std::vector<AddressEntry> &rows, const ReportColumnWidths &widths, int *pages)
{
    QImage picture(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    PainterDevice device(painter, printer);
    // Printer pixels are mapped onto the picture, and the fonts are made for
    // the printer's resolution: the picture shows the printed page, smaller.
    device.SetFontResolution(printer.LOGPIXELSY);
    device.SetMapping(QSize(printer.HORZRES, printer.VERTRES), picture.size());
    ReportPrinter report(device);
    const int count = report.PageCount(int(rows.size()));
    if (pages)
        *pages = count;
    report.DrawPage(std::clamp(page, 0, std::max(0, count - 1)), rows, widths, true);
    painter.end();
    return picture;
}

ReportPrintResult PrintReport(QWidget *owner, const std::vector<AddressEntry> &rows, const ReportColumnWidths &widths)
{
    ReportPrintResult result;
    if (rows.empty())
        return result;
    std::unique_ptr<QPrinter> printer = CreatePrinterDCOrReport(owner, false);
    if (!printer)
        return result;
    result.printerOpened = true;
    PrintJob job(*printer, owner);
    if (!job.StartDoc(TVLoadStringResource(45)))
        return result;
    result.started = true;
    ReportPrinter report(job.Device());
    result.pages = report.PageCount(int(rows.size()));
    for (int page = 0; page < result.pages; ++page) {
        if (!job.StartPage(page + 1))
            break;
        report.DrawPage(page, rows, widths, false);
        if (!job.EndPage())
            break;
    }
    result.aborted = job.IsAborted();
    result.pagesPrinted = job.PagesPrinted();
    job.EndDoc();
    return result;
}
