// The file helpers that every file-set operation stands on: name splitting, the guarded
// copy, the mask walk and the picture renaming.
#include "editor/fileops/fileset.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

using plat::Answer;
using plat::BoxKind;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

using testing_support::get;
using testing_support::put;

// The file names of a folder, sorted, as one text, so a failure shows the whole folder.
std::string listing(const QString& dir = QStringLiteral(".")) {
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    std::sort(names.begin(), names.end());
    return s(names.join(u' '));
}

std::string texts(const QList<plat::Box>& boxes) {
    QStringList t;
    for (const plat::Box& b : boxes) t.append(b.text);
    return s(t.join(u'|'));
}

struct NameCase {
    const char* name;
    const char* before;
    const char* from;
};

TEST(FileNames, BeforeAndFromTheFirstDot) {
    const NameCase cases[] = {
        {"Физика.DB", "Физика", ".DB"},
        {"new.zag", "new", ".zag"},
        {"a.b.x", "a", ".b.x"},
        {"Пробный тест", "Пробный тест", ""},
        {"", "", ""},
        {".hidden", "", ".hidden"},
        {"name.", "name", "."},
    };
    for (const NameCase& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        EXPECT_EQ(s(korvel::NameBeforeDot(name)), c.before) << c.name;
        EXPECT_EQ(s(korvel::ExtensionFromDot(name)), c.from) << c.name;
    }
}

class FileSet : public testing_support::SuiteTest {};

TEST_F(FileSet, CopyOfAMissingSourceSaysSoTwice) {
    QDir().mkdir(QStringLiteral("folder.DB"));  // a folder is no file to copy
    for (const QString& src : {QStringLiteral("нет.DB"), QStringLiteral("folder.DB")}) {
        ui.expect(BoxKind::Plain, QStringLiteral("не найден файл ") + src)
            .expect(BoxKind::Plain,
                    QStringLiteral("копирование файла ") + src + " в копия.DB не выполнено");
        EXPECT_FALSE(korvel::CopyTestFile(ui, src, QStringLiteral("копия.DB")));
        EXPECT_FALSE(QFileInfo::exists(QStringLiteral("копия.DB")));
    }
}

TEST_F(FileSet, CopyOntoAnExistingTargetAsksFirst) {
    put("Физика.DB", "new");
    put("Химия.DB", "old");
    const QString question = QStringLiteral("Химия.DB уже существует, хотите обновить?");

    ui.expect(BoxKind::Confirmation, question, Answer::No)
        .expect(BoxKind::Plain,
                QStringLiteral("копирование файла Физика.DB в Химия.DB не выполнено"));
    EXPECT_FALSE(korvel::CopyTestFile(ui, "Физика.DB", "Химия.DB"));
    EXPECT_EQ(get("Химия.DB"), "old");

    // Closing the box is no Yes either.
    ui.expect(BoxKind::Confirmation, question, Answer::Closed).expect(BoxKind::Plain);
    EXPECT_FALSE(korvel::CopyTestFile(ui, "Физика.DB", "Химия.DB"));
    EXPECT_EQ(get("Химия.DB"), "old");

    ui.expect(BoxKind::Confirmation, question, Answer::Yes);
    EXPECT_TRUE(korvel::CopyTestFile(ui, "Физика.DB", "Химия.DB"));
    EXPECT_EQ(get("Химия.DB"), "new");
    EXPECT_EQ(get("Физика.DB"), "new");
    EXPECT_TRUE(ui.finished());
}

// Deleting the target first would delete the only copy: every spelling of the same file
// leaves it whole, and the author is told no copy was made.
TEST_F(FileSet, CopyOfAFileOntoItselfLeavesItWhole) {
    put("Физика.DB", "questions");
    QDir().mkdir("sub");
    QFile::link(inWork("Физика.DB"), inWork("sub/ссылка.DB"));
    QFile::link(inWork("sub"), inWork("alias"));
    const QString targets[] = {
        QStringLiteral("Физика.DB"),        QStringLiteral("фИЗИКА.db"),
        QStringLiteral("./Физика.DB"),      inWork("Физика.DB"),
        QStringLiteral("sub/../Физика.DB"), QStringLiteral("sub/ссылка.DB"),
    };
    for (const QString& target : targets) {
        ui.expect(BoxKind::Plain, QStringLiteral("Физика.DB и ") + target + " - один и тот же файл")
            .expect(BoxKind::Plain,
                    QStringLiteral("копирование файла Физика.DB в ") + target + " не выполнено");
        EXPECT_FALSE(korvel::CopyTestFile(ui, "Физика.DB", target)) << s(target);
        EXPECT_EQ(get("Физика.DB"), "questions") << s(target);
    }
    EXPECT_TRUE(ui.finished());
}

TEST_F(FileSet, CopyFileSetAsCopiesWithinTheMasksFolder) {
    QDir().mkdir("set");
    put("set/new.zag", "table");
    put("set/New.Val", "checks");
    put("set/other.zag", "x");
    QDir().mkdir("set/new.dir");  // folders are passed over
    korvel::CopyFileSetAs(ui, "set/new.*", "Физика");
    EXPECT_EQ(listing("set"), "New.Val new.zag other.zag Физика.Val Физика.zag");
    EXPECT_EQ(get("set/Физика.zag"), "table");
    EXPECT_EQ(listing(), "");
    EXPECT_TRUE(ui.boxes().isEmpty()) << texts(ui.boxes());
}

// The walk takes the files in name order and stops at the first one that fails, after
// CopyTestFile's message and its own.
TEST_F(FileSet, WalkStopsAtTheFirstFailedCopy) {
    put("new.CRO", "head");
    put("new.VAL", "checks");
    put("new.zag", "table");
    put("Физика.VAL", "old");
    ui.expect(BoxKind::Confirmation, QStringLiteral("Физика.VAL уже существует, хотите обновить?"),
              Answer::No)
        .expect(BoxKind::Plain,
                QStringLiteral("копирование файла new.VAL в Физика.VAL не выполнено"))
        .expect(BoxKind::Plain, QStringLiteral("копирование new.VAL в Физика.VAL не выполнено"));
    korvel::CopyFileSetAs(ui, "new.*", "Физика");
    EXPECT_EQ(listing(), "new.CRO new.VAL new.zag Физика.CRO Физика.VAL");
    EXPECT_EQ(get("Физика.VAL"), "old");
    EXPECT_TRUE(ui.finished());
}

TEST_F(FileSet, DeleteByMaskTakesEveryCaseAndNothingElse) {
    for (const char* n : {"Физика.DB", "физика.cro", "ФИЗИКА.HTML", "Физика2.DB", "Химия.DB"})
        put(QString::fromUtf8(n), "x");
    korvel::DeleteFilesByMask(ui, "Физика.*");
    EXPECT_EQ(listing(), "Физика2.DB Химия.DB");
    korvel::DeleteFilesByMask(ui, "нет.*");  // nothing matches: nothing happens
    EXPECT_EQ(listing(), "Физика2.DB Химия.DB");
    EXPECT_TRUE(ui.boxes().isEmpty()) << texts(ui.boxes());
}

// The three picture helpers give a test's pictures a new prefix and keep what follows
// "GrV"; they differ in whether the old file stays and where the new one goes.
TEST_F(FileSet, PictureHelpersKeepTheQuestionNumber) {
    struct Case {
        const char* helper;
        void (*run)(plat::UiServices&, const QString&, const QString&);
        const char* prefix;
        const char* work;  // the working folder afterwards
        const char* out;   // the folder out afterwards
    };
    const Case cases[] = {
        {"CopyPictureFiles", korvel::CopyPictureFiles, "ХимияGrV",
         "ФизикаGrV12.jpg ФизикаGrV3.jpg ХимияGrV12.jpg ХимияGrV3.jpg", ""},
        {"RenamePictureFiles", korvel::RenamePictureFiles, "ХимияGrV",
         "ХимияGrV12.jpg ХимияGrV3.jpg", ""},
        {"CopyPictureFilesTo", korvel::CopyPictureFilesTo, "out/ХимияGrV",
         "ФизикаGrV12.jpg ФизикаGrV3.jpg", "ХимияGrV12.jpg ХимияGrV3.jpg"},
    };
    for (const Case& c : cases) {
        for (const QString& f : QDir().entryList(QDir::Files)) QFile::remove(f);
        QDir("out").removeRecursively();
        QDir().mkdir("out");
        put("ФизикаGrV12.jpg", "p12");
        put("ФизикаGrV3.jpg", "p3");
        c.run(ui, "ФизикаGrV*.*", QString::fromUtf8(c.prefix));
        EXPECT_EQ(listing(), c.work) << c.helper;
        EXPECT_EQ(listing("out"), c.out) << c.helper;
        EXPECT_TRUE(ui.boxes().isEmpty()) << c.helper << ": " << texts(ui.boxes());
    }
}

TEST_F(FileSet, FailedPictureCopyNamesTheNewFileOnce) {
    put("ФизикаGrV12.jpg", "new");
    put("ХимияGrV12.jpg", "old");
    ui.expect(BoxKind::Confirmation, {}, Answer::No)
        .expect(BoxKind::Plain,
                QStringLiteral("копирование файла ФизикаGrV12.jpg в ХимияGrV12.jpg не выполнено"))
        .expect(BoxKind::Plain,
                QStringLiteral("копирование ФизикаGrV12.jpg в ХимияGrV12.jpg не выполнено"));
    korvel::CopyPictureFiles(ui, "ФизикаGrV*.*", "ХимияGrV");
    EXPECT_EQ(get("ХимияGrV12.jpg"), "old");

    // A rename never overwrites: the old picture stays and the same message comes.
    ui.expect(BoxKind::Plain,
              QStringLiteral("копирование ФизикаGrV12.jpg в ХимияGrV12.jpg не выполнено"));
    korvel::RenamePictureFiles(ui, "ФизикаGrV*.*", "ХимияGrV");
    EXPECT_EQ(get("ХимияGrV12.jpg"), "old");
    EXPECT_EQ(get("ФизикаGrV12.jpg"), "new");
    EXPECT_TRUE(ui.finished());
}

// The mask matches in any letter case, the "GrV" split does not: such a file stops the walk.
TEST_F(FileSet, PictureWithoutExactGrVStopsTheWalk) {
    put("ФизикаGrV1.jpg", "1");
    put("физикаgrv2.jpg", "2");
    put("ФизикаGrV3.jpg", "3");
    ui.expect(BoxKind::Plain, QStringLiteral("не найдено GrV"));
    korvel::CopyPictureFiles(ui, "ФизикаGrV*.*", "ХимияGrV");
    EXPECT_EQ(listing(), "ФизикаGrV1.jpg ФизикаGrV3.jpg ХимияGrV1.jpg физикаgrv2.jpg");
    EXPECT_TRUE(ui.finished());
}

// A test name holding "GrV" itself: its pictures keep their numbers under the new name
// instead of carrying the tail of the old name along.
TEST_F(FileSet, TestNameHoldingGrV) {
    put("AGrVBGrV7.jpg", "7");
    korvel::CopyPictureFiles(ui, "AGrVBGrV*.*", "ХимияGrV");
    korvel::RenamePictureFiles(ui, "AGrVBGrV*.*", "XGrVYGrV");
    EXPECT_EQ(listing(), "XGrVYGrV7.jpg ХимияGrV7.jpg");
    EXPECT_TRUE(ui.boxes().isEmpty()) << texts(ui.boxes());
}

TEST_F(FileSet, TableWalkPassesOverMissingFamilyFiles) {
    put("full.DB", "");
    put("full.px", "");
    put("full.MB", "");
    put("bare.VAL", "");
    EXPECT_EQ(s(korvel::TableFilesToWalk("full").join(u' ')), ".DB .PX .MB");
    EXPECT_EQ(s(korvel::TableFilesToWalk(inWork("full")).join(u' ')), ".DB .PX .MB");
    // Without its table the walk still starts at ".DB", so the first step fails there.
    EXPECT_EQ(s(korvel::TableFilesToWalk("bare").join(u' ')), ".DB .VAL");

    QStringList seen;
    auto step = [&](const QString& ext) {
        seen.append(ext);
        return ext != ".PX";
    };
    EXPECT_FALSE(korvel::WalkTableFiles("full", step));
    EXPECT_EQ(s(seen.join(u' ')), ".DB .PX");
    seen.clear();
    EXPECT_TRUE(korvel::WalkTableFiles("nothing", [&](const QString& ext) {
        seen.append(ext);
        return true;
    }));
    EXPECT_EQ(s(seen.join(u' ')), ".DB");
}

}  // namespace

namespace {

// Test "A" beside test "AGrVB" in one folder: A's mask "AGrV*.*" also matches AGrVB's
// pictures, and none of the three helpers may take them.
TEST_F(FileSet, PictureHelpersLeaveATestNamedLikeAPictureAlone) {
    struct Case {
        const char* helper;
        void (*run)(plat::UiServices&, const QString&, const QString&);
        const char* prefix;
        const char* work;
    };
    const Case cases[] = {
        {"CopyPictureFiles", korvel::CopyPictureFiles, "CGrV",
         "AGrV1.jpg AGrV20.JPG AGrVB.DB AGrVBGrV1.jpg AGrVBGrV2.jpg CGrV1.jpg CGrV20.JPG"},
        {"RenamePictureFiles", korvel::RenamePictureFiles, "CGrV",
         "AGrVB.DB AGrVBGrV1.jpg AGrVBGrV2.jpg CGrV1.jpg CGrV20.JPG"},
        {"CopyPictureFilesTo", korvel::CopyPictureFilesTo, "out/CGrV",
         "AGrV1.jpg AGrV20.JPG AGrVB.DB AGrVBGrV1.jpg AGrVBGrV2.jpg"},
    };
    for (const Case& c : cases) {
        for (const QString& f : QDir().entryList(QDir::Files)) QFile::remove(f);
        QDir("out").removeRecursively();
        QDir().mkdir("out");
        put("AGrV1.jpg", "a1");
        put("AGrV20.JPG", "a20");
        put("AGrVB.DB", "b table");
        put("AGrVBGrV1.jpg", "b1");
        put("AGrVBGrV2.jpg", "b2");
        c.run(ui, "AGrV*.*", QString::fromUtf8(c.prefix));
        EXPECT_EQ(listing(), c.work) << c.helper;
        EXPECT_EQ(get("AGrVBGrV1.jpg"), "b1") << c.helper;
        EXPECT_EQ(get("AGrVBGrV2.jpg"), "b2") << c.helper;
        EXPECT_EQ(get("AGrVB.DB"), "b table") << c.helper;
        EXPECT_TRUE(ui.boxes().isEmpty()) << c.helper << ": " << texts(ui.boxes());
    }
    EXPECT_EQ(listing("out"), "CGrV1.jpg CGrV20.JPG");
}

}  // namespace
