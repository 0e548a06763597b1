#include "platform/db/table.h"

#include "platform/codec.h"
#include "platform/db/engine_errors.h"
#include "platform/db/locks.h"
#include "platform/errors.h"
#include "platform/files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <limits>
#include <sqlcipher/sqlite3.h>

namespace plat::db {

namespace {

// How long a read or a post waits for another program's commit before it reports the
// table busy.
constexpr int kBusyMs = 5000;

// A prepared statement that finalizes itself.
class Stmt {
public:
    Stmt(sqlite3* db, const QString& sql) : db_(db) {
        const QByteArray s = sql.toUtf8();
        rc_ = sqlite3_prepare_v2(db, s.constData(), int(s.size()), &st_, nullptr);
    }
    ~Stmt() { sqlite3_finalize(st_); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    bool ok() const { return rc_ == SQLITE_OK; }
    int prepareCode() const { return rc_; }
    sqlite3_stmt* get() const { return st_; }
    int step() { return sqlite3_step(st_); }
    void reset() {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }

private:
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
    int rc_;
};

QString columnText(sqlite3_stmt* st, int i) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(st, i)) : QString();
}

// The SQL default literal as stored in the schema ('1' -> 1).
QString unquote(QString s) {
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'')
        s = s.mid(1, s.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return s;
}

quint64 nextFieldsId() {
    static std::atomic<quint64> last{0};
    return ++last;
}

bool cipherAvailable(sqlite3* db) {
    Stmt st(db, QStringLiteral("PRAGMA cipher_version"));
    return st.ok() && st.step() == SQLITE_ROW && !columnText(st.get(), 0).isEmpty();
}

DbError notTable(const QString& path) {
    return DbError(QStringLiteral("Файл %1 не является таблицей теста или пароль не подходит")
                       .arg(QDir::toNativeSeparators(path)));
}

// The steps of opening a table. Each returns what it found or throws DbError naming the
// file; what it opened on the way closes with it.

// The table's file: name relative to the current directory, found in any letter case, as
// on Windows.
QString resolveTableFile(const QString& name) {
    QString path = QDir::current().absoluteFilePath(name);
    if (const QString hit = fs::resolve(path); !hit.isEmpty()) path = hit;
    const QFileInfo fi(path);
    if (!fi.isFile())
        throw DbError(
            QStringLiteral("Файл таблицы не найден: %1").arg(QDir::toNativeSeparators(path)));
    // An empty file is an empty database to SQLite; it is no table of ours.
    if (fi.size() == 0) throw notTable(path);
    return path;
}

struct CloseHandle {
    void operator()(sqlite3* h) const { sqlite3_close(h); }
};
using Handle = std::unique_ptr<sqlite3, CloseHandle>;

// The code of the first read of a keyed file: SQLITE_NOTADB when the key does not fit.
int firstReadCode(sqlite3* h) {
    Stmt probe(h, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return probe.ok() && probe.step() == SQLITE_ROW ? SQLITE_OK : sqlite3_extended_errcode(h);
}

// The file opened and keyed with the first registered password that reads it. Only a key
// that does not fit tries the next password; busy, damaged or unreadable files say so.
Handle openKeyed(const QString& path, const QStringList& passwords) {
    const QString shown = QDir::toNativeSeparators(path);
    for (const QString& pw : passwords) {
        sqlite3* raw = nullptr;
        // Never create a missing file; nothing is written before the file is verified.
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        Handle h(raw);
        if (rc != SQLITE_OK)
            throw DbError(engineErrorText(raw ? sqlite3_extended_errcode(raw) : rc, shown));
        // The first read below already meets another program's commit: it must wait too.
        sqlite3_busy_timeout(raw, kBusyMs);
        if (!cipherAvailable(raw))
            throw DbError(QStringLiteral("Движок таблиц собран без шифрования"));
        const QByteArray key = toCp1251(pw);
        sqlite3_key(raw, key.constData(), int(key.size()));
        const int code = firstReadCode(raw);
        if (code == SQLITE_OK) return h;
        if ((code & 0xff) != SQLITE_NOTADB) throw DbError(engineErrorText(code, shown));
    }
    throw notTable(path);
}

// A field as the file holds it; known: of a type the engine reads.
struct FileField {
    FieldDef def;
    bool known = true;
};

FileField fileField(sqlite3_stmt* tableInfo) {
    static const QRegularExpression varchar(QStringLiteral("^VARCHAR\\((\\d+)\\)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    FileField f;
    f.def.name = columnText(tableInfo, 1);
    const QString type = columnText(tableInfo, 2).trimmed();
    f.def.defaultValue = unquote(columnText(tableInfo, 4));
    const bool pk = sqlite3_column_int(tableInfo, 5) != 0;
    if (const auto m = varchar.match(type); m.hasMatch()) {
        f.def.type = FieldType::String;
        f.def.size = m.captured(1).toInt();
    } else if (type.compare("INTEGER", Qt::CaseInsensitive) == 0 && pk) {
        f.def.type = FieldType::AutoInc;
    } else if (type.compare("BOOLEAN", Qt::CaseInsensitive) == 0) {
        f.def.type = FieldType::Boolean;
    } else if (type.compare("BLOB", Qt::CaseInsensitive) == 0) {
        f.def.type = FieldType::Blob;
    } else {
        f.known = false;
    }
    return f;
}

// The fields of the file's table as its schema states them. The schema is read and the size
// of the file checked under one read transaction, so a writer's commit cannot come in
// between; a file shorter or longer than its pages is not whole.
QList<FileField> readFileFields(sqlite3* h, const QString& path) {
    QList<FileField> inFile;
    Stmt begin(h, QStringLiteral("BEGIN"));
    begin.step();
    Stmt info(h, QStringLiteral("PRAGMA table_info(%1)").arg(kRecordsTable));
    int rc = SQLITE_ERROR;
    while (info.ok() && (rc = info.step()) == SQLITE_ROW) inFile.append(fileField(info.get()));
    bool sizeOk = false;
    if (rc == SQLITE_DONE) {
        Stmt pages(h, QStringLiteral("PRAGMA page_count"));
        Stmt psize(h, QStringLiteral("PRAGMA page_size"));
        if (pages.ok() && psize.ok() && pages.step() == SQLITE_ROW && psize.step() == SQLITE_ROW) {
            const qint64 expect =
                sqlite3_column_int64(pages.get(), 0) * sqlite3_column_int64(psize.get(), 0);
            sizeOk = QFileInfo(path).size() == expect;
        }
    }
    Stmt end(h, QStringLiteral("COMMIT"));
    end.step();
    if (rc != SQLITE_DONE && (rc & 0xff) != SQLITE_ERROR && (rc & 0xff) != SQLITE_NOTADB)
        throw DbError(engineErrorText(sqlite3_extended_errcode(h), QDir::toNativeSeparators(path)));
    if (rc != SQLITE_DONE || !sizeOk || inFile.isEmpty()) throw notTable(path);
    return inFile;
}

// The fields a table binds, and the file's key.
struct BoundFields {
    QList<FieldDef> defs;
    QString keyName;  // the key as the file names it
};

// The wanted fields as the file holds them, each there with its type (and, for strings, its
// size); none wanted, every field of the file that the engine reads. A file without a key
// is no table of ours.
BoundFields bindFields(const QList<FileField>& inFile, const QList<FieldDef>& wanted,
                       const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    BoundFields bound;
    if (wanted.isEmpty())
        for (const FileField& f : inFile)
            if (f.known) bound.defs.append(f.def);
    for (const FieldDef& w : wanted) {
        const auto f = std::find_if(inFile.begin(), inFile.end(), [&](const FileField& f) {
            return f.def.name.compare(w.name, Qt::CaseInsensitive) == 0;
        });
        if (f == inFile.end())
            throw DbError(QStringLiteral("В таблице %1 нет поля %2").arg(shown, w.name));
        if (!f->known || f->def.type != w.type ||
            (w.type == FieldType::String && f->def.size != w.size))
            throw DbError(QStringLiteral("Поле %1 в таблице %2 другого типа").arg(w.name, shown));
        FieldDef d = f->def;
        d.name = w.name;
        bound.defs.append(d);
    }
    for (const FileField& f : inFile)
        if (f.def.type == FieldType::AutoInc) bound.keyName = f.def.name;
    if (bound.keyName.isEmpty()) throw notTable(path);
    return bound;
}

}  // namespace

QString sqlType(const FieldDef& def) {
    switch (def.type) {
        case FieldType::AutoInc: return QStringLiteral("INTEGER");
        case FieldType::String: return QStringLiteral("VARCHAR(%1)").arg(def.size);
        case FieldType::Boolean: return QStringLiteral("BOOLEAN");
        case FieldType::Blob: return QStringLiteral("BLOB");
    }
    return {};
}

struct Table::Db {
    sqlite3* h = nullptr;
    RecordLocks locks;
    std::unique_ptr<Stmt> select;  // current record by key
    bool readOnly = false;
    ~Db() {
        select.reset();
        if (h) sqlite3_close(h);
    }
};

// ---------------------------------------------------------------------------------------
// Field

bool Field::isNull() const { return !table_->isActive() || table_->buf_.value(index_).isNull(); }

QVariant Field::value() const {
    return table_->isActive() ? table_->buf_.value(index_) : QVariant();
}

QString Field::asString() const {
    const QVariant v = value();
    if (v.isNull()) return {};
    switch (def_.type) {
        case FieldType::Boolean:
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        case FieldType::AutoInc: return QString::number(v.toLongLong());
        case FieldType::Blob: return fromCp1251(v.toByteArray());
        case FieldType::String: return v.toString();
    }
    return {};
}

bool Field::asBool() const {
    const QVariant v = value();
    if (v.isNull()) return false;
    if (def_.type == FieldType::String)
        return v.toString().compare("True", Qt::CaseInsensitive) == 0;
    return v.toBool();
}

QByteArray Field::asBytes() const {
    const QVariant v = value();
    if (v.isNull()) return {};
    if (def_.type == FieldType::String) return toCp1251(v.toString());
    return v.toByteArray();
}

void Field::set(const QVariant& v) {
    Table& t = *table_;
    t.checkActive();
    if (t.state_ != Table::State::Edit && t.state_ != Table::State::Insert)
        t.fail(QStringLiteral("Таблица не в режиме правки"));
    if (def_.type == FieldType::AutoInc)
        t.fail(QStringLiteral("Поле %1 только для чтения").arg(def_.name));
    t.buf_[index_] = v;
    t.modified_ = true;
    emit t.fieldChanged(def_.name);
}

void Field::setAsString(const QString& text) {
    switch (def_.type) {
        case FieldType::String:
            // Only what Windows-1251 can hold, at most size characters.
            set(text.isEmpty() ? QVariant() : QVariant(fromCp1251(toCp1251(text.left(def_.size)))));
            return;
        case FieldType::Boolean:
            if (text.isEmpty())
                set(QVariant());
            else if (text.compare("True", Qt::CaseInsensitive) == 0)
                set(true);
            else if (text.compare("False", Qt::CaseInsensitive) == 0)
                set(false);
            else
                throw DbError(QStringLiteral("'%1' не является логическим значением").arg(text));
            return;
        case FieldType::Blob: setAsBytes(toCp1251(text)); return;
        case FieldType::AutoInc: set(text); return;  // refused by set()
    }
}

void Field::setAsBool(bool v) {
    if (def_.type == FieldType::String)
        setAsString(v ? QStringLiteral("True") : QStringLiteral("False"));
    else if (def_.type == FieldType::Boolean)
        set(v);
    else
        table_->fail(QStringLiteral("Поле %1 не логическое").arg(def_.name));
}

void Field::setAsBytes(const QByteArray& bytes) {
    if (def_.type == FieldType::Blob)
        set(bytes.isEmpty() ? QVariant() : QVariant(bytes));
    else
        setAsString(fromCp1251(bytes));
}

void Field::clear() { set(QVariant()); }

// ---------------------------------------------------------------------------------------
// Table

Table::Table(QObject* parent) : Table(db::session(), parent) {}

Table::Table(Session& s, QObject* parent) : QObject(parent), session_(&s) { s.attach(this); }

Table::~Table() {
    close();
    if (session_) session_->detach(this);
}

void Table::setTableName(const QString& name) {
    if (isActive()) fail(QStringLiteral("Нельзя сменить имя открытой таблицы"));
    name_ = name;
}

void Table::setFieldDefs(const QList<FieldDef>& defs) {
    if (isActive()) fail(QStringLiteral("Нельзя сменить поля открытой таблицы"));
    wanted_ = defs;
}

QString Table::fileForMessage() const {
    return QDir::toNativeSeparators(path_.isEmpty() ? name_ : path_);
}

void Table::fail(const QString& reason) const {
    throw DbError(reason + QStringLiteral(". Таблица: ") + fileForMessage());
}

void Table::failCode(int rc) const { throw DbError(engineErrorText(rc, fileForMessage())); }

void Table::checkActive() const {
    if (!isActive()) throw DbError(QStringLiteral("Таблица не открыта: %1").arg(fileForMessage()));
}

void Table::setState(State s) {
    if (state_ == s) return;
    state_ = s;
    emit stateChanged();
}

// The steps each throw DbError naming the file; a table whose open fails is left closed,
// as it was, and what a step opened closes with it.
void Table::open() {
    if (isActive()) return;
    if (!session_) throw DbError(QStringLiteral("Сессия базы данных закрыта"));
    if (name_.isEmpty()) throw DbError(QStringLiteral("Не задано имя таблицы"));
    try {
        path_ = resolveTableFile(name_);
        auto db = std::make_unique<Db>();
        db->h = openKeyed(path_, session_->passwords()).release();
        db->readOnly = sqlite3_db_readonly(db->h, "main") == 1;
        const BoundFields bound = bindFields(readFileFields(db->h, path_), wanted_, path_);
        readRecords(std::move(db), bound.defs, bound.keyName);
    } catch (...) {
        db_.reset();
        if (!fields_.empty()) {
            fields_.clear();
            fieldsId_ = nextFieldsId();
        }
        path_.clear();
        throw;
    }
    modified_ = false;
    state_ = State::Browse;
    goTo(keys_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = keys_.empty();
    emit stateChanged();
    emit recordChanged();
}

// Takes the checked file as the table's, with these fields, and reads its records' keys.
void Table::readRecords(std::unique_ptr<Db> db, const QList<FieldDef>& defs,
                        const QString& keyName) {
    // Readers need no lock file: a folder that cannot be used shows at the first edit.
    lockFolder_ = session_->lockFolder();
    lockError_ = db->locks.attach(lockFolder_, path_);
    {
        // A post is acknowledged only once the journal's removal is on disk too, so a power
        // cut cannot roll it back.
        Stmt sync(db->h, QStringLiteral("PRAGMA synchronous = EXTRA"));
        sync.step();
    }
    QStringList cols;
    for (const FieldDef& d : defs) cols << QLatin1Char('"') + d.name + QLatin1Char('"');
    db->select = std::make_unique<Stmt>(db->h, QStringLiteral("SELECT %1 FROM %2 WHERE \"%3\" = ?")
                                                   .arg(cols.join(','), kRecordsTable, keyName));
    if (!db->select->ok()) throw notTable(path_);
    fields_.clear();
    for (int i = 0; i < defs.size(); ++i)
        fields_.push_back(std::unique_ptr<Field>(new Field(this, defs[i], i)));
    fieldsId_ = nextFieldsId();
    keyName_ = keyName;
    db_ = std::move(db);
    readKeys();
}

void Table::readKeys() {
    Stmt st(db_->h,
            QStringLiteral("SELECT \"%1\" FROM %2 ORDER BY \"%1\"").arg(keyName_, kRecordsTable));
    if (!st.ok()) failCode(sqlite3_extended_errcode(db_->h));
    std::vector<qint64> keys;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(st.get(), 0));
    if (rc != SQLITE_DONE) failCode(sqlite3_extended_errcode(db_->h));
    keys_ = std::move(keys);
}

void Table::close() {
    if (!isActive()) return;
    releaseLock();
    db_.reset();
    fields_.clear();
    fieldsId_ = nextFieldsId();
    keys_.clear();
    buf_.clear();
    loaded_.clear();
    cur_ = -1;
    bof_ = eof_ = true;
    modified_ = false;
    path_.clear();
    state_ = State::Inactive;
    emit stateChanged();
    emit recordChanged();
}

int Table::recordCount() const { return isActive() ? int(keys_.size()) : 0; }

int Table::recNo() const {
    if (!isActive()) return 0;
    if (state_ == State::Insert) return int(keys_.size()) + 1;
    return cur_ + 1;
}

void Table::clearBuffer() {
    buf_.clear();
    for (size_t i = 0; i < fields_.size(); ++i) buf_.append(QVariant());
    loaded_ = buf_;
}

bool Table::loadCurrent() {
    clearBuffer();
    if (cur_ < 0) return false;
    Stmt& st = *db_->select;
    st.reset();
    sqlite3_bind_int64(st.get(), 1, keys_[size_t(cur_)]);
    const int rc = st.step();
    if (rc == SQLITE_ROW) {
        for (size_t i = 0; i < fields_.size(); ++i) {
            sqlite3_stmt* s = st.get();
            const int c = int(i);
            if (sqlite3_column_type(s, c) == SQLITE_NULL) continue;
            switch (fields_[i]->type()) {
                case FieldType::AutoInc: buf_[c] = qint64(sqlite3_column_int64(s, c)); break;
                case FieldType::Boolean:
                    // Truth as the storage library reckons it: any number but zero, text by
                    // its leading number.
                    buf_[c] = sqlite3_column_type(s, c) == SQLITE_INTEGER
                                  ? sqlite3_column_int64(s, c) != 0
                                  : sqlite3_column_double(s, c) != 0.0;
                    break;
                case FieldType::String: buf_[c] = columnText(s, c); break;
                case FieldType::Blob: {
                    const void* p = sqlite3_column_blob(s, c);
                    buf_[c] = QByteArray(static_cast<const char*>(p), sqlite3_column_bytes(s, c));
                    break;
                }
            }
        }
    } else if (rc != SQLITE_DONE) {
        const int code = sqlite3_extended_errcode(db_->h);
        st.reset();
        failCode(code);
    }
    // A record another program deleted reads as empty until the next refresh.
    st.reset();
    loaded_ = buf_;
    return rc == SQLITE_ROW;
}

void Table::goTo(int index) {
    cur_ = index;
    loadCurrent();
    modified_ = false;
    emit recordChanged();
}

void Table::lockRecord(qint64 key) {
    if (!lockError_.isEmpty())
        throw DbError(QStringLiteral("Нет доступа к каталогу блокировок %1: %2")
                          .arg(QDir::toNativeSeparators(lockFolder_), lockError_));
    if (!db_->locks.lock(key)) fail(QStringLiteral("Запись заблокирована другим пользователем"));
    lockedKey_ = key;
}

void Table::releaseLock() {
    if (lockedKey_ >= 0 && db_) db_->locks.unlock(lockedKey_);
    lockedKey_ = -1;
}

void Table::checkBrowseMode() {
    checkActive();
    if (state_ == State::Edit || state_ == State::Insert) {
        emit updateRecord();
        if (modified_)
            post();
        else
            cancel();
    }
}

void Table::first() {
    checkBrowseMode();
    goTo(keys_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = keys_.empty();
}

void Table::last() {
    checkBrowseMode();
    goTo(int(keys_.size()) - 1);
    eof_ = true;
    bof_ = keys_.empty();
}

void Table::next() {
    checkBrowseMode();
    bof_ = false;
    if (cur_ + 1 < int(keys_.size())) {
        eof_ = false;
        goTo(cur_ + 1);
    } else {
        eof_ = true;
        bof_ = keys_.empty();
        emit recordChanged();
    }
}

void Table::prior() {
    checkBrowseMode();
    eof_ = false;
    if (cur_ > 0) {
        bof_ = false;
        goTo(cur_ - 1);
    } else {
        bof_ = true;
        eof_ = keys_.empty();
        emit recordChanged();
    }
}

void Table::setRecNo(int n) {
    checkBrowseMode();
    if (keys_.empty()) return;
    goTo(std::clamp(n, 1, int(keys_.size())) - 1);
    bof_ = eof_ = false;
}

void Table::insert() {
    checkBrowseMode();
    if (db_->readOnly) fail(QStringLiteral("Таблица открыта только для чтения"));
    insertReturn_ = cur_;
    clearBuffer();
    for (size_t i = 0; i < fields_.size(); ++i) {
        const FieldDef& d = fields_[i]->def();
        if (d.defaultValue.isEmpty() || d.type == FieldType::AutoInc || d.type == FieldType::Blob)
            continue;
        if (d.type == FieldType::Boolean)
            buf_[int(i)] =
                d.defaultValue.compare("true", Qt::CaseInsensitive) == 0 || d.defaultValue == "1";
        else
            buf_[int(i)] = d.defaultValue.left(d.size);
    }
    loaded_ = buf_;
    modified_ = false;
    savedBof_ = bof_;
    savedEof_ = eof_;
    bof_ = eof_ = false;
    setState(State::Insert);
    emit recordChanged();
}

void Table::edit() {
    checkActive();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (keys_.empty()) {
        insert();
        return;
    }
    if (db_->readOnly) fail(QStringLiteral("Таблица открыта только для чтения"));
    const qint64 key = keys_[size_t(cur_)];
    lockRecord(key);
    // Edit what is in the file now, not what was read before another program's post.
    bool there = false;
    const QList<QVariant> before = buf_;
    try {
        there = loadCurrent();
    } catch (...) {
        releaseLock();
        throw;
    }
    if (!there) {
        releaseLock();
        fail(QStringLiteral("Запись удалена другим пользователем"));
    }
    modified_ = false;
    setState(State::Edit);
    // Controls reload only when another program changed the record meanwhile, so typing
    // that started the edit keeps its place.
    if (buf_ != before) emit recordChanged();
}

namespace {
// A value as the programs see it: null and empty are one.
bool sameValue(FieldType type, const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) {
        const QVariant& v = a.isNull() ? b : a;
        switch (type) {
            case FieldType::String: return v.isNull() || v.toString().isEmpty();
            case FieldType::Blob: return v.isNull() || v.toByteArray().isEmpty();
            default: return v.isNull();
        }
    }
    switch (type) {
        case FieldType::Boolean: return a.toBool() == b.toBool();
        case FieldType::AutoInc: return a.toLongLong() == b.toLongLong();
        case FieldType::String: return a.toString() == b.toString();
        case FieldType::Blob: return a.toByteArray() == b.toByteArray();
    }
    return false;
}

void bindValue(sqlite3_stmt* st, int pos, const Field& f, const QVariant& v) {
    if (v.isNull()) {
        sqlite3_bind_null(st, pos);
        return;
    }
    switch (f.type()) {
        case FieldType::AutoInc: sqlite3_bind_int64(st, pos, v.toLongLong()); break;
        case FieldType::Boolean: sqlite3_bind_int(st, pos, v.toBool() ? 1 : 0); break;
        case FieldType::String: {
            const QByteArray u = v.toString().toUtf8();
            sqlite3_bind_text(st, pos, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            break;
        }
        case FieldType::Blob: {
            const QByteArray b = v.toByteArray();
            sqlite3_bind_blob(st, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}
}  // namespace

void Table::exec(const QString& sql) {
    Stmt st(db_->h, sql);
    if (!st.ok() || st.step() != SQLITE_DONE) failCode(sqlite3_extended_errcode(db_->h));
}

void Table::post() {
    checkActive();
    if (state_ != State::Edit && state_ != State::Insert) return;
    emit updateRecord();
    sqlite3* h = db_->h;
    const bool inserting = state_ == State::Insert;
    // A new record takes every field; an edited one only those the program changed, so a
    // value it read in a form of its own (a flag held as text, a string longer than its
    // field) is not rewritten in the program's form.
    QStringList cols, marks;
    std::vector<int> idx;
    for (size_t i = 0; i < fields_.size(); ++i) {
        const Field& f = *fields_[i];
        if (f.type() == FieldType::AutoInc) continue;
        if (!inserting && sameValue(f.type(), buf_[int(i)], loaded_.value(int(i)))) continue;
        cols << QLatin1Char('"') + f.name() + QLatin1Char('"');
        idx.push_back(int(i));
    }
    qint64 newKey = -1;
    if (!inserting && idx.empty()) {
        // Nothing to write; the record must still be there, as for a post that writes.
        Stmt st(h,
                QStringLiteral("SELECT 1 FROM %1 WHERE \"%2\" = ?").arg(kRecordsTable, keyName_));
        if (!st.ok()) failCode(sqlite3_extended_errcode(h));
        sqlite3_bind_int64(st.get(), 1, lockedKey_);
        const int rc = st.step();
        if (rc == SQLITE_DONE) fail(QStringLiteral("Запись удалена другим пользователем"));
        if (rc != SQLITE_ROW) failCode(sqlite3_extended_errcode(h));
    } else {
        // One durable transaction per post.
        exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            QString sql;
            if (inserting) {
                for (size_t i = 0; i < idx.size(); ++i) marks << QStringLiteral("?");
                sql = cols.isEmpty()
                          ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(kRecordsTable)
                          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(kRecordsTable, cols.join(','), marks.join(','));
            } else {
                QStringList sets;
                for (const QString& c : cols) sets << c + QStringLiteral(" = ?");
                sql = QStringLiteral("UPDATE %1 SET %2 WHERE \"%3\" = ?")
                          .arg(kRecordsTable, sets.join(','), keyName_);
            }
            Stmt st(h, sql);
            if (!st.ok()) failCode(sqlite3_extended_errcode(h));
            int pos = 1;
            for (int i : idx) bindValue(st.get(), pos++, *fields_[size_t(i)], buf_[i]);
            if (!inserting) sqlite3_bind_int64(st.get(), pos, lockedKey_);
            if (st.step() != SQLITE_DONE) {
                const int code = sqlite3_extended_errcode(h);
                // The storage library says "full" also when no key is left for a new record.
                if (inserting && (code & 0xff) == SQLITE_FULL && keysUsedUp())
                    throw DbError(keysUsedUpText(fileForMessage()));
                failCode(code);
            }
            if (!inserting && sqlite3_changes(h) == 0)
                fail(QStringLiteral("Запись удалена другим пользователем"));
            if (inserting) newKey = sqlite3_last_insert_rowid(h);
            exec(QStringLiteral("COMMIT"));
        } catch (...) {
            Stmt rb(h, QStringLiteral("ROLLBACK"));
            rb.step();
            throw;
        }
    }
    if (inserting) {
        // Keys grow, except in a file whose key column does not count up by itself: once its
        // largest key is taken, the library picks a free smaller one.
        const auto at = std::lower_bound(keys_.begin(), keys_.end(), newKey);
        cur_ = int(at - keys_.begin());
        keys_.insert(at, newKey);
    }
    releaseLock();
    modified_ = false;
    setState(State::Browse);
    goTo(cur_);
}

bool Table::keysUsedUp() {
    constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
    const auto largest = [&](const QString& sql) {
        Stmt st(db_->h, sql);
        return st.ok() && st.step() == SQLITE_ROW &&
               sqlite3_column_type(st.get(), 0) == SQLITE_INTEGER &&
               sqlite3_column_int64(st.get(), 0) == kLargest;
    };
    // A counting key column remembers its largest key even after that record is deleted.
    return largest(QStringLiteral("SELECT max(\"%1\") FROM %2").arg(keyName_, kRecordsTable)) ||
           largest(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '%1'")
                       .arg(kRecordsTable));
}

void Table::cancel() {
    checkActive();
    if (state_ != State::Edit && state_ != State::Insert) return;
    const bool wasInsert = state_ == State::Insert;
    releaseLock();
    modified_ = false;
    setState(State::Browse);
    if (wasInsert) {
        bof_ = savedBof_;
        eof_ = savedEof_;
        goTo(insertReturn_ < int(keys_.size()) ? insertReturn_ : int(keys_.size()) - 1);
    } else {
        goTo(cur_);
    }
}

void Table::remove() {
    checkActive();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (keys_.empty()) fail(QStringLiteral("Нельзя удалить запись из пустой таблицы"));
    if (db_->readOnly) fail(QStringLiteral("Таблица открыта только для чтения"));
    const qint64 key = keys_[size_t(cur_)];
    if (lockedKey_ != key) lockRecord(key);
    try {
        exec(QStringLiteral("BEGIN IMMEDIATE"));
        try {
            Stmt st(db_->h,
                    QStringLiteral("DELETE FROM %1 WHERE \"%2\" = ?").arg(kRecordsTable, keyName_));
            if (!st.ok()) failCode(sqlite3_extended_errcode(db_->h));
            sqlite3_bind_int64(st.get(), 1, key);
            if (st.step() != SQLITE_DONE) failCode(sqlite3_extended_errcode(db_->h));
            exec(QStringLiteral("COMMIT"));
        } catch (...) {
            Stmt rb(db_->h, QStringLiteral("ROLLBACK"));
            rb.step();
            throw;
        }
    } catch (...) {
        if (state_ != State::Edit) releaseLock();
        throw;
    }
    releaseLock();
    keys_.erase(keys_.begin() + cur_);
    modified_ = false;
    setState(State::Browse);
    goTo(std::min(cur_, int(keys_.size()) - 1));
    bof_ = keys_.empty() || (cur_ == 0 && bof_);
    eof_ = keys_.empty();
}

void Table::refresh() {
    checkBrowseMode();
    const qint64 key = cur_ >= 0 ? keys_[size_t(cur_)] : -1;
    readKeys();
    int at = -1;
    if (!keys_.empty()) {
        const auto it = std::lower_bound(keys_.begin(), keys_.end(), key);
        at = std::min(int(it - keys_.begin()), int(keys_.size()) - 1);
    }
    goTo(at);
    bof_ = eof_ = keys_.empty();
}

Field* Table::findField(const QString& name) {
    for (auto& f : fields_)
        if (f->name().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

Field& Table::fieldByName(const QString& name) {
    checkActive();
    if (Field* f = findField(name)) return *f;
    throw DbError(QStringLiteral("Поле %1 не найдено. Таблица: %2").arg(name, fileForMessage()));
}

bool Table::canModify() const { return isActive() && !db_->readOnly; }

}  // namespace plat::db
