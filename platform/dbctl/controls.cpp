#include "platform/dbctl/controls.h"

#include "platform/dbctl/picture.h"
#include "platform/guard.h"
#include "platform/system.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace plat {

using db::Table;

namespace {
// Hidden by hide() or setVisible(false); a window never shown is not.
bool hiddenOnItsOwn(const QWidget* w) {
    return w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide);
}
}  // namespace

// ---------------------------------------------------------------------------------------
// DataSource

DataSource::DataSource(QObject* parent) : QObject(parent) {}

DataSource::DataSource(db::Table* table, UiServices* ui, QObject* parent)
    : QObject(parent), ui_(ui) {
    setTable(table);
}

void DataSource::setTable(db::Table* table) {
    for (const auto& c : links_) disconnect(c);
    links_.clear();
    table_ = table;
    if (table) {
        links_ << connect(table, &Table::stateChanged, this, &DataSource::stateChanged)
               << connect(table, &Table::recordChanged, this, &DataSource::recordChanged)
               << connect(table, &Table::fieldChanged, this, &DataSource::fieldChanged)
               << connect(table, &Table::updateRecord, this, &DataSource::updateRecord);
    }
    emit stateChanged();
    emit recordChanged();
}

UiServices* DataSource::ui() const { return ui_ ? ui_ : &qtUi(); }

bool DataSource::editing() const {
    return table_ &&
           (table_->state() == Table::State::Edit || table_->state() == Table::State::Insert);
}

bool DataSource::edit() {
    if (!table_ || !table_->isActive()) return false;
    if (editing()) return true;
    return guarded(*ui(), [&] { table_->edit(); }) && editing();
}

// ---------------------------------------------------------------------------------------
// FieldLink

FieldLink::FieldLink(QWidget* control) : QObject(control), control_(control) {
    control->installEventFilter(this);
}

bool FieldLink::eventFilter(QObject* watched, QEvent* e) {
    // Sent by setVisible(true) whether or not the window is on the screen.
    if (watched == control_ && e->type() == QEvent::ShowToParent && stale_) loadNow();
    return QObject::eventFilter(watched, e);
}

void FieldLink::setDataSource(DataSource* source) {
    for (const auto& c : conns_) disconnect(c);
    conns_.clear();
    source_ = source;
    if (source) {
        conns_ << connect(source, &DataSource::recordChanged, this, [this] {
            pending_ = false;
            load();
        });
        conns_ << connect(source, &DataSource::stateChanged, this, [this] {
            if (!editing()) pending_ = false;
        });
        conns_ << connect(source, &DataSource::fieldChanged, this, [this](const QString& f) {
            if (!writing_ && f.compare(field_, Qt::CaseInsensitive) == 0) load();
        });
        conns_ << connect(source, &DataSource::updateRecord, this, [this] {
            if (pending_ && onWrite && field()) {
                pending_ = false;
                writing_ = true;
                try {
                    onWrite();
                } catch (...) {
                    writing_ = false;
                    throw;
                }
                writing_ = false;
            }
        });
    }
    load();
}

void FieldLink::setDataField(const QString& name) {
    field_ = name;
    foundInSet_ = 0;
    load();
}

db::Field* FieldLink::field() const {
    db::Table* t = source_ ? source_->table() : nullptr;
    if (!t || !t->isActive() || field_.isEmpty()) return nullptr;
    // Asked by every control at every move: the name is looked up once per opening.
    if (t->fieldsId() != foundInSet_) {
        found_ = t->findField(field_);
        foundInSet_ = t->fieldsId();
    }
    return found_;
}

bool FieldLink::editing() const { return source_ && source_->editing(); }

bool FieldLink::markModified() {
    if (readOnly_ || !field()) return false;
    if (!source_->edit()) return false;
    // What is changed must be the record being edited (edit may have reloaded it).
    if (stale_) loadNow();
    pending_ = true;
    return true;
}

void FieldLink::write(const std::function<void(db::Field&)>& v) {
    db::Field* f = field();
    if (!f) return;
    writing_ = true;
    const bool ok = guarded(*source_->ui(), [&] { v(*f); });
    writing_ = false;
    if (!ok) load();
}

void FieldLink::load() {
    if (loadWhenShown_ && hiddenOnItsOwn(control_))
        stale_ = true;
    else
        loadNow();
}

void FieldLink::loadNow() {
    stale_ = false;
    if (onLoad) onLoad();
}

bool keyChangesText(const QKeyEvent* e, TextKind kind) {
    if (e->matches(QKeySequence::Paste) || e->matches(QKeySequence::Cut) ||
        e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo) ||
        e->matches(QKeySequence::DeleteEndOfWord) || e->matches(QKeySequence::DeleteStartOfWord) ||
        e->matches(QKeySequence::DeleteEndOfLine))
        return true;
    switch (e->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete: return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (kind != TextKind::Line) return true;
            break;
        default: break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString t = e->text();
    return !t.isEmpty() && t[0].isPrint();
}

// ---------------------------------------------------------------------------------------
// DBEdit

DBEdit::DBEdit(QWidget* parent) : DataAware(parent) {
    link_.onLoad = [this] { load(); };
    link_.setLoadWhenShown(true);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Changes that came by another way than a key (the context menu) ask too.
        if (!link_.editing() && !link_.markModified()) {
            load();
            return;
        }
        link_.write([&](db::Field& f) { f.setAsString(text); });
    });
}

void DBEdit::load() {
    db::Field* f = link_.field();
    // Setting the length lays the old text out again: only when it changes.
    const int length = f && f->type() == db::FieldType::String && f->size() > 0 ? f->size() : 32767;
    if (maxLength() != length) setMaxLength(length);
    setText(f ? f->asString() : QString());
    setCursorPosition(0);
}

void DBEdit::keyPressEvent(QKeyEvent* e) {
    if (!isReadOnly() && keyChangesText(e, TextKind::Line) && !link_.editing()) {
        if (!link_.markModified()) {
            e->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void DBEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!isReadOnly() && !e->commitString().isEmpty() && !link_.editing() && !link_.markModified())
        return;
    QLineEdit::inputMethodEvent(e);
}

// ---------------------------------------------------------------------------------------
// DBMemo

DBMemo::DBMemo(QWidget* parent) : DataAware(parent) {
    // A tab typed here would be a character nobody sees, and the memo a trap on the way
    // through the window.
    setTabChangesFocus(true);
    link_.onLoad = [this] { load(); };
    link_.setLoadWhenShown(true);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::changed);
}

void DBMemo::setPlainText(const QString& text) {
    shownOnly_ = true;
    QPlainTextEdit::setPlainText(text);
    shownOnly_ = false;
}

void DBMemo::load() {
    db::Field* f = link_.field();
    // The box takes no more than the field stores, so no text is shown that a post would cut.
    maxLength_ = f && f->type() == db::FieldType::String && f->size() > 0 ? f->size() : 0;
    loading_ = true;
    QString t = f ? f->asString() : QString();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QPlainTextEdit::setPlainText(t);
    loading_ = false;
}

void DBMemo::changed() {
    if (loading_) return;
    link_.keepContent();
    if (!link_.field()) return;
    if (!link_.editing()) {
        // Text set from code in browse mode is only shown. Any other change is the user's,
        // and the record must hold what the memo shows.
        if (shownOnly_ || isReadOnly()) return;
        if (!link_.markModified()) {
            load();
            return;
        }
    }
    QString t = toPlainText();
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    link_.write([&](db::Field& f) { f.setAsString(t); });
}

QString DBMemo::fitting(const QString& text) const {
    if (maxLength_ <= 0) return text;
    const auto stored = [](const QString& t) { return t.size() + t.count(QLatin1Char('\n')); };
    QString selected = textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    qsizetype room = maxLength_ - (stored(toPlainText()) - stored(selected));
    qsizetype n = 0;
    for (; n < text.size(); ++n) {
        room -= text[n] == QLatin1Char('\n') ? 2 : 1;
        if (room < 0) break;
    }
    return text.left(n);
}

void DBMemo::keyPressEvent(QKeyEvent* e) {
    if (!isReadOnly() && keyChangesText(e, TextKind::Lines) && !link_.editing()) {
        if (!link_.markModified()) {
            e->accept();
            return;
        }
    }
    const bool newLine = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool typed = newLine || (!(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) &&
                                   !e->text().isEmpty() && e->text()[0].isPrint());
    if (!isReadOnly() && typed) {
        const QString text = newLine ? QStringLiteral("\n") : e->text();
        if (fitting(text).size() < text.size()) {
            e->accept();  // the field is full
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(e);
}

void DBMemo::inputMethodEvent(QInputMethodEvent* e) {
    if (!isReadOnly() && !e->commitString().isEmpty() && !link_.editing() && !link_.markModified())
        return;
    if (!e->commitString().isEmpty())
        e->setCommitString(fitting(e->commitString()), e->replacementStart(),
                           e->replacementLength());
    QPlainTextEdit::inputMethodEvent(e);
}

void DBMemo::insertFromMimeData(const QMimeData* source) {
    if (!isReadOnly() && !link_.editing() && !link_.markModified()) return;
    if (maxLength_ <= 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    insertPlainText(fitting(text));
}

// ---------------------------------------------------------------------------------------
// DBCheckBox

DBCheckBox::DBCheckBox(QWidget* parent) : DataAware(parent) {
    setTristate(true);
    link_.onLoad = [this] { load(); };
    load();
}

void DBCheckBox::load() {
    db::Field* f = link_.field();
    if (!f || f->isNull())
        setCheckState(Qt::PartiallyChecked);
    else
        setCheckState(f->asBool() ? Qt::Checked : Qt::Unchecked);
}

void DBCheckBox::nextCheckState() {
    if (!link_.markModified()) return;
    const bool tick = checkState() != Qt::Checked;
    link_.write([&](db::Field& f) { f.setAsBool(tick); });
    load();
}

// ---------------------------------------------------------------------------------------
// DBListBox

DBListBox::DBListBox(QWidget* parent) : DataAware(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    link_.onLoad = [this] { load(); };
    // Items the window adds afterwards are matched against the field too.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { load(); });
}

void DBListBox::load() {
    db::Field* f = link_.field();
    const QString text = f ? f->asString() : QString();
    int row = -1;
    for (int i = 0; f && i < count(); ++i)
        if (item(i)->text() == text) {
            row = i;
            break;
        }
    // Most moves keep the selection: setting it again costs the selection model's work.
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (row < 0 ? selected.isEmpty() && !currentItem()
                : currentRow() == row && selected.size() == 1 && selected[0].row() == row)
        return;
    const QSignalBlocker block(this);
    if (row < 0) {
        clearSelection();
        setCurrentItem(nullptr);
    } else {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

int DBListBox::selectedRow() const {
    return currentItem() && currentItem()->isSelected() ? currentRow() : -1;
}

void DBListBox::choose(int row) {
    if (row < 0 || row >= count()) return;
    if (!link_.markModified()) return;  // the selection stays
    const QString text = item(row)->text();
    link_.write([&](db::Field& f) { f.setAsString(text); });
    load();
    emit click();
}

void DBListBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    if (QListWidgetItem* it = itemAt(e->position().toPoint())) choose(row(it));
}

void DBListBox::mouseMoveEvent(QMouseEvent*) {}  // no drag-selection

void DBListBox::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void DBListBox::keyPressEvent(QKeyEvent* e) {
    // The view's own moves would select without the record knowing: each key that moves
    // the selection is a choice, as a click is.
    const int at = selectedRow();
    const int last = count() - 1;
    const int rowHeight = std::max(1, sizeHintForRow(0));
    const int page = std::max(1, viewport()->height() / rowHeight - 1);
    int to = -1;
    switch (e->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left: to = at < 0 ? 0 : at - 1; break;
        case Qt::Key_Down:
        case Qt::Key_Right: to = at < 0 ? 0 : at + 1; break;
        case Qt::Key_PageUp: to = at < 0 ? 0 : at - page; break;
        case Qt::Key_PageDown: to = std::max(at, 0) + page; break;
        case Qt::Key_Home: to = 0; break;
        case Qt::Key_End: to = last; break;
        case Qt::Key_Space:
        case Qt::Key_Select: e->accept(); return;        // the item under the caret is no choice
        default: QListWidget::keyPressEvent(e); return;  // typed text comes to keyboardSearch
    }
    to = std::clamp(to, 0, last);
    if (last >= 0 && to != at) choose(to);
    e->accept();
}

void DBListBox::keyboardSearch(const QString& search) {
    // The next item after the selected one that begins with the typed text, round the end.
    const int at = selectedRow();
    for (int i = 1; !search.isEmpty() && i <= count(); ++i) {
        const int r = (at + i) % count();
        if (item(r)->text().startsWith(search, Qt::CaseInsensitive)) {
            if (r != at) choose(r);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------
// DBImage

DBImage::DBImage(QWidget* parent) : DataAware(parent) {
    link_.onLoad = [this] { load(); };
    // The paint fills the whole area: nothing beneath it needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DBImage::setDataSource(DataSource* s) {
    disconnect(stateLink_);
    if (s) {
        // Going into edit mode reads the record afresh, so an assigned picture goes.
        stateLink_ = connect(s, &DataSource::stateChanged, this, [this] {
            if (unstored_) load();
        });
    }
    link_.setDataSource(s);
}

void DBImage::load() {
    db::Field* f = link_.field();
    const QByteArray blob = f ? f->asBytes() : QByteArray();
    // A reload of the same record (edit, post, refresh) keeps the picture it has: a large
    // one costs a megabyte's reading each time. A shown picture the field does not hold goes.
    if (!unstored_ && blob.size() == blob_.size() && (blob.isSharedWith(blob_) || blob == blob_))
        return;
    blob_ = blob;
    unstored_ = false;
    decoded_ = false;
    if (!hiddenOnItsOwn(this)) decode();
    update();
}

void DBImage::decode() const {
    if (decoded_) return;
    picture_ = imageFromBlob(blob_, std::move(picture_));
    decoded_ = true;
}

QImage DBImage::picture() const {
    decode();
    return picture_;
}

void DBImage::assignPicture(const QImage& image) {
    if (link_.editing() && !link_.readOnly() && link_.field()) {
        setPicture(image);
        return;
    }
    picture_ = image;
    decoded_ = true;
    unstored_ = true;
    update();
}

bool DBImage::setPicture(const QImage& image) {
    if (!link_.markModified()) return false;
    const QByteArray bmp = bmpBytes(image);
    link_.write([&](db::Field& f) { f.setAsBytes(bmp); });
    load();
    return true;
}

bool DBImage::clear() { return setPicture(QImage()); }

void DBImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), clCream());
    decode();
    if (picture_.isNull()) return;
    // Centred at its own size, clipped at the edges.
    const QPoint at((width() - picture_.width()) / 2, (height() - picture_.height()) / 2);
    p.drawImage(at, picture_);
}

}  // namespace plat
