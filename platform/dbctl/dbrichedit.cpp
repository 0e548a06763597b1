#include "platform/dbctl/dbrichedit.h"

#include <QKeyEvent>
#include <QTextDocument>

namespace plat {

DBRichEdit::DBRichEdit(QWidget* parent) : DataAware(parent) {
    // Tab goes on to the next control, as in the memo.
    setTabChangesFocus(true);
    link_.onLoad = [this] { load(); };
    link_.setLoadWhenShown(true);
    link_.onWrite = [this] {
        if (db::Field* f = link_.field()) f->setAsBytes(rtf());
    };
    connect(document(), &QTextDocument::contentsChanged, this, &DBRichEdit::changed);
    load();
}

void DBRichEdit::load() {
    db::Field* f = link_.field();
    loading_ = true;
    loadRtf(f ? f->asBytes() : QByteArray());
    loading_ = false;
}

// Before a change: the record into edit mode; false when it cannot go there.
bool DBRichEdit::allowChange() { return link_.editing() || link_.markModified(); }

// Every change that is not a load marks the field for writing. One that came by a way
// the key and paste checks do not see (the editor's format buttons, a drop) asks for edit
// mode now; when the record cannot be edited the field is shown again as it is.
void DBRichEdit::changed() {
    if (loading_ || !link_.field()) return;
    if (!link_.markModified()) load();
}

void DBRichEdit::keyPressEvent(QKeyEvent* e) {
    if (!isReadOnly() && keyChangesText(e, TextKind::Rich) && !allowChange()) {
        e->accept();
        return;
    }
    RichEdit::keyPressEvent(e);
}

void DBRichEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!isReadOnly() && !e->commitString().isEmpty() && !allowChange()) return;
    RichEdit::inputMethodEvent(e);
}

void DBRichEdit::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly() || !allowChange()) return;
    RichEdit::insertFromMimeData(source);
}

}  // namespace plat
