// The graded run through the window: button5 and Button3 with a fixed draw, the report box,
// the way back to training mode, the result file, the key filters on real key events, and
// what a failed write or a failed send leaves behind.
#include "platform/codec.h"
#include "platform/files.h"
#include "tests/client/client_fixture.h"
#include "tests/client/texts.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTime>
#include <sys/socket.h>

using namespace client_test;
using pandrel::TForm1;
using plat::Answer;
using plat::BoxKind;

namespace {

constexpr std::uint32_t kSeed = 4242;

// count questions whose first variant alone is right.
QList<Q> questions(int count) {
    QList<Q> qs;
    for (int i = 1; i <= count; ++i) {
        Q q;
        q.MaxOtv = "2";
        q.Vopr = QStringLiteral("Вопрос %1").arg(i);
        q.Otv[0] = "да";
        q.Otv[1] = "нет";
        q.RO[0] = true;
        q.RO[1] = false;
        qs.append(q);
    }
    return qs;
}

// The record numbers the window draws with kSeed.
std::vector<int> expectedDraw(int N, int count) {
    pandrel::RunState s;
    pandrel::DrawQuestions(s, N, count, kSeed);
    return s.GradedRecNos;
}

class Graded : public ClientTest {
protected:
    TForm1& openWith(int count, const char* name = "lesson") {
        TForm1& f = makeForm();
        f.runSeed = [] { return kSeed; };
        openTest(writeTest(work(), QString::fromUtf8(name), questions(count)));
        return f;
    }
    void identity(const QString& name, const QString& group) {
        form->Edit2->setText(name);
        form->Edit4->setText(group);
    }
    // The confirmation and the missing "line.txt" of every unconnected start.
    void expectStart(const QString& name, const QString& group, Answer sure = Answer::Yes) {
        ui.expect(BoxKind::Confirmation, text("Вы уверены, что Вы ") + name + " " + group + "?",
                  sure)
            .expect(BoxKind::Plain, texts::kLineFileUnreadable);
    }
    // Answers the question on screen, right or wrong, and moves on.
    void answer(bool right) {
        form->checkBox(1)->setChecked(right);
        form->Button3->click();
    }
    QByteArray resultFile(const QString& group, const QString& name) {
        return plat::fs::readBytes(pandrel::ResultFilePath(group, name));
    }
    // Everything training mode shows after a run.
    void expectTraining() {
        TForm1& f = *form;
        EXPECT_FALSE(shown(f.Button3));
        EXPECT_EQ(f.Button3->text(), texts::kButton3Next);
        EXPECT_FALSE(shown(f.Label3));
        EXPECT_EQ(f.Label3->text(), text("Верных ответов 0"));
        for (QWidget* w :
             {static_cast<QWidget*>(f.Button4), static_cast<QWidget*>(f.button5),
              static_cast<QWidget*>(f.btLoadTest), static_cast<QWidget*>(f.DBNavigator1)})
            EXPECT_TRUE(shown(w)) << w->objectName().toStdString();
        EXPECT_EQ(f.Label17->text(), text("из ") + QString::number(state.QuestionCount));
        EXPECT_EQ(f.Table1->recNo(), 1);
        EXPECT_EQ(f.Label12->text(), "1");
        EXPECT_EQ(f.palette().color(QPalette::Window), QColor(0, 48, 80));
        EXPECT_TRUE(f.Edit2->text().isEmpty());
        EXPECT_TRUE(f.Edit4->text().isEmpty());
        EXPECT_FALSE(state.GradedMode);
        EXPECT_TRUE(state.AnswerMarks.isEmpty());
    }
};

TEST_F(Graded, ThreeQuestionsFromStartToResultFile) {
    TForm1& f = openWith(5);
    const QString name = text("Иванов Петр"), group = text("10А");
    identity(name, group);
    expectStart(name, group);
    ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "3");
    f.button5->click();
    ASSERT_TRUE(ui.finished());

    const std::vector<int> draw = expectedDraw(3, 5);
    EXPECT_TRUE(state.GradedMode);
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(119, 55, 0));
    EXPECT_TRUE(shown(f.Button3));
    EXPECT_EQ(f.Button3->text(), texts::kButton3Next);
    for (QWidget* w : {static_cast<QWidget*>(f.Button4), static_cast<QWidget*>(f.button5),
                       static_cast<QWidget*>(f.btLoadTest), static_cast<QWidget*>(f.DBNavigator1)})
        EXPECT_FALSE(shown(w)) << w->objectName().toStdString();
    EXPECT_TRUE(shown(f.Label3));
    EXPECT_EQ(f.Label3->text(), text("Верных ответов  0"));  // the design caption, two blanks
    EXPECT_EQ(f.Label12->text(), "1");
    EXPECT_EQ(f.Label17->text(), text("из 3"));
    EXPECT_EQ(f.Table1->recNo(), draw[1]);
    EXPECT_EQ(f.DBMemo1->toPlainText(), QStringLiteral("Вопрос %1").arg(draw[1]));

    // The clock switches to the graded label; five ticks into the run.
    for (int i = 0; i < 5; ++i) f.Timer1Timer();
    const QString clock = text("Время тестирования ") + "0:00:05";
    EXPECT_EQ(f.Label2->text(), clock);

    answer(true);
    EXPECT_EQ(f.Label3->text(), text("Верных ответов 1"));
    EXPECT_EQ(f.Label12->text(), "2");
    EXPECT_EQ(f.Table1->recNo(), draw[2]);
    EXPECT_EQ(f.Button3->text(), texts::kButton3Next);
    f.checkBox(2)->setChecked(true);  // the inputs are emptied for each question
    f.checkBox(1)->setChecked(false);
    f.Button3->click();
    EXPECT_EQ(f.Label3->text(), text("Верных ответов 1"));
    EXPECT_FALSE(f.checkBox(2)->isChecked());
    EXPECT_EQ(f.Button3->text(), texts::kButton3Last);
    EXPECT_EQ(f.Table1->recNo(), draw[3]);

    const QString report =
        text(
            "Иванов Петр 10А\r\nОтвечал на вопросы теста lesson.DB\r\nВерных ответов: 2 из 3\r\n"
            "Время тестирования ") +
        "0:00:05" +
        text("\r\nПятибальный коэффициент: 3,33333333333333\r\nНомера заданных вопросов:\r\n") +
        QStringLiteral("1[%1+] 2[%2-] 3[%3+] ").arg(draw[1]).arg(draw[2]).arg(draw[3]);
    // The box is modal: training mode comes after it is closed; the file is there already,
    // so a computer switched off under the box keeps the result.
    ui.onShow = [&](const plat::Box&) {
        EXPECT_EQ(system.beeps, 1);
        EXPECT_TRUE(shown(f.Button3));
        EXPECT_EQ(resultFile(group, name), plat::toCp1251(report));
    };
    ui.expect(BoxKind::Plain, report);
    answer(true);
    ui.onShow = nullptr;
    ASSERT_TRUE(ui.finished());

    expectTraining();
    EXPECT_EQ(resultFile(group, name), plat::toCp1251(report));
    EXPECT_TRUE(QFile::exists(QDir(driveC()).filePath(text("Test/10А/Иванов Петр.txt"))));
    // The clock goes on from the run's time under the training label.
    f.Timer1Timer();
    EXPECT_EQ(f.Label2->text(), text("Время тренировки ") + "0:00:06");
}

TEST_F(Graded, StandardTestOfTwentyIsMarked) {
    TForm1& f = openWith(25);
    identity("Petrov", "7B");
    expectStart("Petrov", "7B");
    ui.expect(BoxKind::Confirmation, texts::kStandardTestQuestion, Answer::Yes);
    f.button5->click();
    ASSERT_TRUE(ui.finished());
    EXPECT_EQ(f.Label17->text(), text("из 20"));

    const std::vector<int> draw = expectedDraw(20, 25);
    for (int i = 1; i <= 19; ++i) {
        EXPECT_EQ(f.Table1->recNo(), draw[i]) << i;
        EXPECT_EQ(f.Button3->text(), texts::kButton3Next) << i;
        answer(i <= 14);
    }
    EXPECT_EQ(f.Button3->text(), texts::kButton3Last);
    ui.expect(BoxKind::Plain);
    answer(false);
    ASSERT_EQ(ui.boxes().size(), 4);
    const QStringList lines = ui.boxes().last().text.split("\r\n");
    EXPECT_EQ(lines[2], text("Верных ответов: 14 из 20"));
    EXPECT_EQ(lines[4], text("Оценка: 3+"));
    EXPECT_TRUE(lines[7].startsWith(QStringLiteral("11[%1+] ").arg(draw[11])));
    EXPECT_EQ(lines[8], "");  // twenty items: the report ends with CR LF
    expectTraining();
    EXPECT_EQ(plat::fromCp1251(resultFile("7B", "Petrov")), ui.boxes().last().text);
}

// One question: Button3 reads "Оценка" from the start and one click ends the run; a second
// run of the same learner replaces the first file and Label3 has its run-time caption.
// Closing the confirmation by its title bar goes on as Yes.
TEST_F(Graded, OneQuestionEndsAtOnceAndTheNextRunReplacesTheFile) {
    TForm1& f = openWith(1);
    for (const bool right : {true, false}) {
        identity("Anna", "5");
        expectStart("Anna", "5", right ? Answer::Yes : Answer::Closed);
        ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Cancel);  // the preset 1
        f.button5->click();
        EXPECT_EQ(f.Button3->text(), texts::kButton3Last);
        EXPECT_EQ(f.Label3->text(), right ? text("Верных ответов  0") : text("Верных ответов 0"));
        ui.expect(BoxKind::Plain);
        answer(right);
        ASSERT_TRUE(ui.finished());
        const QString coefficient = text("Пятибальный коэффициент: ") + (right ? "5" : "0");
        EXPECT_EQ(ui.boxes().last().text.split("\r\n")[4], coefficient);
        EXPECT_EQ(plat::fromCp1251(resultFile("5", "Anna")), ui.boxes().last().text);
        expectTraining();
    }
}

struct Refusal {
    const char* label;
    const char* name;
    const char* group;
    // The boxes in order: kind, text (empty: any), answer, typed count.
    std::vector<std::tuple<BoxKind, QString, Answer, const char*>> boxes;
};

// Every refused start leaves training mode and the identity as they were.
TEST_F(Graded, RefusedStartsLeaveTrainingModeAlone) {
    const std::vector<Refusal> cases = {
        {"no name", "", "10А", {{BoxKind::Plain, texts::kIdentityMissing, Answer::Ok, ""}}},
        {"no group", "Ivan", "", {{BoxKind::Plain, texts::kIdentityMissing, Answer::Ok, ""}}},
        {"pasted path", "..\\..\\x", "10А", {{BoxKind::Plain, texts::kNameUnsafe, Answer::Ok, ""}}},
        {"group a folder down",
         "Ivan",
         "a/b",
         {{BoxKind::Plain, texts::kGroupUnsafe, Answer::Ok, ""}}},
        {"not me", "Ivan", "10А", {{BoxKind::Confirmation, {}, Answer::No, ""}}},
        {"count past 32 bits",
         "Ivan",
         "10А",
         {{BoxKind::Confirmation, {}, Answer::Yes, ""},
          {BoxKind::Plain, texts::kLineFileUnreadable, Answer::Ok, ""},
          {BoxKind::Input, texts::kCountPrompt, Answer::Ok, "99999999999"},
          {BoxKind::StandardError, {}, Answer::Ok, ""}}},
    };
    TForm1& f = openWith(3);
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.label);
        identity(text(c.name), text(c.group));
        for (const auto& [kind, t, a, input] : c.boxes) ui.expect(kind, t, a, text(input));
        f.button5->click();
        EXPECT_TRUE(ui.finished());
        EXPECT_FALSE(state.GradedMode);
        EXPECT_TRUE(shown(f.button5));
        EXPECT_FALSE(shown(f.Button3));
        EXPECT_EQ(f.palette().color(QPalette::Window), QColor(0, 48, 80));
        EXPECT_EQ(f.Edit2->text(), text(c.name));
        EXPECT_EQ(f.Edit4->text(), text(c.group));
    }
}

// An empty test and a window whose last opening failed have nothing to draw from.
TEST_F(Graded, NoQuestionsToDrawIsRefusedWithItsMessage) {
    const QString empty = writeTest(work(), "empty", {});
    plat::fs::writeBytes(inWork("junk.DB"), "not a table");
    TForm1& f = makeForm();
    ui.expectOpen(empty).expect(BoxKind::Plain, text("ошибка"));
    f.FormActivate();
    identity("Ivan", "10");
    ui.expect(BoxKind::Plain, texts::kEmptyTest);
    f.button5->click();

    ui.expectOpen(inWork("junk.DB")).expect(BoxKind::StandardError);
    f.btLoadTest->click();
    ASSERT_FALSE(f.Table1->isActive());
    ui.expect(BoxKind::Plain, texts::kEmptyTest);
    f.button5->click();
    EXPECT_TRUE(ui.finished());
    EXPECT_FALSE(state.GradedMode);
    EXPECT_TRUE(shown(f.button5));
}

// A result that cannot be written: asked about before the report is shown; let go, the
// run still ends cleanly.
TEST_F(Graded, UnwritableResultIsAskedAboutBeforeTheReport) {
    TForm1& f = openWith(2);
    const QString testDir = QDir(driveC()).filePath("Test");
    ASSERT_TRUE(QDir(testDir).removeRecursively());
    plat::fs::writeBytes(testDir, "a file where the folder should be");
    identity("Ivan", "9");
    expectStart("Ivan", "9");
    ui.expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, "2");
    f.button5->click();
    answer(true);
    ui.expect(BoxKind::Confirmation, {}, Answer::Cancel)
        .expect(BoxKind::Confirmation, {}, Answer::Yes)
        .expect(BoxKind::Plain);
    answer(true);
    ASSERT_TRUE(ui.finished());
    const QList<plat::Box> boxes = ui.boxes().mid(ui.boxes().size() - 3);
    EXPECT_TRUE(boxes[0].text.startsWith(
        "Не удалось записать результат теста в файл C:\\Test\\9\\Ivan.txt."))
        << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[2].text.startsWith("Ivan 9\r\n")) << "the report comes last";
    expectTraining();
    EXPECT_EQ(plat::fs::readBytes(testDir), QByteArray("a file where the folder should be"));
}

// --- key filters -----------------------------------------------------------------------

struct KeyCase {
    const char* label;
    const char* widget;  // Edit2, Edit4, ComboBox1, ComboBox2 or the window
    int key;
    const char* typed;  // the event's text, UTF-8
    Qt::KeyboardModifiers mods;
    const char* message;  // nullptr: no box
    bool dropped;
};

const QString kName = QStringLiteral("Фамилию Имя можно вводить только буквами !");
const QString kGroup = QStringLiteral("Можно вводить только буквы и цифры!");

TEST_F(Graded, KeyFiltersDropRefusedCharactersWithTheirMessage) {
    const KeyCase cases[] = {
        {"name letter", "Edit2", Qt::Key_Z, "Я", Qt::ShiftModifier, nullptr, false},
        {"name latin and blank", "Edit2", Qt::Key_Space, " ", {}, nullptr, false},
        {"name backspace", "Edit2", Qt::Key_Backspace, "\b", {}, nullptr, false},
        {"name yo", "Edit2", Qt::Key_QuoteLeft, "ё", {}, "name", true},
        {"name digit", "Edit2", Qt::Key_5, "5", {}, "name", true},
        {"name hyphen", "Edit2", Qt::Key_Minus, "-", {}, "name", true},
        {"name enter", "Edit2", Qt::Key_Return, "\r", {}, "name", true},
        {"name paste", "Edit2", Qt::Key_V, "\x16", Qt::ControlModifier, "name", true},
        {"name arrow", "Edit2", Qt::Key_Left, "", {}, nullptr, false},
        {"name delete", "Edit2", Qt::Key_Delete, "\x7f", {}, nullptr, false},
        {"group digit", "Edit4", Qt::Key_5, "5", {}, nullptr, false},
        {"group yo", "Edit4", Qt::Key_QuoteLeft, "Ё", Qt::ShiftModifier, "group", true},
        {"group hyphen", "Edit4", Qt::Key_Minus, "-", {}, "group", true},
        {"group enter", "Edit4", Qt::Key_Return, "\r", {}, "group", true},
        {"group paste", "Edit4", Qt::Key_V, "\x16", Qt::ControlModifier, "group", true},
        {"class choice", "ComboBox1", Qt::Key_D, "Д", {}, nullptr, true},
        {"name choice", "ComboBox2", Qt::Key_A, "Ф", {}, nullptr, true},
        {"window", "TForm1", Qt::Key_A, "a", {}, nullptr, true},
    };
    TForm1& f = openWith(2);
    f.show();
    QApplication::clipboard()->setText("pasted");
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.label);
        QWidget* w = QString(c.widget) == "TForm1" ? static_cast<QWidget*>(&f)
                                                   : f.findChild<QWidget*>(c.widget);
        ASSERT_NE(w, nullptr);
        auto* edit = qobject_cast<QLineEdit*>(w);
        auto* combo = qobject_cast<QComboBox*>(w);
        if (edit) {
            edit->setText("ab");
            edit->setCursorPosition(1);
        }
        if (combo) combo->setCurrentIndex(1);
        w->setFocus();
        if (c.message) ui.expect(BoxKind::Plain, QString(c.message) == "name" ? kName : kGroup);
        const qsizetype before = ui.boxes().size();
        QKeyEvent press(QEvent::KeyPress, c.key, c.mods, QString::fromUtf8(c.typed));
        QApplication::sendEvent(w, &press);
        EXPECT_TRUE(ui.finished());
        EXPECT_EQ(ui.boxes().size(), before + (c.message ? 1 : 0));
        if (edit) {
            const QString typed = QString::fromUtf8(c.typed);
            QString expected = "ab";
            if (!c.dropped && typed == "\b")
                expected = "b";
            else if (!c.dropped && typed == "\x7f")
                expected = "a";
            else if (!c.dropped && !typed.isEmpty())
                expected = "a" + typed + "b";
            EXPECT_EQ(edit->text(), expected);
        }
        if (combo) {
            EXPECT_EQ(combo->currentIndex(), 1);
        }
    }
}

// The messages of a stream, each without its marker.
QList<QByteArray> splitAtMarkers(const QByteArray& stream) {
    const QByteArray marker("\xA9\x08\xA9\x08", 4);
    QList<QByteArray> out;
    qsizetype at = stream.indexOf(marker);
    while (at >= 0) {
        const qsizetype next = stream.indexOf(marker, at + marker.size());
        out.append(stream.mid(at + marker.size(), next < 0 ? -1 : next - at - marker.size()));
        at = next;
    }
    return out;
}

// --- the link ------------------------------------------------------------------------------

// The listener resets the connection at the beep, before the result message goes out.
class BrokenLinkSystem : public testing_support::RecordingSystem {
public:
    void beep() override {
        RecordingSystem::beep();
        if (!peer) return;
        const linger now{1, 0};
        setsockopt(int(peer->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        peer->abort();
    }
    QTcpSocket* peer = nullptr;
};

class GradedLink : public Graded {
protected:
    void SetUp() override {
        Graded::SetUp();
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::readyRead,
                                 [this, s] { received += s->readAll(); });
                peers.push_back(s);
            }
        });
        plat::fs::writeBytes(
            inWork("line.txt"),
            "1\r\n127.0.0.1\r\n" + QByteArray::number(server.serverPort()) + "\r\n");
    }
    // Opens the test of count questions and connects through "line.txt".
    TForm1& connectedWith(int count, plat::System* sys) {
        form = std::make_unique<TForm1>(plat::Services{&ui, &shell, &printer, sys}, state,
                                        [](const QString&) { return true; });
        form->endProcess = [this] { ++ends; };
        form->runSeed = [] { return kSeed; };
        openTest(writeTest(work(), "lesson", questions(count)));
        ui.expect(BoxKind::Plain, texts::kConnectedText);
        form->ConnectFromLineFile();
        EXPECT_TRUE(testing_support::waitFor(
            [&] { return ui.finished() && form->ClientSocket1->active(); }));
        return *form;
    }
    void start(const QString& name, const QString& group, const char* count) {
        identity(name, group);
        ui.expect(BoxKind::Confirmation, {}, Answer::Yes)
            .expect(BoxKind::Input, texts::kCountPrompt, Answer::Ok, count);
        form->button5->click();
        ASSERT_TRUE(ui.finished());
    }
    static QByteArray message(const QString& text) {
        return QByteArray(
                   "\xA9\x08\xA9\x08"
                   "127.0.0.1 ",
                   14) +
               plat::toCp1251(text);
    }

    QTcpServer server;
    std::vector<QTcpSocket*> peers;
    QByteArray received;
};

// The result survives a send that fails: the failure is reported, then the report box,
// training mode and the file follow as always.
TEST_F(GradedLink, FailedResultMessageStillShowsAndWritesTheResult) {
    BrokenLinkSystem sys;
    TForm1& f = connectedWith(2, &sys);
    start("Ivan", "9", "1");
    ASSERT_TRUE(testing_support::waitFor([&] { return !received.isEmpty(); }));
    sys.peer = peers.at(0);
    ui.expect(BoxKind::Plain, texts::kDisconnectedText)
        .expect(BoxKind::Plain)          // the link error with its code
        .expect(BoxKind::StandardError)  // the socket layer's own report
        .expect(BoxKind::Plain);         // the result report
    answer(true);
    ASSERT_TRUE(ui.finished());
    EXPECT_TRUE(ui.boxes().at(ui.boxes().size() - 3).text.startsWith(texts::kLinkErrorText));
    const QString report = ui.boxes().last().text;
    EXPECT_TRUE(report.startsWith("Ivan 9\r\n"));
    EXPECT_FALSE(f.ClientSocket1->active());
    EXPECT_EQ(plat::fromCp1251(resultFile("9", "Ivan")), report);
    expectTraining();
}

// A whole lesson: two learners one after the other on one connection; the listener gets
// each start and each result whole and in order, and each result file lies in its group.
TEST_F(GradedLink, LessonOfTwoLearnersReachesTheListenerInOrder) {
    testing_support::RecordingSystem sys;
    TForm1& f = connectedWith(12, &sys);
    struct Learner {
        QString name, group;
        const char* count;
        QString report;
    };
    Learner learners[] = {{text("Иванов Петр"), text("10А"), "3", {}},
                          {text("Сидорова Анна"), text("11Б"), "12", {}}};
    QByteArray expected;
    for (Learner& l : learners) {
        start(l.name, l.group, l.count);
        const QByteArray startMessage =
            message(l.name + " " + l.group + text(". Старт на оценку. Тест lesson.DB."));
        EXPECT_TRUE(testing_support::waitFor(
            [&] { return received.size() >= expected.size() + startMessage.size(); }));
        expected += startMessage;
        // The result message goes out before the box shows.
        ui.onShow = [&](const plat::Box& b) {
            if (b.kind != BoxKind::Plain) return;
            EXPECT_TRUE(testing_support::waitFor(
                [&] { return received.size() >= expected.size() + message(b.text).size(); }));
        };
        ui.expect(BoxKind::Plain);
        const int N = QString(l.count).toInt();
        for (int i = 1; i <= N; ++i) answer(i % 2 == 1);
        ui.onShow = nullptr;
        ASSERT_TRUE(ui.finished());
        l.report = ui.boxes().last().text;
        expected += message(l.report);
    }
    EXPECT_EQ(peers.size(), 1u);
    EXPECT_EQ(received, expected);
    // Cut at the markers, the stream is the four messages in order.
    const QList<QByteArray> messages = splitAtMarkers(received);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_TRUE(messages[0].contains(plat::toCp1251(text("Иванов Петр 10А. Старт"))));
    EXPECT_TRUE(messages[1].endsWith(plat::toCp1251(learners[0].report)));
    EXPECT_TRUE(messages[2].contains(plat::toCp1251(text("Сидорова Анна 11Б. Старт"))));
    EXPECT_TRUE(messages[3].endsWith(plat::toCp1251(learners[1].report)));
    EXPECT_TRUE(learners[1].report.endsWith("11[" + QString::number(expectedDraw(12, 12)[11]) +
                                            "+] 12[" + QString::number(expectedDraw(12, 12)[12]) +
                                            "-] "));
    for (const Learner& l : learners)
        EXPECT_EQ(plat::fromCp1251(resultFile(l.group, l.name)), l.report);
    EXPECT_TRUE(f.ClientSocket1->active());
}

}  // namespace
