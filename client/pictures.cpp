#include "client/pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace pandrel::pictures {

namespace {

QPixmap blank(int w, int h) {
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

// A small screen with its stand; the sign of the link to the server.
void drawScreen(QPainter& g, const QColor& glass) {
    g.setPen(QPen(QColor(200, 200, 200), 2));
    g.setBrush(glass);
    g.drawRoundedRect(QRectF(5, 3, 36, 26), 3, 3);
    g.setBrush(QColor(200, 200, 200));
    g.drawRect(QRectF(19, 29, 8, 5));
    g.drawRect(QRectF(12, 34, 22, 4));
}

}  // namespace

QPixmap decoration() {
    QPixmap p = blank(49, 25);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(3, 9);
    arrow.lineTo(30, 9);
    arrow.lineTo(30, 3);
    arrow.lineTo(46, 12.5);
    arrow.lineTo(30, 22);
    arrow.lineTo(30, 16);
    arrow.lineTo(3, 16);
    arrow.closeSubpath();
    g.setPen(QPen(QColor(120, 90, 0), 1));
    g.setBrush(QColor(255, 215, 0));
    g.drawPath(arrow);
    return p;
}

QPixmap online() {
    QPixmap p = blank(46, 42);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawScreen(g, QColor(0, 150, 60));
    g.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(QPolygonF({QPointF(14, 16), QPointF(21, 23), QPointF(32, 9)}));
    return p;
}

QPixmap offline() {
    QPixmap p = blank(46, 42);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    drawScreen(g, QColor(170, 20, 20));
    g.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    g.drawLine(QPointF(16, 9), QPointF(30, 23));
    g.drawLine(QPointF(30, 9), QPointF(16, 23));
    return p;
}

QIcon enlarge() {
    QPixmap p = blank(33, 33);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(0, 48, 80), 2));
    g.setBrush(QColor(255, 251, 240));
    g.drawRect(QRectF(6, 6, 21, 21));
    // Four corner arrows: the question area grows or shrinks.
    g.setPen(QPen(QColor(0, 48, 80), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF c(16.5, 16.5);
    for (const QPointF d : {QPointF(-1, -1), QPointF(1, -1), QPointF(1, 1), QPointF(-1, 1)}) {
        const QPointF tip = c + d * 8.5;
        g.drawLine(c + d * 2.5, tip);
        g.drawLine(tip, tip - QPointF(d.x() * 4, 0));
        g.drawLine(tip, tip - QPointF(0, d.y() * 4));
    }
    return QIcon(p);
}

QIcon windowIcon() {
    QPixmap p = blank(32, 32);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(QColor(0, 48, 80), 2));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(5, 2, 22, 28));
    g.setPen(QPen(QColor(0, 150, 60), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    g.drawPolyline(QPolygonF({QPointF(9, 16), QPointF(14, 22), QPointF(23, 9)}));
    return QIcon(p);
}

}  // namespace pandrel::pictures
