// Whatever step of an operation fails (a full disk, a folder that cannot be written, a file
// in the way), the test stands as before with the failure said and never followed by the
// message of success; answers that would mix two tests change nothing.
#include "editor/fileops/fileset_change.h"
#include "tests/editor/fileops/ops_fixture.h"
#include "tests/harness/disk.h"

#include <cerrno>
#include <functional>

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

// Answers every box without a script: the name for an input box, one answer for every
// question, a path for the dialogs; records every box.
class AnsweringUi : public plat::UiServices {
public:
    plat::BoxReply show(const plat::Box& box) override {
        boxes.append(box);
        if (box.kind == BoxKind::Input) return {Answer::Ok, name};
        if (box.kind == BoxKind::Confirmation) return {question, {}};
        return {};
    }
    std::optional<QString> openFile(const plat::FileDialogSpec&) override { return dialog(); }
    std::optional<QString> saveFile(const plat::FileDialogSpec&) override { return dialog(); }
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice&) override {
        return std::nullopt;
    }
    std::optional<QString> dialog() {
        QDir::setCurrent(QFileInfo(path).absolutePath());
        return path;
    }
    bool said(const QString& part) const {
        return std::any_of(boxes.cbegin(), boxes.cend(),
                           [&](const plat::Box& b) { return b.text.contains(part); });
    }
    QString texts() const {
        QStringList t;
        for (const plat::Box& b : boxes) t.append(b.text);
        return t.join(u'|');
    }
    QString name;
    Answer question = Answer::Yes;
    QString path;
    QList<plat::Box> boxes;
};

using Folder = std::map<QString, QByteArray>;

Folder visible(const Folder& f) {
    Folder v;
    for (const auto& [name, bytes] : f)
        if (!name.startsWith(u'.')) v[name] = bytes;
    return v;
}

struct FailCase {
    const char* name;
    std::function<void(Ops& t, AnsweringUi& ui)> arrange;
    void (korvel::TForm3::*click)();
    const char* success;  // a text of the success message, or "" when there is none
};

class FailedStep : public Ops, public ::testing::WithParamInterface<FailCase> {
protected:
    void lay() {
        layAfresh();
        put(inWork("Химия.DB"), "another test's table");
        put(inWork("Химия.HTML"), "another test's page");
        put(inWork("elsewhere/Био.DB"), QByteArray(100000, 'B'));
        put(inWork("elsewhere/БиоGrV1.jpg"), "Био picture");
        QDir::setCurrent(work());
    }
    // One operation through the start window with its own boxes; the state it leaves.
    std::string runOnce(std::optional<int> failAt, int* failed, AnsweringUi& u) {
        lay();
        plat::Services sv = services();
        sv.ui = &u;
        korvel::TForm3 window(sv, unit3);
        window.setWorkingFolder(work());
        window.MakeTestCurrent("Физика.db");
        window.ShowTestOperations(true);
        window.GroupBox1->setVisible(true);
        GetParam().arrange(*this, u);
        {
            std::optional<testing_support::FailingSteps> failing;
            if (failAt) failing.emplace(std::nullopt, ENOSPC, *failAt);
            (window.*GetParam().click)();
            if (failing) *failed = failing->failed();
        }
        return s(unit3.TestName + "|" + window.GroupBox1->title() + "|" +
                 (window.GroupBox1->isHidden() ? "hidden" : "shown"));
    }
    std::map<std::string, Folder> folders() {
        return {{"", snapshot(work())}, {"out", snapshot(inWork("out"))}};
    }
};

TEST_P(FailedStep, LeavesTheTestAsBeforeAndSaysSo) {
    const FailCase& c = GetParam();
    lay();
    const auto before = folders();
    AnsweringUi done;
    int unused = 0;
    const std::string stateAfter = runOnce(std::nullopt, &unused, done);
    const auto after = folders();
    ASSERT_NE(before, after) << done.texts().toStdString();
    if (*c.success) {
        EXPECT_TRUE(done.said(QString::fromUtf8(c.success))) << s(done.texts());
    }
    const std::string stateBefore =
        s(QStringLiteral("Физика.db|Операции с тестом: <Физика.db>|shown"));

    int failures = 0;
    for (int n = 1;; ++n) {
        AnsweringUi u;
        int failed = 0;
        const std::string state = runOnce(n, &failed, u);
        if (failed == 0) break;  // the operation ended before its n-th change
        const auto now = folders();
        const bool asBefore = visible(now.at("")) == visible(before.at("")) &&
                              visible(now.at("out")) == visible(before.at("out"));
        const bool asAfter = visible(now.at("")) == visible(after.at("")) &&
                             visible(now.at("out")) == visible(after.at("out"));
        ASSERT_TRUE(asBefore || asAfter) << "change " << n << " failed: " << listing(work());
        if (asBefore) {
            ++failures;
            EXPECT_EQ(state, stateBefore) << n;
            EXPECT_FALSE(u.boxes.isEmpty()) << "change " << n << " failed unsaid";
            if (*c.success) {
                EXPECT_FALSE(u.said(QString::fromUtf8(c.success))) << n << ": " << s(u.texts());
            }
        } else {
            EXPECT_EQ(state, stateAfter) << n;
        }
        // The next start clears what the failure left beside the files.
        EXPECT_TRUE(korvel::RecoverFileSetChange(work()).isEmpty());
        EXPECT_TRUE(korvel::RecoverFileSetChange(inWork("out")).isEmpty());
        EXPECT_TRUE(folders() == (asBefore ? before : after)) << n << ": " << listing(work());
    }
    EXPECT_GT(failures, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, FailedStep,
    ::testing::Values(
        FailCase{"Copy", [](Ops&, AnsweringUi& u) { u.name = "Химия"; },
                 &korvel::TForm3::Button5Click, ""},
        FailCase{"Rename", [](Ops&, AnsweringUi& u) { u.name = "Астрономия"; },
                 &korvel::TForm3::Button1Click, ""},
        FailCase{"Delete", [](Ops&, AnsweringUi&) {}, &korvel::TForm3::Button7Click, ""},
        FailCase{"Import",
                 [](Ops&, AnsweringUi& u) { u.path = QDir::currentPath() + "/elsewhere/Био.DB"; },
                 &korvel::TForm3::Button9Click, "завершено"},
        FailCase{"Export", [](Ops&, AnsweringUi& u) { u.path = QDir::currentPath() + "/out/Bio"; },
                 &korvel::TForm3::Button6Click, ""},
        FailCase{"Create", [](Ops&, AnsweringUi& u) { u.name = "Новый"; },
                 &korvel::TForm3::Button2Click, "создана"}),
    [](const auto& info) { return std::string(info.param.name); });

// The cases an author meets, each with the boxes it shows.
class Refused : public Ops {
protected:
    void SetUp() override {
        Ops::SetUp();
        layTest(work(), "Физика", true);
        layTest(work(), "Химия", true, kChemistryRef);
        QDir(work()).mkdir("out");
        makeCurrent("Физика.db", true);
        before = snapshot(work());
    }
    void expectUnchanged(const char* why) {
        EXPECT_TRUE(ui.finished()) << why << ": " << boxTexts();
        EXPECT_EQ(snapshot(work()), before) << why << ": " << listing(work());
        EXPECT_EQ(current(), currentOf("Физика", "web")) << why;
    }
    std::map<QString, QByteArray> before;
};

// Yes to the table and No to what follows would make one test of two tests' files.
TEST_F(Refused, AnswersThatWouldMixTwoTestsChangeNothing) {
    const QString mixed =
        "Ни один файл не скопирован и не заменён: тест <Химия> составился бы из файлов двух "
        "разных тестов.";
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия")
        .expect(BoxKind::Confirmation, "Химия.DB уже существует, хотите обновить?", Answer::Yes)
        .expect(BoxKind::Confirmation, "Химия.VAL уже существует, хотите обновить?", Answer::No)
        .expect(BoxKind::Plain, "копирование файла Физика.VAL в Химия.VAL не выполнено")
        .expect(BoxKind::Plain, mixed);
    form->Button5Click();
    expectUnchanged("copy");

    // Import of Химия from elsewhere, answered the same way.
    const QString src = QDir(driveC()).filePath("Tests");
    QDir().mkpath(src);
    layTest(src, "Химия", true, kChemistryRef);
    const QString w = work() + "/";
    ui.expectOpen(src + "/Химия.db")
        .expect(BoxKind::Confirmation, w + "Химия.DB уже существует, хотите обновить?", Answer::Yes)
        .expect(BoxKind::Confirmation, w + "Химия.HTML уже существует, хотите обновить?",
                Answer::No)
        .expect(BoxKind::Plain, "копирование файла Химия.HTML в " + w + "Химия.HTML не выполнено")
        .expect(BoxKind::Plain, "копирование Химия.HTML в " + w + "Химия.HTML не выполнено")
        .expect(BoxKind::Plain, mixed)
        .expect(BoxKind::Plain, "файлы теста Химия не скопированы в рабочую папку программы.");
    form->Button9Click();
    expectUnchanged("import");
}

// A Rename or Copy stopped by a picture leaves the whole test under its old name.
TEST_F(Refused, APictureInTheWayStopsTheWholeOperation) {
    put(inWork("АстрономияGrV2.jpg"), "a stray picture");
    before = snapshot(work());
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Астрономия")
        .expect(BoxKind::Plain, "копирование ФизикаGrV2.jpg в АстрономияGrV2.jpg не выполнено");
    form->Button1Click();
    expectUnchanged("rename");

    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Астрономия")
        .expect(BoxKind::Confirmation, "АстрономияGrV2.jpg уже существует, хотите обновить?",
                Answer::No)
        .expect(BoxKind::Plain,
                "копирование файла ФизикаGrV2.jpg в АстрономияGrV2.jpg не выполнено")
        .expect(BoxKind::Plain, "копирование ФизикаGrV2.jpg в АстрономияGrV2.jpg не выполнено");
    form->Button5Click();
    expectUnchanged("copy");
}

// 125 Cyrillic letters take 250 bytes: the pictures' names would pass the 255 the file
// system allows. Nothing is asked or touched.
TEST_F(Refused, ANameTooLongForTheFileSystem) {
    const QString m(125, QChar(u'Ж'));
    const QString said =
        "Название теста слишком длинное (125 знаков): имя файла ...ЖЖЖЖЖЖЖЖЖЖЖЖGrV1.jpg заняло бы "
        "258 байт, а файловая система допускает не больше 255. Выберите название короче.";
    for (auto click : {&korvel::TForm3::Button1Click, &korvel::TForm3::Button5Click}) {
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, m).expect(BoxKind::Error, said);
        (form.get()->*click)();
        expectUnchanged("rename, copy");
    }
    ui.expect(BoxKind::Input, {}, Answer::Ok, m + m)
        .expect(BoxKind::Error,
                "Название теста слишком длинное (250 знаков): имя файла ...ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ.DB "
                "заняло бы 503 байт, а файловая система допускает не больше 255. Выберите "
                "название короче.");
    put(inWork("new.zag"), "blank");
    before = snapshot(work());
    form->Button2Click();
    expectUnchanged("create");
}

// A folder that cannot be written: Delete says so and the test stays current and shown.
TEST_F(Refused, DeleteInAFolderThatCannotBeWritten) {
    testing_support::FailingSteps readOnly(std::nullopt, EACCES);
    ui.expect(BoxKind::Confirmation, "Вы уверены что хотите удалить тест <Физика> ?", Answer::Yes)
        .expect(BoxKind::Error, "Тест <Физика> не удалён: в папку " + work() +
                                    " нельзя записать (нет права на запись в папку).\rФайлы "
                                    "тестов не изменены.");
    form->Button7Click();
    expectUnchanged("delete");
}

// The same on a real disk with no room left.
TEST_F(Refused, CopyAndImportOnAFullDisk) {
    const QString w = inWork("disk");
    testing_support::SmallDisk disk(w, 256);
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    form->setWorkingFolder(w);
    layTest(w, "Физика", true);
    put(w + "/Физика.DB", QByteArray(100000, 'T'));
    disk.fill(16384);  // room for the small files, none for a copy of the table
    const auto full = snapshot(w);

    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия")
        .expect(BoxKind::Plain, "копирование файла Физика.DB в Химия.DB не выполнено");
    form->Button5Click();
    EXPECT_EQ(snapshot(w), full) << listing(w);
    EXPECT_EQ(current(), currentOf("Физика", "web"));

    const QString src = QDir(driveC()).filePath("Tests");
    QDir().mkpath(src);
    layTest(src, "Био", false);
    put(src + "/Био.DB", QByteArray(100000, 'B'));
    ui.expectOpen(src + "/Био.db")
        .expect(BoxKind::Plain, "копирование файла Био.DB в " + w + "/Био.DB не выполнено")
        .expect(BoxKind::Plain, "копирование Био.DB в " + w + "/Био.DB не выполнено")
        .expect(BoxKind::Plain, "файлы теста Био не скопированы в рабочую папку программы.");
    form->Button9Click();
    EXPECT_TRUE(ui.finished()) << boxTexts();
    EXPECT_EQ(snapshot(w), full) << listing(w);
    EXPECT_EQ(current(), currentOf("Физика", "web"));
}

}  // namespace
