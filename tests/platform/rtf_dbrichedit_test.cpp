// The rich edit bound to a blob field, over a real table file.
#include "platform/db/create.h"
#include "platform/db/session.h"
#include "platform/dbctl/dbrichedit.h"
#include "platform/rtf/plaintext.h"
#include "rtf_support.h"
#include "tests/harness/harness.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace plat;
using db::FieldType;
using db::Table;
using State = db::Table::State;
using testing_support::typeText;

namespace {

const QByteArray kRtf = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe3+}";
const QByteArray kNotRtf = "\xcf\xf0\xee\xf1\xf2\xee \x01\x02 bytes";  // "Просто"

class RtfDbRichEdit : public testing_support::TableTest {
protected:
    void SetUp() override {
        TableTest::SetUp();
        makeTable({{"Number", FieldType::AutoInc, 0}, {"VoprRTF", FieldType::Blob, 0}});
        t.open();
        for (const QByteArray& b : {kRtf, QByteArray(), kNotRtf}) {
            t.insert();
            t.fieldByName("VoprRTF").setAsBytes(b);
            t.post();
        }
        t.first();
        edit.setDataSource(&ds);
        edit.setDataField("VoprRTF");
    }
    QByteArray stored(int recNo) {
        t.setRecNo(recNo);
        return t.fieldByName("VoprRTF").asBytes();
    }
    void selectAll() {
        QTextCursor c = edit.textCursor();
        c.select(QTextCursor::Document);
        edit.setTextCursor(c);
    }

    DBRichEdit edit;
};

TEST_F(RtfDbRichEdit, ShowsEachRecordsFieldAndKeepsUnchangedBytes) {
    EXPECT_EQ(edit.plainText(), "Fe3+");
    t.next();
    EXPECT_EQ(edit.plainText(), "");
    t.next();
    EXPECT_EQ(edit.plainText(), "Просто  bytes");

    // An edit and a post with nothing typed write nothing back.
    t.edit();
    t.post();
    t.first();
    t.edit();
    t.post();
    EXPECT_EQ(stored(3), kNotRtf);
    EXPECT_EQ(stored(1), kRtf);
    EXPECT_TRUE(stored(2).isEmpty());
}

TEST_F(RtfDbRichEdit, TypingStartsTheEditAndThePostWritesRtf) {
    t.last();
    edit.setFocus();
    edit.moveCursor(QTextCursor::End);
    typeText(&edit, "!");
    EXPECT_EQ(t.state(), State::Edit);
    t.post();
    const QByteArray bytes = stored(3);
    EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1251")) << bytes.data();
    EXPECT_EQ(rtf::plainText(bytes), "Просто  bytes!");
}

TEST_F(RtfDbRichEdit, OffsetInBrowseModeAsksForTheEditAndIsPosted) {
    selectAll();
    edit.setSelectionOffset(70);
    EXPECT_EQ(t.state(), State::Edit);
    t.post();
    EXPECT_TRUE(stored(1).contains("\\up7 Fe3+")) << stored(1).data();
}

TEST_F(RtfDbRichEdit, MovingAwayPostsAChangeAndCancelDropsIt) {
    selectAll();
    edit.setSelectionOffset(-70);
    t.next();  // posts the changed record
    EXPECT_EQ(t.state(), State::Browse);
    EXPECT_TRUE(stored(1).contains("\\dn7 Fe3+")) << stored(1).data();

    t.setRecNo(2);
    edit.insertPlainText("x");
    EXPECT_EQ(t.state(), State::Edit);
    t.cancel();
    EXPECT_EQ(edit.plainText(), "");
    EXPECT_TRUE(stored(2).isEmpty());
}

TEST_F(RtfDbRichEdit, ALockedRecordShowsTheErrorAndKeepsTheContent) {
    other.open();
    other.edit();
    ui.expect(plat::BoxKind::StandardError).expect(plat::BoxKind::StandardError);
    edit.setFocus();
    typeText(&edit, "x");
    selectAll();
    edit.setSelectionOffset(70);
    ASSERT_EQ(ui.boxes().size(), 2);
    EXPECT_TRUE(ui.boxes()[0].text.contains("Запись заблокирована"))
        << ui.boxes()[0].text.toStdString();
    EXPECT_EQ(edit.plainText(), "Fe3+");
    EXPECT_EQ(rtf_support::summaryOf(*edit.document(), "Fe"), "Arial 12");
    EXPECT_EQ(t.state(), State::Browse);
    other.cancel();
}

TEST_F(RtfDbRichEdit, ReadOnlyShowsButNeverEdits) {
    edit.setReadOnly(true);
    edit.setFocus();
    typeText(&edit, "x");
    QApplication::clipboard()->setText("y");
    edit.paste();
    EXPECT_EQ(edit.plainText(), "Fe3+");
    EXPECT_EQ(t.state(), State::Browse);
    t.next();
    t.next();
    EXPECT_EQ(edit.plainText(), "Просто  bytes");
}

}  // namespace
