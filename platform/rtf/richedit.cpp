#include "richedit.h"

#include "charformat.h"
#include "plaintext.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

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
    return hasRtf(source) || (source && source->hasText());
}

// Only RTF and plain text come in, as into the platform's rich edit: HTML or images would
// bring what RTF here cannot keep.
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
    if (source->hasText()) {
        c.insertText(source->text());
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

void RichEdit::mousePressEvent(QMouseEvent* e) {
    emit mousePressed(e->button());
    QTextEdit::mousePressEvent(e);
}

}  // namespace plat
