#pragma once
// The report printout: a plain list of addresses over as many pages as it
// takes, drawn through the device layer, so that the printer, a PDF file, the
// preview picture and the recording device of the tests all get the same
// page.
//
// Geometry (device pixels of the printer; a preview maps printer pixels onto
// its picture):
// - pixels per cm: trunc(LOGPIXELSX × 0.39370078740157477) across and
//   trunc(LOGPIXELSY × 0.39370078740157477) down;
// - page rectangle (0, 0, HORZRES, VERTRES); content rectangle: the page
//   moved in by round(0.8 × pixels per cm) left and right and by
//   round(1.3 × pixels per cm) at the top and bottom (round: + 0.5, trunc);
// - title font "Arial" bold 16 pt, body font "Times New Roman" bold 12 pt,
//   both character set 238, em height MulDiv(points, resolution, 72);
// - line height of a font: tmHeight + tmExternalLeading; the body font's
//   tmAveCharWidth is the cell padding;
// - underline at y = content top + round(1.3 × title line height), as
//   max(1, round(0.05 × pixels per cm down)) one-pixel lines y, y + 1, ...;
// - first row top y0 = y + round(0.3 × title line height);
// - rows per page = (content height − round(1.6 × title line height)) div
//   body line height, at least 1; pages = ceil(rows ÷ rows per page);
// - row k of a page: top trunc(y0 + k × (content bottom − y0) ÷ rows per
//   page + 0.5).
#include "addressentry.h"
#include "device.h"

#include <array>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

// The widths of the result table's six columns (name, street, town, ZIP,
// country, note) that the printout's columns follow.
using ReportColumnWidths = std::array<int, 6>;
inline constexpr ReportColumnWidths kReportInitialWidths = {110, 110, 110, 50, 110, 110};

// round as the printout computes it: add 0.5 and drop the fraction.
int ReportRound(double value);
// MulDiv(points, resolution, 72): the product divided by 72, rounded.
int ReportFontPixels(int points, int resolution);

struct ReportGeometry {
    int pixelsPerCmX = 0, pixelsPerCmY = 0;
    QRect page;
    // The content rectangle's edges; right and bottom lie outside it.
    int left = 0, top = 0, right = 0, bottom = 0;
    int titleLineHeight = 0, bodyLineHeight = 0;
    int padding = 0; // the body font's average character width
    int underlineY = 0, underlineThickness = 1;
    int firstRowTop = 0;
    int rowsPerPage = 1;

    QRect Content() const { return GdiRect(left, top, right, bottom); }
    int ContentWidth() const { return right - left; }
    int ContentHeight() const { return bottom - top; }
    // Top of row k (0-based) of a page.
    int RowTop(int k) const;
    // ceil(rows ÷ rows per page); 0 for no rows.
    int PageCount(int rows) const;
    // The rows of page p (0-based): [first, end).
    std::pair<int, int> PageRows(int page, int rows) const;
};

ReportGeometry ComputeReportGeometry(const DeviceMetrics &metrics, const TextMetrics &title,
                                     const TextMetrics &body);

// One printout column, from `start` to `end`, measured from the content's
// left edge.
struct ReportColumnSpan {
    int start = 0;
    int end = 0;
    bool operator==(const ReportColumnSpan &) const = default;
};

// The content width split in proportion to the table's column widths:
// column k spans trunc(w × c_k ÷ total) (+1 for k > 0) to
// trunc(w × c_(k+1) ÷ total), the last one ending at w − 1 (c: cumulative
// widths). Widths below 0 count as 0; when they add up to nothing the
// columns share the width equally.
std::array<ReportColumnSpan, 6> ReportColumnSpans(int contentWidth, const ReportColumnWidths &widths);

// The cell of a column in the row with top `rowTop`, in page coordinates:
// from the column's start (plus the padding, except in the first column) to
// the padding before its end, one body line high.
QRect ReportCellRect(const ReportGeometry &geometry, const ReportColumnSpan &span, int column, int rowTop);

// The six texts of a row as printed: name, street, town, ZIP, country and
// note, each on one line (line breaks shown as ", ").
std::array<QString, 6> ReportRowTexts(const AddressEntry &row);

// The title drawn on every page (also the report window's heading).
QString ReportTitle();

class ReportPrinter {
public:
    // Creates the two fonts on the device, reads their metrics and computes
    // the geometry for the device's metrics. Point sizes are turned into
    // pixels with the device's font resolution (a preview sets the printer's).
    explicit ReportPrinter(PrintDevice &device);

    static FontSpec TitleFontSpec();
    static FontSpec BodyFontSpec();
    static constexpr int kTitlePoints = 16;
    static constexpr int kBodyPoints = 12;

    const ReportGeometry &Geometry() const { return m_geometry; }
    DeviceFont TitleFont() const { return m_titleFont; }
    DeviceFont BodyFont() const { return m_bodyFont; }
    int PageCount(int rows) const { return m_geometry.PageCount(rows); }

    // Draws page `page` (0-based) of the rows; `preview` first fills the
    // page with white.
    void DrawPage(int page, const std::vector<AddressEntry> &rows, const ReportColumnWidths &widths, bool preview);

private:
    PrintDevice &m_device;
    DeviceFont m_titleFont = 0;
    DeviceFont m_bodyFont = 0;
    ReportGeometry m_geometry;
};

// The place of a page of `page` proportions fitted into `area` and centred
// in it (at least 1 × 1 pixel).
QRect FitPageInto(const QSize &page, const QRect &area);

// Draws page `page` of the printout for a printer of `printer` metrics into
// a picture of `size` (printer pixels mapped onto it, fonts at the
// printer's resolution, so the picture is the printed page made smaller).
// Returns the picture; `pages` receives the page count.
QImage RenderReportPreview(const DeviceMetrics &printer, const QSize &size, int page,
                           const std::vector<AddressEntry> &rows, const ReportColumnWidths &widths, int *pages);

struct ReportPrintResult {
    bool printerOpened = false; // false: message 43 was shown
    bool started = false;       // the document was started
    bool aborted = false;       // cancelled in the progress window
    int pages = 0;              // pages of the printout
    int pagesPrinted = 0;       // pages ended
};

// Prints the rows on the current printer in portrait: document name message
// 45, the progress window over `owner` (disabled meanwhile), one page after
// the other until the end or Cancel. Nothing happens for no rows.
ReportPrintResult PrintReport(QWidget *owner, const std::vector<AddressEntry> &rows,
                              const ReportColumnWidths &widths);
