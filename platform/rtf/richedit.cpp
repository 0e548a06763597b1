#include "richedit.h"

#include "charformat.h"
#include "plaintext.h"
#include "platform/clipboard.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <algorithm>

namespace plat {

RichEdit::RichEdit(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(true); }

void RichEdit::loadRtf(const QByteArray& bytes) {
    rtf::read(bytes, document());
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
}

QByteArray RichEdit::rtf() const { return rtf::write(document()); }

QString RichEdit::plainText() const { return rtf::plainText(document()); }

void RichEdit::setSelectionOffset(int twips) {
    QTextCursor c = textCursor();
    rtf::setSelectionOffset(c, twips);
    setTextCursor(c);
    // A line grown by the change is repainted only where its text was: underlines and
    // raised characters beyond that would show only at the next full repaint.
    viewport()->update();
}

void RichEdit::applyFont(const FontChoice& font) {
    QTextCursor c = textCursor();
    rtf::applyFont(c, font);
    setTextCursor(c);
    viewport()->update();  // as above
}

FontChoice RichEdit::selectionFont() const {
    return rtf::fontOf(textCursor().charFormat(), document());
}

void RichEdit::keepClearOf(const QList<QRect>& covered) {
    const QRect all = rect();
    const int frame = frameWidth();
    const int vbar = verticalScrollBar()->sizeHint().width();
    const int hbar = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
                         ? horizontalScrollBar()->sizeHint().height()
                         : 0;  // a bar that may hide makes no room: the band stays clear either way
    // The bar along the bottom, where it lies while shown.
    const QRect hbarRow(frame, all.height() - frame - hbar, all.width() - 2 * frame - vbar, hbar);
    int top = 0, bottom = 0;  // the bands, from the control's edges
    int left = 0, right = 0;  // the room beside the horizontal bar
    for (QRect r : covered) {
        r &= all;
        if (r.isEmpty()) continue;
        if (r.center().y() < all.center().y())
            top = std::max(top, r.bottom() + 1);
        else
            bottom = std::max(bottom, all.height() - r.top());
        if (!r.intersects(hbarRow)) continue;
        if (r.center().x() < hbarRow.center().x())
            left = std::max(left, r.right() + 1 - hbarRow.left());
        else
            right = std::max(right, hbarRow.right() + 1 - r.left());
    }
    // The viewport's margins count from the frame, the bottom one from above the bar.
    const int topMargin = std::max(0, top - frame);
    const int bottomMargin = std::max(0, bottom - frame - hbar);
    setViewportMargins(0, topMargin, 0, bottomMargin);
    bands_ = topMargin > 0 || bottomMargin > 0 || left > 0 || right > 0;
    update();
    const struct {
        QWidget*& slot;
        Qt::Alignment side;
        int room;
    } spacers[] = {{vbarTop_, Qt::AlignTop, topMargin},
                   {vbarBottom_, Qt::AlignBottom, bottomMargin},
                   {hbarLeft_, Qt::AlignLeft, left},
                   {hbarRight_, Qt::AlignRight, right}};
    for (const auto& s : spacers) {
        if (!s.slot && s.room == 0) continue;
        QWidget* w = spacer(s.slot, s.side);
        if (s.side & (Qt::AlignTop | Qt::AlignBottom))
            w->setFixedHeight(s.room);
        else
            w->setFixedWidth(s.room);
        w->setVisible(s.room > 0);
    }
}

QWidget* RichEdit::spacer(QWidget*& slot, Qt::Alignment side) {
    if (!slot) {
        slot = new QWidget;
        addScrollBarWidget(slot, side);
    }
    return slot;
}

const QStringList& RichEdit::rtfMimeTypes() {
    static const QStringList types = {
        QStringLiteral("text/rtf"), QStringLiteral("Rich Text Format"),
        QStringLiteral("text/richtext"), QStringLiteral("application/rtf")};
    return types;
}

bool RichEdit::hasRtf(const QMimeData* data) {
    if (!data) return false;
    for (const QString& t : rtfMimeTypes())
        if (data->hasFormat(t)) return true;
    return false;
}

bool RichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return hasRtf(source) || hasPlainText(source);
}

// Only RTF and plain text come in, as into the platform's rich edit: HTML or images would
// bring what RTF here cannot keep. RTF first, where it is offered beside the text.
void RichEdit::insertFromMimeData(const QMimeData* source) {
    if (!source || isReadOnly()) return;
    QTextCursor c = textCursor();
    for (const QString& t : rtfMimeTypes()) {
        if (!source->hasFormat(t)) continue;
        QTextDocument pasted;
        pasted.setDefaultFont(document()->defaultFont());
        rtf::read(source->data(t), &pasted);
        c.insertFragment(QTextDocumentFragment(&pasted));
        setTextCursor(c);
        ensureCursorVisible();
        return;
    }
    if (const std::optional<QString> text = plat::plainText(source)) {
        c.insertText(*text);
        setTextCursor(c);
        ensureCursorVisible();
    }
}

QMimeData* RichEdit::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return data;
    QTextDocument part;
    part.setDefaultFont(document()->defaultFont());
    QTextCursor(&part).insertFragment(c.selection());
    const QByteArray bytes = rtf::write(&part);
    for (const QString& t : rtfMimeTypes())
        if (t.contains(u'/')) data->setData(t, bytes);  // the Windows name is no mime type
    data->setText(rtf::plainText(&part));
    return data;
}

bool RichEdit::event(QEvent* e) {
    // The control's own paint (the frame) comes here, the viewport's goes to paintEvent.
    // What the viewport leaves free is one sheet with the text, not what lies beneath.
    if (e->type() == QEvent::Paint && bands_) QPainter(this).fillRect(rect(), palette().base());
    return QTextEdit::event(e);
}

void RichEdit::mousePressEvent(QMouseEvent* e) {
    emit mousePressed(e->button());
    QTextEdit::mousePressEvent(e);
}

}  // namespace plat
