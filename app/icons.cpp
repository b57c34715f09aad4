#include "icons.h"
#include "commandtable.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

const QColor kInk(40, 50, 70);

void folder(QPainter &p, QRectF r, bool open)
{
    p.setPen(QPen(QColor(150, 110, 20), r.width() / 24));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath tab;
    tab.addRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.1, r.width() * 0.45, r.height() * 0.25), 2, 2);
    p.drawPath(tab);
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.25, r.width(), r.height() * 0.7));
    if (open) {
        p.setBrush(QColor(255, 225, 120));
        QPolygonF flap;
        flap << QPointF(r.left() + r.width() * 0.15, r.top() + r.height() * 0.45)
             << QPointF(r.right(), r.top() + r.height() * 0.45) << QPointF(r.right() - r.width() * 0.15, r.bottom() - r.height() * 0.05)
             << QPointF(r.left(), r.bottom() - r.height() * 0.05);
        p.drawPolygon(flap);
    }
}

void card(QPainter &p, QRectF r, QColor fill)
{
    p.setPen(QPen(kInk, std::max(1.0, r.width() / 24)));
    p.setBrush(fill);
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(QColor(90, 120, 180));
    p.drawEllipse(QRectF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.2, r.width() * 0.28, r.height() * 0.35));
    p.setPen(QPen(kInk, std::max(1.0, r.height() / 14)));
    for (int i = 0; i < 3; ++i) {
        const double y = r.top() + r.height() * (0.3 + i * 0.2);
        p.drawLine(QPointF(r.left() + r.width() * 0.48, y), QPointF(r.right() - r.width() * 0.1, y));
    }
}

void envelope(QPainter &p, QRectF r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(250, 246, 230));
    p.drawRect(r);
    p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + r.height() * 0.1));
    p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + r.height() * 0.1));
    p.setBrush(QColor(210, 60, 60));
    p.drawRect(QRectF(r.right() - r.width() * 0.22, r.top() + 2, r.width() * 0.17, r.height() * 0.25));
}

void labelSheet(QPainter &p, QRectF r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setBrush(QColor(200, 230, 255));
    const double w = (r.width() - 6) / 2, h = (r.height() - 8) / 3;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            p.drawRoundedRect(QRectF(r.left() + 2 + i * (w + 2), r.top() + 2 + j * (h + 2), w, h), 2, 2);
}

void magnifier(QPainter &p, QPointF c, double radius)
{
    p.setPen(QPen(QColor(60, 60, 60), radius / 2.5));
    p.drawLine(c + QPointF(radius * 0.7, radius * 0.7), c + QPointF(radius * 1.7, radius * 1.7));
    p.setPen(QPen(QColor(60, 60, 60), radius / 4));
    p.setBrush(QColor(190, 225, 255, 200));
    p.drawEllipse(c, radius, radius);
}

void printer(QPainter &p, QRectF r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(200, 200, 205));
    p.drawRoundedRect(QRectF(r.left(), r.top() + r.height() * 0.35, r.width(), r.height() * 0.45), 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top(), r.width() * 0.6, r.height() * 0.38));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.top() + r.height() * 0.7, r.width() * 0.6, r.height() * 0.3));
}

void badge(QPainter &p, QRectF r, QColor colour, const QString &text)
{
    p.setPen(QPen(colour.darker(), 1));
    p.setBrush(colour);
    p.drawEllipse(r);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.8));
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, text);
}

void arrow(QPainter &p, QPointF from, QPointF to, QColor colour)
{
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::max(1.0, std::hypot(d.x(), d.y()));
    const QPointF u(d.x() / len, d.y() / len), n(-u.y(), u.x());
    QPolygonF head;
    head << to + u * 3 << to - u * 6 + n * 5 << to - u * 6 - n * 5;
    p.setBrush(colour);
    p.drawPolygon(head);
}

// A transparent square of `size` logical pixels at the screen's device pixel
// ratio, so that pictures stay sharp on scaled screens (drawing stays in
// logical pixels).
QPixmap canvas(int size)
{
    const qreal dpr = qGuiApp ? std::max<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
    QPixmap pm(QSize(size, size) * dpr);
    pm.setDevicePixelRatio(dpr);
    return pm;
}

} // namespace

QIcon CommandIcon(int id)
{
    QPixmap pm = canvas(32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF full(2, 2, 28, 28);
    switch (CanonicalCommand(id)) {
    case ID_EDIT_CUT:
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(10, 4), QPointF(20, 20));
        p.drawLine(QPointF(22, 4), QPointF(12, 20));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 19, 8, 8));
        p.drawEllipse(QRectF(19, 19, 8, 8));
        break;
    case ID_EDIT_COPY:
        card(p, QRectF(3, 3, 18, 22), Qt::white);
        card(p, QRectF(11, 8, 18, 22), QColor(235, 245, 255));
        break;
    case ID_EDIT_PASTE:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(4, 5, 20, 25), 2, 2);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRectF(9, 2, 10, 6));
        card(p, QRectF(13, 12, 16, 18), Qt::white);
        break;
    case ID_EDIT_UNDO: {
        p.setPen(QPen(QColor(30, 100, 200), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 8, 20, 18), 90 * 16, -200 * 16);
        QPolygonF head;
        head << QPointF(3, 12) << QPointF(13, 4) << QPointF(13, 19);
        p.setBrush(QColor(30, 100, 200));
        p.setPen(Qt::NoPen);
        p.drawPolygon(head);
        break;
    }
    case ID_SEARCH:
        card(p, QRectF(2, 4, 22, 16), Qt::white);
        magnifier(p, QPointF(19, 18), 6);
        break;
    case ID_REPORT:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6, 2, 20, 28));
        for (int i = 0; i < 6; ++i)
            p.drawLine(QPointF(9, 7 + i * 4), QPointF(23, 7 + i * 4));
        break;
    case ID_FOLDER_NEW:
        folder(p, QRectF(2, 4, 24, 22), false);
        badge(p, QRectF(18, 16, 13, 13), QColor(40, 160, 60), QStringLiteral("+"));
        break;
    case ID_FOLDER_MOVE:
        folder(p, QRectF(2, 4, 24, 22), false);
        arrow(p, QPointF(14, 22), QPointF(28, 22), QColor(30, 100, 200));
        break;
    case ID_FOLDER_DELETE:
        folder(p, QRectF(2, 4, 24, 22), false);
        badge(p, QRectF(18, 16, 13, 13), QColor(200, 40, 40), QStringLiteral("×"));
        break;
    case ID_ADDRESS_COPY:
        card(p, QRectF(2, 3, 20, 15), Qt::white);
        card(p, QRectF(10, 13, 20, 15), QColor(235, 245, 255));
        break;
    case ID_MASS_MOVE:
        card(p, QRectF(2, 4, 20, 15), Qt::white);
        arrow(p, QPointF(8, 25), QPointF(28, 25), QColor(30, 100, 200));
        break;
    case ID_ADDRESS_DELETE:
        card(p, QRectF(2, 4, 22, 17), Qt::white);
        badge(p, QRectF(18, 16, 13, 13), QColor(200, 40, 40), QStringLiteral("×"));
        break;
    case ID_PRINT_ONE_ENVELOPE:
        envelope(p, QRectF(2, 6, 24, 16));
        printer(p, QRectF(16, 16, 15, 15));
        break;
    case ID_MASS_PRINT_ENVELOPE:
        envelope(p, QRectF(6, 2, 22, 14));
        envelope(p, QRectF(2, 8, 22, 14));
        printer(p, QRectF(16, 16, 15, 15));
        break;
    case ID_PRINT_ONE_LABEL:
        labelSheet(p, QRectF(3, 2, 18, 24));
        printer(p, QRectF(16, 16, 15, 15));
        break;
    case ID_MASS_PRINT_LABEL:
        labelSheet(p, QRectF(8, 1, 16, 22));
        labelSheet(p, QRectF(3, 5, 16, 22));
        printer(p, QRectF(16, 16, 15, 15));
        break;
    case ID_PREVIEW_ONE_ENVELOPE:
        envelope(p, QRectF(2, 4, 24, 16));
        magnifier(p, QPointF(19, 19), 6);
        break;
    case ID_MASS_PREVIEW_ENVELOPE:
        envelope(p, QRectF(6, 1, 22, 14));
        envelope(p, QRectF(2, 6, 22, 14));
        magnifier(p, QPointF(19, 19), 6);
        break;
    case ID_PREVIEW_ONE_LABEL:
        labelSheet(p, QRectF(3, 2, 18, 24));
        magnifier(p, QPointF(19, 19), 6);
        break;
    case ID_MASS_PREVIEW_LABEL:
        labelSheet(p, QRectF(8, 1, 16, 22));
        labelSheet(p, QRectF(3, 5, 16, 22));
        magnifier(p, QPointF(19, 19), 6);
        break;
    case ID_HELP_CONTENTS:
        badge(p, full, QColor(30, 100, 200), QStringLiteral("?"));
        break;
    case ID_APP_EXIT_MENU:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(4, 3, 14, 26));
        arrow(p, QPointF(14, 16), QPointF(29, 16), QColor(200, 40, 40));
        break;
    default:
        badge(p, full, QColor(120, 120, 120), QString());
        break;
    }
    return QIcon(pm);
}

QPixmap TreeImage(int index)
{
    QPixmap pm = canvas(16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0: folder(p, QRectF(1, 1, 14, 13), false); break;
    case 1: folder(p, QRectF(1, 1, 14, 13), true); break;
    case 2: card(p, QRectF(1, 3, 14, 10), Qt::white); break;
    default: card(p, QRectF(1, 3, 14, 10), QColor(255, 240, 160)); break;
    }
    return pm;
}

QPixmap PagePicture(int page)
{
    QPixmap pm = canvas(48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (page) {
    case 0:
        card(p, QRectF(2, 8, 40, 30), Qt::white);
        magnifier(p, QPointF(34, 32), 8);
        break;
    case 1:
        card(p, QRectF(2, 8, 40, 30), Qt::white);
        badge(p, QRectF(28, 26, 18, 18), QColor(40, 160, 60), QStringLiteral("+"));
        break;
    case 2:
        card(p, QRectF(2, 8, 40, 30), Qt::white);
        p.setPen(QPen(QColor(200, 120, 20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(26, 44), QPointF(44, 26));
        break;
    default:
        envelope(p, QRectF(2, 10, 40, 26));
        printer(p, QRectF(24, 24, 22, 22));
        break;
    }
    return pm;
}
