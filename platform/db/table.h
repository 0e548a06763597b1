#pragma once
// A table of the database engine: one encrypted SQLite file N + ".DB" holding one table of
// records, read in ascending key order, with the record states of the classic dataset
// (browse, edit, insert) and record locks shared through the session's network control
// directory.
//
// Moves (first, prior, next, last, setRecNo), insert and refresh first post a changed
// record and drop an unchanged edit; close drops an edit that was not posted; edit on an
// empty table inserts. Failures throw plat::DbError with a Russian text naming the file.
//
// A post of an edited record writes only the fields whose values differ from what was read;
// the others stay in the file exactly as they are, whatever another program stored there,
// and a post with nothing changed writes nothing.
#include "platform/db/session.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace plat::db {

enum class FieldType {
    AutoInc,  // integer key the engine assigns at the first post; read-only
    String,   // text of at most size characters, Windows-1251 repertoire
    Boolean,  // true, false or null
    Blob,     // bytes
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;               // String only
    QString defaultValue = {};  // applied to a new record; empty: none
};

// The SQL type a field is stored as; the engine reads the schema back from these.
QString sqlType(const FieldDef& def);
// The SQL name of the one table inside a table file.
inline constexpr const char* kRecordsTable = "records";

class Table;

// One field of the current record. Null reads as "" / false / empty bytes.
class Field {
public:
    const QString& name() const { return def_.name; }
    FieldType type() const { return def_.type; }
    int size() const { return def_.size; }
    const FieldDef& def() const { return def_; }
    bool isNull() const;

    // Booleans read "True" / "False" / ""; AutoInc reads its decimal number.
    QString asString() const;
    bool asBool() const;
    QByteArray asBytes() const;
    QVariant value() const;

    // Setters need the table in edit or insert mode (DbError otherwise). A string is cut
    // to the field's size and characters Windows-1251 cannot hold become "?". "" sets a
    // string or boolean field to null; an empty byte array sets a blob to null.
    void setAsString(const QString& text);
    void setAsBool(bool v);
    void setAsBytes(const QByteArray& bytes);
    void clear();

private:
    friend class Table;
    Field(Table* t, FieldDef def, int index) : table_(t), def_(std::move(def)), index_(index) {}
    void set(const QVariant& v);
    Table* table_;
    FieldDef def_;
    int index_;
};

class Table : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // A table of the process session, or of the given one.
    explicit Table(QObject* parent = nullptr);
    explicit Table(Session& s, QObject* parent = nullptr);
    ~Table() override;

    // File name relative to the current directory (or absolute). Only while closed.
    void setTableName(const QString& name);
    QString tableName() const { return name_; }
    Session* dbSession() const { return session_; }  // null once that session is destroyed
    // The fields the program binds to (persistent fields). When set, open fails unless
    // the file holds each of them with its type (and, for strings, its size). When not
    // set, every field of the file is available.
    void setFieldDefs(const QList<FieldDef>& defs);

    void open();
    void close();
    bool isActive() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    QString filePath() const { return path_; }  // absolute path of the open file

    int recordCount() const;
    // 1-based position of the current record in key order; 0 on an empty table; while
    // inserting, the position the new record takes when posted (count + 1).
    int recNo() const;
    void setRecNo(int n);  // clamped to 1..count
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    bool isEmpty() const { return recordCount() == 0 && state_ != State::Insert; }

    void first();
    void prior();
    void next();
    void last();
    void insert();
    void edit();
    void post();
    void cancel();
    void remove();  // delete: an inserted record is only dropped
    void refresh();
    // Leaves edit or insert mode as a move does: a changed record is posted, an unchanged
    // one dropped. Throws when the post fails, the record still in its mode.
    void checkBrowseMode();

    // The reference stays valid until the table is closed.
    Field& fieldByName(const QString& name);
    Field* findField(const QString& name);
    // Names the table's current set of Field objects: changes at every open and close, and
    // is never the same for two sets of one process, so a Field* looked up once stays good
    // while this stays the same.
    quint64 fieldsId() const { return fieldsId_; }
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }
    bool modified() const { return modified_; }
    bool canModify() const;  // open and writable

signals:
    void stateChanged();   // opened, closed, edit, insert, post, cancel
    void recordChanged();  // another record is current, or its values were reloaded
    void fieldChanged(const QString& field);  // a field of the current record was set
    void updateRecord();  // before post and before a changed-or-not check: controls
                          // with pending input write it now

private:
    friend class Field;
    friend class Session;
    struct Db;

    void checkActive() const;
    // The last step of open: the checked file becomes the table's, with these fields.
    void readRecords(std::unique_ptr<Db> db, const QList<FieldDef>& defs, const QString& keyName);
    bool loadCurrent();  // current record's values from the file; false: not there
    void readKeys();
    void exec(const QString& sql);
    void clearBuffer();
    void goTo(int index);  // 0-based, -1 for none
    bool keysUsedUp();     // the largest key is taken: no record can be added
    void lockRecord(qint64 key);
    void releaseLock();
    QString fileForMessage() const;
    void setState(State s);
    [[noreturn]] void fail(const QString& reason) const;
    [[noreturn]] void failCode(int resultCode) const;  // the engine's text for the code

    Session* session_;
    QString name_;
    QString path_;
    QList<FieldDef> wanted_;
    State state_ = State::Inactive;
    std::unique_ptr<Db> db_;
    std::vector<std::unique_ptr<Field>> fields_;
    std::vector<qint64> keys_;  // record keys in ascending order
    int cur_ = -1;              // index into keys_ of the current record
    int insertReturn_ = -1;     // where cancel of an insert goes back to
    QList<QVariant> buf_;       // current record, one value per field
    QList<QVariant> loaded_;    // buf_ as read from the file: a post writes what differs
    bool bof_ = true, eof_ = true;
    bool savedBof_ = true, savedEof_ = true;  // flags before an insert
    QString keyName_;
    bool modified_ = false;
    qint64 lockedKey_ = -1;
    QString lockFolder_, lockError_;
    quint64 fieldsId_ = 0;
};

}  // namespace plat::db
