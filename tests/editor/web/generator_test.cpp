// The web test generated from a test table alone, with no editor window: every question
// read from its record.
#include "editor/web/generator.h"

#include "editor/web/jpeg.h"
#include "tests/editor/web/web_editor_fixture.h"
#include "tests/editor/web/web_page_support.h"

#include <QDir>
#include <QFileInfo>

using namespace testing_support;
using namespace web_test;

namespace {

class TableGenerator : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        ui.setTitle(QStringLiteral("korvel"));
        QDir::setCurrent(work());
        QFile::copy(QCoreApplication::applicationDirPath() + "/../korvel/new.CRO",
                    inWork("new.CRO"));
    }
    void TearDown() override {
        table.close();
        SessionTest::TearDown();
    }
    void open(const QList<Record>& records) {
        writeTest(inWork("Т.DB"), records);
        table.setTableName("Т.DB");
        table.open();
    }
    // The lines of block i after its opening line, up to its end.
    QStringList block(int i) {
        const QByteArray bytes = get(inWork("Т.HTML"));
        const QByteArray head = get(inWork("new.CRO"));
        EXPECT_TRUE(bytes.startsWith(head));
        const QStringList lines = pageLines(bytes.mid(head.size()));
        const qsizetype at = lines.indexOf(
            QStringLiteral("<div id=\"block_v%1\" style=\"display:  none;\"> <Table> <TR> <TD>")
                .arg(i));
        if (at < 0) return {};
        return lines.mid(at + 1, lines.indexOf("</TD> </TR> </Table> </div>", at) - at);
    }
    plat::db::Table table;
};

TEST_F(TableGenerator, ReadsEveryQuestionFromItsRecord) {
    QImage picture(12, 6, QImage::Format_RGB32);
    picture.fill(qRgb(0, 90, 200));
    Record cut = choice("сколько?", {"один", "два", "три", "четыре", "пять"}, {1, 5});
    cut["MaxOtv"] = "2";  // row 5 is right but not shown: row 1 is the only right one
    Record rich = choice("не этот", {"a"}, {1});
    rich["VoprStyle"] = "2";
    rich["VoprRTF"] = QByteArray("{\\rtf1\\ansi Fe{\\super 3+}\\par ion\\par}");
    Record broken = typed("не показан", "ответ");
    broken["VoprStyle"] = "9";
    Record lines = choice("a\r\nb\rc", {"x"}, {});
    lines["TypeVopr"] = "";  // no kind: a choice
    open({cut, rich, pictureChoice(picture, {"да", "нет"}, {2}), broken, lines});
    ui.expect(plat::BoxKind::Plain, QStringLiteral("ошибка"));

    ASSERT_TRUE(korvel::web::GenerateWebTest(table, ui, "Т", "Т.DB"));

    EXPECT_EQ(ui.boxes().size(), 1);
    EXPECT_EQ(table.recNo(), 5);
    EXPECT_EQ(block(1).mid(0, 7),
              (QStringList{QStringLiteral("сколько?<BR>"), "", "</TD></TR><TR><TD>",
                           QStringLiteral("Варианты ответа: <BR>"),
                           QStringLiteral(" <LABEL> <INPUT type=\"radio\" name=\"C11\" value=1> "
                                          "один </LABEL> <BR>"),
                           QStringLiteral(" <LABEL> <INPUT type=\"radio\" name=\"C11\" value=2> "
                                          "два </LABEL> <BR>"),
                           "</TD></TR><TR><TD align=center  height=\"40\" >"}));
    EXPECT_EQ(block(2).mid(0, 4), (QStringList{"Fe3+<BR>", "ion<BR>", "", "</TD></TR><TR><TD>"}));
    EXPECT_EQ(block(3).mid(0, 4),
              (QStringList{"<img src=\"%D0%A2GrV3.jpg\" width=100%>", "</TD></TR><TR><TD>",
                           "</TD></TR><TR><TD>", QStringLiteral("Варианты ответа: <BR>")}));
    EXPECT_EQ(get(inWork(QStringLiteral("ТGrV3.jpg"))), korvel::web::EncodeJpeg(picture));
    // No question part for a style outside "1" to "3"; the typed answer follows.
    EXPECT_EQ(block(4)[0],
              QStringLiteral("Введите с клавиатуры правильный ответ без пробелов: <BR>"));
    EXPECT_EQ(block(5).mid(0, 5),
              (QStringList{"a<BR>", "b<BR>", "c<BR>", "", "</TD></TR><TR><TD>"}));
}

TEST_F(TableGenerator, SavesAnEditedRecordFirstAndCountsIt) {
    open({typed("первый", "а")});
    table.insert();
    table.fieldByName("Vopr").setAsString(QStringLiteral("новый"));
    table.fieldByName("VoprStyle").setAsString("1");

    ASSERT_TRUE(korvel::web::GenerateWebTest(table, ui, "Т", "Т.DB"));

    EXPECT_EQ(table.state(), plat::db::Table::State::Browse);
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(block(2)[0], QStringLiteral("новый<BR>"));
}

TEST_F(TableGenerator, AWalkThatCannotLeaveTheEditWritesNothing) {
    open({typed("первый", "а")});
    korvel::web::Walk walk;
    walk.leaveEdit = [] { return false; };
    EXPECT_FALSE(korvel::web::GenerateWebTest(table, ui, "Т", "Т.DB", walk));
    EXPECT_FALSE(QFileInfo::exists(inWork("Т.HTML")));
}

}  // namespace
