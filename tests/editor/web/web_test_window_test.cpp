// "Создание Web теста" in the question editor: the walk through the questions, the page
// and pictures on disk, the browser, and the stops.
#include "editor/web/displaylines.h"
#include "editor/web/jpeg.h"
#include "tests/editor/web/web_editor_fixture.h"
#include "tests/editor/web/web_page_support.h"
#include "tests/harness/disk.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextBlock>
#include <QTextLayout>
#include <cerrno>
#include <vector>

using namespace testing_support;
using namespace web_test;
using plat::BoxKind;

namespace {

class WebTestButton : public WebEditorTest {
protected:
    // The generated part of the page, after the head, in lines.
    QStringList generated(const QString& page) {
        const QByteArray bytes = get(inWork(page));
        EXPECT_TRUE(bytes.startsWith(head())) << "the head is not copied as it is";
        const QByteArray tail = bytes.mid(head().size());
        EXPECT_TRUE(isAscii(tail));
        return pageLines(tail);
    }
    // The lines of block i, its opening line excluded, up to the next block.
    static QStringList blockOf(const QStringList& lines, int i) {
        const qsizetype at = lines.indexOf(
            QStringLiteral("<div id=\"block_v%1\" style=\"display:  none;\"> <Table> <TR> <TD>")
                .arg(i));
        if (at < 0) return {};
        const qsizetype end = lines.indexOf("</TD> </TR> </Table> </div>", at);
        return lines.mid(at + 1, end - at);
    }
};

TEST_F(WebTestButton, WritesThePageWalkingEveryQuestionAndOpensIt) {
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 30));
    openTest(QStringLiteral("Физика"),
             {choice("Цвет неба?", {"синий", "зелёный"}, {1}), typed("Кто открыл закон?", "Ньютон"),
              pictureChoice(picture, {"да", "нет"}, {1})});
    editor().DBNavigator1->btnClick(plat::nbNext);  // the run starts from anywhere

    editor().Button1->click();

    EXPECT_TRUE(ui.boxes().isEmpty());
    EXPECT_EQ(frame->unit.WebTestName, QStringLiteral("Физика"));
    EXPECT_EQ(shell.opened, QStringList{QStringLiteral("Физика.HTML")});
    // The table stays on the last question, which the editor shows.
    EXPECT_EQ(editor().Label12->text(), "3");
    EXPECT_EQ(editor().Table1.recNo(), 3);
    EXPECT_FALSE(editor().DBVoprBMP->isHidden());

    const QStringList lines = generated(QStringLiteral("Физика.HTML"));
    ASSERT_GE(lines.size(), 26);
    EXPECT_EQ(lines[0], "var room = new CheckTasks(3); Body();");
    EXPECT_EQ(lines[9], QStringLiteral("Физика.DB"));
    EXPECT_EQ(lines.last(), "</FORM></BODY></HTML>");
    EXPECT_EQ(blockOf(lines, 1).mid(0, 5),
              (QStringList{QStringLiteral("Цвет неба?<BR>"), "", "</TD></TR><TR><TD>",
                           QStringLiteral("Варианты ответа: <BR>"),
                           QStringLiteral(" <LABEL> <INPUT type=\"radio\" name=\"C11\" value=1>"
                                          " синий </LABEL> <BR>")}));
    EXPECT_EQ(blockOf(lines, 2)[6],
              QStringLiteral("'Ньютон'.toLowerCase()) room.Answer = room.Yes;"));
    EXPECT_EQ(blockOf(lines, 3)[0], QStringLiteral("<img src=\"%D0%A4%D0%B8%D0%B7%D0%B8%D0%BA%D0%B0"
                                                   "GrV3.jpg\" width=100%>"));
    QImage back;
    ASSERT_TRUE(back.load(inWork(QStringLiteral("ФизикаGrV3.jpg")), "JPG"));
    EXPECT_EQ(back.size(), QSize(40, 20));
}

TEST_F(WebTestButton, BreaksTextWhereTheBoxBreaksIt) {
    // Wide letters, so that the field's 255 characters make three lines of the box; a
    // closing line break adds no line.
    QString words;
    for (int k = 0; words.size() < 240; ++k) words += QStringLiteral("ШЖЮЩ%1 ").arg(k);
    words = words.trimmed();
    openTest("Т", {choice(words + "\r\n", {"a"}, {1}), choice(words, {"a"}, {1})});

    const QStringList shown = korvel::web::DisplayLines(*editor().DBMemo1);
    const QTextLayout* own = editor().DBMemo1->document()->firstBlock().layout();
    ASSERT_GE(own->lineCount(), 3) << "the box does not wrap the text";
    ASSERT_EQ(shown.size(), own->lineCount());
    for (int k = 0; k < own->lineCount(); ++k)
        EXPECT_EQ(shown[k], words.mid(own->lineAt(k).textStart(), own->lineAt(k).textLength()));

    editor().Button1Click();
    const QStringList lines = generated("Т.HTML");
    const QStringList first = blockOf(lines, 1), second = blockOf(lines, 2);
    ASSERT_EQ(first.size(), shown.size() + 2 + 9);
    EXPECT_EQ(first.mid(0, shown.size() + 1), second.mid(0, shown.size() + 1));
    for (int k = 0; k < shown.size(); ++k) EXPECT_EQ(first[k], shown[k] + "<BR>");
    EXPECT_EQ(first[shown.size()], "");
}

TEST_F(WebTestButton, RichTextGivesItsPlainTextInLinesAndLeavesTheRecordAsItIs) {
    Record rich = choice("старый текст", {"a"}, {1});
    rich["VoprStyle"] = "2";
    rich["VoprRTF"] = QByteArray(
        "{\\rtf1\\ansi\\ansicpg1251 Fe{\\super 3+} ion\\par "
        "\\'e2\\'f2\\'ee\\'f0\\'e0\\'ff \\'b9 2\\par}");
    openTest("Т", {rich, choice("простой", {"a"}, {1})});

    editor().Button1Click();

    const QStringList block = blockOf(generated("Т.HTML"), 1);
    ASSERT_GE(block.size(), 3);
    EXPECT_EQ(block[0], "Fe3+ ion<BR>");
    // The text part puts a blank before "№" of its own.
    EXPECT_EQ(block[1], QStringLiteral("вторая  № 2<BR>"));
    EXPECT_EQ(block[2], "");
    EXPECT_EQ(editor().Table1.state(), plat::db::Table::State::Browse);
    editor().DBNavigator1->btnClick(plat::nbFirst);
    EXPECT_EQ(editor().DBMemo1->toPlainText(), QStringLiteral("старый текст"));
}

TEST_F(WebTestButton, AQuestionBeingAddedCountsOnceTheRunSavesIt) {
    openTest("Т", {typed("первый", "а")});
    editor().DBNavigator1->btnClick(plat::nbInsert);
    editor().DBMemo1->setFocus();
    typeText(editor().DBMemo1, QStringLiteral("новый"));

    editor().Button1Click();

    EXPECT_EQ(editor().Table1.recordCount(), 2);
    EXPECT_EQ(editor().Label12->text(), "2");
    const QStringList lines = generated("Т.HTML");
    EXPECT_EQ(lines[0], "var room = new CheckTasks(2); Body();");
    EXPECT_EQ(blockOf(lines, 2)[0], QStringLiteral("новый<BR>"));
}

TEST_F(WebTestButton, DecliningToReplaceThePageChangesNothing) {
    openTest("Т", {typed("первый", "а")});
    put(inWork("Т.HTML"), "old page");
    ui.expect(BoxKind::Confirmation, QStringLiteral("Т.HTML уже существует, хотите обновить?"),
              plat::Answer::No);
    ui.expect(BoxKind::Plain, QStringLiteral("копирование файла new.CRO в Т.HTML не выполнено"));
    editor().Label12->setText("-");

    editor().Button1Click();

    EXPECT_EQ(get(inWork("Т.HTML")), "old page");
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_EQ(editor().Label12->text(), "-");
    EXPECT_EQ(frame->unit.WebTestName, QStringLiteral("Т"));

    // Yes rebuilds it from the head, never appending to the old page.
    ui.expect(BoxKind::Confirmation, {}, plat::Answer::Yes);
    editor().Button1Click();
    EXPECT_EQ(generated("Т.HTML")[0], "var room = new CheckTasks(1); Body();");
    EXPECT_EQ(shell.opened.size(), 1);
}

TEST_F(WebTestButton, APictureThatCannotBeWrittenEndsTheRunInTheErrorBox) {
    openTest("Т",
             {typed("первый", "а"), pictureChoice(QImage(), {"да"}, {1}), typed("третий", "в")});
    ASSERT_TRUE(QDir(work()).mkdir(QStringLiteral("ТGrV2.jpg")));  // a folder in its place
    editor().DBNavigator1->btnClick(plat::nbLast);
    ui.expect(BoxKind::StandardError);

    editor().Button1Click();

    EXPECT_TRUE(ui.boxes()[0].text.contains(QStringLiteral("ТGrV2.jpg")))
        << ui.boxes()[0].text.toStdString();
    EXPECT_TRUE(shell.opened.isEmpty());
    // As the run's First left it, not the question where it stopped.
    EXPECT_EQ(editor().Label12->text(), "1");
    // No page stood before, and none is left: neither a cut one nor the bare head.
    EXPECT_FALSE(QFileInfo::exists(inWork("Т.HTML")));
}

// A full disk at a step of the picture's write or the page's (the head and the questions
// are written in one): the page and the picture of the run before stand as they were,
// nothing else is left, no browser opens, and the error box says so.
enum class Fails { Picture = 1, Page };  // the n-th file the run writes
struct FullCase {
    plat::fs::Change step;
    Fails file;
};

class EarlierRun : public WebTestButton {
protected:
    void SetUp() override {
        WebTestButton::SetUp();
        picture = QImage(16, 8, QImage::Format_RGB32);
        picture.fill(qRgb(10, 200, 30));
    }
    // The test Т of a text question and a picture question, with the page and picture that
    // an earlier run wrote, in folder (the working folder when empty).
    void openWithEarlierPage(const QString& folder = {}) {
        openTest("Т", {typed("первый", "а"), pictureChoice(picture, {"да"}, {1})}, folder);
        put(at("Т.HTML"), "the earlier page");
        put(at("ТGrV2.jpg"), "the earlier picture");
        before = files();
    }
    QString at(const QString& name) const { return QDir(QDir::currentPath()).filePath(name); }
    // The files of the editor's folder, hidden ones included.
    static QStringList files() {
        QStringList all = QDir(QDir::currentPath()).entryList(QDir::Files | QDir::Hidden);
        all.sort();
        return all;
    }
    void expectTheEarlierRun(bool pictureKept = true) {
        EXPECT_EQ(get(at("Т.HTML")), "the earlier page");
        if (pictureKept) {
            EXPECT_EQ(get(at("ТGrV2.jpg")), "the earlier picture");
        }
        EXPECT_EQ(files(), before);
        EXPECT_TRUE(shell.opened.isEmpty());
    }
    void expectDiskFullBox(const QString& file) {
        ASSERT_EQ(ui.boxes().size(), 2);
        const plat::Box& box = ui.boxes()[1];
        EXPECT_EQ(box.kind, BoxKind::StandardError);
        EXPECT_EQ(box.caption, "korvel");
        EXPECT_TRUE(box.text.contains(file)) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("диск заполнен"))) << box.text.toStdString();
    }
    QImage picture;
    QStringList before;
};

class WebPageFullDisk : public EarlierRun, public ::testing::WithParamInterface<FullCase> {};

TEST_P(WebPageFullDisk, LeavesTheEarlierPageAndPicture) {
    const FullCase c = GetParam();
    openWithEarlierPage();
    ui.expect(BoxKind::Confirmation, QStringLiteral("Т.HTML уже существует, хотите обновить?"),
              plat::Answer::Yes);
    ui.expect(BoxKind::StandardError);
    {
        testing_support::FailingSteps full(c.step, ENOSPC, int(c.file));
        editor().Button1Click();
        EXPECT_EQ(full.failed(), 1);
    }
    if (c.file == Fails::Picture) expectDiskFullBox(QStringLiteral("ТGrV2.jpg"));
    if (c.file == Fails::Page) expectDiskFullBox(QStringLiteral("Т.HTML"));
    // The picture is written before the page: a failed page leaves it new and whole.
    expectTheEarlierRun(c.file != Fails::Page);
    if (c.file == Fails::Page) {
        EXPECT_EQ(get(at("ТGrV2.jpg")), korvel::web::EncodeJpeg(picture));
    }

    // With room again, the same run writes the page whole.
    ui.expect(BoxKind::Confirmation, {}, plat::Answer::Yes);
    editor().Button1Click();
    EXPECT_EQ(generated("Т.HTML")[0], "var room = new CheckTasks(2); Body();");
    EXPECT_EQ(files(), before);
}

std::vector<FullCase> fullCases() {
    std::vector<FullCase> all;
    for (const plat::fs::Change step :
         {plat::fs::Change::Create, plat::fs::Change::Write, plat::fs::Change::Sync,
          plat::fs::Change::Close, plat::fs::Change::Rename})
        for (const Fails file : {Fails::Picture, Fails::Page}) all.push_back({step, file});
    return all;
}

std::string fullCaseName(const ::testing::TestParamInfo<FullCase>& info) {
    static const char* const steps[] = {"Create", "Write", "Sync", "Close", "Rename"};
    static const char* const files[] = {"", "Picture", "Page"};
    return std::string(steps[int(info.param.step)]) + files[int(info.param.file)];
}

INSTANTIATE_TEST_SUITE_P(Steps, WebPageFullDisk, ::testing::ValuesIn(fullCases()), fullCaseName);

// The same on a real disk, with no room at all and with a little.
class WebPageRealDisk : public EarlierRun, public ::testing::WithParamInterface<int> {};

TEST_P(WebPageRealDisk, LeavesTheEarlierPage) {
    const int room = GetParam();
    testing_support::SmallDisk disk(inWork("disk"), 128);
    if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
    openWithEarlierPage(inWork("disk"));
    put(at("room"), QByteArray(room, 'r'));
    disk.fill();
    QFile::remove(at("room"));
    before.append("filler");
    before.sort();
    ui.expect(BoxKind::Confirmation, {}, plat::Answer::Yes).expect(BoxKind::StandardError);
    editor().Button1Click();
    ASSERT_EQ(ui.boxes().size(), 2);
    EXPECT_TRUE(ui.boxes()[1].text.contains(QStringLiteral("диск заполнен")))
        << ui.boxes()[1].text.toStdString();
    EXPECT_EQ(get(at("Т.HTML")), "the earlier page");
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(shell.opened.isEmpty());
    frame.reset();  // the table closed before the disk goes
}

INSTANTIATE_TEST_SUITE_P(Room, WebPageRealDisk, ::testing::Values(0, 8192));

}  // namespace
