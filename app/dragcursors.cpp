#include "dragcursors.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

void arrow(QPainter &p)
{
    QPainterPath path;
    path.moveTo(1, 1);
    path.lineTo(1, 17);
    path.lineTo(5, 13);
    path.lineTo(8, 20);
    path.lineTo(10, 19);
    path.lineTo(7, 12);
    path.lineTo(12, 12);
    path.closeSubpath();
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::black);
    p.drawPath(path);
}

void folder(QPainter &p, QRectF r)
{
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(r.left(), r.top() + 2, r.width() * 0.45, 3));
    p.drawRect(QRectF(r.left(), r.top() + 4, r.width(), r.height() - 4));
}

void card(QPainter &p, QRectF r)
{
    p.setPen(QPen(QColor(40, 50, 70), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(90, 120, 180));
    p.drawEllipse(QRectF(r.left() + 2, r.top() + 2, 4, 4));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(r.left() + 8, r.top() + 3 + i * 3), QPointF(r.right() - 2, r.top() + 3 + i * 3));
}

void plus(QPainter &p, QPointF c)
{
    p.setPen(QPen(QColor(20, 110, 30), 1));
    p.setBrush(QColor(60, 180, 70));
    p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(c.x() - 3, c.y()), QPointF(c.x() + 3, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - 3), QPointF(c.x(), c.y() + 3));
}

void noDrop(QPainter &p)
{
    p.setPen(QPen(QColor(200, 30, 30), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(8, 8, 16, 16));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
}

QCursor draw(int id)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
    case CURSOR_FOLDER_MOVE:
    case CURSOR_FOLDER_COPY:
        arrow(p);
        folder(p, QRectF(12, 16, 14, 11));
        if (id == CURSOR_FOLDER_COPY)
            plus(p, QPointF(25, 26));
        break;
    case CURSOR_ADDRESS_MOVE:
    case CURSOR_ADDRESS_COPY:
        arrow(p);
        card(p, QRectF(12, 17, 15, 10));
        if (id == CURSOR_ADDRESS_COPY)
            plus(p, QPointF(25, 26));
        break;
    default:
        noDrop(p);
        return QCursor(pm, 16, 16);
    }
    return QCursor(pm, 1, 1);
}

} // namespace

QCursor DragCursor(int id)
{
    static QHash<int, QCursor> cache;
    auto it = cache.find(id);
    if (it == cache.end())
        it = cache.insert(id, draw(id));
    return *it;
}
