// The client window driven headless: choosing and opening a test, display, training.
#include "platform/files.h"
#include "tests/client/client_fixture.h"
#include "tests/client/texts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFontInfo>

using namespace client_test;
using pandrel::TForm1;
using plat::Answer;
using plat::BoxKind;

namespace {

int rowsShown(TForm1& f) {
    int n = 0;
    for (int k = 1; k <= 7; ++k) {
        EXPECT_EQ(shown(f.checkBox(k)), shown(f.answerEdit(k))) << "row " << k;
        if (shown(f.answerEdit(k))) n = k;
    }
    return n;
}

Q choiceQ(const QString& maxOtv, const char* flags) {
    Q q;
    q.MaxOtv = maxOtv;
    for (int k = 0; k < 7; ++k) {
        q.Otv[k] = QStringLiteral("вариант %1").arg(k + 1);
        if (flags[k] != '-') q.RO[k] = flags[k] == 't';
    }
    q.Vopr = QStringLiteral("Вопрос");
    return q;
}

Q typedQ(const QString& answer) {
    Q q;
    q.TypeVopr = "2";
    q.Vopr = QStringLiteral("Столица?");
    q.Otv[0] = answer;
    return q;
}

class Window : public ClientTest {};

// --- the design ------------------------------------------------------------------------

struct Place {
    const char* name;
    QRect rect;
    bool visible;
};

TEST_F(Window, DesignPlacesAndStart) {
    TForm1& f = makeForm();
    EXPECT_EQ(f.windowTitle(), text("PANDREL Программа  тестирования"));
    EXPECT_EQ(f.size(), QSize(1007, 688));
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(0, 48, 80));
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    // The window is centred on the scripted 1280 x 1024 screen.
    EXPECT_EQ(f.pos(), QPoint((1280 - f.frameGeometry().width()) / 2,
                              (1024 - f.frameGeometry().height()) / 2));

    const Place places[] = {
        {"Label18", {8, 24, 0, 0}, true},        {"Label2", {680, 24, 0, 0}, true},
        {"Label1", {8, 64, 0, 0}, true},         {"Label12", {96, 64, 0, 0}, true},
        {"Label17", {128, 64, 0, 0}, true},      {"Label3", {224, 64, 0, 0}, false},
        {"ComboBox2", {8, 104, 225, 27}, true},  {"Image2", {240, 108, 49, 25}, true},
        {"Edit2", {296, 104, 337, 27}, true},    {"ComboBox1", {680, 104, 137, 27}, true},
        {"Image1", {824, 108, 49, 25}, true},    {"Edit4", {880, 104, 121, 27}, true},
        {"Label4", {8, 160, 0, 0}, true},        {"DBMemo1", {8, 192, 993, 169}, true},
        {"DBvoprRTF", {8, 192, 993, 169}, true}, {"DBVoprBMP", {8, 192, 993, 169}, true},
        {"Label5", {16, 384, 0, 0}, true},       {"CheckBox1", {16, 416, 17, 17}, true},
        {"CheckBox7", {16, 608, 17, 17}, true},  {"DBotv1", {40, 416, 961, 25}, true},
        {"DBotv7", {40, 608, 961, 25}, true},    {"DBCheckBox1", {128, 416, 0, 0}, false},
        {"Edit1", {16, 416, 337, 30}, true},     {"DBListBox1", {0, 0, 0, 0}, false},
        {"DBListBox2", {0, 0, 0, 0}, false},     {"DBVoprStyle", {0, 0, 0, 0}, false},
        {"Pictogr", {16, 640, 41, 41}, true},    {"DBNavigator1", {72, 648, 144, 25}, true},
        {"Button4", {232, 648, 145, 25}, true},  {"Button3", {392, 648, 169, 25}, false},
        {"button5", {392, 648, 201, 25}, true},  {"btLoadTest", {608, 648, 121, 25}, true},
        {"Button1", {744, 648, 81, 25}, true},   {"Button2", {840, 648, 73, 25}, true},
        {"imOnline", {960, 640, 46, 42}, true},  {"imOffline", {960, 640, 46, 42}, true},
    };
    for (const Place& p : places) {
        auto* w = f.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(w, nullptr) << p.name;
        EXPECT_EQ(w->pos(), p.rect.topLeft()) << p.name;
        if (p.rect.width() > 0) {
            EXPECT_EQ(w->size(), p.rect.size()) << p.name;
        }
        EXPECT_EQ(shown(w), p.visible) << p.name;
    }
    EXPECT_EQ(f.Label3->text(), text("Верных ответов  0"));
    EXPECT_EQ(f.Label5->text(), text("Варианты    ответа:"));
    EXPECT_EQ(f.imOffline->toolTip(), text("Отключен от сервера"));
    EXPECT_EQ(f.Pictogr->toolTip(), text("Развернуть (свернуть) окно вопроса!"));
    EXPECT_EQ(f.ComboBox2->currentText(), text("Фамилия Имя"));
    EXPECT_EQ(f.ComboBox1->count(), 3);
    EXPECT_TRUE(f.Timer1->isActive());
    EXPECT_EQ(f.Timer1->interval(), 1000);
    EXPECT_FALSE(f.Table1->isActive());
    EXPECT_TRUE(ui.boxes().isEmpty());
}

// Sizes are pixels, whatever the screen's resolution; checked on the font the text is drawn in.
TEST_F(Window, ControlFontsInPixels) {
    TForm1& f = makeForm();
    const struct {
        const char* name;
        int pixels;
        bool bold;
    } faces[] = {
        {"Label18", 17, true},   {"Label2", 17, true},     {"Label1", 17, true},
        {"Label12", 17, true},   {"Label17", 17, true},    {"Label3", 17, true},
        {"Label4", 17, true},    {"Label5", 17, true},     {"ComboBox1", 17, true},
        {"ComboBox2", 17, true}, {"Button4", 17, true},    {"Button3", 17, true},
        {"button5", 17, true},   {"btLoadTest", 17, true}, {"Button1", 17, true},
        {"Button2", 17, true},   {"DBotv1", 17, true},     {"DBotv7", 17, true},
        {"DBMemo1", 24, false},  {"Edit1", 19, true},      {"Edit2", 16, true},
        {"Edit4", 16, true},
    };
    for (const auto& face : faces) {
        auto* w = f.findChild<QWidget*>(QString::fromLatin1(face.name));
        ASSERT_NE(w, nullptr) << face.name;
        const QFontInfo drawn(w->font());
        // Times New Roman's metric-compatible face, installed with the suite.
        EXPECT_EQ(drawn.family(), "Liberation Serif") << face.name;
        EXPECT_EQ(drawn.pixelSize(), face.pixels) << face.name;
        EXPECT_EQ(drawn.bold(), face.bold) << face.name;
    }
    // The list of a combo box shows its items in the box's font.
    EXPECT_EQ(QFontInfo(f.ComboBox1->view()->font()).pixelSize(), 17);
}

// Buttons and edits keep the system's grey frames on the window's colour, in either colour.
TEST_F(Window, FramesStayGreyOnTheScreenColour) {
    TForm1& f = makeForm();
    auto grey = [](QWidget* w) {
        const QColor c = w->grab().toImage().pixelColor(0, w->height() / 2);
        return c.red() == c.green() && c.green() == c.blue();
    };
    for (int colour : {pandrel::kDesignColour, pandrel::kGradedColour}) {
        f.SetScreenColor(colour);
        for (QWidget* w :
             std::initializer_list<QWidget*>{f.Button2, f.btLoadTest, f.Edit1, f.Edit2, f.Edit4})
            EXPECT_TRUE(grey(w)) << w->objectName().toStdString() << " " << colour;
    }
}

TEST_F(Window, ModuleStartMakesTheNetworkControlDirectory) {
    // SetUp ran the module start on a fresh drive C:.
    const QString net = QDir(driveC()).filePath("Test");
    EXPECT_TRUE(QDir(net).exists());
    EXPECT_EQ(QDir(plat::db::session().netFileDir()).absolutePath(), QDir(net).absolutePath());
    state.TimeSec = 5;
    state.GradedMode = true;
    state.AnswerMarks = "+-";
    pandrel::ClientUnitInit(state);  // again: the folder exists, which is no failure
    EXPECT_EQ(state.TimeSec, 0);
    EXPECT_FALSE(state.GradedMode);
    EXPECT_TRUE(state.AnswerMarks.isEmpty());
    state.AnswerMarks = "+";
    pandrel::ClientUnitFinal(state);
    EXPECT_TRUE(state.AnswerMarks.isEmpty());
}

TEST_F(Window, SecondCopyIsRefusedBeforeShowing) {
    ui.setTitle("Pandrel");
    QString guardedTitle;
    ui.expect(BoxKind::Plain, texts::kSecondCopyText);
    form = std::make_unique<TForm1>(services(), state, [&](const QString& t) {
        guardedTitle = t;
        return false;
    });
    EXPECT_TRUE(form->refused());
    EXPECT_EQ(guardedTitle, "Pandrel");
    EXPECT_EQ(ui.boxes().at(0).caption, "Pandrel");
}

// --- choosing and opening --------------------------------------------------------------

TEST_F(Window, RefusedChoicesAskAgainFromTheProgramFolder) {
    const QString path = writeTest(inWork("tests"), text("Физика"), {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    ui.expectOpen(inWork("tests/Физика.dbf"))
        .expect(BoxKind::Plain, text("недопустимое имя файла формата PARADOX"))
        .expectOpen(text("Физика.db"))
        .expect(BoxKind::Plain, text("bad aliase"))
        .expectOpen(path);
    f.FormActivate();
    ASSERT_EQ(ui.dialogs().size(), 3);
    for (const auto& d : ui.dialogs()) {
        EXPECT_EQ(d.initialDir, plat::fs::programDir() + plat::fs::separator());
        EXPECT_EQ(d.title, text("Выбор нужного теста"));
        ASSERT_EQ(d.filters.size(), 1);
        EXPECT_EQ(d.filters[0].mask, "*.DB");
    }
    EXPECT_TRUE(f.Table1->isActive());
    EXPECT_EQ(f.Label18->text(), text("Тест Физика.DB"));
    EXPECT_EQ(f.Label17->text(), text("из 1"));
    EXPECT_EQ(state.QuestionCount, 1);
    // The alias names the test's folder; the opening leaves the session in all modes.
    EXPECT_EQ(plat::db::session().aliasPath("sdb"), QDir(inWork("tests")).absolutePath());
    EXPECT_EQ(plat::db::session().configMode(), plat::db::ConfigMode::All);
    EXPECT_EQ(plat::fs::currentDir(), QDir(inWork("tests")).absolutePath());
}

struct CancelCase {
    Answer answer;
    bool ends;
};

class CancelChoice : public ClientTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelChoice, YesAsksAgainAnythingElseEnds) {
    const QString path = writeTest(work(), "t", {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    ui.expectOpen(std::nullopt)
        .expect(BoxKind::Confirmation,
                text("Для продолжения работы с программой\rнеобходимо "
                     "выбрать тест - кнопка [Yes]\rдля выхода из "
                     "программы - кнопка [No]"),
                GetParam().answer);
    if (!GetParam().ends) ui.expectOpen(path);
    f.FormActivate();
    EXPECT_EQ(ends, GetParam().ends ? 1 : 0);
    EXPECT_EQ(f.Table1->isActive(), !GetParam().ends);
    EXPECT_EQ(plat::db::session().configMode(), plat::db::ConfigMode::All);
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelChoice,
                         ::testing::Values(CancelCase{Answer::Yes, false},
                                           CancelCase{Answer::No, true},
                                           CancelCase{Answer::Closed, true}));

struct LockCase {
    QString first, second;
    bool locked;
};

class CheckLock : public ClientTest, public ::testing::WithParamInterface<LockCase> {};

TEST_P(CheckLock, OnlyTheFirstRecordsOtv7Counts) {
    Q a = choiceQ("2", "tf-----"), b = choiceQ("2", "tf-----");
    a.Otv[6] = GetParam().first;
    b.Otv[6] = GetParam().second;
    const QString path = writeTest(work(), "t", {a, b});
    TForm1& f = makeForm();
    openTest(path);
    EXPECT_EQ(state.CheckLocked, GetParam().locked);
    EXPECT_EQ(shown(f.Button4), !GetParam().locked);
    f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
    EXPECT_EQ(shown(f.Button4), !GetParam().locked);
}

INSTANTIATE_TEST_SUITE_P(Texts, CheckLock,
                         ::testing::Values(LockCase{"&1", "", true}, LockCase{"&1 ", "", false},
                                           LockCase{"&2", "", false}, LockCase{"", "&1", false},
                                           LockCase{" &1", "&1", false}));

TEST_F(Window, OpeningAndLoadingResetTheClock) {
    const QString path = writeTest(work(), "t", {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    state.TimeMin = 7;
    openTest(path);
    f.Timer1Timer();
    EXPECT_EQ(f.Label2->text(), text("Время тренировки ") + "0:00:01");
    state.TimeHour = 2;
    state.GradedMode = true;
    ui.expectOpen(path);
    f.btLoadTest->click();
    EXPECT_FALSE(state.GradedMode);
    f.Timer1Timer();
    EXPECT_EQ(f.Label2->text(), text("Время тренировки ") + "0:00:01");
}

TEST_F(Window, EmptyTableOpensWithItsMessage) {
    const QString path = writeTest(work(), "empty", {});
    TForm1& f = makeForm();
    ui.expectOpen(path).expect(BoxKind::Plain, text("ошибка"));
    f.FormActivate();
    EXPECT_EQ(f.Label17->text(), text("из 0"));
    EXPECT_TRUE(shown(f.Button4));
    EXPECT_EQ(rowsShown(f), 7);
    // The design's question controls all stay as they were.
    EXPECT_TRUE(shown(f.DBMemo1) && shown(f.DBvoprRTF) && shown(f.DBVoprBMP) && shown(f.Pictogr));
    for (auto b : {plat::nbFirst, plat::nbPrior, plat::nbNext, plat::nbLast})
        EXPECT_FALSE(f.DBNavigator1->isButtonEnabled(b)) << b;
}

TEST_F(Window, FailedOpeningLeavesTheWindowHarmless) {
    const QString good = writeTest(work(), "good", {choiceQ("2", "tf-----")});
    plat::fs::writeBytes(inWork("junk.DB"), "not a table");
    TForm1& f = makeForm();
    openTest(good);
    f.Label12->setText("1");

    // Another test, which fails to open: the labels keep the texts of the last test.
    ui.expectOpen(inWork("junk.DB")).expect(BoxKind::StandardError);
    f.btLoadTest->click();
    EXPECT_FALSE(f.Table1->isActive());
    EXPECT_EQ(f.Label18->text(), text("Тест good.DB"));
    EXPECT_EQ(plat::db::session().configMode(), plat::db::ConfigMode::All);
    EXPECT_EQ(plat::fs::readBytes(inWork("junk.DB")), QByteArray("not a table"));

    // With no table, the check, the list boxes and the navigator do nothing (no box shows).
    f.Button4->click();
    f.DBListBox1Click();
    f.PictogrClick();
    f.PictogrClick();
    for (auto b : {plat::nbFirst, plat::nbPrior, plat::nbNext, plat::nbLast})
        EXPECT_FALSE(f.DBNavigator1->isButtonEnabled(b)) << b;

    // A later choice works again: the session was closed, so the alias is defined anew.
    ui.expectOpen(good);
    f.btLoadTest->click();
    EXPECT_TRUE(f.Table1->isActive());
}

// --- display ---------------------------------------------------------------------------

struct ShowCase {
    Q q;
    const char* visible;  // memo, rich text, picture, Pictogr: '1' shown, '0' hidden
    int rows;             // answer rows shown; 0 with Edit1 for a typed answer
    bool error;           // "ошибка"
};

Q styled(const char* style, const char* type, const char* maxOtv) {
    Q q = choiceQ(maxOtv, "t------");
    q.VoprStyle = style;
    q.TypeVopr = type;
    return q;
}

// Records are shown in order, so an invalid style keeps what the record before left.
TEST_F(Window, DisplayFollowsStyleKindAndVariantCount) {
    const ShowCase cases[] = {
        {styled("2", "1", "3"), "0101", 3, false},
        {styled("4", "1", "5"), "0101", 5, true},  // keeps the rich-text display
        {styled("3", "2", "3"), "0011", 0, false},
        {styled("", "", ""), "0011", 7, true},
        {styled("1", "3", "8"), "1000", 7, false},
        {styled("1", "1", "0"), "1000", 7, false},
        {styled("1", "1", "1"), "1000", 1, false},
        {styled("1", "1", "7"), "1000", 7, false},
        {styled("1", "2", "7"), "1000", 0, false},
    };
    QList<Q> qs;
    for (const auto& c : cases) qs << c.q;
    const QString path = writeTest(work(), "t", qs);
    TForm1& f = makeForm();
    bool first = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.q.VoprStyle.toStdString() + "/" + c.q.TypeVopr.toStdString() + "/" +
                     c.q.MaxOtv.toStdString());
        if (first) ui.expectOpen(path);
        if (c.error) ui.expect(BoxKind::Plain, text("ошибка"));
        if (first)
            f.FormActivate();
        else
            f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
        first = false;
        const QString vis = QString("%1%2%3%4")
                                .arg(shown(f.DBMemo1))
                                .arg(shown(f.DBvoprRTF))
                                .arg(shown(f.DBVoprBMP))
                                .arg(shown(f.Pictogr));
        EXPECT_EQ(vis, QString::fromLatin1(c.visible));
        EXPECT_EQ(rowsShown(f), c.rows);
        EXPECT_EQ(shown(f.Edit1), c.rows == 0);
        EXPECT_EQ(f.Label5->text(), c.rows == 0
                                        ? text("Введите с клавиатуры правильный ответ без пробелов")
                                        : text("Варианты ответа"));
        EXPECT_TRUE(ui.finished());
    }
}

TEST_F(Window, NavigatorShowsTheRecordNumberAndClearsInputs) {
    const QString path = writeTest(
        work(), "t", {choiceQ("3", "t------"), typedQ("Москва"), choiceQ("2", "-t-----")});
    TForm1& f = makeForm();
    openTest(path);
    f.checkBox(1)->setChecked(true);
    f.checkBox(3)->setChecked(true);
    f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
    EXPECT_EQ(f.Label12->text(), "2");
    EXPECT_TRUE(shown(f.Edit1));
    f.Edit1->setText(text("Москва"));
    f.DBNavigator1->btnClick(plat::NavBtn::nbLast);
    EXPECT_EQ(f.Label12->text(), "3");
    EXPECT_FALSE(shown(f.Edit1));
    EXPECT_TRUE(f.Edit1->text().isEmpty());
    // At the end, next still redisplays and clears.
    f.checkBox(2)->setChecked(true);
    f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
    EXPECT_EQ(f.Label12->text(), "3");
    EXPECT_FALSE(f.checkBox(2)->isChecked());
    f.DBNavigator1->btnClick(plat::NavBtn::nbFirst);
    EXPECT_EQ(f.Label12->text(), "1");
    for (int k = 1; k <= 7; ++k) EXPECT_FALSE(f.checkBox(k)->isChecked()) << k;
}

// Checked on the drawn pixels: a style of the control must not hide its colour.
TEST_F(Window, ScreenColourReachesWindowAnswersAndLabel3) {
    TForm1& f = makeForm();
    auto pixel = [](QWidget* w) { return w->grab().toImage().pixelColor(w->width() - 3, 3); };
    const QColor design(0, 48, 80), graded(119, 55, 0);
    EXPECT_EQ(pixel(f.DBotv1), design);
    f.SetScreenColor(pandrel::kGradedColour);
    EXPECT_EQ(pixel(&f), graded);
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(pixel(f.answerEdit(k)), graded) << k;
    EXPECT_EQ(pixel(f.Label3), graded);
    EXPECT_EQ(f.ComboBox1->palette().color(QPalette::Button), design);
    f.SetScreenColor(pandrel::kDesignColour);
    EXPECT_EQ(pixel(f.DBotv3), design);
    EXPECT_EQ(pixel(f.Label3), design);
}

TEST_F(Window, EnlargingTogglesAndLoadingRestores) {
    Q rtf = choiceQ("2", "tf-----");
    rtf.VoprStyle = "2";
    rtf.VoprRTF = rtfBytes(QStringLiteral("Текст"));
    const QString path = writeTest(work(), "t", {rtf, choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    openTest(path);
    const QRect normal(8, 192, 993, 169), big(8, 8, 993, 620);

    f.Pictogr->click();
    EXPECT_EQ(f.DBvoprRTF->geometry(), big);
    EXPECT_EQ(f.DBVoprBMP->geometry(), big);
    // It covers the captions and answer rows it spans (Label5, row 1).
    for (const QPoint at : {QPoint(20, 390), QPoint(500, 420)}) {
        QWidget* top = f.childAt(at);
        EXPECT_TRUE(top == f.DBvoprRTF || f.DBvoprRTF->isAncestorOf(top))
            << at.x() << "," << at.y();
    }
    EXPECT_FALSE(shown(f.ComboBox1) || shown(f.ComboBox2));
    f.Pictogr->click();
    EXPECT_EQ(f.DBvoprRTF->geometry(), normal);
    EXPECT_TRUE(shown(f.ComboBox1) && shown(f.ComboBox2));

    // Enlarged, then a plain question: the memo keeps its size, the combo boxes stay hidden.
    f.Pictogr->click();
    f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
    EXPECT_EQ(f.DBMemo1->geometry(), normal);
    EXPECT_FALSE(shown(f.Pictogr));
    EXPECT_FALSE(shown(f.ComboBox1));

    // Loading another test restores the area before the dialog opens: look under the
    // box that a cancelled dialog brings.
    f.Label12->setText("2");
    QRect underBox;
    bool combosUnderBox = false;
    ui.onShow = [&](const plat::Box&) {
        underBox = f.DBvoprRTF->geometry();
        combosUnderBox = shown(f.ComboBox1) && shown(f.ComboBox2);
    };
    ui.expectOpen(std::nullopt).expect(BoxKind::Confirmation, {}, Answer::Yes).expectOpen(path);
    f.btLoadTest->click();
    EXPECT_EQ(underBox, normal);
    EXPECT_TRUE(combosUnderBox);
    EXPECT_FALSE(state.QuestionExpanded);
    EXPECT_EQ(f.Label12->text(), "1");
    EXPECT_TRUE(f.Table1->isActive());
}

// --- training check ----------------------------------------------------------------

struct TrainingCase {
    const char* what;
    Q q;
    std::function<void(TForm1&)> answer;  // the learner's input
    Answer reply;                         // to "Д О П У Щ Е Н Ы ..."
    std::function<void(TForm1&)> check;   // the inputs afterwards
};

class TrainingCheck : public ClientTest, public ::testing::WithParamInterface<TrainingCase> {};

TEST_P(TrainingCheck, WrongAnswerOffersTheRightOne) {
    const TrainingCase& c = GetParam();
    const QString path = writeTest(work(), "t", {c.q});
    TForm1& f = makeForm();
    openTest(path);
    c.answer(f);
    ui.expect(BoxKind::Confirmation, texts::kWrongAnswerText, c.reply);
    f.Button4->click();
    c.check(f);
    if (c.reply == Answer::Yes) {
        ui.expect(BoxKind::Information, text("Верно"));
        f.Button4->click();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, TrainingCheck,
    ::testing::Values(
        TrainingCase{"choice, No keeps the ticks", choiceQ("3", "ftfft--"),
                     [](TForm1& f) { f.checkBox(1)->setChecked(true); }, Answer::No,
                     [](TForm1& f) {
                         EXPECT_TRUE(f.checkBox(1)->isChecked());
                         EXPECT_FALSE(f.checkBox(2)->isChecked());
                     }},
        TrainingCase{"choice, closed keeps the ticks", choiceQ("3", "ftf----"),
                     [](TForm1& f) { f.checkBox(3)->setChecked(true); }, Answer::Closed,
                     [](TForm1& f) { EXPECT_TRUE(f.checkBox(3)->isChecked()); }},
        // Yes ticks after all seven flags, the hidden row 5 too.
        TrainingCase{"choice, Yes shows the flags", choiceQ("3", "ftfft--"),
                     [](TForm1& f) { f.checkBox(1)->setChecked(true); }, Answer::Yes,
                     [](TForm1& f) {
                         const bool want[7] = {false, true, false, false, true, false, false};
                         for (int k = 1; k <= 7; ++k)
                             EXPECT_EQ(f.checkBox(k)->isChecked(), want[k - 1]) << k;
                         EXPECT_FALSE(shown(f.checkBox(5)));
                     }},
        TrainingCase{"typed, No keeps the text", typedQ("МОСКВА"),
                     [](TForm1& f) { f.Edit1->setText(QStringLiteral("москва")); }, Answer::No,
                     [](TForm1& f) { EXPECT_EQ(f.Edit1->text(), QStringLiteral("москва")); }},
        TrainingCase{"typed, Yes types the answer", typedQ("МОСКВА"),
                     [](TForm1& f) { f.Edit1->setText(QStringLiteral("МОСКВА ")); }, Answer::Yes,
                     [](TForm1& f) { EXPECT_EQ(f.Edit1->text(), QStringLiteral("МОСКВА")); }}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(Window, RightAnswerSaysSoAndNothingElse) {
    const QString path = writeTest(work(), "t", {choiceQ("2", "-t-----"), typedQ("10А")});
    TForm1& f = makeForm();
    openTest(path);
    f.checkBox(2)->setChecked(true);
    ui.expect(BoxKind::Information, text("Верно"));
    f.Button4->click();
    EXPECT_TRUE(f.checkBox(2)->isChecked());
    f.DBNavigator1->btnClick(plat::NavBtn::nbNext);
    testing_support::typeText(f.Edit1, text("10А"));
    ui.expect(BoxKind::Information, text("Верно"));
    f.Button4->click();
}

// --- exit, help, activation --------------------------------------------------------------

class ExitAnswer : public ClientTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(ExitAnswer, OnlyYesCloses) {
    TForm1& f = makeForm();
    f.show();
    ui.expect(BoxKind::Confirmation, texts::kExitText, GetParam());
    f.Button2->click();
    EXPECT_EQ(system.beeps, 1);
    EXPECT_EQ(f.isVisible(), GetParam() != Answer::Yes);
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitAnswer,
                         ::testing::Values(Answer::Yes, Answer::No, Answer::Closed));

TEST_F(Window, HelpOpensThePageOfTheTestFolder) {
    const QString path = writeTest(inWork("sub"), "t", {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    openTest(path);
    f.Button1->click();
    ASSERT_EQ(shell.opened.size(), 1);
    EXPECT_EQ(shell.opened[0], QDir(inWork("sub")).absoluteFilePath("help_pandrel.html"));
    EXPECT_TRUE(ui.boxes().isEmpty());
}

TEST_F(Window, ActivationChoosesOnceOnly) {
    const QString path = writeTest(work(), "t", {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    ui.expectOpen(path);
    f.show();
    f.activateWindow();
    ASSERT_TRUE(testing_support::waitFor([&] { return f.Table1->isActive(); }));
    // A box of ours closing gives the focus back: no second choice.
    QEvent again(QEvent::WindowActivate);
    QApplication::sendEvent(&f, &again);
    QApplication::processEvents();
    EXPECT_EQ(ui.dialogs().size(), 1);
}

TEST_F(Window, TheChoiceWaitsUntilTheWindowHasDrawnItself) {
    const QString path = writeTest(work(), "t", {choiceQ("2", "tf-----")});
    TForm1& f = makeForm();
    ui.expectOpen(path);
    // A window manager may give the focus before the window is first drawn.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&f, &activate);
    QApplication::processEvents();
    EXPECT_TRUE(ui.dialogs().isEmpty());
    f.show();
    ASSERT_TRUE(testing_support::waitFor([&] { return f.Table1->isActive(); }));
    EXPECT_EQ(ui.dialogs().size(), 1);
}

// --- a table written through the engine reads back the same ------------------------------

TEST_F(Window, EveryFieldReadsBackAsWritten) {
    Q q;
    q.VoprStyle = "3";
    q.TypeVopr = "1";
    q.MaxOtv = "7";
    q.Vopr = QStringLiteral("Что изображено?\r\nЁлка — «ель»");
    for (int k = 0; k < 7; ++k) q.Otv[k] = QStringLiteral("Ответ №%1 ёЁ").arg(k + 1);
    q.RO = {true, false, std::nullopt, true, false, false, true};
    q.VoprRTF = rtfBytes(QStringLiteral("Жирный текст"));
    q.VoprBMP = bmpBytes(20, 10, QColor(10, 200, 30));
    const QString path = writeTest(work(), text("Биология"), {q});
    TForm1& f = makeForm();
    openTest(path);
    EXPECT_EQ(f.DBMemo1->toPlainText().replace("\n", "\r\n"), q.Vopr);
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(f.answerEdit(k)->text(), q.Otv[k - 1]) << k;
    const Qt::CheckState flags[7] = {Qt::Checked, Qt::Unchecked, Qt::PartiallyChecked,
                                     Qt::Checked, Qt::Unchecked, Qt::Unchecked,
                                     Qt::Checked};
    for (int k = 1; k <= 7; ++k)
        EXPECT_EQ(f.findChild<QCheckBox*>(QStringLiteral("DBCheckBox%1").arg(k))->checkState(),
                  flags[k - 1])
            << k;
    EXPECT_EQ(f.DBvoprRTF->toPlainText(), QStringLiteral("Жирный текст"));
    EXPECT_EQ(f.Table1->fieldByName("VoprBMP").asBytes(), q.VoprBMP);
    EXPECT_EQ(f.Table1->fieldByName("VoprRTF").asBytes(), q.VoprRTF);
    EXPECT_EQ(f.Table1->fieldByName("VoprStyle").asString(), "3");
    EXPECT_EQ(f.Table1->fieldByName("MaxOtv").asString(), "7");
    EXPECT_EQ(f.Table1->fieldByName("TypeVopr").asString(), "1");
}

}  // namespace
