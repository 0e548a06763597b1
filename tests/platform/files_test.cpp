#include "platform/files.h"

#include "platform/errors.h"
#include "tests/harness/disk.h"
#include "tests/harness/harness.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace fs = plat::fs;

namespace {

using testing_support::get;
using testing_support::put;

class FilesTest : public testing_support::SuiteTest {};

TEST_F(FilesTest, LookupIgnoresLetterCaseInEveryComponent) {
    QDir(work()).mkpath("Тесты/Физика");
    put(inWork("Тесты/Физика/Механика.DB"), "x");
    EXPECT_EQ(fs::resolve("тесты/ФИЗИКА/механика.db"),
              QDir::toNativeSeparators("Тесты/Физика/Механика.DB"));
    EXPECT_EQ(fs::resolve(inWork("ТЕСТЫ/физика")), inWork("Тесты/Физика"));
    EXPECT_TRUE(fs::fileExists("тесты/физика/МЕХАНИКА.Db"));
    EXPECT_FALSE(fs::fileExists("тесты/физика"));
    EXPECT_TRUE(fs::dirExists("тесты/физика"));
    EXPECT_FALSE(fs::exists("тесты/химия/механика.db"));
    EXPECT_TRUE(fs::resolve("нет.db").isEmpty());
}

TEST_F(FilesTest, ExactNameWinsOverOneThatDiffersInCase) {
    put(inWork("a.txt"), "lower");
    put(inWork("A.txt"), "upper");
    EXPECT_EQ(fs::resolve("A.txt"), "A.txt");
    EXPECT_EQ(fs::resolve("a.txt"), "a.txt");
}

// A copy onto itself would delete the only copy; a test outside the working folder must be
// seen as such however its folder is spelt.
TEST_F(FilesTest, SameFileAndSameFolderSeeThroughOtherSpellingsAndLinks) {
    QDir(work()).mkpath("Тесты");
    put(inWork("Тесты/Физика.DB"), "x");
    put(inWork("Тесты/Химия.DB"), "y");
    ASSERT_TRUE(QFile::link(inWork("Тесты"), inWork("Ссылка")));
    EXPECT_TRUE(fs::sameFile("Тесты/Физика.DB", "тесты/физика.db"));
    EXPECT_TRUE(fs::sameFile("Тесты/Физика.DB", "Ссылка/./Физика.DB"));
    EXPECT_TRUE(fs::sameFile(inWork("Тесты/Физика.DB"), "Тесты/../Тесты/Физика.DB"));
    EXPECT_FALSE(fs::sameFile("Тесты/Физика.DB", "Тесты/Химия.DB"));
    EXPECT_FALSE(fs::sameFile("Тесты/Физика.DB", "Тесты/Нет.DB"));
    EXPECT_FALSE(fs::sameFile("Тесты/Нет.DB", "Тесты/Нет.DB"));

    EXPECT_TRUE(fs::sameFolder("Тесты/", inWork("Ссылка")));
    EXPECT_TRUE(fs::sameFolder("Тесты", "./Тесты/../Тесты/"));
    EXPECT_FALSE(fs::sameFolder("Тесты", work()));
    EXPECT_FALSE(fs::sameFolder("Нет", "Нет"));
}

TEST(MaskMatches, AsOnWindows) {
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.DB", "тест.db", true},
        {"*.db", "ТЕСТ.DB", true},
        {"тест.*", "ТЕСТ.DB-journal", true},
        {"тест.*", "тест", true},
        {"new.*", "NEW.zag", true},
        {"new.*", "newer.zag", false},
        {"?.txt", "я.TXT", true},
        {"?.txt", "ab.txt", false},
        {"*", ".hidden", true},
        {"*.*", "noext", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"*GrV*.jpg", "ФизикаGRV12.JPG", true},
        {"", "x", false},
        {"??.txt", "a.txt", true},
        {"a??", "ab", true},
        {"a?c", "ac", false},
        {"тест.*", "тестовый", false},
        {"*.*b", "a", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fs::maskMatches(QString::fromUtf8(c.mask), QString::fromUtf8(c.name)), c.match)
            << c.mask << " vs " << c.name;
}

TEST_F(FilesTest, FindFilesTakesHiddenFilesAndPassesOverFolders) {
    put(inWork("Физика.DB"), "");
    put(inWork("физика.PX"), "");
    put(inWork(".физика.tmp"), "");
    put(inWork("Химия.DB"), "");
    QDir(work()).mkdir("ФИЗИКА.dir");
    EXPECT_EQ(fs::findFiles(work(), "ФИЗИКА.*"), (QStringList{"Физика.DB", "физика.PX"}));
    EXPECT_EQ(fs::findFiles(".", "*.db"), (QStringList{"Физика.DB", "Химия.DB"}));
    EXPECT_EQ(fs::findFiles(".", "*"),
              (QStringList{".физика.tmp", "Физика.DB", "физика.PX", "Химия.DB"}));
    EXPECT_TRUE(fs::findFiles(inWork("нет"), "*").isEmpty());
}

TEST_F(FilesTest, CopyRefusesAnExistingTargetAndLeavesItUntouched) {
    put(inWork("new.zag"), "template");
    put(inWork("Тест.DB"), "old data");
    EXPECT_FALSE(fs::copyFile("new.zag", "тест.db"));
    EXPECT_FALSE(fs::copyFile("new.zag", "Тест.DB"));
    EXPECT_EQ(get(inWork("Тест.DB")), "old data");
    EXPECT_FALSE(QFile::exists(inWork("тест.db")));

    EXPECT_FALSE(fs::copyFile("missing.zag", "Другой.DB"));
    EXPECT_FALSE(QFile::exists(inWork("Другой.DB")));

    ASSERT_TRUE(fs::copyFile("NEW.ZAG", "Другой.DB"));
    EXPECT_EQ(get(inWork("Другой.DB")), "template");
}

TEST_F(FilesTest, RenameNeverOverwrites) {
    put(inWork("a.DB"), "a");
    put(inWork("B.db"), "b");
    EXPECT_FALSE(fs::renameFile("a.DB", "b.DB"));
    EXPECT_FALSE(fs::renameFile("a.DB", "B.db"));
    EXPECT_EQ(get(inWork("B.db")), "b");
    EXPECT_EQ(get(inWork("a.DB")), "a");

    EXPECT_FALSE(fs::renameFile("нет.DB", "c.DB"));
    ASSERT_TRUE(fs::renameFile("A.db", "c.DB"));
    EXPECT_EQ(get(inWork("c.DB")), "a");
    EXPECT_FALSE(QFile::exists(inWork("a.DB")));

    // A change of letter case alone renames the file itself.
    ASSERT_TRUE(fs::renameFile("c.DB", "C.db"));
    EXPECT_EQ(fs::findFiles(".", "*"), (QStringList{"B.db", "C.db"}));
}

TEST_F(FilesTest, DeleteAndCreateDir) {
    put(inWork("Ответ.txt"), "");
    EXPECT_TRUE(fs::deleteFile("ОТВЕТ.TXT"));
    EXPECT_FALSE(fs::deleteFile("ОТВЕТ.TXT"));
    EXPECT_TRUE(fs::createDir("Группа"));
    EXPECT_FALSE(fs::createDir("группа"));
    EXPECT_FALSE(fs::deleteFile("группа"));
    EXPECT_FALSE(fs::createDir("нет/вложенная"));
    EXPECT_TRUE(fs::createDir("ГРУППА/Вложенная"));
    EXPECT_TRUE(QFileInfo(inWork("Группа/Вложенная")).isDir());
}

TEST_F(FilesTest, DriveCFoldersIgnoreLetterCase) {
    EXPECT_EQ(fs::mapWindowsPath("C:\\Test"), QDir(driveC()).filePath("Test"));
    ASSERT_TRUE(fs::createDir(fs::mapWindowsPath("C:\\Test")));
    EXPECT_FALSE(fs::createDir(fs::mapWindowsPath("C:\\test")));
    ASSERT_TRUE(fs::createDir(fs::mapWindowsPath("C:\\Test\\11А")));
    fs::writeLines(fs::mapWindowsPath("C:\\test\\11а\\Иванов.txt"), {"5"});
    EXPECT_TRUE(QFile::exists(QDir(driveC()).filePath("Test/11А/Иванов.txt")));
    EXPECT_EQ(fs::mapWindowsPath("c:\\"), driveC());
}

TEST_F(FilesTest, LinesAreWindows1251WithCrLf) {
    fs::writeLines("протокол.txt", {"Иванов 5", "", "Ё€"});
    EXPECT_EQ(get(inWork("протокол.txt")),
              QByteArray("\xC8\xE2\xE0\xED\xEE\xE2 5\r\n\r\n\xA8\x88\r\n"));

    put(inWork("mixed.txt"), "\xCF\xE5\xF0\xE2\xE0\xFF\r\nsecond\nthird\rfourth");
    EXPECT_EQ(fs::readLines("MIXED.TXT"), (QStringList{"Первая", "second", "third", "fourth"}));
    put(inWork("blank.txt"), "a\r\n\r\n\n");
    EXPECT_EQ(fs::readLines("blank.txt"), (QStringList{"a", "", ""}));
    put(inWork("empty.txt"), "");
    EXPECT_TRUE(fs::readLines("empty.txt").isEmpty());
}

TEST_F(FilesTest, FailuresNameThePathAndTheReason) {
    try {
        fs::readLines("port.txt");
        ADD_FAILURE() << "no error";
    } catch (const plat::FileError& e) {
        EXPECT_TRUE(e.text().contains("port.txt")) << e.what();
        EXPECT_TRUE(e.text().contains("No such file")) << e.what();
    }
    try {
        fs::writeLines(inWork("нет/log.txt"), {"x"});
        ADD_FAILURE() << "no error";
    } catch (const plat::FileError& e) {
        EXPECT_TRUE(e.text().contains("нет/log.txt")) << e.what();
    }
}

// A write or a copy that fails at any of its steps leaves the old file byte for byte and no
// file of its own: a full disk must never turn a saved log into an empty one.
class FailedStepTest : public FilesTest, public ::testing::WithParamInterface<fs::Change> {};

TEST_P(FailedStepTest, WriteLeavesTheOldFileWhole) {
    put(inWork("protocol.txt"), "the earlier log\r\n");
    const QByteArray big(200000, 'x');  // several pieces
    {
        testing_support::FailingSteps full(GetParam(), ENOSPC);
        try {
            fs::writeBytes("protocol.txt", big);
            ADD_FAILURE() << "no error";
        } catch (const plat::FileError& e) {
            EXPECT_TRUE(e.diskFull());
            EXPECT_TRUE(e.text().contains("protocol.txt")) << e.what();
            EXPECT_TRUE(e.text().contains("диск заполнен")) << e.what();
        }
        EXPECT_GT(full.failed(), 0);
    }
    EXPECT_EQ(get(inWork("protocol.txt")), "the earlier log\r\n");
    EXPECT_EQ(fs::findFiles(".", "*"), QStringList{"protocol.txt"});
    fs::writeBytes("protocol.txt", big);
    EXPECT_EQ(get(inWork("protocol.txt")), big);
}

TEST_P(FailedStepTest, CopyLeavesNoTarget) {
    const QByteArray table(300000, 't');
    put(inWork("Физика.DB"), table);
    {
        testing_support::FailingSteps full(GetParam(), ENOSPC);
        EXPECT_FALSE(fs::copyFile("Физика.DB", "Химия.DB"));
        EXPECT_EQ(fs::lastError(), ENOSPC);
    }
    EXPECT_EQ(fs::findFiles(".", "*"), QStringList{"Физика.DB"});
    EXPECT_EQ(get(inWork("Физика.DB")), table);
}

std::string stepName(const ::testing::TestParamInfo<fs::Change>& info) {
    static const char* const names[] = {"Create", "Write", "Sync", "Close", "Rename"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedStepTest,
                         ::testing::Values(fs::Change::Create, fs::Change::Write, fs::Change::Sync,
                                           fs::Change::Close, fs::Change::Rename),
                         stepName);

// Only a whole copy appears under the target's name: a process stopped inside a copy
// leaves at most its hidden partial file, which no mask of a test takes.
TEST_F(FilesTest, CopyStoppedHalfWayLeavesOnlyAPartialFile) {
    put(inWork("Физика.DB"), QByteArray(300000, 't'));
    for (int n = 1;; ++n) {
        const bool stopped =
            testing_support::StoppedAtChange(n, [] { fs::copyFile("Физика.DB", "Химия.DB"); });
        const QStringList files = fs::findFiles(".", "*");
        if (!stopped) {
            EXPECT_EQ(files, (QStringList{"Физика.DB", "Химия.DB"}));
            EXPECT_EQ(get(inWork("Химия.DB")), get(inWork("Физика.DB")));
            EXPECT_GT(n, 5);
            break;
        }
        for (const QString& f : files) {
            if (f == "Химия.DB")
                EXPECT_EQ(get(inWork(f)), get(inWork("Физика.DB"))) << "stopped at " << n;
            else
                EXPECT_TRUE(f == "Физика.DB" || fs::isPartialName(f))
                    << n << ": " << f.toStdString();
            if (f != "Физика.DB") QFile::remove(inWork(f));
        }
    }
}

TEST_F(FilesTest, PartialNamesAreShortAndHidden) {
    const QString longName = QString(125, QChar(u'Ж')) + "GrV12.jpg";
    const QString part = fs::partialPath(inWork(longName));
    EXPECT_EQ(QFileInfo(part).path(), work());
    EXPECT_TRUE(fs::isPartialName(QFileInfo(part).fileName()));
    EXPECT_LT(QFileInfo(part).fileName().size(), 30);
    EXPECT_NE(fs::partialPath("a.DB"), fs::partialPath("b.DB"));
    EXPECT_FALSE(fs::isPartialName(".hidden.partial"));
    EXPECT_FALSE(fs::isPartialName("Физика.DB"));
}

// The same on a real disk that has no room left.
TEST_F(FilesTest, FullDiskFailsWritesAndCopiesAndKeepsTheOldFile) {
    testing_support::SmallDisk disk(inWork("disk"), 64);
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    put(inWork("disk/protocol.txt"), "the earlier log\r\n");
    put(inWork("Физика.DB"), QByteArray(20000, 't'));
    disk.fill();
    EXPECT_THROW(fs::writeLines(inWork("disk/protocol.txt"), QStringList(500, "Иванов 5")),
                 plat::FileError);
    EXPECT_EQ(get(inWork("disk/protocol.txt")), "the earlier log\r\n");
    EXPECT_FALSE(fs::copyFile("Физика.DB", inWork("disk/Физика.DB")));
    EXPECT_EQ(fs::lastError(), ENOSPC);
    EXPECT_EQ(fs::findFiles(inWork("disk"), "*"), (QStringList{"filler", "protocol.txt"}));
}

}  // namespace
