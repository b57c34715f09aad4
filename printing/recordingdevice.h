#pragma once
// A device that draws nothing: it has fixed metrics, gives every font text
// metrics computed from its em height by a fixed rule (or by a rule the test
// supplies), and records every drawing call with its coordinates, so that a
// test can check the positions a layout produces.
#include "device.h"

#include <functional>
#include <vector>

struct RecordedOp {
    enum Kind { Line, Ellipse, Text, Fill, Image, Mapping };
    Kind kind = Line;
    QRect rect;         // Text, Fill, Image (position and size), Mapping (window extent)
    QPoint from, to;    // Line: from up to, not including, to; Ellipse: corners
    QString text;       // Text
    bool centred = false;
    DeviceFont font = 0;      // Text: the selected font
    std::uint32_t color = 0;  // Text: text colour; Fill: fill colour
    QSize viewport;     // Mapping
};

struct RecordedFont {
    FontSpec spec;
    int pixels = 0; // em height
    int tenths = 0; // 0 for a pixel font
};

class RecordingDevice : public PrintDevice {
public:
    using MetricsRule = std::function<TextMetrics(const RecordedFont &)>;
    using WidthRule = std::function<int(const RecordedFont &, const QString &)>;

    // The default rule, for an em height h: tmAscent = h × 9 ÷ 10,
    // tmDescent = h × 2 ÷ 10, tmHeight = their sum, tmExternalLeading =
    // h ÷ 10, tmAveCharWidth = max(1, h ÷ 2); a text is tmAveCharWidth wide
    // per character (integer divisions).
    static TextMetrics DefaultMetrics(int emHeight);

    explicit RecordingDevice(const DeviceMetrics &metrics, MetricsRule metricsRule = {}, WidthRule widthRule = {});

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

    const std::vector<RecordedOp> &Ops() const { return m_ops; }
    std::vector<RecordedOp> Ops(RecordedOp::Kind kind) const;
    const std::vector<RecordedFont> &Fonts() const { return m_fonts; }
    DeviceFont SelectedFont() const { return m_selected; }
    void Clear() { m_ops.clear(); }

private:
    DeviceMetrics m_metrics;
    MetricsRule m_metricsRule;
    WidthRule m_widthRule;
    std::vector<RecordedFont> m_fonts;
    std::vector<RecordedOp> m_ops;
    DeviceFont m_selected = 0;
    std::uint32_t m_textColor = 0;
};
