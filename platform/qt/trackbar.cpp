// The track bar drawn by a proxy style on the slider, so that the slider's own mouse and key
// handling finds the thumb where it is drawn.
#include "platform/trackbar.h"

#include <QPainter>
#include <QPolygon>
#include <QProxyStyle>
#include <QSlider>
#include <QStyleOptionSlider>
#include <algorithm>

namespace plat {

namespace {

constexpr int kEnd = 2;          // room at each end of the bar, for the focus frame
constexpr int kThumbAlong = 11;  // the thumb's extent along the bar
constexpr int kPoint = 5;        // depth of the thumb's point towards the ticks
constexpr int kTickStart = 1;    // the ticks' strip across the bar
constexpr int kTickLength = 3;
constexpr int kThumbStart = kTickStart + kTickLength + 1;

// Places along and across the bar turned into the bar's coordinates: along is x on a
// horizontal bar and y on a vertical one; across runs from the ticks' side.
struct Axes {
    bool vertical;
    bool mirrored;  // ticks below or on the right
    int breadth;
    QPoint at(int along, int across) const {
        if (mirrored) across = breadth - 1 - across;
        return vertical ? QPoint(across, along) : QPoint(along, across);
    }
    QRect rect(int along, int alongLength, int across, int acrossLength) const {
        return QRect(at(along, across), at(along + alongLength - 1, across + acrossLength - 1))
            .normalized();
    }
};

Axes axesOf(const QStyleOptionSlider& o) {
    const bool vertical = o.orientation == Qt::Vertical;
    const bool mirrored = o.tickPosition == QSlider::TicksBelow;  // also TicksRight
    return {vertical, mirrored, vertical ? o.rect.width() : o.rect.height()};
}

int lengthOf(const QStyleOptionSlider& o) {
    return o.orientation == Qt::Vertical ? o.rect.height() : o.rect.width();
}

int spanOf(const QStyleOptionSlider& o) {
    return std::max(0, lengthOf(o) - 2 * kEnd - kThumbAlong);
}

int thumbAcross(const QStyleOptionSlider& o, int thumbLength) {
    return std::max(kPoint + 4, std::min(thumbLength, axesOf(o).breadth - kThumbStart - 1));
}

int thumbAlongAt(const QStyleOptionSlider& o, int value) {
    return kEnd +
           QStyle::sliderPositionFromValue(o.minimum, o.maximum, value, spanOf(o), o.upsideDown);
}

TrackBarParts partsOf(const QStyleOptionSlider& o, int thumbLength) {
    const Axes ax = axesOf(o);
    TrackBarParts parts;
    const int across = thumbAcross(o, thumbLength);
    parts.thumb = ax.rect(thumbAlongAt(o, o.sliderPosition), kThumbAlong, kThumbStart, across);
    // The channel lies across the middle of the thumb's square part and runs from two
    // pixels before the thumb's middle at one end to two past it at the other.
    const int middle = kThumbStart + kPoint + (across - kPoint) / 2;
    parts.channel = ax.rect(kEnd + kThumbAlong / 2 - 2, spanOf(o) + 5, middle - 2, 4);
    if (o.tickPosition != QSlider::NoTicks) {
        parts.tickBand = ax.rect(0, lengthOf(o), kTickStart, kTickLength);
        // The platform's ticks: both ends, and each multiple of the interval between them.
        const int interval = o.tickInterval > 0 ? o.tickInterval : 1;
        QList<int> values{o.minimum};
        for (qint64 v = qint64(o.minimum) + interval; v < o.maximum; v += interval)
            values.append(int(v));
        if (o.maximum > o.minimum) values.append(o.maximum);
        for (const int v : values) parts.ticks.append(thumbAlongAt(o, v) + kThumbAlong / 2);
    }
    return parts;
}

// The thumb's outline, clockwise on the screen, its point towards the ticks.
QPolygon thumbOutline(const QStyleOptionSlider& o, int thumbLength) {
    const Axes ax = axesOf(o);
    const int t = thumbAlongAt(o, o.sliderPosition);
    const int a = kThumbStart;
    const int e = kThumbStart + thumbAcross(o, thumbLength) - 1;
    const int w = kThumbAlong - 1;
    QPolygon outline{ax.at(t, a + kPoint), ax.at(t + w / 2, a), ax.at(t + w, a + kPoint),
                     ax.at(t + w, e), ax.at(t, e)};
    // Turned or mirrored, the same points run the other way round.
    if (ax.vertical != ax.mirrored) std::reverse(outline.begin(), outline.end());
    return outline;
}

// The sunken groove: two lines of shadow on its top and left, two of light on its bottom
// and right.
void drawSunken(QPainter& p, const QRect& r, const QPalette& pal) {
    const QColor outer[] = {pal.color(QPalette::Dark), pal.color(QPalette::Light)};
    const QColor inner[] = {pal.color(QPalette::Shadow), pal.color(QPalette::Midlight)};
    for (int ring = 0; ring < 2; ++ring) {
        const QRect e = r.adjusted(ring, ring, -ring, -ring);
        if (e.width() < 1 || e.height() < 1) break;
        const QColor* c = ring == 0 ? outer : inner;
        p.setPen(c[0]);
        p.drawLine(e.topLeft(), e.topRight());
        p.drawLine(e.topLeft(), e.bottomLeft());
        p.setPen(c[1]);
        p.drawLine(e.bottomLeft(), e.bottomRight());
        p.drawLine(e.topRight(), e.bottomRight());
    }
}

// A raised edge, lit from the top left: each side of the outline in light or shadow by the
// way it faces, and a second line one pixel inside it.
void drawRaisedOutline(QPainter& p, const QPolygon& outline, const QPalette& pal) {
    const int n = int(outline.size());
    for (int i = 0; i < n; ++i) {
        const QPoint from = outline[i];
        const QPoint to = outline[(i + 1) % n];
        const QPoint d = to - from;
        // Outward of a clockwise outline (y down) is to the left of the direction.
        const QPoint out(d.y() > 0 ? 1 : d.y() < 0 ? -1 : 0, d.x() > 0 ? -1 : d.x() < 0 ? 1 : 0);
        const bool lit = out.x() + out.y() < 0;
        p.setPen(lit ? pal.color(QPalette::Light) : pal.color(QPalette::Shadow));
        p.drawLine(from, to);
        p.setPen(lit ? pal.color(QPalette::Midlight) : pal.color(QPalette::Dark));
        p.drawLine(from - out, to - out);
    }
}

// The shades of the platform's three-dimensional edges, from the button face: a style's own
// palette can be too pale for a two-pixel groove to show.
QPalette edgeShades(QPalette pal) {
    const QColor face = pal.color(QPalette::Button);
    pal.setColor(QPalette::Light, face.lighter(150));
    pal.setColor(QPalette::Midlight, face);
    pal.setColor(QPalette::Dark, face.darker(165));
    pal.setColor(QPalette::Shadow, face.darker(330));
    return pal;
}

class TrackBarStyle : public QProxyStyle {
public:
    explicit TrackBarStyle(int thumbLength) : thumbLength_(thumbLength) {}
    int thumbLength() const { return thumbLength_; }

    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w) const override {
        const auto* o = qstyleoption_cast<const QStyleOptionSlider*>(opt);
        if (cc != CC_Slider || !o) return QProxyStyle::drawComplexControl(cc, opt, p, w);
        const TrackBarParts parts = partsOf(*o, thumbLength_);
        const QPalette pal = edgeShades(o->palette);
        p->save();
        p->fillRect(o->rect, pal.button());
        drawSunken(*p, parts.channel, pal);
        p->setPen(pal.color(QPalette::ButtonText));
        const Axes ax = axesOf(*o);
        for (const int t : parts.ticks)
            p->drawLine(ax.at(t, kTickStart), ax.at(t, kTickStart + kTickLength - 1));
        const QPolygon outline = thumbOutline(*o, thumbLength_);
        p->setPen(Qt::NoPen);
        p->setBrush(pal.button());
        p->drawPolygon(outline);
        drawRaisedOutline(*p, outline, pal);
        if (o->state & State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(*o);
            focus.rect = o->rect;
            proxy()->drawPrimitive(PE_FrameFocusRect, &focus, p, w);
        }
        p->restore();
    }

    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override {
        const auto* o = qstyleoption_cast<const QStyleOptionSlider*>(opt);
        if (cc != CC_Slider || !o) return QProxyStyle::subControlRect(cc, opt, sc, w);
        const Axes ax = axesOf(*o);
        switch (sc) {
            // The slider takes the thumb's travel from the groove and the thumb's size.
            case SC_SliderGroove: return ax.rect(kEnd, lengthOf(*o) - 2 * kEnd, 0, ax.breadth);
            case SC_SliderHandle: return partsOf(*o, thumbLength_).thumb;
            case SC_SliderTickmarks: return partsOf(*o, thumbLength_).tickBand;
            default: return QProxyStyle::subControlRect(cc, opt, sc, w);
        }
    }

    int pixelMetric(PixelMetric m, const QStyleOption* opt, const QWidget* w) const override {
        switch (m) {
            case PM_SliderLength: return kThumbAlong;
            case PM_SliderThickness:
            case PM_SliderControlThickness: return kThumbStart + thumbLength_ + 1;
            case PM_SliderTickmarkOffset: return kTickStart;
            default: return QProxyStyle::pixelMetric(m, opt, w);
        }
    }

private:
    int thumbLength_;
};

QStyleOptionSlider optionOf(const QSlider* bar) {
    QStyleOptionSlider o;
    o.initFrom(bar);
    o.orientation = bar->orientation();
    o.minimum = bar->minimum();
    o.maximum = bar->maximum();
    o.sliderPosition = bar->sliderPosition();
    o.sliderValue = bar->value();
    o.tickPosition = bar->tickPosition();
    o.tickInterval = bar->tickInterval();
    // As the slider reckons it: a vertical bar has its minimum at the bottom unless inverted.
    o.upsideDown = bar->orientation() == Qt::Horizontal
                       ? bar->invertedAppearance() != (bar->layoutDirection() == Qt::RightToLeft)
                       : !bar->invertedAppearance();
    return o;
}

}  // namespace

void drawAsTrackBar(QSlider* bar, int thumbLength) {
    auto* style = new TrackBarStyle(thumbLength);
    style->setParent(bar);  // goes with the bar
    bar->setStyle(style);
}

TrackBarParts trackBarParts(const QSlider* bar) {
    const auto* style = dynamic_cast<const TrackBarStyle*>(bar->style());
    return partsOf(optionOf(bar), style ? style->thumbLength() : 20);
}

}  // namespace plat
