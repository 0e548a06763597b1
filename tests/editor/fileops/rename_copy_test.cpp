// Rename and Copy of the current test from the start window.
#include "tests/editor/fileops/ops_fixture.h"

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

enum class Op { Rename, Copy };

void run(korvel::TForm3& form, Op op) {
    if (op == Op::Rename)
        form.Button1Click();
    else
        form.Button5Click();
}

const char* opName(Op op) { return op == Op::Rename ? "Rename" : "Copy"; }

struct MainCase {
    Op op;
    bool web;        // CheckBox2 ticked
    Answer answer;   // Ok with the typed name, or Cancel
    const char* to;  // the name the test ends under
};

class RenameCopyMain : public Ops, public ::testing::WithParamInterface<MainCase> {};

// The test under its new name with the half the box chose, the old name gone (Rename) or
// kept whole (Copy), the page pointing at the new pictures, and the new test current.
TEST_P(RenameCopyMain, MakesTheTestUnderTheNewName) {
    const MainCase& c = GetParam();
    const QString to = QString::fromUtf8(c.to);
    layTest(work(), "Физика", true);
    makeCurrent("Физика.db", true);
    form->CheckBox2->setChecked(c.web);
    const auto before = snapshot(work());
    leaveWork();

    ui.expect(BoxKind::Input, kPrompt, c.answer, c.answer == Answer::Ok ? to : QString());
    run(*form, c.op);

    ASSERT_EQ(ui.boxes().size(), 1) << boxTexts();
    const plat::Box& box = ui.boxes().first();
    if (c.op == Op::Rename) {
        EXPECT_EQ(s(box.caption), "Измените название теста.");
        EXPECT_EQ(s(box.preset), "Новое название");
    } else {
        EXPECT_EQ(s(box.caption), "Задайте название копии теста.");
        EXPECT_EQ(s(box.preset), "Название копии");
    }
    EXPECT_EQ(box.text.size(), 121);

    const QString w = work() + "/";
    EXPECT_EQ(get(w + to + ".DB"), "Физика table");
    EXPECT_EQ(get(w + to + ".VAL"), "Физика checks");
    std::map<QString, QByteArray> kept = before;  // what must still stand byte for byte
    if (c.op == Op::Rename) {
        kept.erase("Физика.DB");
        kept.erase("Физика.VAL");
    }
    if (c.web) {
        EXPECT_EQ(get(w + to + "GrV1.jpg"), "Физика picture 1");
        EXPECT_EQ(get(w + to + "GrV2.jpg"), "Физика picture 2");
        EXPECT_EQ(get(w + to + ".HTML"), page(kChemistryRef));
        if (c.op == Op::Rename)
            for (const char* f : {"Физика.HTML", "ФизикаGrV1.jpg", "ФизикаGrV2.jpg"})
                kept.erase(QString::fromUtf8(f));
    } else {
        EXPECT_FALSE(QFileInfo::exists(w + to + ".HTML"));
        EXPECT_FALSE(QFileInfo::exists(w + to + "GrV1.jpg"));
    }
    for (const auto& [file, bytes] : kept) EXPECT_EQ(get(w + file), bytes) << s(file);
    const size_t made = c.web ? 5 : 2;
    EXPECT_EQ(snapshot(work()).size(), kept.size() + made) << listing(work());

    EXPECT_EQ(current(), currentOf(to, c.web ? "web" : "local"));
    EXPECT_TRUE(inWorkingFolder());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameCopyMain,
    ::testing::Values(MainCase{Op::Rename, true, Answer::Ok, "Химия"},
                      MainCase{Op::Rename, false, Answer::Ok, "Химия"},
                      MainCase{Op::Copy, true, Answer::Ok, "Химия"},
                      MainCase{Op::Copy, false, Answer::Ok, "Химия"},
                      // Cancel gives back the preset, which is then taken as the name.
                      MainCase{Op::Rename, false, Answer::Cancel, "Новое название"},
                      MainCase{Op::Copy, false, Answer::Cancel, "Название копии"}),
    [](const auto& info) {
        return std::string(opName(info.param.op)) + (info.param.web ? "WithWeb" : "TableOnly") +
               (info.param.answer == Answer::Cancel ? "Cancelled" : "");
    });

// A refused name or a stopped operation leaves the files, the current test and the panel
// as they were, with the working folder current.
class Stops : public Ops {
protected:
    void SetUp() override {
        Ops::SetUp();
        layTest(work(), "Физика", true);
        makeCurrent("Физика.db", true);
        before = snapshot(work());
        leaveWork();
    }
    void expectUnchanged(const std::string& why) {
        EXPECT_EQ(snapshot(work()), before) << why << ": " << listing(work());
        EXPECT_EQ(current(), currentOf("Физика", "web")) << why;
        EXPECT_TRUE(inWorkingFolder()) << why;
    }
    std::map<QString, QByteArray> before;
};
class RenameCopyStops : public Stops, public ::testing::WithParamInterface<Op> {};

TEST_P(RenameCopyStops, RefusedNames) {
    struct Case {
        const char* typed;
        const char* error;
    };
    const Case cases[] = {
        {"", "Не задано название теста"},
        {"new", "NEW - недопустимое имя теста"},
        {"NeW", "NEW - недопустимое имя теста"},
        {"Био.2", "Знак <.> недопустим в названии теста"},
        {"a/b", "Знак </> недопустим в названии теста"},
        {"c:x", "Знак <:> недопустим в названии теста"},
        {"Био*", "Знак <*> недопустим в названии теста"},
    };
    for (const Case& c : cases) {
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, QString::fromUtf8(c.typed))
            .expect(BoxKind::Error, QString::fromUtf8(c.error));
        run(*form, GetParam());
        EXPECT_EQ(s(ui.boxes().last().caption), "Error");
        expectUnchanged(c.typed);
        leaveWork();
    }
    EXPECT_TRUE(ui.finished());
}

// A copy under the test's own name, in any letter case, never deletes the file it copies.
TEST_F(Stops, CopyUnderItsOwnNameKeepsEveryFile) {
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "физика")
        .expect(BoxKind::Plain, "Физика.DB и физика.DB - один и тот же файл")
        .expect(BoxKind::Plain, "копирование файла Физика.DB в физика.DB не выполнено");
    run(*form, Op::Copy);
    EXPECT_TRUE(ui.finished()) << boxTexts();
    expectUnchanged("own name");
}

// Where Rename or Copy to Химия fails. Rename cannot rename onto an existing file; Copy asks
// before replacing it (answered No) or misses its source. Rename undoes what it renamed and
// Copy removes what it made (never a file that was there before), so neither leaves half a
// test under either name.
struct FailCase {
    const char* name;
    void (*arrange)(const QString& work);
    const char* file;  // the extension that fails
    bool missing;      // Физика's file is missing, else Химия's is in the way
};

const FailCase kFailures[] = {
    {"ExistingTest", [](const QString& w) { put(w + "/Химия.DB", "other table"); }, ".DB", false},
    {"MissingTable", [](const QString& w) { QFile::remove(w + "/Физика.DB"); }, ".DB", true},
    {"AtTheThirdFile",
     [](const QString& w) {
         put(w + "/Физика.TV", "view");
         put(w + "/Химия.TV", "other view");
     },
     ".TV", false},
    {"AtThePage", [](const QString& w) { QFile::remove(w + "/Физика.HTML"); }, ".HTML", true},
};

TEST_P(RenameCopyStops, FailureLeavesNoHalfTest) {
    for (const FailCase& c : kFailures) {
        for (const QString& f : QDir(work()).entryList(QDir::Files)) QFile::remove(inWork(f));
        layTest(work(), "Физика", true);
        c.arrange(work());
        before = snapshot(work());
        const QString from = QStringLiteral("Физика") + c.file;
        const QString to = QStringLiteral("Химия") + c.file;
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
        if (GetParam() == Op::Rename)
            ui.expect(BoxKind::Error, "Тест <Физика> не переименован:\rфайл " + from +
                                          " не удалось переименовать в " + to +
                                          ".\rФайлы теста остались под прежним названием.");
        else if (c.missing)
            ui.expect(BoxKind::Plain, "не найден файл " + from);
        else
            ui.expect(BoxKind::Confirmation, to + " уже существует, хотите обновить?", Answer::No);
        if (GetParam() == Op::Copy)
            ui.expect(BoxKind::Plain, "копирование файла " + from + " в " + to + " не выполнено");
        run(*form, GetParam());
        EXPECT_TRUE(ui.finished()) << c.name << ": " << boxTexts();
        expectUnchanged(c.name);
        leaveWork();
    }
}

INSTANTIATE_TEST_SUITE_P(Ops, RenameCopyStops, ::testing::Values(Op::Rename, Op::Copy),
                         [](const auto& info) { return std::string(opName(info.param)); });

// Family files that do not exist are passed over; those that do go along in order.
TEST_F(Ops, RenameAndCopyPassOverMissingFamilyFiles) {
    for (Op op : {Op::Rename, Op::Copy}) {
        for (const QString& f : QDir(work()).entryList(QDir::Files)) QFile::remove(inWork(f));
        put(inWork("Физика.DB"), "table");
        put(inWork("Физика.MB"), "blobs");
        makeCurrent("Физика.db", false);
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
        run(*form, op);
        EXPECT_EQ(listing(work()),
                  op == Op::Rename ? "Химия.DB Химия.MB" : "Физика.DB Физика.MB Химия.DB Химия.MB")
            << opName(op);
        EXPECT_EQ(get(inWork("Химия.MB")), "blobs");
        EXPECT_EQ(current(), currentOf("Химия", "local")) << opName(op);
    }
    EXPECT_TRUE(ui.finished()) << boxTexts();
}

// With the web part ticked and no pictures, the page alone goes along.
TEST_F(Ops, WebPartWithoutPictures) {
    put(inWork("Физика.DB"), "table");
    put(inWork("Физика.HTML"), "<html>без рисунков</html>");
    makeCurrent("Физика.db", true);
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Химия");
    form->Button1Click();
    EXPECT_EQ(listing(work()), "Химия.DB Химия.HTML");
    EXPECT_EQ(get(inWork("Химия.HTML")), "<html>без рисунков</html>");
    EXPECT_EQ(current(), currentOf("Химия", "web"));
}

}  // namespace
