// A renamed and a copied test are whole tests: the question editor opens them with their
// questions.
#include "common/fixed.h"
#include "common/question.h"
#include "editor/frame.h"
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/db/table.h"
#include "tests/editor/fileops/ops_fixture.h"

#include <QCoreApplication>

using plat::Answer;
using plat::BoxKind;
using namespace ops_test;

namespace {

class OpensInEditor : public testing_support::SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        plat::db::session().reset();
        const QString file = inWork("Физика.DB");
        plat::db::createTableFile(file, common::kMasterPassword, common::templateFields());
        plat::db::session().addPassword(common::kMasterPassword);
        plat::db::Table t;
        t.setTableName(file);
        t.open();
        for (const char* q : {"Сила тока?", "Закон Ома?"}) {
            t.insert();
            t.fieldByName("Vopr").setAsString(QString::fromUtf8(q));
            t.post();
        }
        t.close();
        frame = std::make_unique<korvel::Frame>(services());
        frame->Form3->setWorkingFolder(work());
        frame->Form3->MakeTestCurrent("Физика.db");
        frame->Form3->ShowTestOperations(false);
        frame->Form3->show();
    }
    void TearDown() override {
        frame.reset();
        plat::db::session().reset();
        SuiteTest::TearDown();
    }
    // Edit on the current test, the questions it shows from first to last, and back.
    QStringList questions() {
        frame->Form3->btEditClick();
        QCoreApplication::processEvents();
        korvel::TForm1& editor = *frame->Form1;
        QStringList seen;
        for (int i = 1; i <= editor.Table1.recordCount(); ++i) {
            editor.Table1.setRecNo(i);
            QCoreApplication::processEvents();
            seen.append(editor.DBMemo1->toPlainText());
        }
        editor.Exit_EditClick();
        QCoreApplication::processEvents();
        return seen;
    }
    std::unique_ptr<korvel::Frame> frame;
};

TEST_F(OpensInEditor, RenamedAndCopiedTestsShowTheirQuestions) {
    const QStringList expected{"Сила тока?", "Закон Ома?"};
    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Электричество");
    frame->Form3->Button1Click();
    EXPECT_EQ(frame->unit3.TestFileName, "Электричество.db");
    EXPECT_EQ(questions(), expected);
    EXPECT_EQ(frame->Form1->windowTitle(), "Редактирование теста <Электричество.db>");

    ui.expect(BoxKind::Input, kPrompt, Answer::Ok, "Копия");
    frame->Form3->Button5Click();
    EXPECT_EQ(frame->unit3.TestFileName, "Копия.db");
    EXPECT_EQ(questions(), expected);
    EXPECT_EQ(listing(work()), "Копия.DB Электричество.DB");
    EXPECT_TRUE(ui.finished()) << ui.boxes().size();
}

}  // namespace
