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
// Writing a control of your own (the rich edit does so): give it a FieldLink member,
//   FieldLink link_{this};
//   link_.onLoad  = [this] { ...show link_.field() (null: table closed or no such field)... };
//   link_.onWrite = [this] { ...link_.field()->setAsBytes(...)... };
// call link_.markModified() when the user is about to change the content (it returns false,
// after the error box, when the record cannot be edited: then leave the content alone).
// onWrite runs just before the record is posted, and before a move, insert or refresh
// decides whether the record changed, only after markModified() since the last load.
// Controls below write their field at once instead and have no onWrite.
#include "platform/db/table.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QImage>
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

    std::function<void()> onLoad;
    std::function<void()> onWrite;

private:
    void load();
    QPointer<DataSource> source_;
    QString field_;
    bool readOnly_ = false;
    bool pending_ = false;
    bool writing_ = false;
    QList<QMetaObject::Connection> conns_;
};

// One-line edit; its maximum length is the field's size.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r);
    FieldLink& link() { return link_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;

private:
    void load();
    FieldLink link_{this};
};

// Multi-line plain text. The field keeps line breaks as CR LF.
class DBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DBMemo(QWidget* parent = nullptr);
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r);
    FieldLink& link() { return link_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void load();
    void changed();
    FieldLink link_{this};
    bool loading_ = false;
};

// Boolean field: ticked true, unticked false, a null field greyed (partially checked).
// A click on a null or unticked box ticks it.
class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r) { link_.setReadOnly(r); }
    FieldLink& link() { return link_; }

protected:
    void nextCheckState() override;

private:
    void load();
    FieldLink link_{this};
};

// The window fills the items. The selected item is the one whose text equals the field's
// text, none when nothing matches. A user's selection puts the record into edit mode and
// stores the item's text, then emits click(); when the record cannot be edited the
// selection stays as it was and click() is not emitted.
class DBListBox : public QListWidget {
    Q_OBJECT
public:
    explicit DBListBox(QWidget* parent = nullptr);
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r) { link_.setReadOnly(r); }
    FieldLink& link() { return link_; }
    // Selects row as the user would (also for tests): edit, store, click().
    void choose(int row);

signals:
    void click();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void load();
    FieldLink link_{this};
};

// A picture field: the bitmap drawn centred and unscaled on clCream. The field holds BMP
// file bytes (read also with the 8-byte prefix); only bitmaps are stored.
class DBImage : public QWidget {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);
    void setDataSource(DataSource* s) { link_.setDataSource(s); }
    void setDataField(const QString& f) { link_.setDataField(f); }
    void setReadOnly(bool r) { link_.setReadOnly(r); }
    FieldLink& link() { return link_; }

    QImage picture() const { return picture_; }
    // Paste and capture: the record into edit mode, then the picture into the field as a
    // BMP. False (nothing changed) when the record cannot be edited.
    bool setPicture(const QImage& image);
    bool clear();  // empties the field

    static QColor clCream() { return QColor(255, 251, 240); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void load();
    FieldLink link_{this};
    QByteArray blob_;  // the field's bytes that picture_ shows
    QImage picture_;
};

}  // namespace plat
