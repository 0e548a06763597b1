#include "platform/dbctl/navigator.h"

#include "platform/guard.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace plat {

namespace {

// A flat push button with a glyph of its own. The bar takes the focus for it.
class NavButton : public QAbstractButton {
public:
    NavButton(NavBtn kind, DBNavigator* bar) : QAbstractButton(bar), kind_(kind), bar_(bar) {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
    }
    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionButton opt;
        opt.initFrom(this);
        opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        if (bar_->hasFocus() && bar_->focusedButton() == kind_) {
            // A dotted frame of our own: the style's is too faint to find on the bar.
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rect().adjusted(3, 3, -4, -4));
        }
        p.setRenderHint(QPainter::Antialiasing);
        const QColor ink = isEnabled() ? QColor(0, 0, 96) : QColor(160, 160, 160);
        drawGlyph(p, ink);
    }

private:
    void drawGlyph(QPainter& p, const QColor& ink) {
        const qreal s = std::min(width(), height()) * 0.5;
        const QPointF c(width() / 2.0 + (isDown() ? 1 : 0), height() / 2.0 + (isDown() ? 1 : 0));
        const qreal h = s / 2;
        auto triangle = [&](qreal x, bool left) {
            QPainterPath path;
            if (left) {
                path.moveTo(x + h * 0.8, c.y() - h);
                path.lineTo(x - h * 0.4, c.y());
                path.lineTo(x + h * 0.8, c.y() + h);
            } else {
                path.moveTo(x - h * 0.8, c.y() - h);
                path.lineTo(x + h * 0.4, c.y());
                path.lineTo(x - h * 0.8, c.y() + h);
            }
            path.closeSubpath();
            p.fillPath(path, ink);
        };
        auto bar = [&](qreal x) {
            p.fillRect(QRectF(x - h * 0.15, c.y() - h, h * 0.3, 2 * h), ink);
        };
        QPen pen(ink, std::max<qreal>(2.0, s / 6), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        switch (kind_) {
            case nbFirst:
                bar(c.x() - h * 0.9);
                triangle(c.x() + h * 0.2, true);
                break;
            case nbPrior: triangle(c.x(), true); break;
            case nbNext: triangle(c.x(), false); break;
            case nbLast:
                triangle(c.x() - h * 0.2, false);
                bar(c.x() + h * 0.9);
                break;
            case nbInsert:
                p.fillRect(QRectF(c.x() - h, c.y() - h * 0.2, 2 * h, h * 0.4), ink);
                p.fillRect(QRectF(c.x() - h * 0.2, c.y() - h, h * 0.4, 2 * h), ink);
                break;
            case nbDelete:
                p.fillRect(QRectF(c.x() - h, c.y() - h * 0.2, 2 * h, h * 0.4), ink);
                break;
            case nbEdit: {
                // A pencil: a slanted bar with a point.
                p.save();
                p.translate(c);
                p.rotate(-45);
                p.fillRect(QRectF(-h * 0.6, -h * 0.25, h * 1.6, h * 0.5), ink);
                QPainterPath tip;
                tip.moveTo(-h * 0.6, -h * 0.25);
                tip.lineTo(-h * 1.1, 0);
                tip.lineTo(-h * 0.6, h * 0.25);
                tip.closeSubpath();
                p.fillPath(tip, ink);
                p.restore();
                break;
            }
            case nbPost:
                p.setPen(pen);
                p.drawPolyline(
                    QPolygonF({QPointF(c.x() - h, c.y()), QPointF(c.x() - h * 0.3, c.y() + h * 0.7),
                               QPointF(c.x() + h, c.y() - h * 0.8)}));
                break;
            case nbCancel:
                p.setPen(pen);
                p.drawLine(QPointF(c.x() - h * 0.8, c.y() - h * 0.8),
                           QPointF(c.x() + h * 0.8, c.y() + h * 0.8));
                p.drawLine(QPointF(c.x() + h * 0.8, c.y() - h * 0.8),
                           QPointF(c.x() - h * 0.8, c.y() + h * 0.8));
                break;
            case nbRefresh: {
                p.setPen(pen);
                const QRectF r(c.x() - h * 0.8, c.y() - h * 0.8, h * 1.6, h * 1.6);
                p.drawArc(r, 60 * 16, 280 * 16);
                QPainterPath head;  // the arrow's head at the arc's start
                const QPointF tipAt(c.x() + h * 0.4, c.y() - h * 0.69);
                head.moveTo(tipAt + QPointF(h * 0.55, -h * 0.05));
                head.lineTo(tipAt + QPointF(-h * 0.1, -h * 0.55));
                head.lineTo(tipAt + QPointF(-h * 0.05, h * 0.45));
                head.closeSubpath();
                p.fillPath(head, ink);
                break;
            }
        }
    }
    NavBtn kind_;
    DBNavigator* bar_;
};

}  // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    for (int i = 0; i < kNavButtons; ++i) {
        auto* b = new NavButton(NavBtn(i), this);
        buttons_[i] = b;
        connect(b, &QAbstractButton::pressed, this, [this, i] { setFocusedButton(NavBtn(i)); });
        connect(b, &QAbstractButton::clicked, this, [this, i] { btnClick(NavBtn(i)); });
    }
    updateButtons();
    layoutButtons();
}

void DBNavigator::setDataSource(DataSource* source) {
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    source_ = source;
    if (source) {
        conns_ << connect(source, &DataSource::stateChanged, this, &DBNavigator::updateButtons)
               << connect(source, &DataSource::recordChanged, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::setHints(const QStringList& hints) {
    hints_ = hints;
    for (int i = 0; i < kNavButtons; ++i) buttons_[i]->setToolTip(hints.value(i));
}

void DBNavigator::setVisibleButtons(const QList<NavBtn>& shown) {
    for (int i = 0; i < kNavButtons; ++i) buttons_[i]->setVisible(shown.contains(NavBtn(i)));
    if (buttons_[focused_]->isHidden()) setFocusedButton(shownFrom(+1));
    layoutButtons();
}

NavBtn DBNavigator::shownFrom(int step) const {
    for (int i = focused_ + step; i >= 0 && i < kNavButtons; i += step)
        if (!buttons_[i]->isHidden()) return NavBtn(i);
    if (!buttons_[focused_]->isHidden()) return focused_;
    // The framed one went: the first shown of all.
    for (int i = 0; i < kNavButtons; ++i)
        if (!buttons_[i]->isHidden()) return NavBtn(i);
    return focused_;
}

void DBNavigator::setFocusedButton(NavBtn b) {
    if (b == focused_) return;
    buttons_[focused_]->update();
    focused_ = b;
    buttons_[focused_]->update();
}

void DBNavigator::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Left: setFocusedButton(shownFrom(-1)); break;
        case Qt::Key_Right: setFocusedButton(shownFrom(+1)); break;
        case Qt::Key_Space:
            // Held down, the key would go on inserting or deleting.
            if (!e->isAutoRepeat() && buttons_[focused_]->isEnabled() &&
                !buttons_[focused_]->isHidden())
                btnClick(focused_);
            break;
        default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void DBNavigator::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    buttons_[focused_]->update();
}

void DBNavigator::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    buttons_[focused_]->update();
}

void DBNavigator::btnClick(NavBtn button) {
    if (!source_ || !source_->table() || !source_->table()->isActive()) return;
    db::Table& t = *source_->table();
    UiServices& ui = *source_->ui();
    const bool done = guarded(ui, [&] {
        switch (button) {
            case nbFirst: t.first(); break;
            case nbPrior: t.prior(); break;
            case nbNext: t.next(); break;
            case nbLast: t.last(); break;
            case nbInsert: t.insert(); break;
            case nbDelete:
                if (ui.confirm(QStringLiteral("Delete record?"), {Button::Ok, Button::Cancel}) ==
                    Answer::Ok)
                    t.remove();
                break;
            case nbEdit: t.edit(); break;
            case nbPost: t.post(); break;
            case nbCancel: t.cancel(); break;
            case nbRefresh: t.refresh(); break;
        }
    });
    updateButtons();
    if (done) emit clicked(button);
}

void DBNavigator::updateButtons() {
    db::Table* t = source_ ? source_->table() : nullptr;
    const bool active = isEnabled() && t && t->isActive();
    const bool editing =
        active && (t->state() == db::Table::State::Edit || t->state() == db::Table::State::Insert);
    const bool canModify = active && t->canModify();
    const bool up = active && !t->bof();
    const bool down = active && !t->eof();
    buttons_[nbFirst]->setEnabled(up);
    buttons_[nbPrior]->setEnabled(up);
    buttons_[nbNext]->setEnabled(down);
    buttons_[nbLast]->setEnabled(down);
    buttons_[nbInsert]->setEnabled(canModify);
    buttons_[nbDelete]->setEnabled(canModify && !(t->bof() && t->eof()));
    buttons_[nbEdit]->setEnabled(canModify && !editing);
    buttons_[nbPost]->setEnabled(canModify && editing);
    buttons_[nbCancel]->setEnabled(canModify && editing);
    buttons_[nbRefresh]->setEnabled(canModify);
}

void DBNavigator::layoutButtons() {
    QList<QAbstractButton*> shown;
    for (QAbstractButton* b : buttons_)
        if (!b->isHidden()) shown << b;
    if (shown.isEmpty()) return;
    // Equal widths; the pixels left over go to the first buttons.
    const int w = width() / int(shown.size());
    int extra = width() - w * int(shown.size());
    int x = 0;
    for (QAbstractButton* b : shown) {
        const int bw = w + (extra-- > 0 ? 1 : 0);
        b->setGeometry(x, 0, bw, height());
        x += bw;
    }
}

void DBNavigator::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layoutButtons();
}

void DBNavigator::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) updateButtons();
}

}  // namespace plat
