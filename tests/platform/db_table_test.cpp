// The table engine: durability, the record states, the classic BOF/EOF, refused files,
// record locks between owners and processes, and tables that another program filled.
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/errors.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <csignal>
#include <functional>
#include <sqlcipher/sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using plat::DbError;
using plat::db::FieldDef;
using plat::db::FieldType;
using plat::db::Session;
using plat::db::Table;
using State = plat::db::Table::State;

namespace {

const QString kPw = QStringLiteral("secret");

QList<FieldDef> smallSchema() {
    return {{"Number", FieldType::AutoInc, 0},
            {"Name", FieldType::String, 10},
            {"Flag", FieldType::Boolean, 0},
            {"Pic", FieldType::Blob, 0},
            {"Kind", FieldType::String, 1, "1"}};
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class DbTable : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        s.setNetFileDir(driveC());
        s.addPassword("other");
        s.addPassword(kPw);
        plat::db::createTableFile(inWork("T.DB"), kPw, smallSchema());
    }
    // A table over T.DB with records named by names.
    void fill(Table& t, const QStringList& names) {
        for (const QString& n : names) {
            t.insert();
            t.fieldByName("Name").setAsString(n);
            t.post();
        }
    }
    QStringList names(Table& t) {
        QStringList r;
        for (t.first(); !t.eof(); t.next()) r << t.fieldByName("Name").asString();
        return r;
    }
    Session s;
};

TEST_F(DbTable, PostedRecordsSurviveCloseAndAreReadInKeyOrder) {
    {
        Table t(s);
        t.setTableName("t.db");  // letter case of the name does not matter
        t.open();
        EXPECT_EQ(t.recordCount(), 0);
        EXPECT_TRUE(t.bof() && t.eof());
        fill(t, {"один", "two"});
        t.insert();
        t.fieldByName("Name").setAsString("three");
        t.fieldByName("Flag").setAsBool(true);
        t.fieldByName("Pic").setAsBytes(QByteArray("\0\1\2", 3));
        t.post();
        EXPECT_EQ(t.recNo(), 3);
        EXPECT_EQ(t.fieldByName("Number").asString(), "3");
    }
    s.close();

    Session fresh;
    fresh.addPassword(kPw);
    Table t(fresh);
    t.setTableName("T.DB");
    t.open();
    EXPECT_EQ(names(t), (QStringList{"один", "two", "three"}));
    t.last();
    EXPECT_EQ(t.fieldByName("Flag").asString(), "True");
    EXPECT_EQ(t.fieldByName("Pic").asBytes(), QByteArray("\0\1\2", 3));
    t.first();
    EXPECT_TRUE(t.fieldByName("Flag").isNull());
    EXPECT_EQ(t.fieldByName("Flag").asString(), "");
    EXPECT_EQ(t.fieldByName("Kind").asString(), "1");  // the file's default
}

TEST_F(DbTable, FolderAndFileNamesIgnoreLetterCase) {
    QDir(work()).mkpath("Тесты");
    ASSERT_TRUE(QFile::rename(inWork("T.DB"), inWork("Тесты/T.DB")));
    Table t(s);
    t.setTableName("тесты/t.db");
    t.open();
    EXPECT_TRUE(t.isActive());
}

TEST_F(DbTable, ValuesAreCutToSizeAndToTheCodePage) {
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    t.insert();
    t.fieldByName("Name").setAsString("Привет, мир: 12345");
    t.post();
    t.insert();
    t.fieldByName("Name").setAsString(
        QString::fromUtf8("a\u4e2db\u20acc"));  // CJK has no byte; € has
    t.post();
    t.close();
    t.open();
    t.first();
    EXPECT_EQ(t.fieldByName("Name").asString(), "Привет, ми");
    t.next();
    EXPECT_EQ(t.fieldByName("Name").asString(), QString::fromUtf8("a?b\u20acc"));
    EXPECT_THROW(t.fieldByName("Name").setAsString("x"), DbError);  // browse mode
    EXPECT_THROW(t.fieldByName("Nope"), DbError);
}

TEST_F(DbTable, UnpostedEditIsDroppedByClose) {
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    fill(t, {"kept"});
    t.edit();
    t.fieldByName("Name").setAsString("lost");
    t.insert();  // posts the change first
    t.fieldByName("Name").setAsString("new");
    t.close();
    t.open();
    EXPECT_EQ(names(t), QStringList{"lost"});
}

// Each move, insert and refresh posts a changed record and drops an unchanged edit.
struct Action {
    const char* name;
    std::function<void(Table&)> run;
};

class DbTableAction : public DbTable, public ::testing::WithParamInterface<Action> {};

TEST_P(DbTableAction, PostsChangedEditAndDropsUnchanged) {
    Table t(s), other(s);
    t.setTableName("T.DB");
    other.setTableName("T.DB");
    t.open();
    fill(t, {"a", "b", "c"});
    t.setRecNo(2);

    t.edit();
    t.fieldByName("Name").setAsString("changed");
    GetParam().run(t);
    EXPECT_EQ(t.state(), GetParam().name == std::string("insert") ? State::Insert : State::Browse);
    t.cancel();
    other.open();
    other.setRecNo(2);
    EXPECT_EQ(other.fieldByName("Name").asString(), "changed");
    other.close();

    t.setRecNo(2);
    t.edit();
    GetParam().run(t);  // nothing changed: the edit is dropped and its lock freed
    t.cancel();
    other.open();
    other.setRecNo(2);
    EXPECT_NO_THROW(other.edit());
}

INSTANTIATE_TEST_SUITE_P(Moves, DbTableAction,
                         ::testing::Values(Action{"first", [](Table& t) { t.first(); }},
                                           Action{"prior", [](Table& t) { t.prior(); }},
                                           Action{"next", [](Table& t) { t.next(); }},
                                           Action{"last", [](Table& t) { t.last(); }},
                                           Action{"recno", [](Table& t) { t.setRecNo(1); }},
                                           Action{"insert", [](Table& t) { t.insert(); }},
                                           Action{"refresh", [](Table& t) { t.refresh(); }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbTable, BofAndEofFollowTheClassicDataset) {
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    fill(t, {"a", "b"});
    t.first();
    struct Step {
        std::function<void()> act;
        int recNo;
        bool bof, eof;
    } steps[] = {
        {[&] { t.prior(); }, 1, true, false}, {[&] { t.next(); }, 2, false, false},
        {[&] { t.next(); }, 2, false, true},  {[&] { t.prior(); }, 1, false, false},
        {[&] { t.last(); }, 2, false, true},  {[&] { t.first(); }, 1, true, false},
    };
    int i = 0;
    for (const Step& st : steps) {
        st.act();
        EXPECT_EQ(t.recNo(), st.recNo) << "step " << i;
        EXPECT_EQ(t.bof(), st.bof) << "step " << i;
        EXPECT_EQ(t.eof(), st.eof) << "step " << i;
        ++i;
    }
}

TEST_F(DbTable, EditOnEmptyTableInsertsAndDeleteOfInsertOnlyDrops) {
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    t.edit();
    EXPECT_EQ(t.state(), State::Insert);
    EXPECT_EQ(t.fieldByName("Kind").asString(), "1");
    t.remove();
    EXPECT_EQ(t.state(), State::Browse);
    EXPECT_EQ(t.recordCount(), 0);
    t.edit();
    t.post();  // unchanged new record is still added by an explicit post
    EXPECT_EQ(t.recordCount(), 1);

    fill(t, {"b", "c"});
    t.setRecNo(2);
    t.remove();
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.recNo(), 2);
    EXPECT_EQ(t.fieldByName("Name").asString(), "c");
    t.remove();
    EXPECT_EQ(t.recNo(), 1);
    t.refresh();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST_F(DbTable, EditReadsWhatAnotherOwnerPosted) {
    Table a(s), b(s);
    a.setTableName("T.DB");
    b.setTableName("T.DB");
    a.open();
    fill(a, {"old"});
    b.open();
    a.first();
    a.edit();
    a.fieldByName("Name").setAsString("new");
    a.post();
    EXPECT_EQ(b.fieldByName("Name").asString(), "old");  // readers see their last read
    b.edit();
    EXPECT_EQ(b.fieldByName("Name").asString(), "new");
}

TEST_F(DbTable, LockedRecordRefusesASecondEditorUntilReleased) {
    Table a(s), b(s);
    a.setTableName("T.DB");
    b.setTableName("T.DB");
    a.open();
    fill(a, {"x", "y"});
    b.open();
    a.first();
    a.edit();
    b.first();
    try {
        b.edit();
        FAIL() << "second edit was allowed";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains("Запись заблокирована другим пользователем")) << e.what();
        EXPECT_TRUE(e.text().contains(QDir::toNativeSeparators(inWork("T.DB")))) << e.what();
    }
    EXPECT_EQ(b.state(), State::Browse);
    EXPECT_THROW(b.remove(), DbError);
    b.next();
    EXPECT_NO_THROW(b.edit());  // another record
    b.cancel();
    EXPECT_EQ(b.fieldByName("Name").asString(), "y");
    a.post();
    b.first();
    EXPECT_NO_THROW(b.edit());
}

TEST_F(DbTable, UnusableLockFolderStopsEditsNotReaders) {
    {
        Table t(s);
        t.setTableName("T.DB");
        t.open();
        fill(t, {"x"});
    }
    s.setNetFileDir(inWork("no/such/folder"));
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    EXPECT_EQ(t.fieldByName("Name").asString(), "x");
    try {
        t.edit();
        FAIL() << "edited without a lock";
    } catch (const DbError& e) {
        EXPECT_EQ(e.text(), "Нет доступа к каталогу блокировок " +
                                QDir::toNativeSeparators(inWork("no/such/folder")) +
                                ": папки нет. Создайте её или укажите другую");
    }
    EXPECT_EQ(t.state(), State::Browse);
}

TEST_F(DbTable, KilledProcessFreesItsRecordLock) {
    {
        Table t(s);
        t.setTableName("T.DB");
        t.open();
        fill(t, {"x"});
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child holds the record in edit mode until it is killed.
        Session cs;
        cs.setNetFileDir(driveC());
        cs.addPassword(kPw);
        Table t(cs);
        t.setTableName(inWork("T.DB"));
        t.open();
        t.edit();
        (void)!write(ready[1], "1", 1);
        for (;;) pause();
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    Table t(s);
    t.setTableName("T.DB");
    t.open();
    EXPECT_THROW(t.edit(), DbError);
    EXPECT_EQ(t.fieldByName("Name").asString(), "x");  // readers are not blocked
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    EXPECT_NO_THROW(t.edit());
    close(ready[0]);
    close(ready[1]);
}

// Files that are no table of ours: each fails with a clear error and stays as it was.
struct BadFile {
    const char* name;
    std::function<void(const QString& path)> make;
    const char* message;  // part of the error text
};

class DbBadFile : public DbTable, public ::testing::WithParamInterface<BadFile> {};

TEST_P(DbBadFile, FailsToOpenAndLeavesTheFileAlone) {
    const QString path = inWork("B.DB");
    GetParam().make(path);
    const QByteArray before = bytesOf(path);
    Table t(s);
    t.setTableName("B.DB");
    t.setFieldDefs(smallSchema());
    try {
        t.open();
        FAIL() << "opened";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains(GetParam().message)) << e.what();
        EXPECT_TRUE(e.text().contains(QDir::toNativeSeparators(path))) << e.what();
    }
    EXPECT_FALSE(t.isActive());
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
}

void writeFile(const QString& path, const QByteArray& b) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

void sqliteCli(const QString& path, const QString& sql) {
    QProcess p;
    p.start("sqlite3", {path, sql});
    ASSERT_TRUE(p.waitForFinished());
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// SQL run in the file as the storage library opens it with the table's password.
void keyedSql(const QString& path, const char* sql) {
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &h,
                              SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
              SQLITE_OK);
    const QByteArray key = kPw.toUtf8();
    sqlite3_key(h, key.constData(), int(key.size()));
    const int rc = sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
    sqlite3_close(h);
    ASSERT_EQ(rc, SQLITE_OK);
}

QList<FieldDef> without(const QString& name) {
    QList<FieldDef> r;
    for (const FieldDef& d : smallSchema())
        if (d.name != name) r << d;
    return r;
}

const char* kNotTable = "не является таблицей теста или пароль не подходит";

INSTANTIATE_TEST_SUITE_P(
    Files, DbBadFile,
    ::testing::Values(
        BadFile{"Missing", [](const QString&) {}, "Файл таблицы не найден"},
        BadFile{"WrongPassword",
                [](const QString& p) { plat::db::createTableFile(p, "guess", smallSchema()); },
                kNotTable},
        BadFile{"PlainSqlite",
                [](const QString& p) {
                    sqliteCli(p,
                              "CREATE TABLE records (Number INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "Name VARCHAR(10), Flag BOOLEAN, Pic BLOB, Kind VARCHAR(1));");
                },
                kNotTable},
        // The password fits, but what it opens holds no records of a test.
        BadFile{"KeyedWithoutRecords",
                [](const QString& p) { keyedSql(p, "CREATE TABLE other (x INTEGER);"); },
                kNotTable},
        // Bytes past the file's last page: not the file the table wrote.
        BadFile{"LongerThanItsPages",
                [](const QString& p) {
                    plat::db::createTableFile(p, kPw, smallSchema());
                    QFile f(p);
                    ASSERT_TRUE(f.open(QIODevice::Append));
                    f.write(QByteArray(100, 'x'));
                },
                kNotTable},
        BadFile{"TextFile", [](const QString& p) { writeFile(p, "Number;Name\r\n1;abc\r\n"); },
                kNotTable},
        BadFile{"EmptyFile", [](const QString& p) { writeFile(p, {}); }, kNotTable},
        BadFile{"Truncated",
                [](const QString& p) {
                    Session s2;
                    s2.addPassword(kPw);
                    plat::db::createTableFile(p, kPw, smallSchema());
                    Table t(s2);
                    t.setTableName(p);
                    t.open();
                    for (int i = 0; i < 40; ++i) {
                        t.insert();
                        t.fieldByName("Pic").setAsBytes(QByteArray(500, char(i)));
                        t.post();
                    }
                    t.close();
                    QFile f(p);
                    ASSERT_TRUE(f.resize(f.size() - 3000));
                },
                "повреждена. Восстановите тест из резервной копии"},
        BadFile{"MissingField",
                [](const QString& p) { plat::db::createTableFile(p, kPw, without("Flag")); },
                "нет поля Flag"},
        BadFile{"OtherType",
                [](const QString& p) {
                    auto defs = smallSchema();
                    defs[1].size = 20;
                    plat::db::createTableFile(p, kPw, defs);
                },
                "Поле Name в таблице"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbTable, NoRegisteredPasswordOpensNothing) {
    Session bare;
    Table t(bare);
    t.setTableName("T.DB");
    EXPECT_THROW(t.open(), DbError);
}

TEST_F(DbTable, SessionCloseClosesTablesAndDropsAliasesAndPasswords) {
    Table t(s);
    t.setTableName("T.DB");
    s.addStandardAlias("sdb", "", "PARADOX");
    EXPECT_THROW(s.addStandardAlias("SDB", "/x", "PARADOX"), DbError);
    t.open();
    t.insert();
    s.close();
    EXPECT_FALSE(t.isActive());
    EXPECT_FALSE(s.isAlias("sdb"));
    EXPECT_TRUE(s.passwords().isEmpty());
    EXPECT_THROW(t.open(), DbError);
    s.addPassword(kPw);
    t.open();
    EXPECT_EQ(t.recordCount(), 0);  // the insert was never posted
}

// The file as the storage library holds it, past the engine.
class RawFile {
public:
    explicit RawFile(const QString& path) {
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &h_,
                                  SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
                  SQLITE_OK);
        const QByteArray key = kPw.toUtf8();
        sqlite3_key(h_, key.constData(), int(key.size()));
    }
    ~RawFile() { sqlite3_close(h_); }
    void exec(const QString& sql) {
        char* err = nullptr;
        const int rc = sqlite3_exec(h_, sql.toUtf8().constData(), nullptr, nullptr, &err);
        EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "") << " in " << sql.toStdString();
        sqlite3_free(err);
    }
    // Every value of every record, with its storage type, in key order.
    QByteArrayList rows() {
        QByteArrayList r;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h_, "SELECT * FROM records ORDER BY Number", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            QByteArray row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                row += QByteArray::number(sqlite3_column_type(st, c)) + ':';
                const auto* p = static_cast<const char*>(sqlite3_column_blob(st, c));
                row += QByteArray(p, sqlite3_column_bytes(st, c)).toHex() + '|';
            }
            r << row;
        }
        sqlite3_finalize(st);
        return r;
    }

private:
    sqlite3* h_ = nullptr;
};

// T.DB as another program left it.
class DbStoredValues : public DbTable {
protected:
    void SetUp() override {
        DbTable::SetUp();
        path = inWork("T.DB");
        t.setTableName(path);
    }
    // Records the engine writes, then what the given SQL makes of them.
    void store(int records, const QString& sql) {
        t.open();
        for (int i = 0; i < records; ++i) {
            t.insert();
            t.fieldByName("Name").setAsString("n" + QString::number(i));
            t.fieldByName("Flag").setAsBool(true);
            t.fieldByName("Pic").setAsBytes("pic");
            t.fieldByName("Kind").setAsString("1");
            t.post();
        }
        t.close();
        if (!sql.isEmpty()) RawFile(path).exec(sql);
    }
    Table t{s};
    QString path;
};

// One field of record 1 holds a value of a form or size the engine does not write.
struct Stored {
    const char* name;
    const char* field;
    const char* literal;  // SQL
    const char* reads;    // asString()
};

class DbStoredValue : public DbStoredValues, public ::testing::WithParamInterface<Stored> {};

TEST_P(DbStoredValue, StaysAsStoredUntilItsFieldIsChanged) {
    const Stored& c = GetParam();
    store(2, QStringLiteral("UPDATE records SET %1 = %2 WHERE Number = 1").arg(c.field, c.literal));
    const QByteArrayList before = RawFile(path).rows();
    t.open();
    EXPECT_EQ(t.fieldByName(c.field).asString(), QString::fromUtf8(c.reads));

    t.edit();  // and post with nothing changed, as the editor opens a test
    t.post();
    EXPECT_EQ(RawFile(path).rows(), before);

    // Another field changed: only that one is written.
    const QString other = QString(c.field) == "Kind" ? "Name" : "Kind";
    t.edit();
    t.fieldByName(other).setAsString("2");
    t.post();
    const QByteArrayList now = RawFile(path).rows();
    ASSERT_EQ(now.size(), 2);
    EXPECT_EQ(now[1], before[1]);
    const QList<FieldDef> defs = smallSchema();
    const auto column = std::find_if(defs.begin(), defs.end(),
                                     [&](const FieldDef& d) { return d.name == c.field; }) -
                        defs.begin();
    EXPECT_EQ(now[0].split('|')[column], before[0].split('|')[column]);
    EXPECT_NE(now[0], before[0]);

    // The field itself changed: written in the engine's form.
    t.edit();
    plat::db::Field& f = t.fieldByName(c.field);
    const bool flag = f.type() == FieldType::Boolean;
    if (flag)
        f.setAsBool(!f.asBool());
    else
        f.setAsString("z");
    t.post();
    t.close();
    t.open();
    EXPECT_EQ(t.fieldByName(c.field).asString(), !flag                                  ? "z"
                                                 : QString::fromUtf8(c.reads) == "True" ? "False"
                                                                                        : "True");
}

INSTANTIATE_TEST_SUITE_P(
    Values, DbStoredValue,
    ::testing::Values(
        Stored{"FlagAsText", "Flag", "'true'", "False"}, Stored{"FlagTwo", "Flag", "2", "True"},
        Stored{"FlagNegative", "Flag", "-1", "True"}, Stored{"FlagHalf", "Flag", "0.5", "True"},
        Stored{"FlagAbove32Bits", "Flag", "4294967296", "True"},
        Stored{"FlagBytes", "Flag", "X'01'", "False"}, Stored{"FlagNull", "Flag", "NULL", ""},
        Stored{"StringLongerThanItsField", "Name", "'abcdefghijklmnop'", "abcdefghijklmnop"},
        Stored{"StringNotInTheCodePage", "Name", "'a\xe4\xb8\xad'", "a\xe4\xb8\xad"},
        Stored{"StringEmptyNotNull", "Kind", "''", ""},
        Stored{"StringAsBytes", "Kind", "X'37'", "7"},
        Stored{"BlobAsText", "Pic", "'text'", "text"},
        Stored{"BlobAsNumber", "Pic", "-12.5", "-12.5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbStoredValues, AFlagTickedOffAndOnAgainKeepsItsStoredForm) {
    store(1, "UPDATE records SET Flag = 2");
    const QByteArrayList before = RawFile(path).rows();
    t.open();
    t.edit();
    t.fieldByName("Flag").setAsBool(false);
    t.fieldByName("Flag").setAsBool(true);
    t.post();
    EXPECT_EQ(RawFile(path).rows(), before);
}

TEST_F(DbStoredValues, UnchangedPostOfARecordAnotherProgramDeletedFails) {
    store(1, {});
    t.open();
    t.edit();
    RawFile(path).exec("DELETE FROM records");
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), State::Edit);
}

// The largest record number taken: the post of a new record fails with a text that says so,
// not that the disk is full; the table and the records in it stay as they were.
class DbLargestKey : public DbStoredValues, public ::testing::WithParamInterface<bool> {};

TEST_P(DbLargestKey, RefusesANewRecordAndSaysWhy) {
    const bool deleted = GetParam();  // the record with that number is gone: still taken
    store(1, deleted ? "UPDATE sqlite_sequence SET seq = 9223372036854775807; DELETE FROM records"
                     : "UPDATE records SET Number = 9223372036854775807");
    const QByteArrayList before = RawFile(path).rows();
    t.open();
    t.insert();
    t.fieldByName("Name").setAsString("new");
    try {
        t.post();
        FAIL() << "posted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.text(), "В таблице " + QDir::toNativeSeparators(path) +
                                " занят наибольший возможный номер записи, новую запись "
                                "добавить нельзя. Новые вопросы добавьте в другой тест");
    }
    EXPECT_EQ(t.state(), State::Insert);
    t.cancel();
    EXPECT_EQ(RawFile(path).rows(), before);
    if (!deleted) {
        t.edit();  // the records there can still be changed
        t.fieldByName("Name").setAsString("edited");
        EXPECT_NO_THROW(t.post());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DbLargestKey, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Deleted" : "Present"; });

// A key column that does not count up by itself (a file not made by the engine): past its
// largest key the library picks a free smaller one, and the new record takes its place in
// key order.
TEST_F(DbStoredValues, ANewRecordBelowTheLargestKeyIsReadInKeyOrder) {
    QFile::remove(path);
    {
        RawFile raw(path);
        raw.exec(
            "CREATE TABLE records (Number INTEGER PRIMARY KEY, Name VARCHAR(10), "
            "Flag BOOLEAN, Pic BLOB, Kind VARCHAR(1));"
            "INSERT INTO records (Number, Name) VALUES (9223372036854775807, 'last')");
    }
    t.open();
    t.insert();
    t.fieldByName("Name").setAsString("new");
    t.post();
    EXPECT_EQ(t.fieldByName("Name").asString(), "new");
    EXPECT_EQ(t.recNo(), 1);
    t.next();
    EXPECT_EQ(t.fieldByName("Name").asString(), "last");
    EXPECT_EQ(t.recNo(), 2);
}

}  // namespace
