#include "painterdevice.h"

#include <QFontMetrics>
#include <QPen>
#include <algorithm>
#include <cstdlib>

QFont QFontFromSpec(const FontSpec &spec, int pixels)
{
    QFont font(spec.lfFaceName.left(31));
    font.setPixelSize(std::max(1, pixels));
    const int weight = spec.lfWeight <= 0 ? 400 : std::clamp(int(spec.lfWeight), 100, 900);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(spec.lfItalic);
    font.setUnderline(spec.lfUnderline);
    font.setStrikeOut(spec.lfStrikeOut);
    // Family in the high nibble: 1 roman, 2 swiss, 3 modern, 4 script, 5 decorative.
    QFont::StyleHint hint = QFont::AnyStyle;
    switch (spec.lfPitchAndFamily >> 4) {
    case 1: hint = QFont::Serif; break;
    case 2: hint = QFont::SansSerif; break;
    case 3: hint = QFont::TypeWriter; break;
    case 4: hint = QFont::Cursive; break;
    case 5: hint = QFont::Decorative; break;
    default: break;
    }
    font.setStyleHint(hint);
    if ((spec.lfPitchAndFamily & 3) == 1)
        font.setFixedPitch(true);
    if (spec.lfQuality == 3) // non-antialiased quality
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

PainterDevice::PainterDevice(QPainter &painter) : PainterDevice(painter, MetricsOf(*painter.device())) {}

PainterDevice::PainterDevice(QPainter &painter, const DeviceMetrics &metrics) : m_painter(painter), m_metrics(metrics)
{
    // The stock font: Arial at 10 points.
    FontSpec stock;
    stock.lfFaceName = QStringLiteral("Arial");
    m_fonts.push_back(QFontFromSpec(stock, PointFontPixels(100)));
    m_painter.setBackgroundMode(Qt::TransparentMode);
    m_painter.setBrush(Qt::NoBrush);
}

DeviceFont PainterDevice::CreatePointFont(const FontSpec &spec, int tenths)
{
    return CreatePixelFont(spec, PointFontPixels(tenths));
}

DeviceFont PainterDevice::CreatePixelFont(const FontSpec &spec, int pixels)
{
    m_fonts.push_back(QFontFromSpec(spec, pixels));
    return DeviceFont(m_fonts.size() - 1);
}

DeviceFont PainterDevice::SelectFont(DeviceFont font)
{
    const DeviceFont previous = m_selected;
    if (font >= 0 && std::size_t(font) < m_fonts.size())
        m_selected = font;
    return previous;
}

QFontMetrics PainterDevice::metrics() const
{
    return QFontMetrics(m_fonts[std::size_t(m_selected)], m_painter.device());
}

TextMetrics PainterDevice::GetTextMetrics() const
{
    const QFontMetrics fm = metrics();
    TextMetrics tm;
    tm.tmAscent = fm.ascent();
    tm.tmDescent = fm.descent();
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmExternalLeading = std::max(0, fm.leading());
    tm.tmAveCharWidth = fm.averageCharWidth();
    return tm;
}

int PainterDevice::TextWidth(const QString &text) const
{
    return metrics().horizontalAdvance(text);
}

void PainterDevice::DrawTextLine(const QRect &rect, const QString &text, bool centred)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;
    const QFontMetrics fm = metrics();
    int x = rect.left();
    if (centred)
        x += (rect.width() - fm.horizontalAdvance(text)) / 2;
    m_painter.save();
    m_painter.setClipRect(rect, Qt::IntersectClip);
    m_painter.setFont(m_fonts[std::size_t(m_selected)]);
    m_painter.setPen(ColorFromRef(m_textColor));
    m_painter.drawText(QPoint(x, rect.top() + fm.ascent()), text);
    m_painter.restore();
}

void PainterDevice::DrawLine(int x1, int y1, int x2, int y2)
{
    const int dx = x2 - x1, dy = y2 - y1;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0)
        return;
    // The last point is not drawn: stop one step before it.
    const double back = double(steps - 1) / steps;
    const QPointF end(x1 + dx * back, y1 + dy * back);
    QPen pen(Qt::black);
    pen.setCosmetic(true);
    pen.setWidth(0);
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setPen(pen);
    if (steps == 1)
        m_painter.drawPoint(QPoint(x1, y1));
    else
        m_painter.drawLine(QPointF(x1, y1), end);
    m_painter.restore();
}

void PainterDevice::DrawEllipse(int left, int top, int right, int bottom)
{
    if (right - left < 2 || bottom - top < 2)
        return;
    QPen pen(Qt::black);
    pen.setCosmetic(true);
    pen.setWidth(0);
    m_painter.save();
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawEllipse(QRectF(left, top, right - left - 1, bottom - top - 1));
    m_painter.restore();
}

void PainterDevice::FillRect(const QRect &rect, std::uint32_t colorref)
{
    m_painter.fillRect(rect, ColorFromRef(colorref));
}

void PainterDevice::DrawImage(const QPoint &topLeft, const QImage &image)
{
    m_painter.drawImage(topLeft, image);
}

void PainterDevice::SetMapping(const QSize &windowExtent, const QSize &viewportExtent)
{
    m_painter.setWindow(QRect(QPoint(0, 0), windowExtent));
    m_painter.setViewport(QRect(QPoint(0, 0), viewportExtent));
    m_painter.setViewTransformEnabled(true);
}

void PainterDevice::ClearMapping()
{
    m_painter.setViewTransformEnabled(false);
}
