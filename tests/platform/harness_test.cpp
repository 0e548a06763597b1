#include "tests/harness/harness.h"

#include "platform/errors.h"

#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest-spi.h>

using plat::Answer;
using plat::BoxKind;
using testing_support::ScriptedUi;

TEST(ScriptedUiTest, AnswersFromTheScriptAndRecordsEveryBox) {
    ScriptedUi ui;
    ui.setTitle("Pandrel");
    ui.expect(BoxKind::Confirmation, "Выйти?", Answer::No)
        .expect(BoxKind::Input, "Имя", Answer::Ok, "Иванов")
        .expect(BoxKind::Input, {}, Answer::Cancel)
        .expect(BoxKind::Plain);
    EXPECT_EQ(ui.confirm("Выйти?"), Answer::No);
    EXPECT_EQ(ui.input("Вход", "Имя", "x"), "Иванов");
    EXPECT_EQ(ui.input("Вход", "Группа", "11А"), "11А");  // Cancel keeps the preset
    ui.message("Готово");
    EXPECT_TRUE(ui.finished());
    ASSERT_EQ(ui.boxes().size(), 4);
    EXPECT_EQ(ui.boxes()[0].caption, "Confirm");
    EXPECT_EQ(ui.boxes()[0].buttons, (QList<plat::Button>{plat::Button::Yes, plat::Button::No}));
    EXPECT_EQ(ui.boxes()[3].caption, "Pandrel");
}

TEST(ScriptedUiTest, UnexpectedBoxFailsTheTestAndIsClosed) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            EXPECT_EQ(ui.confirm("Удалить запись?"), Answer::Closed);
        },
        "Удалить запись?");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.expect(BoxKind::Error, "Нет файла");
            ui.error("Другой текст");
            ui.error("Нет файла");
        },
        "unexpected Error box \"Другой текст\"");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.expect(BoxKind::Information);
            ui.error("x");
            ui.information("y");
        },
        "unexpected Error box");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.openFile({});
        },
        "unexpected open dialog");
}

TEST(ScriptedUiTest, LeftoverStepFailsAtDestruction) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedUi ui;
            ui.expect(BoxKind::Information, "Сохранено");
        },
        "never came: Information box \"Сохранено\"");
}

class HarnessFixture : public testing_support::SuiteTest {};

TEST_F(HarnessFixture, FreshFoldersAndLocale) {
    EXPECT_EQ(QDir::currentPath(), QDir(work()).canonicalPath());
    EXPECT_EQ(qEnvironmentVariable("TESTSUITE_DRIVE_C"), driveC());
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
}

TEST_F(HarnessFixture, ChosenFileMakesItsFolderCurrent) {
    QDir(work()).mkdir("sub");
    ui.expectOpen(inWork("sub/a.DB")).expectSave(std::nullopt);
    EXPECT_EQ(ui.openFile({}), inWork("sub/a.DB"));
    EXPECT_EQ(QDir::currentPath(), QDir(inWork("sub")).canonicalPath());
    EXPECT_EQ(ui.saveFile({}), std::nullopt);
    EXPECT_EQ(QDir::currentPath(), QDir(inWork("sub")).canonicalPath());
    EXPECT_EQ(ui.dialogs().size(), 2);
}

TEST_F(HarnessFixture, TypesCyrillicIntoAWidget) {
    QLineEdit edit;
    edit.show();
    edit.setFocus();
    testing_support::typeText(&edit, "Ёж и Ship 12");
    EXPECT_EQ(edit.text(), "Ёж и Ship 12");
}

TEST_F(HarnessFixture, PdfPrinterWritesAPdfAndFailsWithoutPrinter) {
    printer.path = inWork("log.pdf");
    printer.printLines({"Первая строка", "Second line"}, QFont("Liberation Serif", 10));
    QFile pdf(printer.path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_EQ(printer.printed.size(), 1);

    printer.noPrinter = true;
    EXPECT_THROW(printer.printLines({"x"}, QFont()), plat::LayerError);
}

TEST(Waiting, WaitForSeesATimerAndGivesUp) {
    bool fired = false;
    QTimer::singleShot(20, [&] { fired = true; });
    EXPECT_TRUE(testing_support::waitFor([&] { return fired; }, 2000));
    EXPECT_FALSE(testing_support::waitFor([] { return false; }, 30));
}
