// The question editor from the keyboard: the Tab order, Tab in the question box, typing in
// the lists, and the navigator's buttons pressed with keys.
#include "tests/editor/editor_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

using editor_tests::QuestionEditor;
using editor_tests::Record;
using plat::NavBtn;

class EditorKeys : public QuestionEditor {
protected:
    // Edit, with the editor the active window as the author has it.
    void editActive() {
        edit();
        QApplication::setActiveWindow(&editor());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor()));
    }
    static QWidget* focus() { return QApplication::focusWidget(); }
    static QString focusName() { return focus() ? focus()->objectName() : QString("<none>"); }
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        ASSERT_NE(focus(), nullptr);
        QTest::keyClick(focus(), key, mods);
    }
    // Tab (or Shift+Tab) until target has the focus.
    void tabTo(QWidget* target, bool back = false) {
        for (int i = 0; i < 40 && focus() != target; ++i)
            press(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_EQ(focus(), target) << focusName().toStdString();
    }
    // The navigator has the focus: frame button b with the arrows, press it with Space.
    void pressNavigator(NavBtn b) {
        plat::DBNavigator* nav = editor().DBNavigator1;
        ASSERT_EQ(focus(), nav);
        for (int i = 0; i < plat::kNavButtons && nav->focusedButton() != b; ++i)
            press(nav->focusedButton() < b ? Qt::Key_Right : Qt::Key_Left);
        ASSERT_EQ(nav->focusedButton(), b);
        press(Qt::Key_Space);
    }
    // Names of the focus's stops from the focused control on, once round.
    QStringList walk(bool back) {
        QStringList names;
        QWidget* start = focus();
        do {
            names << focusName();
            press(back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
        } while (focus() != start && names.size() < 60);
        return names;
    }
};

QStringList numbered(const QString& name, int n) {
    QStringList r;
    for (int k = 1; k <= n; ++k) r << name + QString::number(k);
    return r;
}

// The stops of Tab for a record of each kind, in order from the first answer.
struct TabCase {
    const char* name;
    Record record;
    bool expanded;
    bool photo;
    QStringList stops;
};

void PrintTo(const TabCase& c, std::ostream* os) { *os << c.name; }

class TabOrder : public EditorKeys, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabOrder, WalksTheShownControlsInTheWindowsOrder) {
    const TabCase& c = GetParam();
    makeTest({c.record});
    frame->unit.QuestionExpanded = c.expanded;
    editActive();
    if (c.photo) editor().Foto_1Click();
    EXPECT_EQ(focusName(), "DBotv1");  // the first stop has the focus when the window opens
    editor().DBotv1->setFocus();

    const QStringList forth = walk(false);
    EXPECT_EQ(forth, c.stops);
    QStringList backStops = walk(true);
    std::reverse(backStops.begin() + 1, backStops.end());
    EXPECT_EQ(backStops, c.stops);
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);  // Tab changes nothing
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TabOrder,
    ::testing::Values(
        TabCase{"TextChoice",
                {{"VoprStyle", "1"}, {"TypeVopr", "1"}, {"MaxOtv", "7"}},
                false,
                false,
                numbered("DBotv", 7) + QStringList{"DBNavigator1", "DBMemo1"} +
                    numbered("DBCheckBox", 7) +
                    QStringList{"DBListBox1", "DBListBox2", "DBVoprStyle", "Button1"}},
        TabCase{"RichTextThreeVariants",
                {{"VoprStyle", "2"}, {"TypeVopr", "1"}, {"MaxOtv", "3"}},
                false,
                false,
                numbered("DBotv", 3) + QStringList{"DBNavigator1"} + numbered("DBCheckBox", 3) +
                    QStringList{"DBListBox1", "DBListBox2", "DBVoprRTF", "DBVoprStyle", "Button1"}},
        TabCase{"RichTextEnlarged",
                {{"VoprStyle", "2"}, {"TypeVopr", "2"}, {"MaxOtv", "3"}},
                true,
                false,
                {"DBotv1", "DBNavigator1", "DBListBox1", "DBVoprRTF", "Button1"}},
        TabCase{"PictureTyped",
                {{"VoprStyle", "3"}, {"TypeVopr", "2"}},
                false,
                false,
                {"DBotv1", "DBNavigator1", "DBListBox1", "DBVoprBMP", "DBVoprStyle", "Button1"}},
        TabCase{"PhotoMode",
                {{"VoprStyle", "3"}, {"TypeVopr", "1"}, {"MaxOtv", "2"}},
                false,
                true,
                {"DBotv1", "DBotv2", "DBCheckBox1", "DBCheckBox2", "DBListBox1", "DBListBox2",
                 "DBVoprBMP", "DBVoprStyle", "TrackBar1", "TrackBar2", "Button1"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Tab in the question box goes on to the next control and types nothing; what is typed
// there is posted from the navigator, reached and pressed with keys.
TEST_F(EditorKeys, TabInTheQuestionBoxMovesOnAndTypesNothing) {
    makeTest({{{"VoprStyle", "1"}, {"TypeVopr", "1"}, {"MaxOtv", "2"}, {"Vopr", "Вопрос"}}});
    editActive();
    tabTo(editor().DBMemo1);
    for (int i = 0; i < 12; ++i) {
        editor().DBMemo1->setFocus();
        press(Qt::Key_Tab);
        EXPECT_EQ(focusName(), "DBCheckBox1");
    }
    EXPECT_EQ(editor().DBMemo1->toPlainText(), QStringLiteral("Вопрос"));
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);

    press(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(focus(), editor().DBMemo1);
    editor().DBMemo1->moveCursor(QTextCursor::End);
    testing_support::typeText(editor().DBMemo1, QStringLiteral(" два"));
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Edit);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    pressNavigator(plat::nbPost);
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
    EXPECT_EQ(stored(1, "Vopr"), QStringLiteral("Вопрос два"));
}

// Insert, post and cancel, from the keyboard only.
TEST_F(EditorKeys, NavigatorButtonsArePressedWithKeys) {
    makeTest({{{"VoprStyle", "1"}, {"TypeVopr", "2"}, {"Otv1", "первый"}}});
    editActive();
    tabTo(editor().DBNavigator1);
    pressNavigator(plat::nbInsert);
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Insert);
    EXPECT_EQ(editor().Label12->text(), "2");  // the click handler ran

    tabTo(editor().DBotv1, /*back=*/true);
    testing_support::typeText(editor().DBotv1, QStringLiteral("второй"));
    tabTo(editor().DBNavigator1);
    pressNavigator(plat::nbPost);
    EXPECT_EQ(editor().Label13->text(), QStringLiteral("из 2"));
    EXPECT_EQ(stored(2, "Otv1"), QStringLiteral("второй"));

    tabTo(editor().DBotv1, /*back=*/true);
    testing_support::typeText(editor().DBotv1, QStringLiteral("!"));
    tabTo(editor().DBNavigator1);
    pressNavigator(plat::nbCancel);
    EXPECT_EQ(editor().DBotv1->text(), QStringLiteral("второй"));
    pressNavigator(plat::nbFirst);
    EXPECT_EQ(editor().Label12->text(), "1");
    EXPECT_EQ(editor().DBotv1->text(), QStringLiteral("первый"));
}

// A key in one of the three lists: the view follows the item at once, and the item shown
// is the one a post stores.
struct ListCase {
    const char* name;
    plat::DBListBox* korvel::TForm1::*list;
    Record record;
    Qt::Key key;
    const char* field;
    const char* want;
    const char* question;  // the question control shown afterwards
    int rows;              // answer edits shown afterwards
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class ListTyping : public EditorKeys, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListTyping, TheViewFollowsAndThePostStoresWhatIsShown) {
    const ListCase& c = GetParam();
    makeTest({c.record});
    editActive();
    plat::DBListBox* list = editor().*(c.list);
    tabTo(list);
    press(c.key);
    const QListWidgetItem* item = list->currentItem();
    ASSERT_TRUE(item && item->isSelected());
    EXPECT_EQ(item->text(), c.want);

    korvel::TForm1& f = editor();
    for (QWidget* w : std::initializer_list<QWidget*>{f.DBMemo1, f.DBVoprRTF, f.DBVoprBMP})
        EXPECT_EQ(!w->isHidden(), w->objectName() == c.question) << w->objectName().toStdString();
    int rows = 0;
    for (int k = 1; k <= 7; ++k) rows += !f.answer(k)->isHidden();
    EXPECT_EQ(rows, c.rows);

    tabTo(f.DBNavigator1, /*back=*/true);
    pressNavigator(plat::nbPost);
    EXPECT_EQ(f.Table1.state(), plat::db::Table::State::Browse);
    EXPECT_EQ(stored(1, c.field), c.want);
    EXPECT_EQ(list->currentItem()->text(), c.want);
}

const Record kChoice3{{"VoprStyle", "1"}, {"TypeVopr", "1"}, {"MaxOtv", "3"}};
const Record kTyped3{{"VoprStyle", "1"}, {"TypeVopr", "2"}, {"MaxOtv", "3"}};

INSTANTIATE_TEST_SUITE_P(
    Cases, ListTyping,
    ::testing::Values(ListCase{"StyleTyped", &korvel::TForm1::DBVoprStyle, kChoice3, Qt::Key_2,
                               "VoprStyle", "2", "DBVoprRTF", 3},
                      ListCase{"StyleEnd", &korvel::TForm1::DBVoprStyle, kChoice3, Qt::Key_End,
                               "VoprStyle", "3", "DBVoprBMP", 3},
                      ListCase{"KindTyped", &korvel::TForm1::DBListBox1, kTyped3, Qt::Key_1,
                               "TypeVopr", "1", "DBMemo1", 3},
                      ListCase{"KindDown", &korvel::TForm1::DBListBox1, kChoice3, Qt::Key_Down,
                               "TypeVopr", "2", "DBMemo1", 1},
                      ListCase{"CountTyped", &korvel::TForm1::DBListBox2, kChoice3, Qt::Key_1,
                               "MaxOtv", "1", "DBMemo1", 1},
                      ListCase{"CountUp", &korvel::TForm1::DBListBox2, kChoice3, Qt::Key_Up,
                               "MaxOtv", "2", "DBMemo1", 2},
                      ListCase{"CountPageDown", &korvel::TForm1::DBListBox2, kChoice3,
                               Qt::Key_PageDown, "MaxOtv", "7", "DBMemo1", 7}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
