// "Создание Web теста" in the question editor: the walk through the questions, the page
// and pictures on disk, the browser, and the stops.
#include "editor/web/blocks.h"
#include "editor/web/displaylines.h"
#include "editor/web/jpeg.h"
#include "editor/web/page.h"
#include "platform/rtf/plaintext.h"
#include "tests/editor/web/web_editor_fixture.h"
#include "tests/editor/web/web_page_support.h"
#include "tests/harness/disk.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QScrollBar>
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

// A question as the editor's controls show it once ShowCurrentQuestion has shown it: the
// selected items, the text box's lines (the rich text's plain text in it), the picture,
// the visible rows.
korvel::web::QuestionView shownByTheEditor(korvel::TForm1& form) {
    const auto chosen = [](const QListWidget* box) {
        const QListWidgetItem* item = box->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    };
    korvel::web::QuestionView q;
    q.style = chosen(form.DBVoprStyle);
    q.answerKind = chosen(form.DBListBox1);
    if (q.style == u"2")
        form.DBMemo1->setPlainText(plat::rtf::plainText(form.DBVoprRTF->document()));
    q.lines = korvel::web::DisplayLines(*form.DBMemo1);
    q.picture = form.DBVoprBMP->picture();
    for (int k = 1; k <= 7; ++k)
        if (!form.answer(k)->isHidden())
            q.rows.append({form.answer(k)->text(), form.check(k)->checkState() == Qt::Checked});
    return q;
}

TEST_F(WebTestButton, ThePageFromTheTableIsThePageOfWhatTheEditorShows) {
    QString words;
    for (int k = 0; words.size() < 240; ++k) words += QStringLiteral("ШЖЮЩ%1 ").arg(k);
    QString rtfWords;
    for (int k = 0; rtfWords.size() < 600; ++k) rtfWords += QStringLiteral("word%1 ").arg(k);
    Record rich = choice("", {"a", "b", "c"}, {1, 3});
    rich["VoprStyle"] = "2";
    rich["VoprRTF"] = QByteArray("{\\rtf1\\ansi\\ansicpg1251 ") + rtfWords.toLatin1() +
                      "\\par\\'e2\\'f2\\'ee\\'f0\\'e0\\'ff\\line x\\tab y\\par}";
    Record spaced = choice(QStringLiteral("no\u00a0break\tand\rcr <b> @raw@ №1"), {"x", "y"}, {});
    spaced["MaxOtv"] = "";
    QImage picture(30, 10, QImage::Format_RGB32);
    picture.fill(qRgb(20, 120, 40));
    Record broken = choice("?", {"x"}, {1});
    broken["VoprStyle"] = "";
    openTest("Т", {choice(words.trimmed(), {"синий", "зелёный", "белый", "x"}, {2}), rich,
                   pictureChoice(picture, {"да", "нет"}, {1, 2}), typed("Кто?", "Ньютон"), spaced,
                   broken});

    for (int k = 0; k < 4; ++k) ui.expect(BoxKind::Plain, QStringLiteral("ошибка"));

    // The page of the editor's view, question by question, as the window was once walked.
    korvel::web::PageWriter page(head());
    editor().DBNavigator1->btnClick(plat::nbFirst);
    const int n = editor().Table1.recordCount();
    korvel::web::WriteFrameStart(page, n, "Т", "Т.DB");
    for (int i = 1; i <= n; ++i) {
        page.WriteBlockStart(QStringLiteral("v%1").arg(i), " none");
        editor().Table1.setRecNo(i);
        editor().ShowCurrentQuestion();
        korvel::web::WriteQuestionBlock(page, i, shownByTheEditor(editor()), ui, "Т");
    }
    korvel::web::WriteFrameEnd(page, n);
    const QByteArray shownPicture = get(inWork(QStringLiteral("ТGrV3.jpg")));
    ASSERT_FALSE(shownPicture.isEmpty());
    ASSERT_TRUE(QFile::remove(inWork(QStringLiteral("ТGrV3.jpg"))));

    editor().Button1Click();

    EXPECT_EQ(get(inWork("Т.HTML")), page.bytes());
    EXPECT_EQ(get(inWork(QStringLiteral("ТGrV3.jpg"))), shownPicture);
    // The box the generator lays the text out in is the form's.
    const korvel::web::TextBoxLayout box = korvel::web::QuestionTextBox();
    const QTextDocument* doc = editor().DBMemo1->document();
    EXPECT_EQ(box.width, editor().DBMemo1->viewport()->width());
    EXPECT_TRUE(box.font == doc->defaultFont()) << box.font.toString().toStdString() << " / "
                                                << doc->defaultFont().toString().toStdString();
    EXPECT_EQ(box.documentMargin, doc->documentMargin());
    EXPECT_EQ(box.option.wrapMode(), doc->defaultTextOption().wrapMode());
    EXPECT_EQ(box.option.alignment(), doc->defaultTextOption().alignment());
    EXPECT_EQ(box.option.flags(), doc->defaultTextOption().flags());
    EXPECT_EQ(box.option.tabStopDistance(), doc->defaultTextOption().tabStopDistance());
    EXPECT_EQ(box.option.textDirection(), doc->defaultTextOption().textDirection());
    // Each "ошибка" twice: the view, then the page.
    EXPECT_EQ(ui.boxes().size(), 4);
}

TEST_F(WebTestButton, ThePageIsTheSameWhicheverQuestionTheEditorStandsOn) {
    // One word that fills the box's line, but not the line left beside a scroll bar.
    const korvel::web::TextBoxLayout box = korvel::web::QuestionTextBox();
    const QFontMetricsF metrics(box.font);
    QString word;
    while (metrics.horizontalAdvance(word + u'ж') < box.width - 2 * box.documentMargin - 2)
        word += u'ж';
    QStringList many;
    for (int k = 0; k < 16; ++k) many << QStringLiteral("строка %1").arg(k);
    openTest("Т", {choice(word, {"a"}, {1}), choice(many.join("\r\n"), {"a"}, {1})});
    editor().DBNavigator1->btnClick(plat::nbLast);
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor().DBMemo1->verticalScrollBar()->isVisible());

    editor().Button1Click();
    const QStringList fromLast = blockOf(generated("Т.HTML"), 1);
    ASSERT_FALSE(fromLast.isEmpty());
    EXPECT_EQ(fromLast[0], word + "<BR>");

    editor().DBNavigator1->btnClick(plat::nbFirst);
    QCoreApplication::processEvents();
    ui.expect(BoxKind::Confirmation, {}, plat::Answer::Yes);
    editor().Button1Click();
    EXPECT_EQ(blockOf(generated("Т.HTML"), 1), fromLast);
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
