// The question editor: the opening sequence, the view refresh, the navigator, leaving.
#include "common/fixed.h"
#include "common/question.h"
#include "platform/codec.h"
#include "platform/db/session.h"
#include "tests/editor/editor_fixture.h"
#include "tests/harness/harness.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <map>
#include <sqlcipher/sqlite3.h>

using namespace testing_support;
using plat::BoxKind;

namespace {

using editor_tests::QuestionEditor;
using editor_tests::Record;

// A question table as the storage library holds it, past the engine.
class RawTable {
public:
    explicit RawTable(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &h_, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray key = plat::toCp1251(common::kMasterPassword);
        sqlite3_key(h_, key.constData(), int(key.size()));
    }
    ~RawTable() { sqlite3_close(h_); }
    RawTable(const RawTable&) = delete;
    RawTable& operator=(const RawTable&) = delete;
    void exec(const QString& sql) {
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(h_, sql.toUtf8().constData(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "") << " in " << sql.toStdString();
        sqlite3_free(err);
    }
    // Every field of every record with its storage type, as "field type:hex bytes".
    QStringList values() {
        QStringList r;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(h_, "SELECT * FROM records ORDER BY Number", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const auto* p = static_cast<const char*>(sqlite3_column_blob(st, c));
                r << QStringLiteral("%1 %2:%3")
                         .arg(sqlite3_column_name(st, c),
                              QString::number(sqlite3_column_type(st, c)),
                              QString::fromLatin1(
                                  QByteArray(p, sqlite3_column_bytes(st, c)).toHex()));
            }
        sqlite3_finalize(st);
        return r;
    }

private:
    sqlite3* h_ = nullptr;
};

TEST_F(QuestionEditor, EditShowsTheEditorOnTheFirstRecordAndHidesTheStartWindow) {
    makeTest({{{"Vopr", "первый"}}, {{"Vopr", "второй"}}});
    edit();
    EXPECT_TRUE(frame->Form3->isHidden());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(editor().windowTitle(), QStringLiteral("Редактирование теста <Т.DB>"));
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
    EXPECT_EQ(editor().Label12->text(), "1");
    EXPECT_EQ(editor().Label13->text(), QStringLiteral("из 2"));
    EXPECT_EQ(editor().DBMemo1->toPlainText(), QStringLiteral("первый"));
    EXPECT_FALSE(editor().DBMemo1->isHidden());
    EXPECT_FALSE(frame->unit3.FirstActivation);
    EXPECT_TRUE(plat::db::session().isAlias("sdb"));
    EXPECT_EQ(plat::db::session().configMode(), plat::db::ConfigMode::All);
}

TEST_F(QuestionEditor, OpeningAnEmptyTableAddsOneEmptyRecordAndReportsItsMissingStyle) {
    makeTest({}, /*defaults=*/false);
    // Refresh, then first, edit (inserts) and post: each refresh finds no style.
    for (int i = 0; i < 4; ++i) ui.expect(BoxKind::Plain, QStringLiteral("ошибка"));
    edit();
    EXPECT_EQ(ui.boxes().size(), 4);
    EXPECT_EQ(ui.boxes()[0].caption, QStringLiteral("Korvel"));
    EXPECT_EQ(editor().Table1.recordCount(), 1);
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
    EXPECT_EQ(editor().Label13->text(), QStringLiteral("из 1"));
    EXPECT_EQ(editor().Label12->text(), "1");
}

TEST_F(QuestionEditor, SecondOpeningDoesNotDefineTheAliasAgain) {
    makeTest({{{"Vopr", "первый"}}});
    edit();
    editor().Exit_EditClick();
    EXPECT_FALSE(editor().Table1.isActive());
    edit();  // a second definition would fail and show the standard error box
    EXPECT_TRUE(ui.boxes().isEmpty());
    EXPECT_TRUE(editor().Table1.isActive());
    EXPECT_TRUE(plat::db::session().passwords().contains(common::kMasterPassword));
}

TEST_F(QuestionEditor, AFailedAliasDefinitionKeepsTheFlagForTheNextActivation) {
    makeTest({{{"Vopr", "первый"}}});
    plat::db::session().addStandardAlias("sdb", "", "PARADOX");
    ui.expect(BoxKind::StandardError);
    edit();
    EXPECT_TRUE(frame->unit3.FirstActivation);
    EXPECT_FALSE(editor().Table1.isActive());
    EXPECT_EQ(plat::db::session().configMode(), plat::db::ConfigMode::All);
}

// The view refresh by the record's VoprStyle, TypeVopr and MaxOtv. Record 1 is plain text;
// the case is record 2, reached with next.
struct ViewCase {
    const char* name;
    const char* style;
    const char* type;
    const char* max;
    bool expanded;
    const char* question;  // the one question control shown
    int rows;              // answer rows shown
    bool typed;
    bool styleList;  // DBVoprStyle shown
};

class ViewRefresh : public QuestionEditor, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(ViewRefresh, ShowsWhatTheRecordCallsFor) {
    const ViewCase& c = GetParam();
    makeTest({{{"VoprStyle", "1"}, {"TypeVopr", "1"}, {"MaxOtv", "1"}},
              {{"VoprStyle", c.style}, {"TypeVopr", c.type}, {"MaxOtv", c.max}}});
    frame->unit.QuestionExpanded = c.expanded;
    edit();
    const bool invalid = QString(c.question).isEmpty();
    if (invalid) ui.expect(BoxKind::Plain, QStringLiteral("ошибка"));
    editor().DBNavigator1->btnClick(plat::nbNext);
    ASSERT_TRUE(ui.finished());

    korvel::TForm1& f = editor();
    EXPECT_EQ(f.Label12->text(), "2");
    // An invalid style leaves the question area as record 1 had it.
    const QString shown = invalid ? "DBMemo1" : c.question;
    for (QWidget* w : std::initializer_list<QWidget*>{f.DBMemo1, f.DBVoprRTF, f.DBVoprBMP})
        EXPECT_EQ(!w->isHidden(), w->objectName() == shown) << w->objectName().toStdString();
    if (!invalid) {
        EXPECT_EQ(!f.GroupBox3->isHidden(), shown == "DBVoprRTF");
        EXPECT_EQ(!f.Pictogr->isHidden(), shown != "DBMemo1");
        EXPECT_EQ(!f.Foto_1->isHidden(), shown == "DBVoprBMP");
        EXPECT_EQ(!f.Image_Paste->isHidden(), shown == "DBVoprBMP");
        EXPECT_TRUE(f.Foto_2->isHidden());
        EXPECT_TRUE(f.Foto_3->isHidden());
        EXPECT_EQ(!f.DBVoprStyle->isHidden(), c.styleList);
    }
    for (int k = 1; k <= 7; ++k) {
        EXPECT_EQ(!f.answer(k)->isHidden(), k <= c.rows) << "row " << k;
        EXPECT_EQ(!f.check(k)->isHidden(), k <= c.rows && !c.typed) << "row " << k;
    }
    EXPECT_EQ(f.Label5->text(), c.typed ? QStringLiteral("Введите с клавиатуры правильный ответ")
                                        : QStringLiteral("Варианты ответа"));
    EXPECT_EQ(f.DBListBox2->isHidden(), c.typed);
    EXPECT_EQ(f.Label3->isHidden(), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewRefresh,
    ::testing::Values(ViewCase{"textChoice3", "1", "1", "3", false, "DBMemo1", 3, false, true},
                      ViewCase{"rtfMaxEmpty", "2", "1", "", false, "DBVoprRTF", 7, false, true},
                      ViewCase{"pictureTyped", "3", "2", "5", false, "DBVoprBMP", 1, true, true},
                      ViewCase{"type3Max8", "1", "3", "8", false, "DBMemo1", 7, false, true},
                      ViewCase{"typeEmptyMax0", "1", "", "0", false, "DBMemo1", 7, false, true},
                      ViewCase{"style4", "4", "1", "2", false, "", 2, false, true},
                      ViewCase{"styleEmptyTyped", "", "2", "", false, "", 1, true, true},
                      ViewCase{"expandedRtf", "2", "1", "7", true, "DBVoprRTF", 7, false, false},
                      ViewCase{"expandedPicture", "3", "1", "7", true, "DBVoprBMP", 7, false,
                               false},
                      ViewCase{"expandedText", "1", "1", "7", true, "DBMemo1", 7, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Insert from the navigator: the new record shows the table's defaults, or "ошибка" once
// when the table gives VoprStyle none.
class InsertRecord : public QuestionEditor, public ::testing::WithParamInterface<bool> {};

TEST_P(InsertRecord, RefreshesOnceForTheNewRecord) {
    const bool defaults = GetParam();
    makeTest({{{"VoprStyle", "1"}, {"MaxOtv", "2"}}}, defaults);
    edit();
    if (!defaults) ui.expect(BoxKind::Plain, QStringLiteral("ошибка"));
    editor().DBNavigator1->btnClick(plat::nbInsert);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Insert);
    EXPECT_EQ(editor().Label12->text(), "2");
    EXPECT_EQ(editor().Label13->text(), QStringLiteral("из 1"));
    if (defaults) {
        EXPECT_FALSE(editor().DBMemo1->isHidden());
        EXPECT_FALSE(editor().answer(4)->isHidden());
        EXPECT_TRUE(editor().answer(5)->isHidden());  // the template's MaxOtv is 4
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, InsertRecord, ::testing::Bool());

TEST_F(QuestionEditor, SelectingTypedAnswerChangesTheViewAtOnceAndIsWrittenOnPost) {
    makeTest({{{"VoprStyle", "1"}, {"TypeVopr", "1"}, {"MaxOtv", "4"}}});
    edit();
    editor().DBListBox1->choose(1);
    EXPECT_EQ(editor().Label5->text(), QStringLiteral("Введите с клавиатуры правильный ответ"));
    EXPECT_TRUE(editor().DBListBox2->isHidden());
    EXPECT_EQ(stored(1, "TypeVopr"), "1");
    editor().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(stored(1, "TypeVopr"), "2");
}

// Leaving keeps the record in hand as a move to another record does: typed into an edited
// record or into a new one, the text is stored.
class LeavingWithARecordInHand : public QuestionEditor,
                                 public ::testing::WithParamInterface<bool> {};

TEST_P(LeavingWithARecordInHand, StoresIt) {
    const bool inserted = GetParam();
    makeTest({{{"VoprStyle", "1"}, {"Otv1", "старый"}}});
    edit();
    if (inserted) editor().DBNavigator1->btnClick(plat::nbInsert);
    editor().DBotv1->setFocus();
    editor().DBotv1->selectAll();
    typeText(editor().DBotv1, QStringLiteral("Новый"));
    editor().Exit_EditClick();
    EXPECT_TRUE(ui.boxes().isEmpty());
    EXPECT_FALSE(editor().Table1.isActive());
    EXPECT_TRUE(editor().isHidden());
    EXPECT_FALSE(frame->Form3->isHidden());
    EXPECT_EQ(stored(1, "Otv1"), inserted ? QStringLiteral("старый") : QStringLiteral("Новый"));
    if (inserted) {
        EXPECT_EQ(stored(2, "Otv1"), QStringLiteral("Новый"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LeavingWithARecordInHand, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Inserted" : "Edited"; });

TEST_F(QuestionEditor, LeavingWithAnUnchangedNewRecordDropsIt) {
    makeTest({{{"VoprStyle", "1"}, {"Otv1", "старый"}}});
    edit();
    editor().DBNavigator1->btnClick(plat::nbInsert);
    editor().Exit_EditClick();
    EXPECT_TRUE(editor().isHidden());
    plat::db::Table t;
    t.setTableName(inWork(kFile));
    t.open();
    EXPECT_EQ(t.recordCount(), 1);
}

// A post that fails on the way out shows the engine's error; the editor stays open on the
// record, still in edit mode with the typed text.
TEST_F(QuestionEditor, LeavingWhenThePostFailsKeepsTheEditorOpen) {
    makeTest({{{"VoprStyle", "1"}, {"Otv1", "старый"}}});
    edit();
    editor().DBotv1->setFocus();
    editor().DBotv1->selectAll();
    typeText(editor().DBotv1, QStringLiteral("Новый"));
    RawTable(inWork(kFile)).exec("DELETE FROM records");  // another program's doing
    ui.expect(BoxKind::StandardError,
              "Запись удалена другим пользователем. Таблица: " + inWork(kFile));
    editor().Exit_EditClick();
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_TRUE(frame->Form3->isHidden());
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Edit);
    EXPECT_EQ(editor().DBotv1->text(), QStringLiteral("Новый"));
}

// Opening a test and leaving it leaves every stored value as it was, whatever form another
// program gave it. Record 1 is the one the opening edits and posts; record 2 is damaged too.
struct Damaged {
    const char* name;
    const char* first;  // SQL assignments for record 1
    int errors;         // "ошибка" boxes of the opening (an invalid style)
};

class DamagedValues : public QuestionEditor, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedValues, OpeningAndLeavingKeepsThemAsStored) {
    makeTest({{{"Vopr", "первый"}}, {{"Vopr", "второй"}}});
    {
        RawTable raw(inWork(kFile));
        raw.exec(QStringLiteral("UPDATE records SET %1 WHERE Number = 1").arg(GetParam().first));
        raw.exec(
            "UPDATE records SET RO1 = 'true', RO2 = 2, MaxOtv = 'q', VoprStyle = '1', "
            "Otv7 = replace(hex(zeroblob(100)), '00', 'щ') WHERE Number = 2");
    }
    const QStringList before = RawTable(inWork(kFile)).values();
    for (int i = 0; i < GetParam().errors; ++i) ui.expect(BoxKind::Plain, QStringLiteral("ошибка"));
    edit();
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
    editor().Exit_EditClick();
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(editor().isHidden());
    EXPECT_EQ(RawTable(inWork(kFile)).values(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedValues,
    ::testing::Values(
        Damaged{"FlagsInOtherForms",
                "RO1 = 'true', RO2 = 2, RO3 = NULL, RO4 = -1, RO5 = 0.5, RO6 = 'False', "
                "RO7 = X'01', VoprStyle = '1', TypeVopr = '1', MaxOtv = '7'",
                0},
        Damaged{"TextsInOtherForms",
                "TypeVopr = 'abc', MaxOtv = X'35', Otv1 = CAST(X'C0FF41' AS TEXT), "
                "Otv2 = 'a\u4e2db', Otv3 = X'4142', Otv4 = '', RO1 = 3, "
                "Vopr = replace(hex(zeroblob(300)), '00', 'ж'), VoprStyle = '1'",
                0},
        Damaged{"InvalidStyleAndEmptyKinds",
                "VoprStyle = 'zz', VoprRTF = 'plain', VoprBMP = 12345, TypeVopr = NULL, "
                "MaxOtv = NULL, RO1 = -7",
                4},
        Damaged{"BrokenRichText", "VoprStyle = '2', VoprRTF = X'7B5C7274663120C0', Vopr = NULL", 0},
        Damaged{"BrokenPictureTypedAnswer",
                "VoprStyle = '3', VoprBMP = X'424D0000', VoprRTF = 'x', TypeVopr = '2', "
                "Otv1 = replace(hex(zeroblob(120)), '00', 'ю'), RO1 = 'x'",
                0}),
    [](const auto& info) { return std::string(info.param.name); });

// The question box takes no more than its field stores: a long paste is cut at 255.
TEST_F(QuestionEditor, QuestionBoxTakesNoMoreThanItsField) {
    makeTest({{{"VoprStyle", "1"}, {"Vopr", "Вопрос"}}});
    edit();
    editor().DBMemo1->setFocus();
    editor().DBMemo1->selectAll();
    QApplication::clipboard()->setText(QString(300, u'ж'));
    editor().DBMemo1->paste();
    EXPECT_EQ(editor().DBMemo1->toPlainText(), QString(255, u'ж'));
    typeText(editor().DBMemo1, QStringLiteral("ы"));  // full: the key is dropped
    EXPECT_EQ(editor().DBMemo1->toPlainText().size(), 255);
    editor().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(stored(1, "Vopr"), QString(255, u'ж'));

    // A line break is stored as CR LF: two of the 255.
    editor().DBMemo1->selectAll();
    QApplication::clipboard()->setText(QString(200, u'а') + "\n" + QString(100, u'б'));
    editor().DBMemo1->paste();
    editor().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(stored(1, "Vopr"), QString(200, u'а') + "\r\n" + QString(53, u'б'));
    EXPECT_EQ(editor().DBMemo1->toPlainText(), QString(200, u'а') + "\n" + QString(53, u'б'));
}

// Leaving switches a local-only panel to local+web once any web test has been generated.
class LeavingAfterWebTest : public QuestionEditor, public ::testing::WithParamInterface<bool> {};

TEST_P(LeavingAfterWebTest, SwitchesThePanel) {
    makeTest({{{"Vopr", "первый"}}});
    edit();
    if (GetParam()) frame->unit.WebTestName = QStringLiteral("Другой");
    editor().Exit_EditClick();
    korvel::TForm3& start = *frame->Form3;
    EXPECT_EQ(!start.CheckBox1->isHidden(), GetParam());
    EXPECT_EQ(!start.CheckBox2->isHidden(), GetParam());
    EXPECT_EQ(start.CheckBox2->isChecked(), GetParam());
    EXPECT_EQ(!start.Button3->isHidden(), GetParam());
    EXPECT_EQ(start.Label2->text(), GetParam()
                                        ? QStringLiteral("Операции с файлами:")
                                        : QStringLiteral("Операции с файлами локального теста."));
}

INSTANTIATE_TEST_SUITE_P(Cases, LeavingAfterWebTest, ::testing::Bool());

TEST_F(QuestionEditor, LeavingRestoresTheNormalQuestionArea) {
    makeTest({{{"VoprStyle", "2"}}});
    frame->unit.QuestionExpanded = true;
    edit();
    editor().DBVoprRTF->setGeometry(8, 8, 993, 620);
    editor().TrackBar1->setMaximum(620);
    editor().Exit_EditClick();
    EXPECT_FALSE(frame->unit.QuestionExpanded);
    EXPECT_EQ(editor().DBVoprRTF->geometry(), QRect(8, 64, 993, 169));
    EXPECT_EQ(editor().DBVoprBMP->geometry(), QRect(8, 64, 993, 169));
    EXPECT_EQ(editor().TrackBar1->maximum(), 169);
    EXPECT_FALSE(editor().DBVoprStyle->isHidden());
}

TEST_F(QuestionEditor, ALockedRecordShowsTheEngineErrorAndSkipsTheClickHandler) {
    makeTest({{{"Vopr", "первый"}}});
    edit();
    plat::db::Table other;
    other.setTableName(inWork(kFile));
    other.open();
    other.edit();  // another program holds record 1

    editor().Label12->setText("-");
    ui.expect(BoxKind::StandardError);
    editor().DBNavigator1->btnClick(plat::nbEdit);
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_FALSE(ui.boxes()[0].text.isEmpty());
    EXPECT_EQ(ui.boxes()[0].caption, QStringLiteral("Korvel"));
    EXPECT_EQ(editor().Label12->text(), "-");
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
}

// The whole road of a new test: Create names it N.db, the file is N.DB.
TEST_F(QuestionEditor, ANewTestOpensInTheEditorAfterCreate) {
    const QString built = QCoreApplication::applicationDirPath() + "/../korvel/new.zag";
    ASSERT_TRUE(QFile::copy(built, inWork("new.zag")));
    frame = std::make_unique<korvel::Frame>(services());
    ui.expect(BoxKind::Input, {}, plat::Answer::Ok, QStringLiteral("Физика"));
    ui.expect(BoxKind::Information);
    frame->Form3->Button2Click();
    // The template's one question of the defaults: no "ошибка" on the way in.
    edit();
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(editor().windowTitle(), QStringLiteral("Редактирование теста <Физика.db>"));
    EXPECT_EQ(editor().Table1.recordCount(), 1);
    EXPECT_FALSE(editor().DBMemo1->isHidden());  // the template's default style
}

TEST_F(QuestionEditor, NavigatorHintsFollowTheButtons) {
    frame = std::make_unique<korvel::Frame>(services());
    const std::pair<plat::NavBtn, const char*> hints[] = {
        {plat::nbFirst, "первый вопрос"},
        {plat::nbNext, "следующий вопрос"},
        {plat::nbInsert, "добавить вопрос"},
        {plat::nbDelete, "удалить вопрос"},
        {plat::nbEdit, "исправить текущий вопрос"},
        {plat::nbPost, "сохранить исправления в текущем вопросе"},
        {plat::nbRefresh, "обновить весь набор вопросов"},
    };
    for (const auto& [button, hint] : hints)
        EXPECT_EQ(editor().DBNavigator1->button(button)->toolTip(), QString::fromUtf8(hint));
    EXPECT_EQ(editor().windowTitle(), QStringLiteral("Редактор  тестов"));
}

TEST_F(QuestionEditor, ModuleStartMakesTheNetworkControlDirectory) {
    frame = std::make_unique<korvel::Frame>(services());
    const QString dir = QDir(driveC()).filePath("Test");
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_EQ(QDir(plat::db::session().netFileDir()).canonicalPath(), QDir(dir).canonicalPath());
    EXPECT_TRUE(frame->Form1->isHidden());
    frame.reset();
    frame = std::make_unique<korvel::Frame>(services());  // it exists already: no complaint
    EXPECT_TRUE(ui.boxes().isEmpty());
}

// The program builds the editor once the start window has drawn itself, or when Edit is
// pressed before that; either way Edit shows it.
TEST_F(QuestionEditor, ALaterEditorComesAfterTheStartWindowsFirstPaint) {
    using korvel::Frame;
    frame = std::make_unique<Frame>(services(), Frame::Editor::AfterStartWindowDrawn);
    EXPECT_EQ(frame->Form1, nullptr);
    frame->Form3->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame->Form3.get()));
    QCoreApplication::processEvents();
    ASSERT_NE(frame->Form1, nullptr);
    EXPECT_TRUE(frame->Form1->isHidden());
    EXPECT_EQ(&frame->editor(), frame->Form1.get());  // built once

    frame = std::make_unique<Frame>(services(), Frame::Editor::AfterStartWindowDrawn);
    frame->Form3->btEdit->click();
    ASSERT_NE(frame->Form1, nullptr);
    EXPECT_FALSE(frame->Form1->isHidden());
    EXPECT_TRUE(frame->Form3->isHidden());
}

TEST_F(QuestionEditor, ClosedByTheWindowSystemItLeavesAsTheExitButtonDoes) {
    makeTest({{{"Vopr", "первый"}}});
    edit();
    editor().close();
    EXPECT_TRUE(editor().isHidden());
    EXPECT_FALSE(editor().Table1.isActive());
    EXPECT_FALSE(frame->Form3->isHidden());
}

TEST_F(QuestionEditor, HelpOpensTheHelpPage) {
    makeTest({{{"Vopr", "первый"}}});
    edit();
    editor().Help->click();
    EXPECT_EQ(shell.opened, QStringList{"help_korvel.html"});
}

}  // namespace
