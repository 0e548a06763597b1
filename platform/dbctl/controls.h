#pragma once
// Data-aware controls: widgets bound to one field of the current record of a table, through
// a DataSource.
//
// Editing rules shared by every control: typing, ticking or selecting first asks the record
// into edit mode; when it cannot go there (locked by another program, read-only table) the
// engine's error shows in the standard error box of the DataSource's UiServices and the
// control changes nothing. A control shows its field again whenever another record becomes
// current, the record is reloaded (cancel, post, refresh) or the field is set from code.
//
// Writing a control of your own (the rich edit does so): derive it from DataAware<Widget>
// and set its FieldLink's calls,
//   link_.onLoad  = [this] { ...show link_.field() (null: table closed or no such field)... };
//   link_.onWrite = [this] { ...link_.field()->setAsBytes(...)... };
// call link_.markModified() when the user is about to change the content (it returns false,
// after the error box, when the record cannot be edited: then leave the content alone).
// onWrite runs just before the record is posted, and before a move, insert or refresh
// decides whether the record changed, only after markModified() since the last load.
// Controls below write their field at once instead and have no onWrite.
//
// A control whose content costs to build (text laid out, a document read) may call
// link_.setLoadWhenShown(true): while it is hidden on its own (hide(), setVisible(false))
// it is not loaded, and it loads when shown again or when markModified() is called.
#include "platform/db/table.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace plat {

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    DataSource(db::Table* table, UiServices* ui, QObject* parent = nullptr);

    void setTable(db::Table* table);
    db::Table* table() const { return table_; }
    // Where the engine's errors of bound controls and the navigator are shown.
    void setUi(UiServices* ui) { ui_ = ui; }
    UiServices* ui() const;  // the Qt boxes when none was given

    // The record into edit mode (nothing when it is there already). On failure the
    // standard error box shows the engine's text and the result is false.
    bool edit();
    bool editing() const;  // edit or insert

signals:
    void stateChanged();
    void recordChanged();
    void fieldChanged(const QString& field);
    void updateRecord();

private:
    QPointer<db::Table> table_;
    UiServices* ui_ = nullptr;
    QList<QMetaObject::Connection> links_;
};

// The binding of one control to one field.
class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QWidget* control);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setDataField(const QString& name);
    QString dataField() const { return field_; }
    void setReadOnly(bool r) { readOnly_ = r; }
    bool readOnly() const { return readOnly_; }

    // The bound field of the current record; null while the table is closed or has no
    // such field.
    db::Field* field() const;
    bool editing() const;
    // Before a user change: the record into edit mode. False when read-only, unbound, or
    // the record cannot be edited (the error box has shown). Remembers that onWrite must run.
    bool markModified();
    // Writes v into the field, without the control being told to reload itself.
    void write(const std::function<void(db::Field&)>& v);

    void setLoadWhenShown(bool on) { loadWhenShown_ = on; }
    // True while a hidden control shows another record than the current one, or the
    // current one as it was before a reload.
    bool stale() const { return stale_; }
    // Content set from code while stale stands as set, until the next reload.
    void keepContent() { stale_ = false; }

    std::function<void()> onLoad;
    std::function<void()> onWrite;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void load();  // later when hidden and loading when shown
    void loadNow();
    QWidget* control_;
    QPointer<DataSource> source_;
    QString field_;
    bool readOnly_ = false;
    bool pending_ = false;
    bool writing_ = false;
    bool loadWhenShown_ = false;
    bool stale_ = false;
    // The field found by name, while the table's field set (unique in the process, never
    // 0 for an open table) is the one it was found in.
    mutable quint64 foundInSet_ = 0;
    mutable db::Field* found_ = nullptr;
    QList<QMetaObject::Connection> conns_;
};

// What every data-aware control offers: its field link and the calls that bind it. A
// read-only control shows its field and never writes it; an edit also refuses typing.
template <class Widget>
class DataAware : public Widget {
public:
    using Widget::Widget;
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r) {
        link_.setReadOnly(r);
        if constexpr (requires(Widget & w) { w.setReadOnly(true); }) Widget::setReadOnly(r);
    }
    FieldLink& link() { return link_; }

protected:
    FieldLink link_{this};
};

// The keys that change an edit's text: typing, deleting, cut, paste, undo and redo; in a
// multi-line edit also Enter. Tab moves the focus in every kind: no tab is ever typed.
enum class TextKind { Line, Lines, Rich };
bool keyChangesText(const QKeyEvent* e, TextKind kind);

// One-line edit; its maximum length is the field's size.
class DBEdit : public DataAware<QLineEdit> {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    void load();
};

// Multi-line plain text. The field keeps line breaks as CR LF. Tab moves the focus.
//
// Every change of the text that is not a load goes into the record: one that came by a way
// the key and paste checks do not see (the context menu's cut, delete, undo; a drag) asks
// for edit mode when it happens, and is taken back when the record cannot be edited.
class DBMemo : public DataAware<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    // The control's own paste, of the given clipboard contents.
    void pasteFrom(const QMimeData* source) { insertFromMimeData(source); }
    // Text a window shows without editing: in browse mode it changes only what the memo
    // shows (hides QPlainTextEdit's, which counts as any other change).
    void setPlainText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void load();
    void changed();
    // What of text fits in the field in place of the selection, counted as stored (a line
    // break takes two characters, CR LF).
    QString fitting(const QString& text) const;
    bool loading_ = false;
    bool shownOnly_ = false;  // setPlainText from code is running
    int maxLength_ = 0;       // the string field's size; 0 for no limit
};

// Boolean field: ticked true, unticked false, a null field greyed (partially checked).
// A click on a null or unticked box ticks it.
class DBCheckBox : public DataAware<QCheckBox> {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);

protected:
    void nextCheckState() override;

private:
    void load();
};

// The window fills the items. The selected item is the one whose text equals the field's
// text, none when nothing matches. A user's selection puts the record into edit mode and
// stores the item's text, then emits click(); when the record cannot be edited the
// selection stays as it was and click() is not emitted. Every way of selecting goes so: a
// click, the arrow keys (left and right as up and down), Home, End, the page keys, and
// typing, which selects the next item that begins with the typed text. Space selects
// nothing.
class DBListBox : public DataAware<QListWidget> {
    Q_OBJECT
public:
    explicit DBListBox(QWidget* parent = nullptr);
    // Selects row as the user would (also for tests): edit, store, click().
    void choose(int row);
    void keyboardSearch(const QString& search) override;

signals:
    void click();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void load();
    int selectedRow() const;  // -1 for none
};

// A picture field: the bitmap drawn centred and unscaled on clCream. The field holds BMP
// file bytes (read also with the 8-byte prefix); only bitmaps are stored.
class DBImage : public DataAware<QWidget> {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);
    // Also follows the record's state: an assigned picture goes when editing starts.
    void setDataSource(DataSource* s);

    QImage picture() const;
    // Paste and capture: the record into edit mode, then the picture into the field as a
    // BMP. False (nothing changed) when the record cannot be edited.
    bool setPicture(const QImage& image);
    bool clear();  // empties the field
    // A picture given from code, without asking for edit mode: kept when the record is being
    // edited or inserted, and posted with it; otherwise only shown, until the record's
    // fields are read again (edit, move, refresh).
    void assignPicture(const QImage& image);

    static QColor clCream() { return QColor(255, 251, 240); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void load();
    // A hidden control reads its picture only when it is drawn or asked for.
    void decode() const;
    QByteArray blob_;  // the field's bytes that picture_ shows
    mutable QImage picture_;
    mutable bool decoded_ = true;  // picture_ is blob_'s picture (or the assigned one)
    bool unstored_ = false;        // shows an assigned picture that the field does not hold
    QMetaObject::Connection stateLink_;
};

}  // namespace plat
