// Bound controls and the navigator driven from the keyboard: what a key changes goes into
// the record, Tab only moves on, and the navigator's buttons are pressed with keys.
#include "platform/db/session.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/dbrichedit.h"
#include "platform/dbctl/navigator.h"
#include "tests/harness/harness.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

using namespace plat;
using db::FieldType;
using State = db::Table::State;
using testing_support::typeText;

namespace {

class DbCtlKeys : public testing_support::TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        makeTable({{"Number", FieldType::AutoInc, 0},
                   {"Text", FieldType::String, 40},
                   {"Doc", FieldType::Blob, 0},
                   {"Kind", FieldType::String, 1}});
        t.open();
        t.insert();
        t.fieldByName("Text").setAsString("old text");
        t.post();
    }
    // Shown and active, so that keys go where the focus is.
    void showActive(QWidget& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    // A key to the focused widget, as the keyboard gives it.
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QWidget* to = QApplication::focusWidget();
        ASSERT_NE(to, nullptr);
        QTest::keyClick(to, key, mods);
    }
    static QString focused() {
        const QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QStringLiteral("<none>");
    }
};

// The three text controls, each between two plain edits in one window.
struct TextControl {
    const char* name;
    std::function<QWidget*(QWidget* parent, DataSource* ds)> make;
    std::function<QString(QWidget*)> text;
};

// A control of kind W bound to field.
template <class W>
QWidget* bound(QWidget* parent, DataSource* ds, const char* field) {
    auto* w = new W(parent);
    w->setDataSource(ds);
    w->setDataField(field);
    return w;
}

const TextControl kTextControls[] = {
    {"Edit", [](QWidget* p, DataSource* ds) { return bound<DBEdit>(p, ds, "Text"); },
     [](QWidget* w) { return static_cast<DBEdit*>(w)->text(); }},
    {"Memo", [](QWidget* p, DataSource* ds) { return bound<DBMemo>(p, ds, "Text"); },
     [](QWidget* w) { return static_cast<DBMemo*>(w)->toPlainText(); }},
    {"RichEdit", [](QWidget* p, DataSource* ds) { return bound<DBRichEdit>(p, ds, "Doc"); },
     [](QWidget* w) { return static_cast<DBRichEdit*>(w)->toPlainText(); }},
};

// What the user may do to the text, and whether it changes it.
struct TextChange {
    const char* name;
    std::function<void(QWidget*)> act;
    bool changes;
};

// The context menu's action: by Qt's name for it, or by its text where it has no name.
void triggerMenuAction(QWidget* w, const char* name, const char* text) {
    QMenu* menu = nullptr;
    if (auto* e = qobject_cast<QLineEdit*>(w)) menu = e->createStandardContextMenu();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) menu = e->createStandardContextMenu();
    if (auto* e = qobject_cast<QTextEdit*>(w)) menu = e->createStandardContextMenu();
    ASSERT_NE(menu, nullptr);
    QAction* found = nullptr;
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name) ||
            a->text().remove('&').section('\t', 0, 0) == QLatin1String(text))
            found = a;
    ASSERT_NE(found, nullptr) << name;
    ASSERT_TRUE(found->isEnabled()) << name;
    found->trigger();
    delete menu;
}

void selectAll(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->selectAll();
    if (auto* e = qobject_cast<QTextEdit*>(w)) e->selectAll();
}

const TextChange kTextChanges[] = {
    {"Tab", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab); }, false},
    {"CtrlTab", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Tab, Qt::ControlModifier); }, false},
    {"Typed", [](QWidget* w) { typeText(w, "ж"); }, true},
    {"MenuCut",
     [](QWidget* w) {
         selectAll(w);
         triggerMenuAction(w, "edit-cut", "Cut");
     },
     true},
    {"MenuDelete",
     [](QWidget* w) {
         selectAll(w);
         triggerMenuAction(w, "edit-delete", "Delete");
     },
     true},
};

struct TextCase {
    TextControl control;
    TextChange change;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.control.name << c.change.name; }

class TextInput : public DbCtlKeys, public ::testing::WithParamInterface<TextCase> {};

// Whatever reached the text is in the record when it is posted; what did not leaves the
// record in browse mode. No tab character gets in.
TEST_P(TextInput, WhatTheControlShowsIsWhatIsPosted) {
    const TextCase& c = GetParam();
    if (QString(c.control.name) == "RichEdit") {
        t.edit();
        t.fieldByName("Doc").setAsBytes("{\\rtf1 old text}");
        t.post();
    }
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* before = new QLineEdit(&window);
    before->setObjectName("before");
    QWidget* control = c.control.make(&window, &ds);
    control->setObjectName("control");
    auto* after = new QLineEdit(&window);
    after->setObjectName("after");
    for (QWidget* w : std::initializer_list<QWidget*>{before, control, after}) layout->addWidget(w);
    showActive(window);
    control->setFocus();
    const QString was = c.control.text(control);
    ASSERT_EQ(was, QStringLiteral("old text"));

    c.change.act(control);
    const QString shown = c.control.text(control);
    EXPECT_FALSE(shown.contains('\t'));
    if (!c.change.changes) {
        EXPECT_EQ(shown, was);
        EXPECT_EQ(t.state(), State::Browse);
        const bool tab = QString(c.change.name) == "Tab";
        EXPECT_EQ(focused(), tab ? "after" : "control");
        if (tab) {
            QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(focused(), "control");
        }
        return;
    }
    EXPECT_NE(shown, was);
    EXPECT_EQ(t.state(), State::Edit);
    t.post();
    t.refresh();  // the control shows the field as stored
    EXPECT_EQ(c.control.text(control), shown);
}

std::vector<TextCase> textCases() {
    std::vector<TextCase> r;
    for (const TextControl& c : kTextControls)
        for (const TextChange& ch : kTextChanges) r.push_back({c, ch});
    return r;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextInput, ::testing::ValuesIn(textCases()), [](const auto& info) {
    return std::string(info.param.control.name) + info.param.change.name;
});

// A change that no key check sees, on a record another program holds: the error shows and
// the text is as stored.
TEST_F(DbCtlKeys, AMenuChangeOnALockedRecordIsTakenBack) {
    other.open();
    other.edit();
    QWidget window;
    auto* memo = new DBMemo(&window);
    memo->setDataSource(&ds);
    memo->setDataField("Text");
    showActive(window);
    memo->setFocus();
    memo->selectAll();
    ui.expect(BoxKind::StandardError);
    triggerMenuAction(memo, "edit-cut", "Cut");
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("old text"));
    EXPECT_EQ(t.state(), State::Browse);
}

// A list of "1" to "7", the height of rowsShown rows, on a record whose Kind is start.
struct ListKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* start;  // "" for none
    const char* want;   // the item selected and stored afterwards ("" for none)
    int rowsShown = 7;
};

void PrintTo(const ListKey& c, std::ostream* os) { *os << c.name; }

class ListKeys : public DbCtlKeys, public ::testing::WithParamInterface<ListKey> {};

TEST_P(ListKeys, ChooseAsAClickDoes) {
    const ListKey& c = GetParam();
    t.edit();
    t.fieldByName("Kind").setAsString(c.start);
    t.post();
    QWidget window;
    auto* list = new DBListBox(&window);
    list->addItems({"1", "2", "3", "4", "5", "6", "7"});
    list->setDataSource(&ds);
    list->setDataField("Kind");
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->resize(60, list->sizeHintForRow(0) * c.rowsShown + 2 * list->frameWidth());
    int clicks = 0;
    QString seenAtClick;
    QObject::connect(list, &DBListBox::click, [&] {
        ++clicks;
        seenAtClick = t.fieldByName("Kind").asString();
    });
    showActive(window);
    list->setFocus();

    QTest::keyClick(list, c.key, c.mods);
    const QListWidgetItem* item = list->currentItem();
    const QString selected = item && item->isSelected() ? item->text() : QString();
    EXPECT_EQ(selected, c.want);
    EXPECT_EQ(t.fieldByName("Kind").asString(), c.want);
    const bool moved = QString(c.start) != c.want;
    EXPECT_EQ(clicks, moved ? 1 : 0);
    EXPECT_EQ(t.state(), moved ? State::Edit : State::Browse);
    if (moved) {
        EXPECT_EQ(seenAtClick, c.want);
        t.post();
        EXPECT_EQ(t.fieldByName("Kind").asString(), c.want);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListKeys,
    ::testing::Values(
        ListKey{"Down", Qt::Key_Down, {}, "2", "3"}, ListKey{"Right", Qt::Key_Right, {}, "2", "3"},
        ListKey{"Up", Qt::Key_Up, {}, "2", "1"}, ListKey{"Left", Qt::Key_Left, {}, "2", "1"},
        ListKey{"UpAtTheTop", Qt::Key_Up, {}, "1", "1"},
        ListKey{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, "2", "3"},
        ListKey{"DownFromNone", Qt::Key_Down, {}, "", "1"},
        ListKey{"Home", Qt::Key_Home, {}, "5", "1"}, ListKey{"End", Qt::Key_End, {}, "2", "7"},
        ListKey{"PageDown", Qt::Key_PageDown, {}, "1", "3", 3},
        ListKey{"PageUp", Qt::Key_PageUp, {}, "7", "5", 3},
        ListKey{"PageDownToTheEnd", Qt::Key_PageDown, {}, "6", "7", 3},
        ListKey{"TypedItem", Qt::Key_4, {}, "2", "4"},
        ListKey{"TypedItemFromNone", Qt::Key_1, {}, "", "1"},
        ListKey{"TypedSelectedItem", Qt::Key_2, {}, "2", "2"},
        ListKey{"TypedNoItem", Qt::Key_X, {}, "2", "2"},
        ListKey{"Space", Qt::Key_Space, {}, "", ""},
        ListKey{"CtrlSpace", Qt::Key_Space, Qt::ControlModifier, "3", "3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DbCtlKeys, AKeyInAListOnALockedRecordChangesNothing) {
    other.open();
    other.edit();
    QWidget window;
    auto* list = new DBListBox(&window);
    list->addItems({"1", "2"});
    list->setDataSource(&ds);
    list->setDataField("Kind");
    int clicks = 0;
    QObject::connect(list, &DBListBox::click, [&] { ++clicks; });
    showActive(window);
    list->setFocus();
    ui.expect(BoxKind::StandardError).expect(BoxKind::StandardError);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_2);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(list->selectedItems().size(), 0);
    EXPECT_EQ(clicks, 0);
}

// The navigator between two edits: Tab reaches it, the arrows frame a button, Space
// presses the framed one when it is enabled.
TEST_F(DbCtlKeys, NavigatorIsReachedAndPressedWithTheKeyboard) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new DBEdit(&window);
    edit->setObjectName("edit");
    edit->setDataSource(&ds);
    edit->setDataField("Text");
    auto* nav = new DBNavigator(&window);
    nav->setObjectName("nav");
    nav->setDataSource(&ds);
    nav->setMinimumSize(250, 25);
    auto* after = new QLineEdit(&window);
    after->setObjectName("after");
    for (QWidget* w : std::initializer_list<QWidget*>{edit, nav, after}) layout->addWidget(w);
    QList<NavBtn> clicks;
    QObject::connect(nav, &DBNavigator::clicked, [&](NavBtn b) { clicks << b; });
    showActive(window);
    edit->setFocus();

    typeText(edit, "!");
    ASSERT_EQ(t.state(), State::Edit);
    press(Qt::Key_Tab);
    ASSERT_EQ(focused(), "nav");
    EXPECT_EQ(nav->focusedButton(), nbFirst);
    // The frame is drawn on the framed button only while the bar has the focus.
    const QImage framed = nav->button(nbFirst)->grab().toImage();
    for (int i = 0; i < nbPost; ++i) press(Qt::Key_Right);
    EXPECT_EQ(nav->focusedButton(), nbPost);
    EXPECT_NE(nav->button(nbFirst)->grab().toImage(), framed);
    press(Qt::Key_Space);
    EXPECT_EQ(t.state(), State::Browse);
    EXPECT_EQ(t.fieldByName("Text").asString(), QStringLiteral("!old text"));
    EXPECT_EQ(focused(), "nav");

    // Post is off now: Space there does nothing. Three to the left is insert.
    press(Qt::Key_Space);
    for (int i = 0; i < 3; ++i) press(Qt::Key_Left);
    EXPECT_EQ(nav->focusedButton(), nbInsert);
    QTest::keyPress(nav, Qt::Key_Space);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(nav, &repeat);  // held down: one insert only
    EXPECT_EQ(t.state(), State::Insert);
    EXPECT_EQ(clicks, (QList<NavBtn>{nbPost, nbInsert}));

    // The frame stops at the ends; Tab goes on, Shift+Tab comes back.
    for (int i = 0; i < 12; ++i) press(Qt::Key_Right);
    EXPECT_EQ(nav->focusedButton(), nbRefresh);
    for (int i = 0; i < 12; ++i) press(Qt::Key_Left);
    EXPECT_EQ(nav->focusedButton(), nbFirst);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "after");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), "nav");

    // A click on a button gives the bar the focus and frames that button.
    edit->setFocus();
    QTest::mouseClick(nav->button(nbCancel), Qt::LeftButton);
    EXPECT_EQ(focused(), "nav");
    EXPECT_EQ(nav->focusedButton(), nbCancel);
    EXPECT_EQ(t.state(), State::Browse);
    EXPECT_EQ(clicks.last(), nbCancel);
}

}  // namespace
