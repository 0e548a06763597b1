#include "editor/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace korvel {

namespace {

void drawText(QPainter& p, const QRectF& r, const QString& text, double px, bool bold = true) {
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(int(px));
    f.setBold(bold);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, text);
}

void camera(QPainter& p, double s, const QColor& body) {
    p.setBrush(body);
    p.drawRoundedRect(QRectF(s * 0.1, s * 0.3, s * 0.8, s * 0.55), s * 0.08, s * 0.08);
    p.drawRect(QRectF(s * 0.35, s * 0.18, s * 0.3, s * 0.14));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(s * 0.5, s * 0.57), s * 0.17, s * 0.17);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(s * 0.5, s * 0.57), s * 0.09, s * 0.09);
}

}  // namespace

QIcon glyphIcon(Glyph g, QSize iconSize, qreal devicePixelRatio) {
    const int size = qMax(1, qMin(iconSize.width(), iconSize.height()));
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pm(pixels, pixels);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF all(0, 0, s, s);
    // A light plate, so that every picture reads on the window's navy ground.
    p.setPen(QPen(QColor(120, 120, 150), 1));
    p.setBrush(QColor(236, 236, 244));
    p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), s * 0.12, s * 0.12);
    QPen pen(Qt::black, qMax(1.0, s / 20));
    p.setPen(pen);
    switch (g) {
        case Glyph::Help:
            p.setBrush(QColor(255, 255, 160));
            p.drawEllipse(all.adjusted(s * 0.08, s * 0.08, -s * 0.08, -s * 0.08));
            p.setPen(QColor(0, 0, 160));
            drawText(p, all, QStringLiteral("?"), s * 0.7);
            break;
        case Glyph::Exit: {
            p.setBrush(QColor(150, 90, 40));
            p.drawRect(QRectF(s * 0.12, s * 0.1, s * 0.4, s * 0.8));
            p.setBrush(QColor(220, 40, 40));
            QPainterPath arrow;
            arrow.moveTo(s * 0.95, s * 0.5);
            arrow.lineTo(s * 0.7, s * 0.28);
            arrow.lineTo(s * 0.7, s * 0.4);
            arrow.lineTo(s * 0.4, s * 0.4);
            arrow.lineTo(s * 0.4, s * 0.6);
            arrow.lineTo(s * 0.7, s * 0.6);
            arrow.lineTo(s * 0.7, s * 0.72);
            arrow.closeSubpath();
            p.drawPath(arrow);
            break;
        }
        case Glyph::Cut:
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(60, 60, 60), s / 14));
            p.drawLine(QPointF(s * 0.25, s * 0.1), QPointF(s * 0.62, s * 0.62));
            p.drawLine(QPointF(s * 0.75, s * 0.1), QPointF(s * 0.38, s * 0.62));
            p.setPen(QPen(QColor(200, 30, 30), s / 14));
            p.drawEllipse(QPointF(s * 0.3, s * 0.75), s * 0.13, s * 0.13);
            p.drawEllipse(QPointF(s * 0.7, s * 0.75), s * 0.13, s * 0.13);
            break;
        case Glyph::Copy:
            p.setBrush(Qt::white);
            p.drawRect(QRectF(s * 0.12, s * 0.12, s * 0.48, s * 0.58));
            p.drawRect(QRectF(s * 0.4, s * 0.3, s * 0.48, s * 0.58));
            break;
        case Glyph::Paste:
            p.setBrush(QColor(190, 140, 80));
            p.drawRoundedRect(QRectF(s * 0.15, s * 0.15, s * 0.6, s * 0.75), s * 0.05, s * 0.05);
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(QRectF(s * 0.32, s * 0.08, s * 0.26, s * 0.14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(s * 0.45, s * 0.42, s * 0.45, s * 0.5));
            break;
        case Glyph::Enlarge:
            p.setBrush(QColor(230, 240, 255));
            p.drawRect(QRectF(s * 0.1, s * 0.1, s * 0.8, s * 0.8));
            p.setPen(QPen(QColor(0, 0, 160), s / 12));
            p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.75, s * 0.75));
            p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.45, s * 0.25));
            p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.25, s * 0.45));
            p.drawLine(QPointF(s * 0.75, s * 0.75), QPointF(s * 0.55, s * 0.75));
            p.drawLine(QPointF(s * 0.75, s * 0.75), QPointF(s * 0.75, s * 0.55));
            break;
        case Glyph::Font:
            p.setPen(QColor(0, 0, 0));
            drawText(p, QRectF(0, 0, s * 0.7, s * 0.85), QStringLiteral("A"), s * 0.75);
            p.setPen(QColor(200, 0, 0));
            drawText(p, QRectF(s * 0.4, s * 0.3, s * 0.6, s * 0.65), QStringLiteral("a"), s * 0.5);
            break;
        case Glyph::Up:
        case Glyph::Down:
        case Glyph::Baseline:
            p.setPen(Qt::black);
            drawText(p, QRectF(0, s * 0.1, s * 0.65, s * 0.8), QStringLiteral("x"), s * 0.6, false);
            if (g != Glyph::Baseline) {
                p.setPen(QColor(0, 0, 200));
                const double y = g == Glyph::Up ? s * 0.05 : s * 0.5;
                drawText(p, QRectF(s * 0.5, y, s * 0.45, s * 0.45), QStringLiteral("2"), s * 0.38);
            }
            break;
        case Glyph::PhotoOn: camera(p, s, QColor(90, 160, 90)); break;
        case Glyph::PhotoOff:
            camera(p, s, QColor(150, 150, 150));
            p.setPen(QPen(QColor(200, 0, 0), s / 10));
            p.drawLine(QPointF(s * 0.15, s * 0.15), QPointF(s * 0.85, s * 0.85));
            break;
        case Glyph::PhotoShoot:
            camera(p, s, QColor(70, 110, 190));
            p.setPen(QPen(QColor(255, 200, 0), s / 14));
            p.drawLine(QPointF(s * 0.8, s * 0.05), QPointF(s * 0.95, s * 0.2));
            p.drawLine(QPointF(s * 0.65, s * 0.02), QPointF(s * 0.68, s * 0.14));
            break;
    }
    p.end();
    return QIcon(pm);
}

}  // namespace korvel
