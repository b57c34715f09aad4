#pragma once
// The device layer over a QPainter: a printer, a PDF file or an image. The
// painter must be active on its device for the whole life of the object.
#include "device.h"

#include <QFont>
#include <QPainter>
#include <vector>

// The Qt font of a FontSpec with an em height of `pixels`: face name (cut
// to 31 characters), weight, italic, underline, strike-out, the family and
// pitch hints, and no antialiasing for the non-antialiased quality.
QFont QFontFromSpec(const FontSpec &spec, int pixels);

class PainterDevice : public PrintDevice {
public:
    // Metrics taken from the painter's device.
    explicit PainterDevice(QPainter &painter);
    PainterDevice(QPainter &painter, const DeviceMetrics &metrics);

    DeviceMetrics Metrics() const override { return m_metrics; }
    DeviceFont CreatePointFont(const FontSpec &spec, int tenths) override;
    DeviceFont CreatePixelFont(const FontSpec &spec, int pixels) override;
    DeviceFont SelectFont(DeviceFont font) override;
    TextMetrics GetTextMetrics() const override;
    int TextWidth(const QString &text) const override;
    void SetTextColor(std::uint32_t colorref) override { m_textColor = colorref; }
    void DrawTextLine(const QRect &rect, const QString &text, bool centred) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    void DrawEllipse(int left, int top, int right, int bottom) override;
    void FillRect(const QRect &rect, std::uint32_t colorref) override;
    void DrawImage(const QPoint &topLeft, const QImage &image) override;
    void SetMapping(const QSize &windowExtent, const QSize &viewportExtent) override;
    void ClearMapping() override;

    QPainter &Painter() { return m_painter; }

private:
    QFontMetrics metrics() const;

    QPainter &m_painter;
    DeviceMetrics m_metrics;
    std::vector<QFont> m_fonts;
    DeviceFont m_selected = 0;
    std::uint32_t m_textColor = 0;
};
