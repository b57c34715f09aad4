#include "sizepictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

namespace {

const QColor kInk(40, 40, 40);
const QColor kDimension(176, 32, 32);

void arrowHead(QPainter &p, QPointF tip, QPointF from)
{
    const double angle = std::atan2(tip.y() - from.y(), tip.x() - from.x());
    const double size = 6;
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - QPointF(size * std::cos(angle - 0.4), size * std::sin(angle - 0.4)));
    head.lineTo(tip - QPointF(size * std::cos(angle + 0.4), size * std::sin(angle + 0.4)));
    head.closeSubpath();
    p.fillPath(head, kDimension);
}

// A dimension line between a and b with arrows at both ends and its letter
// beside the middle (offset by `labelOffset`).
void dimension(QPainter &p, QPointF a, QPointF b, const QString &letter, QPointF labelOffset)
{
    p.setPen(QPen(kDimension, 1));
    p.drawLine(a, b);
    arrowHead(p, a, b);
    arrowHead(p, b, a);
    const QPointF mid = (a + b) / 2 + labelOffset;
    QFont f = p.font();
    f.setBold(true);
    p.setFont(f);
    const QRectF box(mid.x() - 10, mid.y() - 9, 20, 18);
    p.drawText(box, Qt::AlignCenter, letter);
}

void extension(QPainter &p, QPointF a, QPointF b)
{
    p.setPen(QPen(kDimension, 1, Qt::DotLine));
    p.drawLine(a, b);
}

} // namespace

void PaintEnvelopeExample(QPainter &p, const QRectF &area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // An example envelope of 220 × 110 mm with an address area 90 × 40 mm
    // 20 mm from the right and 15 mm from the bottom edge, and a return area
    // 70 × 30 mm 10 mm from the left and top edges.
    const double A = 220, B = 110, C = 90, D = 20, E = 15, F = 40, G = 70, H = 10, K = 10, L = 30;
    const double margin = 30;
    const double scale = std::min((area.width() - 2 * margin) / A, (area.height() - 2 * margin) / B);
    const QPointF o(area.left() + (area.width() - A * scale) / 2, area.top() + (area.height() - B * scale) / 2);
    auto pt = [&](double x, double y) { return QPointF(o.x() + x * scale, o.y() + y * scale); };

    const QRectF envelope(pt(0, 0), pt(A, B));
    p.fillRect(envelope, QColor(255, 253, 240));
    p.setPen(QPen(kInk, 1.5));
    p.drawRect(envelope);
    // The flap's fold lines, faint.
    p.setPen(QPen(QColor(200, 196, 180), 1));
    p.drawLine(pt(0, 0), pt(A / 2, B * 0.45));
    p.drawLine(pt(A, 0), pt(A / 2, B * 0.45));

    const QRectF address(pt(A - D - C, B - E - F), pt(A - D, B - E));
    const QRectF ret(pt(H, K), pt(H + G, K + L));
    p.fillRect(address, QColor(225, 236, 250));
    p.fillRect(ret, QColor(232, 246, 228));
    p.setPen(QPen(kInk, 1));
    p.drawRect(address);
    p.drawRect(ret);
    p.setPen(kInk);
    QFont small = p.font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    p.drawText(address, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Address"));
    p.drawText(ret, Qt::AlignCenter | Qt::TextWordWrap, QStringLiteral("Return address"));

    const double gap = 14 / scale; // 14 pixels in mm
    // A below the envelope, B left of it.
    extension(p, pt(0, B), pt(0, B + 1.6 * gap));
    extension(p, pt(A, B), pt(A, B + 1.6 * gap));
    dimension(p, pt(0, B + 1.3 * gap), pt(A, B + 1.3 * gap), QStringLiteral("A"), QPointF(0, 10));
    extension(p, pt(0, 0), pt(-1.6 * gap, 0));
    extension(p, pt(0, B), pt(-1.6 * gap, B));
    dimension(p, pt(-1.3 * gap, 0), pt(-1.3 * gap, B), QStringLiteral("B"), QPointF(-10, 0));
    // C above the address area, F left of it.
    dimension(p, pt(A - D - C, B - E - F - 0.6 * gap), pt(A - D, B - E - F - 0.6 * gap), QStringLiteral("C"),
              QPointF(0, -9));
    dimension(p, pt(A - D - C - 0.6 * gap, B - E - F), pt(A - D - C - 0.6 * gap, B - E), QStringLiteral("F"),
              QPointF(-10, 0));
    // D from the address area's right side to the right edge, E from its
    // bottom side to the bottom edge.
    dimension(p, pt(A - D, B - E - F / 2), pt(A, B - E - F / 2), QStringLiteral("D"), QPointF(0, -10));
    dimension(p, pt(A - D - C / 2, B - E), pt(A - D - C / 2, B), QStringLiteral("E"), QPointF(10, 0));
    // G below the return area, L right of it; H from the left edge, K from the top edge.
    dimension(p, pt(H, K + L + 0.6 * gap), pt(H + G, K + L + 0.6 * gap), QStringLiteral("G"), QPointF(0, 10));
    dimension(p, pt(H + G + 0.6 * gap, K), pt(H + G + 0.6 * gap, K + L), QStringLiteral("L"), QPointF(10, 0));
    dimension(p, pt(0, K + L / 2), pt(H, K + L / 2), QStringLiteral("H"), QPointF(0, -10));
    dimension(p, pt(H + G / 2, 0), pt(H + G / 2, K), QStringLiteral("K"), QPointF(10, 0));
    p.restore();
}

void PaintLabelSheetExample(QPainter &p, const QRectF &area)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // An example sheet: 3 labels across and 4 down, 60 × 40 mm labels with
    // margins and gaps drawn wide enough to carry their letters.
    const int N = 3, M = 4;
    const double A = 14, B = 60, C = 12, D = 16, E = 40, F = 12;
    const double W = 2 * A + N * B + (N - 1) * C, H = 2 * D + M * E + (M - 1) * F;
    const double margin = 30;
    const double scale = std::min((area.width() - 2 * margin) / W, (area.height() - 2 * margin) / H);
    const QPointF o(area.left() + margin + (area.width() - 2 * margin - W * scale) / 2,
                    area.top() + margin + (area.height() - 2 * margin - H * scale) / 2);
    auto pt = [&](double x, double y) { return QPointF(o.x() + x * scale, o.y() + y * scale); };

    p.fillRect(QRectF(pt(0, 0), pt(W, H)), Qt::white);
    p.setPen(QPen(kInk, 1.5));
    p.drawRect(QRectF(pt(0, 0), pt(W, H)));
    for (int r = 0; r < M; ++r)
        for (int c = 0; c < N; ++c) {
            const QRectF label(pt(A + c * (B + C), D + r * (E + F)), pt(A + c * (B + C) + B, D + r * (E + F) + E));
            p.fillRect(label, QColor(255, 250, 214));
            p.setPen(QPen(kInk, 1));
            p.drawRect(label);
        }
    // Numbers 1…N across above the sheet and 1…M down left of it.
    p.setPen(kInk);
    for (int c = 0; c < N; ++c) {
        const QString text = c == N - 1 ? QStringLiteral("N") : QString::number(c + 1);
        p.drawText(QRectF(pt(A + c * (B + C), 0) - QPointF(0, 22), QSizeF(B * scale, 14)), Qt::AlignCenter, text);
    }
    for (int r = 0; r < M; ++r) {
        const QString text = r == M - 1 ? QStringLiteral("M") : QString::number(r + 1);
        p.drawText(QRectF(pt(0, D + r * (E + F)) - QPointF(24, 0), QSizeF(16, E * scale)), Qt::AlignCenter, text);
    }
    // A: left margin, B: label width, C: horizontal gap (along the first row).
    const double y1 = D + E * 0.3;
    dimension(p, pt(0, y1), pt(A, y1), QStringLiteral("A"), QPointF(0, -10));
    const double y2 = D + E * 0.7;
    dimension(p, pt(A, y2), pt(A + B, y2), QStringLiteral("B"), QPointF(0, -10));
    dimension(p, pt(A + B, y1), pt(A + B + C, y1), QStringLiteral("C"), QPointF(0, -10));
    // D: top margin, E: label height, F: vertical gap (down the second column).
    const double x1 = A + (B + C) + B * 0.3;
    dimension(p, pt(x1, 0), pt(x1, D), QStringLiteral("D"), QPointF(10, 0));
    const double x2 = A + (B + C) + B * 0.7;
    dimension(p, pt(x2, D), pt(x2, D + E), QStringLiteral("E"), QPointF(10, 0));
    dimension(p, pt(x1, D + E), pt(x1, D + E + F), QStringLiteral("F"), QPointF(10, 0));
    p.restore();
}

EnvelopeExamplePicture::EnvelopeExamplePicture(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(320, 200);
    setToolTip(QStringLiteral("Example of an envelope with dimensions"));
}

void EnvelopeExamplePicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintEnvelopeExample(p, rect());
}

LabelSheetExamplePicture::LabelSheetExamplePicture(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(260, 300);
    setToolTip(QStringLiteral("Example of a page with labels"));
}

void LabelSheetExamplePicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintLabelSheetExample(p, rect());
}
