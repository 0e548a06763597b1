// Import and Export of a test, and a test whose name begins with another test's picture
// prefix, under every operation.
#include "platform/files.h"
#include "tests/editor/fileops/ops_fixture.h"

#include <optional>

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

// Import of Физика.db from a folder outside the working folder.
struct ImportCase {
    const char* name;
    const char* folder;  // below drive C:
    bool page;           // the folder holds Физика.HTML
};
class ImportFrom : public Ops, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportFrom, CopiesTheTestAndMakesItCurrent) {
    const ImportCase& c = GetParam();
    const QString src = QDir(driveC()).filePath(QString::fromUtf8(c.folder));
    QDir().mkpath(src);
    layTest(src, "Физика", c.page);
    layNeighbours(src);
    // The mode follows the source folder, not an older page in the working folder.
    if (!c.page) put(inWork("Физика.HTML"), "an older page");
    const auto from = snapshot(src);

    ui.expectOpen(std::nullopt)
        .expect(BoxKind::Plain, "необходимо выбрать тест !!!")
        .expectOpen(QDir(src).filePath("Физика.db"))
        .expect(BoxKind::Plain,
                "копирование файлов теста Физика в рабочую папку программы "
                "завершено! Можно редактировать тест!");
    form->Button9Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();

    ASSERT_EQ(ui.dialogs().size(), 2);
    for (const plat::FileDialogSpec& d : ui.dialogs()) {
        EXPECT_TRUE(sameDir(d.initialDir, driveC())) << s(d.initialDir);
        EXPECT_EQ(s(d.fileName), "*.db");
    }
    EXPECT_EQ(listing(work()), c.page ? "Физика.DB Физика.HTML Физика.VAL ФизикаGrV1.jpg "
                                        "ФизикаGrV2.jpg"
                                      : "Физика.DB Физика.HTML Физика.VAL");
    for (const auto& [file, bytes] : from)
        if (QFileInfo::exists(inWork(file))) {
            EXPECT_EQ(get(inWork(file)), bytes) << s(file);
        }
    EXPECT_EQ(snapshot(src), from);
    EXPECT_EQ(current(), currentOf("Физика", c.page ? "web" : "local"));
    EXPECT_TRUE(inWorkingFolder());
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportFrom,
                         ::testing::Values(ImportCase{"WithPage", "Tests", true},
                                           ImportCase{"WithoutPage", "Tests", false},
                                           ImportCase{"FolderWithADot", "my.tests", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// From the working folder itself there is nothing to copy: every file stays as it was.
TEST_F(Ops, ImportFromTheWorkingFolderItself) {
    layTest(work(), "Физика", true);
    const auto before = snapshot(work());
    leaveWork();
    ui.expectOpen(inWork("Физика.db"))
        .expect(BoxKind::Plain,
                "копирование файлов теста Физика в рабочую папку программы "
                "завершено! Можно редактировать тест!");
    form->Button9Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(snapshot(work()), before);
    EXPECT_EQ(current(), currentOf("Физика", "web"));
    EXPECT_TRUE(inWorkingFolder());
}

// Import, like Choose, can be left: a Cancel right after "необходимо выбрать тест !!!" ends it
// with the current test, the panel and the working folder as they were.
TEST_F(Ops, SecondCancelInARowLeavesImportWithNothingChanged) {
    layTest(work(), "Физика", false);
    const auto before = snapshot(work());
    const auto was = current();
    ui.expectOpen(std::nullopt)
        .expect(BoxKind::Plain, "необходимо выбрать тест !!!")
        .expectOpen(std::nullopt);
    form->Button9Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(snapshot(work()), before);
    EXPECT_EQ(current(), was);
}

// Names whose masks would reach other files are refused and the dialog comes again.
TEST_F(Ops, ImportRefusesNamesThenTakesTheNextChoice) {
    const QString src = QDir(driveC()).filePath("Tests");
    QDir().mkpath(src);
    put(inWork("new.zag"), "template");
    put(QDir(src).filePath("new.db"), "a test that would join the template set");
    put(QDir(src).filePath("Тест 1.2.db"), "x");
    put(QDir(src).filePath("a*.db"), "x");
    layTest(src, "Физика", false);
    const QString bad = QStringLiteral(
        ">:\rимя файла теста - название без точек и знаков <*>,<?>,<:> и одно расширение, "
        "например Физика.db");
    ui.expectOpen(inWork("new.zag"))
        .expect(BoxKind::Plain, "NEW - недопустимое имя теста")
        .expectOpen(QDir(src).filePath("new.db"))
        .expect(BoxKind::Plain, "NEW - недопустимое имя теста")
        .expectOpen(QDir(src).filePath("Тест 1.2.db"))
        .expect(BoxKind::Plain, "недопустимое имя теста <Тест 1.2.db" + bad)
        .expectOpen(QDir(src).filePath("a*.db"))
        .expect(BoxKind::Plain, "недопустимое имя теста <a*.db" + bad)
        .expectOpen(QDir(src).filePath("Физика.db"))
        .expect(BoxKind::Plain);
    form->Button9Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(listing(work()), "new.zag Физика.DB Физика.VAL");
    EXPECT_EQ(current(), currentOf("Физика", "local"));
}

// Export of the current test Физика.db to a path T chosen in the save dialog.
struct ExportCase {
    const char* name;
    bool webMode;
    bool table;          // CheckBox1 (in local+web mode)
    bool web;            // CheckBox2 (in local+web mode)
    const char* target;  // the file name typed in the dialog
    const char* out;     // the folder Out afterwards
};
class ExportTo : public Ops, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(ExportTo, CopiesTheTickedHalves) {
    const ExportCase& c = GetParam();
    layTest(work(), "Физика", true);
    makeCurrent("Физика.db", c.webMode);
    if (c.webMode) {
        form->CheckBox1->setChecked(c.table);
        form->CheckBox2->setChecked(c.web);
    }
    const auto before = snapshot(work());
    const QString out = QDir(driveC()).filePath("Out");
    QDir().mkpath(out);
    const QString target = QString::fromUtf8(c.target);

    ui.expectSave(QDir(out).filePath(target));
    form->Button6Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    ASSERT_EQ(ui.dialogs().size(), 1);
    EXPECT_EQ(s(ui.dialogs().first().fileName), "Физика");
    EXPECT_TRUE(sameDir(ui.dialogs().first().initialDir, driveC()));

    EXPECT_EQ(listing(out), c.out);
    const QString t = QDir(out).filePath(target);
    if (QFileInfo::exists(t + ".DB")) {
        EXPECT_EQ(get(t + ".DB"), "Физика table");
    }
    if (QFileInfo::exists(t + ".HTML")) {
        const QByteArray ref = target == "Bio" ? QByteArray("Bio") : kPhysicsRef + ".db";
        EXPECT_EQ(get(t + ".HTML"), page(ref));
        EXPECT_EQ(get(t + "GrV2.jpg"), "Физика picture 2");
    }
    EXPECT_EQ(snapshot(work()), before);
    EXPECT_EQ(current(), currentOf("Физика", c.webMode ? "web" : "local"));
    EXPECT_TRUE(sameDir(QDir::currentPath(), out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportTo,
    ::testing::Values(ExportCase{"BothBoxes", true, true, true, "Bio",
                                 "Bio.DB Bio.HTML Bio.VAL BioGrV1.jpg BioGrV2.jpg"},
                      ExportCase{"WebPartOnly", true, false, true, "Bio",
                                 "Bio.HTML BioGrV1.jpg BioGrV2.jpg"},
                      ExportCase{"TablePartOnly", true, true, false, "Bio", "Bio.DB Bio.VAL"},
                      ExportCase{"LocalOnlyMode", false, true, false, "Bio", "Bio.DB Bio.VAL"},
                      // The typed name is taken as it stands, extension and all.
                      ExportCase{"TypedExtensionKept", true, true, true, "Физика.db",
                                 "Физика.db.DB Физика.db.HTML Физика.db.VAL Физика.dbGrV1.jpg "
                                 "Физика.dbGrV2.jpg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ops, ExportStopsWithoutLeavingAHalfTest) {
    layTest(work(), "Физика", true);
    makeCurrent("Физика.db", true);
    const QString out = QDir(driveC()).filePath("Out");
    QDir().mkpath(out);
    put(QDir(out).filePath("Bio.VAL"), "someone else's");
    ui.expectSave(QDir(out).filePath("Bio"))
        .expect(BoxKind::Confirmation,
                QDir::toNativeSeparators(out) +
                    "/Bio.VAL уже существует, "
                    "хотите обновить?",
                Answer::No)
        .expect(BoxKind::Plain);
    form->Button6Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(listing(out), "Bio.VAL");
    EXPECT_EQ(get(QDir(out).filePath("Bio.VAL")), "someone else's");
}

TEST_F(Ops, ExportDismissedOrIntoTheWorkingFolder) {
    layTest(work(), "Физика", true);
    put(inWork("new.CRO"), "template head");
    makeCurrent("Физика.db", true);
    const auto before = snapshot(work());
    leaveWork();
    ui.expectSave(std::nullopt);
    form->Button6Click();
    EXPECT_TRUE(sameDir(QDir::currentPath(), inWork("elsewhere")));

    // Under the template's name the export would mix into the template set.
    for (const char* name : {"new", "NEW.x"}) {
        ui.expectSave(inWork(QString::fromUtf8(name)))
            .expect(BoxKind::Error, "NEW - недопустимое имя теста");
        form->Button6Click();
    }
    // Under its own name it would copy each file onto itself.
    ui.expectSave(inWork("Физика"))
        .expect(BoxKind::Plain,
                inWork("Физика.DB") + " и " + inWork("Физика.DB") + " - один и тот же файл")
        .expect(BoxKind::Plain);
    form->Button6Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(snapshot(work()), before);
    EXPECT_EQ(current(), currentOf("Физика", "web"));
}

// Test "A" beside test "AGrVB": A's picture mask "AGrV*.*" also matches AGrVB's files, and
// every operation on A must leave them byte for byte.
TEST_F(Ops, EveryOperationOnALeavesATestAGrVBAlone) {
    const QString src = QDir(driveC()).filePath("Tests");
    QDir().mkpath(src);
    auto lay = [&](const QString& dir) {
        for (const QString& f : QDir(dir).entryList(QDir::Files))
            QFile::remove(QDir(dir).filePath(f));
        put(QDir(dir).filePath("A.DB"), "a table");
        put(QDir(dir).filePath("A.HTML"), page("A"));
        put(QDir(dir).filePath("AGrV1.jpg"), "a1");
        put(QDir(dir).filePath("AGrV2.jpg"), "a2");
        put(QDir(dir).filePath("AGrVB.DB"), "b table");
        put(QDir(dir).filePath("AGrVB.HTML"), page("AGrVB"));
        put(QDir(dir).filePath("AGrVBGrV1.jpg"), "b1");
    };
    const QString out = QDir(driveC()).filePath("Out");
    QDir().mkpath(out);
    const std::string a = "A.DB A.HTML AGrV1.jpg AGrV2.jpg ";
    const std::string b = "AGrVB.DB AGrVB.HTML AGrVBGrV1.jpg";
    const std::string cc = " C.DB C.HTML CGrV1.jpg CGrV2.jpg";
    struct Case {
        const char* op;
        std::function<void()> run;
        std::string work;
    };
    const Case cases[] = {
        {"Rename",
         [&] {
             ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "C");
             form->Button1Click();
         },
         b + cc},
        {"Copy",
         [&] {
             ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "C");
             form->Button5Click();
         },
         a + b + cc},
        {"Delete",
         [&] {
             ui.expect(BoxKind::Confirmation, {}, Answer::Yes);
             form->Button7Click();
         },
         b},
        {"Export",
         [&] {
             ui.expectSave(QDir(out).filePath("C"));
             form->Button6Click();
         },
         a + b},
        {"Import",
         [&] {
             for (const char* f : {"A.DB", "A.HTML", "AGrV1.jpg", "AGrV2.jpg"})
                 QFile::remove(inWork(f));
             ui.expectOpen(QDir(src).filePath("A.db")).expect(BoxKind::Plain);
             form->Button9Click();
         },
         a + b},
    };
    for (const Case& c : cases) {
        lay(work());
        lay(src);
        QDir::setCurrent(work());
        const auto bFiles = snapshot(work());
        makeCurrent("A.db", true);
        c.run();
        EXPECT_TRUE(ui.finished()) << c.op << ": " << boxTexts();
        EXPECT_EQ(listing(work()), c.work) << c.op;
        for (const auto& [file, bytes] : bFiles)
            if (file.startsWith("AGrVB")) {
                EXPECT_EQ(get(inWork(file)), bytes) << c.op << s(file);
            }
    }
    EXPECT_EQ(listing(out), "C.DB C.HTML CGrV1.jpg CGrV2.jpg");
    EXPECT_EQ(get(QDir(out).filePath("C.HTML")), page("C"));
}

}  // namespace
