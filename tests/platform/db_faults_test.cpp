// The table engine under real faults: another program's commit at open, a folder that
// cannot be written, a damaged page, a full disk. Each says in Russian what happened to
// which file and leaves the file as it was.
#include "platform/db/create.h"
#include "platform/db/engine_errors.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "platform/errors.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <sqlcipher/sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using plat::DbError;
using plat::db::FieldDef;
using plat::db::FieldType;
using plat::db::Session;
using plat::db::Table;

namespace {

const QString kPw = QStringLiteral("secret");
const QString kFile = QStringLiteral("C:\\Test\\Физика.DB");

QList<FieldDef> schema() {
    return {{"Number", FieldType::AutoInc, 0},
            {"Name", FieldType::String, 10},
            {"Pic", FieldType::Blob, 0}};
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct TextRow {
    const char* name;
    int code;
    const char* text;
};

class EngineErrorText : public ::testing::TestWithParam<TextRow> {};

TEST_P(EngineErrorText, IsRussianNamesTheFileAndSaysWhatToDo) {
    EXPECT_EQ(plat::db::engineErrorText(GetParam().code, kFile),
              QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EngineErrorText,
    ::testing::Values(
        TextRow{
            "Busy", SQLITE_BUSY,
            "Таблица C:\\Test\\Физика.DB занята другой программой. Подождите, пока она закончит "
            "запись, и повторите действие"},
        TextRow{
            "Locked", SQLITE_LOCKED,
            "Таблица C:\\Test\\Физика.DB занята другой программой. Подождите, пока она закончит "
            "запись, и повторите действие"},
        TextRow{"CantOpen", SQLITE_CANTOPEN,
                "Не удаётся записать в папку таблицы C:\\Test\\Физика.DB. Разрешите запись в эту "
                "папку или скопируйте тест в папку, где запись разрешена"},
        TextRow{"ReadOnly", SQLITE_READONLY,
                "Таблица C:\\Test\\Физика.DB или её папка защищены от записи. Снимите защиту или "
                "скопируйте тест в папку, где запись разрешена"},
        TextRow{"Perm", SQLITE_PERM,
                "Нет доступа к таблице C:\\Test\\Физика.DB. Проверьте права на файл и его папку"},
        TextRow{"Corrupt", SQLITE_CORRUPT,
                "Таблица C:\\Test\\Физика.DB повреждена. Восстановите тест из резервной копии"},
        TextRow{"NotADb", SQLITE_NOTADB,
                "Файл C:\\Test\\Физика.DB не является таблицей теста или пароль не подходит"},
        TextRow{"Full", SQLITE_FULL,
                "Диск переполнен, изменение таблицы C:\\Test\\Физика.DB не записано. Освободите "
                "место на диске и повторите действие"},
        TextRow{"IoWrite", SQLITE_IOERR_WRITE,
                "Ошибка чтения или записи таблицы C:\\Test\\Физика.DB. Проверьте диск и повторите "
                "действие"},
        TextRow{"NoMem", SQLITE_NOMEM,
                "Не хватает памяти для работы с таблицей C:\\Test\\Физика.DB. Закройте другие "
                "программы и повторите действие"},
        TextRow{"Other", SQLITE_MISMATCH,
                "Ошибка движка таблиц (код 20) в таблице C:\\Test\\Физика.DB. Повторите действие; "
                "если ошибка повторится, восстановите тест из резервной копии"}),
    [](const auto& info) { return std::string(info.param.name); });

class DbFaults : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        s.setNetFileDir(driveC());
        s.addPassword(kPw);
    }
    void make(const QString& path, int records = 1, int picBytes = 0) {
        plat::db::createTableFile(path, kPw, schema());
        Table t(s);
        t.setTableName(path);
        t.open();
        for (int i = 0; i < records; ++i) {
            t.insert();
            t.fieldByName("Name").setAsString(QString::number(i));
            if (picBytes) t.fieldByName("Pic").setAsBytes(QByteArray(picBytes, char('a' + i % 26)));
            t.post();
        }
    }
    // The error text of what fails; empty when nothing does.
    static QString errorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const DbError& e) {
            return e.text();
        }
        return {};
    }
    // A child process that holds the table's write lock for ms; returns once it holds it.
    pid_t holdWriteLock(const QString& path, int ms) {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            sqlite3* h = nullptr;
            sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READWRITE,
                            nullptr);
            const QByteArray key = kPw.toLatin1();
            sqlite3_key(h, key.constData(), int(key.size()));
            const int rc = sqlite3_exec(h, "BEGIN EXCLUSIVE; UPDATE records SET Name = 'w'",
                                        nullptr, nullptr, nullptr);
            (void)!write(ready[1], rc == SQLITE_OK ? "1" : "0", 1);
            usleep(useconds_t(ms) * 1000);
            sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(h);
            _exit(0);
        }
        char c = 0;
        EXPECT_EQ(read(ready[0], &c, 1), 1);
        EXPECT_EQ(c, '1') << "the child did not get the write lock";
        close(ready[0]);
        close(ready[1]);
        return child;
    }
    Session s;
};

TEST_F(DbFaults, OpenWaitsForAnotherProgramsCommit) {
    const QString path = inWork("T.DB");
    make(path);
    const pid_t child = holdWriteLock(path, 1500);
    QElapsedTimer clock;
    clock.start();
    Table t(s);
    t.setTableName("T.DB");
    EXPECT_NO_THROW(t.open());
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_EQ(t.fieldByName("Name").asString(), "w");  // what the other program committed
    waitpid(child, nullptr, 0);
}

TEST_F(DbFaults, OpenOfATableBusyPastTheTimeoutSaysBusyNotWrongPassword) {
    const QString path = inWork("T.DB");
    make(path);
    const pid_t child = holdWriteLock(path, 6000);
    Table t(s);
    t.setTableName("T.DB");
    const QString err = errorOf([&] { t.open(); });
    EXPECT_EQ(err,
              "Таблица " + QDir::toNativeSeparators(path) +
                  " занята другой программой. Подождите, пока она закончит запись, и повторите "
                  "действие");
    EXPECT_FALSE(t.isActive());
    waitpid(child, nullptr, 0);
}

TEST_F(DbFaults, FolderThatCannotBeWrittenRefusesThePostAndKeepsTheFile) {
    // Root writes anywhere: the post runs as an unprivileged user.
    const bool root = geteuid() == 0;
    QTemporaryDir base(QDir::tempPath() + "/dbro-XXXXXX");
    const QString dir = base.path() + "/ro";
    const QString locks = base.path() + "/locks";
    ASSERT_TRUE(QDir().mkpath(dir) && QDir().mkpath(locks));
    const QString path = dir + "/T.DB";
    make(path);
    QFile::setPermissions(base.path(), QFile::Permissions(0x7755));
    QFile::setPermissions(locks, QFile::Permissions(0x7777));
    QFile::setPermissions(path, QFile::Permissions(0x6666));
    QFile::setPermissions(dir, QFile::Permissions(0x5555));
    const QByteArray before = bytesOf(path);
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    QString err;
    {
        Session us;
        us.setNetFileDir(locks);
        us.addPassword(kPw);
        Table t(us);
        t.setTableName(path);
        err = errorOf([&] {
            t.open();
            t.insert();
            t.fieldByName("Name").setAsString("new");
            t.post();
        });
    }
    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    QFile::setPermissions(dir, QFile::Permissions(0x7777));
    EXPECT_EQ(err, "Не удаётся записать в папку таблицы " + QDir::toNativeSeparators(path) +
                       ". Разрешите запись в эту папку или скопируйте тест в папку, где запись "
                       "разрешена");
    EXPECT_EQ(bytesOf(path), before);
}

TEST_F(DbFaults, DamagedPageSaysTheTableIsDamaged) {
    const QString path = inWork("T.DB");
    make(path, 40, 500);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(f.size() - 1024 - 600);  // inside the last data page, not the file's header
        f.write(QByteArray(64, '\x5a'));
    }
    const QByteArray before = bytesOf(path);
    Table t(s);
    t.setTableName("T.DB");
    const QString err = errorOf([&] {
        t.open();
        for (t.first(); !t.eof(); t.next()) t.fieldByName("Pic").asBytes();
    });
    EXPECT_EQ(err, "Таблица " + QDir::toNativeSeparators(path) +
                       " повреждена. Восстановите тест из резервной копии");
    EXPECT_EQ(bytesOf(path), before);
}

// A small disk of its own, mounted for the test.
class DbFullDisk : public DbFaults {
protected:
    void SetUp() override {
        DbFaults::SetUp();
        mnt = inWork("disk");
        QDir().mkpath(mnt);
        if (mount("tmpfs", QFile::encodeName(mnt).constData(), "tmpfs", 0, "size=512k") != 0)
            GTEST_SKIP() << "cannot mount a small disk here";
        mounted = true;
    }
    void TearDown() override {
        if (mounted) umount2(QFile::encodeName(mnt).constData(), MNT_DETACH);
        DbFaults::TearDown();
    }
    QString mnt;
    bool mounted = false;
};

TEST_F(DbFullDisk, PostOnAFullDiskSaysSoAndKeepsTheFile) {
    const QString path = mnt + "/T.DB";
    make(path, 3, 2000);
    {
        QFile filler(mnt + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray chunk(4096, 'f');
        while (filler.write(chunk) == chunk.size() && filler.flush()) {
        }
    }
    const QByteArray before = bytesOf(path);
    Table t(s);
    t.setTableName(path);
    t.open();
    const QString err = errorOf([&] {
        t.insert();
        t.fieldByName("Pic").setAsBytes(QByteArray(200000, 'p'));
        t.post();
    });
    EXPECT_EQ(err, "Диск переполнен, изменение таблицы " + QDir::toNativeSeparators(path) +
                       " не записано. Освободите место на диске и повторите действие");
    t.close();
    EXPECT_EQ(bytesOf(path), before);
}

}  // namespace
