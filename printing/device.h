#pragma once
// The device layer: everything the program prints or previews is drawn
// through this interface, in device pixels (or, after SetMapping, in logical
// units that the mapping scales onto the device). Fonts are made from a
// FontSpec and a height in tenths of a point; the selected font's text
// metrics and text widths are in the same units as the coordinates.
//
// Implementations: PainterDevice (a QPainter on a printer, a PDF file or an
// image) and RecordingDevice (fixed metrics, every call recorded, for tests).
//
// Rectangles are Qt rectangles: a rectangle given by its edges left, top,
// right, bottom with the right and bottom edges outside it (as the layout
// computes them) is GdiRect(left, top, right, bottom).
#include "fontspec.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QColor;
class QPaintDevice;

// The six measurements a print job reads from its printer, in this order.
struct DeviceMetrics {
    int LOGPIXELSX = 0; // pixels per inch across
    int LOGPIXELSY = 0; // pixels per inch down
    int VERTRES = 0;    // printable height in pixels
    int HORZRES = 0;    // printable width in pixels
    int VERTSIZE = 0;   // printable height in mm
    int HORZSIZE = 0;   // printable width in mm

    bool operator==(const DeviceMetrics &) const = default;
};

// The measurements of a Qt paint device (printer, image, widget).
DeviceMetrics MetricsOf(const QPaintDevice &device);

// Metrics of the selected font, in the device's units.
struct TextMetrics {
    int tmHeight = 0;          // ascent + descent
    int tmAscent = 0;
    int tmDescent = 0;
    int tmExternalLeading = 0; // extra space between lines
    int tmAveCharWidth = 0;

    bool operator==(const TextMetrics &) const = default;
};

// A font handle of one device; 0 is the device's stock font.
using DeviceFont = int;

class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    virtual DeviceMetrics Metrics() const = 0;

    // A point-size font: `tenths` is the height in tenths of a point (the
    // FontSpec's own lfHeight is ignored). Its em height in logical units is
    // FontResolution() × tenths ÷ 720 (integer division), at least 1.
    virtual DeviceFont CreatePointFont(const FontSpec &spec, int tenths) = 0;
    // A font whose em height is `pixels` logical units (at least 1).
    virtual DeviceFont CreatePixelFont(const FontSpec &spec, int pixels) = 0;
    // Selects a font for text, metrics and widths; returns the previous one.
    virtual DeviceFont SelectFont(DeviceFont font) = 0;
    virtual TextMetrics GetTextMetrics() const = 0;
    // Width of a single line of text in the selected font.
    virtual int TextWidth(const QString &text) const = 0;

    // Colour of text as 0x00BBGGRR. Text is always drawn on a transparent
    // background.
    virtual void SetTextColor(std::uint32_t colorref) = 0;
    // One line of text drawn as it is (no line breaks, no prefix characters),
    // its top at the rectangle's top, left-aligned or centred in the
    // rectangle's width, clipped to the rectangle.
    virtual void DrawTextLine(const QRect &rect, const QString &text, bool centred) = 0;

    // A line of the one-pixel black pen from (x1, y1) up to, not including,
    // (x2, y2).
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
    // The outline, one black pixel wide, of the ellipse in the box with the
    // edges left, top, right, bottom (right and bottom outside the box), with
    // a hollow interior.
    virtual void DrawEllipse(int left, int top, int right, int bottom) = 0;
    virtual void FillRect(const QRect &rect, std::uint32_t colorref) = 0;
    // Draws an image, already at its final size, with its top-left corner at
    // `topLeft`; one image pixel covers one logical unit.
    virtual void DrawImage(const QPoint &topLeft, const QImage &image) = 0;

    // Anisotropic mapping: the window extent (logical units from (0, 0)) is
    // scaled onto the viewport extent (device pixels from (0, 0)). Used by
    // previews that draw printer pixels into a small picture.
    virtual void SetMapping(const QSize &windowExtent, const QSize &viewportExtent) = 0;
    virtual void ClearMapping() = 0;

    // Logical units per inch that point-size fonts are built for; by default
    // LOGPIXELSY of the device. A preview mapped from printer pixels sets the
    // printer's LOGPIXELSY so that its text has the printout's size.
    int FontResolution() const { return m_fontResolution > 0 ? m_fontResolution : Metrics().LOGPIXELSY; }
    void SetFontResolution(int unitsPerInch) { m_fontResolution = unitsPerInch; }

    // The em height in logical units of a point-size font of `tenths`.
    int PointFontPixels(int tenths) const;

private:
    int m_fontResolution = 0;
};

// The height in tenths of a point of a font whose stored height is scaled
// by a font scale: trunc(tenths × scale), at least 1.
int ScaledFontTenths(int tenths, double scale);

// An image resampled to `size` with the nearest-pixel method (for logos that
// are drawn at the size of their area).
QImage ResampleNearest(const QImage &image, const QSize &size);

inline QRect GdiRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// A COLORREF (0x00BBGGRR) as a Qt colour.
QColor ColorFromRef(std::uint32_t colorref);
