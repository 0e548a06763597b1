// Creating a test from the template set "new.*" in the current directory.
#include "editor/fileops/fileset.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <string>

using plat::Answer;
using plat::BoxKind;

namespace {

std::string s(const QString& q) { return q.toStdString(); }

using testing_support::get;
using testing_support::put;

std::string listing() {
    QStringList names = QDir().entryList(QDir::Files | QDir::Hidden);
    std::sort(names.begin(), names.end());
    return s(names.join(u' '));
}

const QString kPrompt = QStringLiteral(
    "При вводе названия теста не допускаются никакие расширения типа .db Знаки "
    "<.>,</>,<\\>,<,>,<#>,<:> и т.п.  недопустимы !!!");

class CreateTest : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        put("new.zag", "blank table");
        put("new.VAL", "checks");
        put("new.CRO", "page head");
    }
    const std::string templateOnly = "new.CRO new.VAL new.zag";
};

TEST_F(CreateTest, CopiesTheTemplateUnderTheNewName) {
    struct Case {
        Answer answer;
        const char* typed;
        const char* name;
    };
    // Cancel gives back the preset, which is then taken as the name.
    const Case cases[] = {{Answer::Ok, "Физика", "Физика"}, {Answer::Cancel, "", "Пробный тест"}};
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        const qsizetype before = ui.boxes().size();
        ui.expect(BoxKind::Input, kPrompt, c.answer, QString::fromUtf8(c.typed));
        const std::optional<QString> made = korvel::CreateTestFromTemplate(ui, work());
        ASSERT_TRUE(made.has_value()) << c.name;
        EXPECT_EQ(s(*made), c.name);
        EXPECT_EQ(get(name + ".DB"), "blank table");
        EXPECT_EQ(get(name + ".VAL"), "checks");
        EXPECT_EQ(listing(), templateOnly + " " + s(name) + ".DB " + s(name) + ".VAL");

        ASSERT_EQ(ui.boxes().size(), before + 1);
        const plat::Box& box = ui.boxes().last();
        EXPECT_EQ(s(box.caption), "Введите название нового теста.");
        EXPECT_EQ(s(box.preset), "Пробный тест");
        QFile::remove(name + ".DB");
        QFile::remove(name + ".VAL");
    }
}

// Refused names change nothing; the template set stays as it was.
TEST_F(CreateTest, RefusesNamesThatWouldReachOtherFiles) {
    struct Case {
        const char* name;
        const char* error;
    };
    const Case cases[] = {
        {"", "Не задано имя теста"},
        {"new", "NEW - недопустимое имя теста"},
        {"New", "NEW - недопустимое имя теста"},
        {"NEW", "NEW - недопустимое имя теста"},
        {"Физика.db", "Знак <.> недопустим в названии теста"},
        {"..", "Знак <.> недопустим в названии теста"},
        {"a/b", "Знак </> недопустим в названии теста"},
        {"a\\b", "Знак <\\> недопустим в названии теста"},
        {"c:x", "Знак <:> недопустим в названии теста"},
        {"Физика*", "Знак <*> недопустим в названии теста"},
        {"?", "Знак <?> недопустим в названии теста"},
    };
    for (const Case& c : cases) {
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, QString::fromUtf8(c.name))
            .expect(BoxKind::Error, QString::fromUtf8(c.error));
        EXPECT_FALSE(korvel::CreateTestFromTemplate(ui, work()).has_value()) << c.name;
        EXPECT_EQ(listing(), templateOnly) << c.name;
        EXPECT_EQ(s(ui.boxes().last().caption), "Error");
    }
    EXPECT_TRUE(ui.finished());
}

// Copying the template over an existing test would ask file by file and could leave a
// table made of old and new files; a leftover page or pictures would be inherited by the new
// test. The name is refused while any file of it exists, the box naming it as on disk.
TEST_F(CreateTest, RefusesTheNameWhileAnyOfItsFilesExists) {
    const char* existing[] = {"Физика.DB",   "физика.db",      "Физика.MB", "Физика.zag",
                              "ФИЗИКА.HTML", "ФизикаGrV3.jpg", "физика.txt"};
    for (const char* e : existing) {
        const QString file = QString::fromUtf8(e);
        put(file, "old");
        ui.expect(BoxKind::Input, kPrompt, Answer::Ok, QStringLiteral("Физика"))
            .expect(BoxKind::Error, "Тест с названием <Физика> уже существует (файл " + file +
                                        "). Выберите другое название.");
        EXPECT_FALSE(korvel::CreateTestFromTemplate(ui, work()).has_value()) << e;
        EXPECT_EQ(listing(), templateOnly + " " + e);
        EXPECT_EQ(get(file), "old");
        QFile::remove(file);
    }
    EXPECT_TRUE(ui.finished());
}

// Without the blank table the author is told which file is missing; nothing is made.
TEST_F(CreateTest, WithoutTheTemplateSaysWhichFileIsMissing) {
    QFile::remove("new.zag");
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, QStringLiteral("Физика"))
        .expect(BoxKind::Error, "Не найден файл заготовки new.zag в папке " +
                                    QDir::toNativeSeparators(QDir::currentPath()) +
                                    ": новый тест не создан.");
    EXPECT_FALSE(korvel::CreateTestFromTemplate(ui, work()).has_value());
    EXPECT_EQ(listing(), "new.CRO new.VAL");
    EXPECT_TRUE(ui.finished());
}

}  // namespace
