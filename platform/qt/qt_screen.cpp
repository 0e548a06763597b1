// Screen copy through QScreen, and the see-through area as a window mask (the X Shape
// extension on X11), which needs no compositor.
#include "platform/dbctl/controls.h"
#include "platform/screen.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace plat {

namespace {

// The pixels of one colour as a region: runs of each row, rows with the same runs joined
// into one band.
QRegion regionOfColour(const QImage& image, QRgb colour) {
    QList<QRect> rects;
    QList<QPair<int, int>> band, runs;  // runs as (first x, length)
    int bandTop = 0;
    auto flush = [&](int bottom) {
        for (const auto& [x, n] : band) rects.append(QRect(x, bandTop, n, bottom - bandTop));
    };
    for (int y = 0; y < image.height(); ++y) {
        runs.clear();
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if ((line[x] & 0xffffff) != (colour & 0xffffff)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && (line[x] & 0xffffff) == (colour & 0xffffff)) ++x;
            runs.append({start, x - start});
        }
        if (runs != band) {
            flush(y);
            band = runs;
            bandTop = y;
        }
    }
    flush(image.height());
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

const QString kShapeName = QStringLiteral("seeThroughShape");

// What lies beneath a window draws itself when it is uncovered, in its own time (another
// program's window answers the exposure): copies until the screen has held still a while.
QImage settledCopy(const std::function<QImage()>& copy) {
    constexpr int kPauseMs = 25, kStillCopies = 3, kMostMs = 1500;
    QImage last = copy();
    QElapsedTimer clock;
    clock.start();
    for (int still = 0; still < kStillCopies && clock.elapsed() < kMostMs;) {
        QEventLoop pause;
        QTimer::singleShot(kPauseMs, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
        QImage next = copy();
        still = next == last ? still + 1 : 0;
        last = std::move(next);
    }
    return last;
}

// The hole of one window: cut while it lives, given back when it goes.
class SeeThroughShape : public QObject {
public:
    explicit SeeThroughShape(QWidget* control) : QObject(control), control_(control) {
        setObjectName(kShapeName);
        window_ = control->window();
        watch(window_);
        // The control and whatever lies beside it: a sibling stacked above it covers the
        // hole, so its moves and showings change the shape too.
        if (QWidget* parent = control->parentWidget()) {
            for (QObject* o : parent->children())
                if (o->isWidgetType()) watch(static_cast<QWidget*>(o));
        }
        reshape();
    }

    // The whole window back, and painted where the hole was.
    void giveBack() {
        if (window_) setShape(QRegion());
    }

    // The screen at r (screen coordinates) with the window cut out of the whole of r for the
    // moment of the copy; the shape is given back after.
    QImage copyBeneath(const QRect& r, const std::function<QImage()>& copy) {
        if (!window_) return copy();
        const QRegion whole(window_->rect());
        const QRegion shape = window_->mask().isEmpty() ? whole : window_->mask();
        const QRect inWindow = r.translated(-window_->mapToGlobal(QPoint(0, 0)));
        const QRegion cut = shape - inWindow;
        if ((shape & inWindow).isEmpty() || cut.isEmpty()) return copy();
        holding_ = true;
        setShape(cut);
        const QImage beneath = settledCopy(copy);
        holding_ = false;
        reshape();
        return beneath;
    }

    ~SeeThroughShape() override {
        for (const QPointer<QWidget>& w : watched_)
            if (w) w->removeEventFilter(this);
        // Also when the window itself goes, its controls half gone: nothing to repaint.
        if (window_) window_->clearMask();
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        switch (e->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
            case QEvent::ZOrderChange: schedule(); break;
            case QEvent::Paint:
                // A new picture or a repaint; the grab below paints the control too.
                if (o == control_ && !grabbing_) schedule();
                break;
            default: break;
        }
        return false;
    }

private:
    void watch(QWidget* w) {
        if (!w) return;
        w->installEventFilter(this);
        watched_.append(w);
    }

    // Several changes in one turn of the event loop (an enlarging moves, resizes and hides)
    // give one new shape.
    void schedule() {
        if (scheduled_) return;
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            scheduled_ = false;
            if (!holding_) reshape();  // a copy going on gives the shape back itself
        });
    }

    QRegion hole() {
        if (!control_ || !window_ || !control_->isVisibleTo(window_)) return {};
        grabbing_ = true;
        QImage drawn = control_->grab().toImage().convertToFormat(QImage::Format_RGB32);
        grabbing_ = false;
        if (drawn.size() != control_->size()) drawn = drawn.scaled(control_->size());  // high dpi
        QRegion region = regionOfColour(drawn, DBImage::clCream().rgb());
        region.translate(control_->mapTo(window_, QPoint(0, 0)));
        if (QWidget* parent = control_->parentWidget()) {
            const QPoint origin = parent->mapTo(window_, QPoint(0, 0));
            bool above = false;
            for (QObject* o : parent->children()) {
                if (o == control_) {
                    above = true;
                    continue;
                }
                if (!above || !o->isWidgetType()) continue;
                auto* sibling = static_cast<QWidget*>(o);
                if (sibling->isHidden() || sibling->isWindow()) continue;
                region -= QRegion(sibling->geometry().translated(origin));
            }
        }
        return region;
    }

    void reshape() {
        if (!window_) return;
        const QRegion h = hole();
        const QRegion shape = h.isEmpty() ? QRegion() : QRegion(window_->rect()) - h;
        setShape(shape);
    }

    // A window's repaints are clipped to its mask, so what changed while a part lay in the
    // hole was never painted; and Qt repaints what a changed mask gives back only in the
    // window itself, not in the opaque controls on it (list boxes, edits): paint it all.
    void setShape(const QRegion& shape) {
        const QRegion before = window_->mask();
        if (shape == before) return;
        if (shape.isEmpty())
            window_->clearMask();
        else
            window_->setMask(shape);
        const QRegion whole(window_->rect());
        const QRegion gained =
            (shape.isEmpty() ? whole : shape) - (before.isEmpty() ? whole : before);
        if (gained.isEmpty()) return;
        window_->update(gained);
        for (QWidget* w : window_->findChildren<QWidget*>()) {
            if (w->isWindow() || !w->isVisible()) continue;
            const QRegion part = gained.translated(-w->mapTo(window_, QPoint(0, 0))) & w->rect();
            if (!part.isEmpty()) w->update(part);
        }
    }

    QPointer<QWidget> control_;
    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> watched_;
    bool scheduled_ = false;
    bool grabbing_ = false;
    bool holding_ = false;  // cut out for a copy
};

SeeThroughShape* shapeOf(QWidget* control) {
    return control ? dynamic_cast<SeeThroughShape*>(
                         control->findChild<QObject*>(kShapeName, Qt::FindDirectChildrenOnly))
                   : nullptr;
}

class QtScreen : public Screen {
public:
    explicit QtScreen(bool shapes) : shapes_(shapes) {}

    QImage CaptureScreenRect(const QRect& r) override {
        if (r.width() <= 0 || r.height() <= 0) return {};
        QImage out(r.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter p(&out);
        for (QScreen* s : QGuiApplication::screens()) {
            const QRect g = s->geometry();
            const QRect part = r & g;
            if (part.isEmpty()) continue;
            QPixmap px =
                s->grabWindow(0, part.x() - g.x(), part.y() - g.y(), part.width(), part.height());
            px.setDevicePixelRatio(1);
            p.drawPixmap(QRect(part.topLeft() - r.topLeft(), part.size()), px);
        }
        return out;
    }

    QImage CaptureBeneath(QWidget* control, const QRect& r) override {
        SeeThroughShape* shape = shapeOf(control);
        if (!shape) return CaptureScreenRect(r);
        return shape->copyBeneath(r, [&] { return CaptureScreenRect(r); });
    }

    void setSeeThrough(QWidget* control, bool on) override {
        if (!control || !shapes_) return;
        SeeThroughShape* shape = shapeOf(control);
        if (on && !shape) new SeeThroughShape(control);
        if (!on && shape) {
            shape->giveBack();
            delete shape;
        }
    }

private:
    bool shapes_;
};

bool platformHasShapes() {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

}  // namespace

Screen& qtScreen() {
    static QtScreen s(platformHasShapes());
    return s;
}

std::unique_ptr<Screen> makeQtScreen(bool shapedWindows) {
    return std::make_unique<QtScreen>(shapedWindows);
}

}  // namespace plat
