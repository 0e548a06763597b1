// Bound controls and the navigator over a real table file.
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/controls.h"
#include "platform/dbctl/navigator.h"
#include "platform/dbctl/picture.h"
#include "tests/harness/harness.h"

#include <QApplication>
#include <QMimeData>
#include <QTest>

using namespace plat;
using db::FieldDef;
using db::FieldType;
using db::Table;
using State = db::Table::State;
using testing_support::typeText;

namespace {

class DbCtl : public testing_support::TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        makeTable({{"Number", FieldType::AutoInc, 0},
                   {"Name", FieldType::String, 10},
                   {"Text", FieldType::String, 40},
                   {"Flag", FieldType::Boolean, 0},
                   {"Pic", FieldType::Blob, 0},
                   {"Kind", FieldType::String, 1}});
    }
    void addRecords(const QStringList& names) {
        for (const QString& n : names) {
            t.insert();
            t.fieldByName("Name").setAsString(n);
            t.post();
        }
    }
};

TEST_F(DbCtl, TypedTextPostedByTheNavigatorIsInTheFile) {
    t.open();
    DBEdit edit;
    edit.setDataSource(&ds);
    edit.setDataField("Name");
    DBMemo memo;
    memo.setDataSource(&ds);
    memo.setDataField("Text");
    DBNavigator nav;
    nav.setDataSource(&ds);
    QList<NavBtn> clicks;
    QObject::connect(&nav, &DBNavigator::clicked, [&](NavBtn b) { clicks << b; });

    nav.btnClick(nbInsert);
    typeText(&edit, "Имя и фамилия");  // longer than the field
    EXPECT_EQ(edit.text(), "Имя и фами");
    typeText(&memo, "две\nстроки");
    nav.btnClick(nbPost);
    EXPECT_EQ(clicks, (QList<NavBtn>{nbInsert, nbPost}));
    EXPECT_EQ(t.state(), State::Browse);
    t.close();
    s.close();

    db::Session fresh;
    fresh.addPassword(kTablePassword);
    Table again(fresh);
    again.setTableName("T.DB");
    again.open();
    ASSERT_EQ(again.recordCount(), 1);
    EXPECT_EQ(again.fieldByName("Name").asString(), "Имя и фами");
    EXPECT_EQ(again.fieldByName("Text").asString(), "две\r\nстроки");
}

TEST_F(DbCtl, TypingPutsTheRecordIntoEditAndCloseDropsIt) {
    t.open();
    addRecords({"abc"});
    DBEdit edit;
    edit.setDataSource(&ds);
    edit.setDataField("Name");
    EXPECT_EQ(edit.text(), "abc");
    EXPECT_EQ(edit.maxLength(), 10);
    edit.setCursorPosition(3);
    typeText(&edit, "d");
    EXPECT_EQ(t.state(), State::Edit);
    EXPECT_EQ(edit.text(), "abcd");  // the edit did not move the cursor
    t.close();
    EXPECT_EQ(edit.text(), "");
    t.open();
    EXPECT_EQ(edit.text(), "abc");

    // Text a window puts into a memo in browse mode is only shown.
    DBMemo memo;
    memo.setDataSource(&ds);
    memo.setDataField("Text");
    memo.setPlainText("shown only");
    EXPECT_EQ(t.state(), State::Browse);
    EXPECT_TRUE(t.fieldByName("Text").isNull());
}

TEST_F(DbCtl, ControlsOnALockedRecordShowTheErrorAndChangeNothing) {
    t.open();
    addRecords({"abc"});
    other.open();
    other.edit();  // another owner holds the record

    DBEdit edit;
    edit.setDataSource(&ds);
    edit.setDataField("Name");
    DBCheckBox check;
    check.setDataSource(&ds);
    check.setDataField("Flag");
    DBListBox list;
    list.addItems({"1", "2"});
    list.setDataSource(&ds);
    list.setDataField("Kind");
    int clicks = 0;
    QObject::connect(&list, &DBListBox::click, [&] { ++clicks; });

    for (int i = 0; i < 3; ++i) ui.expect(BoxKind::StandardError);
    typeText(&edit, "x");
    check.click();
    list.choose(1);

    ASSERT_EQ(ui.boxes().size(), 3);
    for (const Box& b : ui.boxes())
        EXPECT_TRUE(b.text.contains("Запись заблокирована")) << b.text.toStdString();
    EXPECT_EQ(edit.text(), "abc");
    EXPECT_EQ(check.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(list.currentItem(), nullptr);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(t.state(), State::Browse);
}

TEST_F(DbCtl, CheckBoxShowsNullGreyedAndAClickTicksIt) {
    t.open();
    addRecords({"a"});
    DBCheckBox check;
    check.setDataSource(&ds);
    check.setDataField("Flag");
    EXPECT_EQ(check.checkState(), Qt::PartiallyChecked);
    check.click();
    EXPECT_EQ(check.checkState(), Qt::Checked);
    EXPECT_EQ(t.fieldByName("Flag").asString(), "True");
    check.click();
    EXPECT_EQ(t.fieldByName("Flag").asString(), "False");
    t.post();
    EXPECT_EQ(check.checkState(), Qt::Unchecked);
}

TEST_F(DbCtl, ListBoxFollowsTheFieldAndStoresBeforeItsClick) {
    t.open();
    addRecords({"a", "b"});
    t.first();
    t.edit();
    t.fieldByName("Kind").setAsString("2");
    t.post();
    DBListBox list;
    list.setDataSource(&ds);
    list.setDataField("Kind");
    list.addItems({"1", "2", "3"});
    EXPECT_EQ(list.currentRow(), 1);
    t.next();  // Kind empty: no item
    EXPECT_EQ(list.currentItem(), nullptr);

    QString seen;
    State seenState = State::Inactive;
    QObject::connect(&list, &DBListBox::click, [&] {
        seen = t.fieldByName("Kind").asString();
        seenState = t.state();
    });
    list.show();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(2)).center());
    EXPECT_EQ(seen, "3");
    EXPECT_EQ(seenState, State::Edit);
    EXPECT_TRUE(list.item(2)->isSelected());
}

TEST_F(DbCtl, ImageReadsBothFormsStoresBmpAndDrawsCentredOnCream) {
    QImage red(4, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QByteArray bmp = bmpBytes(red);
    QByteArray prefixed("\x01\x00\x00\x01", 4);
    const quint32 n = quint32(bmp.size());
    for (int i = 0; i < 4; ++i) prefixed.append(char((n >> (8 * i)) & 0xff));
    prefixed += bmp;

    t.open();
    DBImage image;
    image.resize(20, 10);
    image.setDataSource(&ds);
    image.setDataField("Pic");
    for (const QByteArray& blob : {bmp, prefixed}) {
        t.insert();
        t.fieldByName("Pic").setAsBytes(blob);
        t.post();
        ASSERT_FALSE(image.picture().isNull());
        const QImage shot = image.grab().toImage();
        EXPECT_EQ(shot.pixelColor(0, 0), DBImage::clCream());
        EXPECT_EQ(shot.pixelColor(9, 4), QColor(Qt::red));  // (20-4)/2 = 8 .. 11
        EXPECT_EQ(shot.pixelColor(7, 4), DBImage::clCream());
    }
    t.insert();
    t.fieldByName("Pic").setAsBytes("GIF89a not a bitmap");
    t.post();
    EXPECT_TRUE(image.picture().isNull());

    t.edit();
    ASSERT_TRUE(image.setPicture(red));
    t.post();
    EXPECT_TRUE(t.fieldByName("Pic").asBytes().startsWith("BM"));
    EXPECT_EQ(imageFromBlob(t.fieldByName("Pic").asBytes()).size(), QSize(4, 2));
}

// Hidden controls skip reading their field on a move; they must never show, hand out or
// write another record's content for it. The parent is never put on the screen.
TEST_F(DbCtl, HiddenControlsShowTheCurrentRecordWhenShownAgain) {
    t.open();
    const QColor colours[] = {Qt::red, Qt::blue, Qt::green};
    for (int i = 0; i < 3; ++i) {
        QImage img(9, 3, QImage::Format_RGB32);
        img.fill(colours[i]);
        t.insert();
        t.fieldByName("Name").setAsString(QString("n%1").arg(i + 1));
        t.fieldByName("Text").setAsString(QString("t%1").arg(i + 1));
        t.fieldByName("Pic").setAsBytes(bmpBytes(img));
        t.post();
    }
    QWidget parent;
    DBEdit edit(&parent);
    DBMemo memo(&parent);
    DBImage image(&parent);
    edit.setDataSource(&ds);
    edit.setDataField("Name");
    memo.setDataSource(&ds);
    memo.setDataField("Text");
    image.setDataSource(&ds);
    image.setDataField("Pic");
    t.first();
    for (QWidget* w : std::initializer_list<QWidget*>{&edit, &memo, &image}) w->hide();
    t.next();
    t.next();
    EXPECT_EQ(image.picture().pixelColor(0, 0), QColor(Qt::green));
    edit.show();
    memo.show();
    EXPECT_EQ(edit.text(), "n3");
    EXPECT_EQ(memo.toPlainText(), "t3");

    // A paste into a hidden memo edits the current record, not what the memo last showed.
    memo.hide();
    t.prior();
    QMimeData clip;
    clip.setText("+");
    memo.pasteFrom(&clip);
    EXPECT_EQ(t.state(), State::Edit);
    EXPECT_EQ(t.fieldByName("Text").asString(), memo.toPlainText());
    EXPECT_TRUE(memo.toPlainText().contains("t2")) << memo.toPlainText().toStdString();
    t.cancel();

    // Text set from code on a hidden memo is what it shows, as on a shown one.
    t.next();
    memo.setPlainText("from code");
    memo.show();
    EXPECT_EQ(memo.toPlainText(), "from code");
    EXPECT_EQ(t.fieldByName("Text").asString(), "t3");
}

TEST_F(DbCtl, ControlsFindTheirFieldAgainInAReopenedTable) {
    t.open();
    addRecords({"first"});
    DBEdit edit;
    edit.setDataSource(&ds);
    edit.setDataField("Name");
    EXPECT_EQ(edit.text(), "first");
    t.close();
    EXPECT_EQ(edit.text(), "");
    // Another field set, where Name stands at another place.
    t.setFieldDefs({{"Kind", FieldType::String, 1}, {"Name", FieldType::String, 10}});
    t.open();
    EXPECT_EQ(edit.text(), "first");
    t.edit();
    typeText(&edit, "!");
    t.post();
    EXPECT_EQ(t.fieldByName("Name").asString(), "!first");
    EXPECT_EQ(t.fieldByName("Kind").asString(), "");
}

// The navigator's enabled buttons in each state of the table.
TEST_F(DbCtl, NavigatorEnablesItsButtonsFromTheTable) {
    DBNavigator nav;
    nav.setDataSource(&ds);
    auto enabled = [&] {
        QString r;
        for (int i = 0; i < kNavButtons; ++i) r += nav.isButtonEnabled(NavBtn(i)) ? '1' : '0';
        return r.toStdString();
    };
    //                     F P N L I D E P C R
    EXPECT_EQ(enabled(), "0000000000") << "closed";
    t.open();
    EXPECT_EQ(enabled(), "0000101001") << "empty";
    nav.btnClick(nbInsert);
    EXPECT_EQ(enabled(), "1111110111") << "inserting into an empty table";
    nav.btnClick(nbPost);
    addRecords({"b", "c"});
    struct Row {
        std::function<void()> act;
        const char* want;
        const char* what;
    } rows[] = {
        {[&] { nav.btnClick(nbFirst); }, "0011111001", "at the first record"},
        {[&] { nav.btnClick(nbNext); }, "1111111001", "in the middle"},
        {[&] { nav.btnClick(nbLast); }, "1100111001", "at the last record"},
        {[&] { nav.btnClick(nbNext); }, "1100111001", "past the end"},
        {[&] { nav.btnClick(nbEdit); }, "1100110111", "editing"},
        {[&] { nav.btnClick(nbCancel); }, "1100111001", "cancelled"},
        {[&] { nav.btnClick(nbPrior); }, "1111111001", "back one"},
        {[&] {
             nav.btnClick(nbPrior);
             nav.btnClick(nbPrior);
         },
         "0011111001", "before the start"},
        {[&] { t.close(); }, "0000000000", "closed again"},
    };
    for (const Row& r : rows) {
        r.act();
        EXPECT_EQ(enabled(), r.want) << r.what;
    }
}

TEST_F(DbCtl, NavigatorDeleteAsksAndClickFollowsUnlessTheActionFailed) {
    t.open();
    addRecords({"a", "b"});
    DBNavigator nav;
    nav.setDataSource(&ds);
    nav.setHints({"первый", "предыдущий"});
    EXPECT_EQ(nav.button(nbPrior)->toolTip(), "предыдущий");
    EXPECT_EQ(nav.button(nbNext)->toolTip(), "");
    QList<NavBtn> clicks;
    QObject::connect(&nav, &DBNavigator::clicked, [&](NavBtn b) { clicks << b; });
    nav.btnClick(nbFirst);

    ui.expect(BoxKind::Confirmation, "Delete record?", Answer::Cancel);
    nav.btnClick(nbDelete);
    EXPECT_EQ(t.recordCount(), 2);
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(ui.boxes()[0].buttons, (QList<Button>{Button::Ok, Button::Cancel}));

    other.open();
    other.edit();
    ui.expect(BoxKind::Confirmation, "Delete record?", Answer::Ok).expect(BoxKind::StandardError);
    nav.btnClick(nbDelete);  // the record is locked: no click
    ui.expect(BoxKind::StandardError);
    nav.btnClick(nbEdit);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.state(), State::Browse);
    other.cancel();

    ui.expect(BoxKind::Confirmation, "Delete record?", Answer::Ok);
    nav.btnClick(nbDelete);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_EQ(t.fieldByName("Name").asString(), "b");
    EXPECT_EQ(clicks, (QList<NavBtn>{nbFirst, nbDelete, nbDelete}));
}

}  // namespace
