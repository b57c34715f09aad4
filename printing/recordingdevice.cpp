#include "recordingdevice.h"

#include <algorithm>

TextMetrics RecordingDevice::DefaultMetrics(int h)
{
    TextMetrics tm;
    tm.tmAscent = h * 9 / 10;
    tm.tmDescent = h * 2 / 10;
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmExternalLeading = h / 10;
    tm.tmAveCharWidth = std::max(1, h / 2);
    return tm;
}

RecordingDevice::RecordingDevice(const DeviceMetrics &metrics, MetricsRule metricsRule, WidthRule widthRule)
    : m_metrics(metrics), m_metricsRule(std::move(metricsRule)), m_widthRule(std::move(widthRule))
{
    RecordedFont stock;
    stock.spec.lfFaceName = QStringLiteral("Arial");
    stock.tenths = 100;
    stock.pixels = PointFontPixels(100);
    m_fonts.push_back(stock);
}

DeviceFont RecordingDevice::CreatePointFont(const FontSpec &spec, int tenths)
{
    m_fonts.push_back(RecordedFont{spec, PointFontPixels(tenths), tenths});
    return DeviceFont(m_fonts.size() - 1);
}

DeviceFont RecordingDevice::CreatePixelFont(const FontSpec &spec, int pixels)
{
    m_fonts.push_back(RecordedFont{spec, std::max(1, pixels), 0});
    return DeviceFont(m_fonts.size() - 1);
}

DeviceFont RecordingDevice::SelectFont(DeviceFont font)
{
    const DeviceFont previous = m_selected;
    if (font >= 0 && std::size_t(font) < m_fonts.size())
        m_selected = font;
    return previous;
}

TextMetrics RecordingDevice::GetTextMetrics() const
{
    const RecordedFont &f = m_fonts[std::size_t(m_selected)];
    return m_metricsRule ? m_metricsRule(f) : DefaultMetrics(f.pixels);
}

int RecordingDevice::TextWidth(const QString &text) const
{
    const RecordedFont &f = m_fonts[std::size_t(m_selected)];
    if (m_widthRule)
        return m_widthRule(f, text);
    return GetTextMetrics().tmAveCharWidth * int(text.size());
}

void RecordingDevice::DrawTextLine(const QRect &rect, const QString &text, bool centred)
{
    RecordedOp op;
    op.kind = RecordedOp::Text;
    op.rect = rect;
    op.text = text;
    op.centred = centred;
    op.font = m_selected;
    op.color = m_textColor;
    m_ops.push_back(op);
}

void RecordingDevice::DrawLine(int x1, int y1, int x2, int y2)
{
    RecordedOp op;
    op.kind = RecordedOp::Line;
    op.from = QPoint(x1, y1);
    op.to = QPoint(x2, y2);
    m_ops.push_back(op);
}

void RecordingDevice::DrawEllipse(int left, int top, int right, int bottom)
{
    RecordedOp op;
    op.kind = RecordedOp::Ellipse;
    op.from = QPoint(left, top);
    op.to = QPoint(right, bottom);
    m_ops.push_back(op);
}

void RecordingDevice::FillRect(const QRect &rect, std::uint32_t colorref)
{
    RecordedOp op;
    op.kind = RecordedOp::Fill;
    op.rect = rect;
    op.color = colorref;
    m_ops.push_back(op);
}

void RecordingDevice::DrawImage(const QPoint &topLeft, const QImage &image)
{
    RecordedOp op;
    op.kind = RecordedOp::Image;
    op.rect = QRect(topLeft, image.size());
    m_ops.push_back(op);
}

void RecordingDevice::SetMapping(const QSize &windowExtent, const QSize &viewportExtent)
{
    RecordedOp op;
    op.kind = RecordedOp::Mapping;
    op.rect = QRect(QPoint(0, 0), windowExtent);
    op.viewport = viewportExtent;
    m_ops.push_back(op);
}

void RecordingDevice::ClearMapping()
{
    RecordedOp op;
    op.kind = RecordedOp::Mapping;
    m_ops.push_back(op);
}

std::vector<RecordedOp> RecordingDevice::Ops(RecordedOp::Kind kind) const
{
    std::vector<RecordedOp> result;
    std::copy_if(m_ops.begin(), m_ops.end(), std::back_inserter(result),
                 [kind](const RecordedOp &op) { return op.kind == kind; });
    return result;
}
