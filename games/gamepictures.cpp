#include "gamepictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace {

QImage Canvas()
{
    QImage image(kSnakeIconSize, kSnakeIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Shine(QPainter &p, QPointF at, qreal r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(at, r, r * 0.7);
}

// 260: a red apple with a stalk and a leaf.
QImage Apple()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient body(QPointF(12, 14), 18);
    body.setColorAt(0, QColor(255, 90, 80));
    body.setColorAt(1, QColor(170, 10, 20));
    p.setPen(QPen(QColor(110, 0, 10), 1));
    p.setBrush(body);
    QPainterPath apple;
    apple.moveTo(16, 10);
    apple.cubicTo(24, 4, 32, 12, 29, 21);
    apple.cubicTo(27, 28, 21, 31, 16, 28);
    apple.cubicTo(11, 31, 5, 28, 3, 21);
    apple.cubicTo(0, 12, 8, 4, 16, 10);
    p.drawPath(apple);
    p.setPen(QPen(QColor(100, 60, 20), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 10), QPointF(18, 3));
    p.setPen(QPen(QColor(20, 90, 20), 1));
    p.setBrush(QColor(60, 170, 50));
    QPainterPath leaf;
    leaf.moveTo(18, 6);
    leaf.quadTo(23, 0, 28, 3);
    leaf.quadTo(24, 8, 18, 6);
    p.drawPath(leaf);
    Shine(p, QPointF(10, 15), 3);
    return image;
}

// 257 (type 1): two cherries on a forked stalk.
QImage Cherries()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 110, 30), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath stalks;
    stalks.moveTo(9, 20);
    stalks.quadTo(12, 8, 20, 3);
    stalks.moveTo(23, 22);
    stalks.quadTo(21, 10, 20, 3);
    p.drawPath(stalks);
    for (QPointF c : {QPointF(9, 23), QPointF(23, 24)}) {
        QRadialGradient g(c - QPointF(2, 2), 8);
        g.setColorAt(0, QColor(240, 60, 80));
        g.setColorAt(1, QColor(130, 0, 30));
        p.setPen(QPen(QColor(90, 0, 20), 1));
        p.setBrush(g);
        p.drawEllipse(c, 6.5, 6.5);
        Shine(p, c - QPointF(2.5, 2.5), 1.6);
    }
    return image;
}

// 258 (type 3): an orange with a small leaf.
QImage Orange()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(12, 13), 17);
    g.setColorAt(0, QColor(255, 200, 80));
    g.setColorAt(1, QColor(225, 110, 0));
    p.setPen(QPen(QColor(160, 70, 0), 1));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 18), 13, 12.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 90, 0, 120));
    for (QPointF d : {QPointF(12, 22), QPointF(20, 16), QPointF(22, 24), QPointF(9, 16), QPointF(16, 27)})
        p.drawEllipse(d, 0.8, 0.8);
    p.setPen(QPen(QColor(30, 100, 30), 1));
    p.setBrush(QColor(70, 160, 50));
    QPainterPath leaf;
    leaf.moveTo(16, 6);
    leaf.quadTo(20, 0, 26, 2);
    leaf.quadTo(22, 7, 16, 6);
    p.drawPath(leaf);
    Shine(p, QPointF(10, 13), 2.5);
    return image;
}

// 259 (type 6): a golden star.
QImage Star()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = (i % 2 == 0) ? 15.0 : 6.5;
        star << QPointF(16 + r * std::cos(angle), 17 + r * std::sin(angle));
    }
    QLinearGradient g(0, 2, 0, 31);
    g.setColorAt(0, QColor(255, 240, 120));
    g.setColorAt(1, QColor(230, 160, 0));
    p.setPen(QPen(QColor(150, 95, 0), 1.2));
    p.setBrush(g);
    p.drawPolygon(star);
    Shine(p, QPointF(13, 12), 2);
    return image;
}

// 256 (type 10): a cut blue diamond.
QImage Diamond()
{
    QImage image = Canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF tl(5, 10), tr(27, 10), bottom(16, 30), ml(10, 4), mr(22, 4), c(16, 10);
    p.setPen(QPen(QColor(10, 40, 120), 1));
    p.setBrush(QColor(60, 130, 240));
    p.drawPolygon(QPolygonF({ml, mr, tr, bottom, tl}));
    p.setBrush(QColor(150, 200, 255));
    p.drawPolygon(QPolygonF({ml, mr, c}));
    p.setBrush(QColor(30, 90, 200));
    p.drawPolygon(QPolygonF({tl, c, bottom}));
    p.setBrush(QColor(100, 165, 250));
    p.drawPolygon(QPolygonF({c, tr, bottom}));
    Shine(p, QPointF(13, 7), 1.8);
    return image;
}

} // namespace

int SnakeBonusIcon(int type)
{
    switch (type) {
    case 1:
        return 257;
    case 3:
        return 258;
    case 6:
        return 259;
    case 10:
        return 256;
    default:
        return 0;
    }
}

QImage SnakePicture(int id)
{
    switch (id) {
    case 256:
        return Diamond();
    case 257:
        return Cherries();
    case 258:
        return Orange();
    case 259:
        return Star();
    case 260:
        return Apple();
    default:
        return {};
    }
}
