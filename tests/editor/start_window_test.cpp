// The start window: Choose, the operations panel's modes and check boxes, help, web test.
#include "common/fixed.h"
#include "common/question.h"
#include "editor/TForm3.h"
#include "platform/db/create.h"
#include "tests/editor/start_window_fixture.h"
#include "tests/harness/harness.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

using namespace testing_support;
using plat::BoxKind;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

class StartWindow : public editor_tests::StartWindowTest {
protected:
    // Buttons shown in the panel, by name, in a fixed order.
    QStringList shownButtons() const {
        QStringList out;
        for (QPushButton* b : {form->Button5, form->btEdit, form->Button1, form->Button6,
                               form->Button7, form->Button3})
            if (!b->isHidden()) out << b->objectName();
        return out;
    }
    void choose(const QString& name) {
        ui.expectOpen(inWork(name));
        form->Button4Click();
    }
};

const QStringList kAllSix{"Button5", "btEdit", "Button1", "Button6", "Button7", "Button3"};

TEST_F(StartWindow, StartsWithThePanelHiddenAndNoCurrentTest) {
    EXPECT_TRUE(form->GroupBox1->isHidden());
    EXPECT_TRUE(unit3.FirstActivation);
    EXPECT_TRUE(unit3.TestName.isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Конструктор тестов Korvel"));
    EXPECT_EQ(form->btEdit->text(), QStringLiteral("Pедактирование "));  // Latin P
    EXPECT_EQ(form->btEdit->text().at(0), QChar(u'P'));
}

// The extension in any mix of case; the panel mode follows the web page's presence.
struct ChooseCase {
    const char* file;
    bool webPage;
};
class ChooseAccepted : public StartWindow, public ::testing::WithParamInterface<ChooseCase> {};

TEST_P(ChooseAccepted, MakesTheTestCurrentAndSetsThePanelMode) {
    const QString file = QString::fromUtf8(GetParam().file);
    touch(inWork(file));
    if (GetParam().webPage) touch(inWork(QStringLiteral("Физика.HTML")));
    choose(file);

    EXPECT_EQ(unit3.TestFileName, file);
    EXPECT_EQ(unit3.TestName, file);
    EXPECT_EQ(unit3.WebTestFileName, QStringLiteral("Физика.HTML"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("Операции с тестом: <") + file + ">");
    EXPECT_FALSE(form->GroupBox1->isHidden());
    if (GetParam().webPage) {
        EXPECT_EQ(form->Label2->text(), QStringLiteral("Операции с файлами:"));
        EXPECT_FALSE(form->CheckBox1->isHidden());
        EXPECT_FALSE(form->CheckBox2->isHidden());
        EXPECT_TRUE(form->CheckBox1->isChecked());
        EXPECT_TRUE(form->CheckBox2->isChecked());
        EXPECT_EQ(shownButtons(), kAllSix);
    } else {
        EXPECT_EQ(form->Label2->text(), QStringLiteral("Операции с файлами локального теста."));
        EXPECT_TRUE(form->CheckBox1->isHidden());
        EXPECT_TRUE(form->CheckBox2->isHidden());
        EXPECT_TRUE(form->CheckBox1->isChecked());
        EXPECT_FALSE(form->CheckBox2->isChecked());
        EXPECT_EQ(shownButtons(),
                  (QStringList{"Button5", "btEdit", "Button1", "Button6", "Button7"}));
    }
    ASSERT_EQ(ui.dialogs().size(), 1);
    EXPECT_EQ(ui.dialogs()[0].fileName, QStringLiteral("*.db"));
    EXPECT_EQ(ui.dialogs()[0].defaultExt, QStringLiteral("db"));
    EXPECT_TRUE(ui.dialogs()[0].fileMustExist);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChooseAccepted,
                         ::testing::Values(ChooseCase{"Физика.DB", true},
                                           ChooseCase{"Физика.DB", false},
                                           ChooseCase{"Физика.db", true},
                                           ChooseCase{"Физика.dB", false},
                                           ChooseCase{"Физика.Db", false}));

// Every refusal shows its message, leaves the current test alone and opens the dialog again
// in the working folder with "*.db".
struct Refusal {
    const char* label;
    std::function<QString(const QString& work)> path;  // nullptr result: cancel
    const char* message;                               // empty: one of our own
};

class ChooseRefused : public StartWindow, public ::testing::WithParamInterface<Refusal> {};

TEST_P(ChooseRefused, AsksAgainWithTheMessage) {
    touch(inWork(QStringLiteral("Химия.db")));
    const QString refused = GetParam().path(work());
    ui.expectOpen(refused.isEmpty() ? std::nullopt : std::optional<QString>(refused));
    ui.expect(BoxKind::Plain, QString::fromUtf8(GetParam().message));
    ui.expectOpen(inWork(QStringLiteral("Химия.db")));
    ui.onShow = [&](const plat::Box&) {
        EXPECT_TRUE(unit3.TestName.isEmpty());
        EXPECT_TRUE(form->GroupBox1->isHidden());
    };
    form->Button4Click();

    EXPECT_EQ(unit3.TestName, QStringLiteral("Химия.db"));
    ASSERT_EQ(ui.dialogs().size(), 2);
    for (const plat::FileDialogSpec& d : ui.dialogs()) {
        EXPECT_EQ(QDir(d.initialDir).canonicalPath(), QDir(work()).canonicalPath());
        EXPECT_EQ(d.fileName, QStringLiteral("*.db"));
    }
    ASSERT_FALSE(ui.boxes().isEmpty());
    EXPECT_EQ(ui.boxes()[0].caption, ui.title());
    // Accepted in the working folder: the current directory is the working folder again.
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(work()).canonicalPath());
}

const char* kBadName = "недопустимое имя файла формата PARADOX";

QString ofLength(const QString& work, int total) {
    const QString head = work + "/";
    return head + QString(total - head.size() - 3, u'a') + ".db";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseRefused,
    ::testing::Values(
        Refusal{"cancel", [](const QString&) { return QString(); }, "необходимо выбрать тест !!!"},
        Refusal{"dbf", [](const QString& w) { return w + "/Химия.dbf"; }, kBadName},
        Refusal{"txt", [](const QString& w) { return w + "/Химия.txt"; }, kBadName},
        Refusal{"short", [](const QString&) { return QStringLiteral(".db"); }, kBadName},
        Refusal{"len256", [](const QString& w) { return ofLength(w, 256); }, kBadName},
        Refusal{"noFolder", [](const QString&) { return QStringLiteral("Химия.db"); },
                "bad aliase"},
        Refusal{"outside", [](const QString& w) { return w + "/sub/Химия.db"; }, ""},
        Refusal{"twoDots", [](const QString& w) { return w + "/Тест 1.2.db"; }, ""},
        Refusal{"wildcard", [](const QString& w) { return w + "/Те*ст.db"; }, ""},
        Refusal{"backslash", [](const QString& w) { return w + "/Те\\ст.db"; }, ""},
        Refusal{"noName", [](const QString& w) { return w + "/.db"; }, ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(StartWindow, ChooseAcceptsAPathOf255Characters) {
    const QString path = ofLength(work(), 255);
    touch(path);
    ui.expectOpen(path);
    form->Button4Click();
    EXPECT_EQ(unit3.TestName, path.mid(work().size() + 1));
}

TEST_F(StartWindow, ChooseOutsideTheWorkingFolderTellsWhereToCopyIt) {
    QDir(work()).mkdir("sub");
    touch(inWork("sub/Химия.db"));
    touch(inWork("Химия.db"));
    ui.expectOpen(inWork("sub/Химия.db")).expect(BoxKind::Plain).expectOpen(inWork("Химия.db"));
    form->Button4Click();
    ASSERT_EQ(ui.boxes().size(), 1);
    EXPECT_TRUE(ui.boxes()[0].text.contains(QStringLiteral("вне рабочей папки")));
    EXPECT_TRUE(ui.boxes()[0].text.contains(QStringLiteral("Копирование теста в рабочую папку")));
}

// Choose can always be left: a Cancel right after "необходимо выбрать тест !!!" ends it
// with nothing changed, also in a folder without any test.
TEST_F(StartWindow, SecondCancelInARowLeavesChooseWithNothingChanged) {
    const QString mustChoose = QStringLiteral("необходимо выбрать тест !!!");
    ui.expectOpen(std::nullopt).expect(BoxKind::Plain, mustChoose).expectOpen(std::nullopt);
    form->Button4Click();
    EXPECT_TRUE(ui.finished());
    EXPECT_TRUE(unit3.TestName.isEmpty());
    EXPECT_TRUE(form->GroupBox1->isHidden());

    // With a test current: a refusal in between counts as an answer, so the next Cancel
    // brings the message again; only the Cancel right after it leaves.
    touch(inWork("Физика.DB"));
    choose("Физика.DB");
    QDir(work()).mkdir("sub");
    touch(inWork("sub/Химия.db"));
    ui.expectOpen(std::nullopt)
        .expect(BoxKind::Plain, mustChoose)
        .expectOpen(inWork("sub/Химия.db"))
        .expect(BoxKind::Plain)
        .expectOpen(std::nullopt)
        .expect(BoxKind::Plain, mustChoose)
        .expectOpen(std::nullopt);
    form->Button4Click();
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(unit3.TestName, QStringLiteral("Физика.DB"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("Операции с тестом: <Физика.DB>"));
    EXPECT_FALSE(form->GroupBox1->isHidden());
}

// Local+web, untick "Локального теста", then choose a test without a web page: the
// handlers run in the order the boxes change.
TEST_F(StartWindow, ChoosingALocalTestAfterUntickingTheLocalBox) {
    touch(inWork("Физика.DB"));
    touch(inWork("Физика.HTML"));
    touch(inWork("Химия.DB"));
    choose("Физика.DB");
    form->CheckBox1->setChecked(false);
    EXPECT_EQ(shownButtons(), (QStringList{"Button6", "Button7", "Button3"}));

    QStringList seen;
    QObject::connect(form->CheckBox1, &QCheckBox::toggled,
                     [&] { seen << "CheckBox1:" + shownButtons().join(','); });
    QObject::connect(form->CheckBox2, &QCheckBox::toggled,
                     [&] { seen << "CheckBox2:" + shownButtons().join(','); });
    choose("Химия.DB");
    EXPECT_EQ(seen, (QStringList{"CheckBox1:Button5,btEdit,Button1,Button6,Button7,Button3",
                                 "CheckBox2:Button5,btEdit,Button6"}));
    EXPECT_EQ(shownButtons(), (QStringList{"Button5", "btEdit", "Button1", "Button6", "Button7"}));
}

TEST_F(StartWindow, UntickingBothBoxesHidesAllSixAndTickingWebBringsItsFourBack) {
    touch(inWork("Физика.DB"));
    touch(inWork("Физика.HTML"));
    choose("Физика.DB");
    form->CheckBox1->setChecked(false);
    form->CheckBox2->setChecked(false);
    EXPECT_TRUE(shownButtons().isEmpty());
    form->CheckBox2->setChecked(true);
    EXPECT_EQ(shownButtons(), (QStringList{"Button1", "Button6", "Button7", "Button3"}));
}

TEST_F(StartWindow, ShowTestOperationsFromLocalToWebShowsAllSix) {
    form->ShowTestOperations(false);
    form->ShowTestOperations(true);
    EXPECT_EQ(shownButtons(), kAllSix);
    EXPECT_FALSE(form->CheckBox1->isHidden());
    EXPECT_TRUE(form->CheckBox2->isChecked());
}

// The template set beside the test: the built blank table when there is one.
void copyTemplateSet(const QString& work) {
    const QString built = QCoreApplication::applicationDirPath() + "/../korvel/new.zag";
    if (QFile::exists(built))
        ASSERT_TRUE(QFile::copy(built, work + "/new.zag"));
    else
        plat::db::createTableFile(work + "/new.zag", common::kMasterPassword,
                                  common::templateFields());
    touch(work + "/new.CRO");
}

TEST_F(StartWindow, CreateMakesTheNewTestCurrentInLocalOnlyMode) {
    copyTemplateSet(work());
    ui.expect(BoxKind::Input, {}, plat::Answer::Ok, QStringLiteral("Физика"));
    ui.expect(BoxKind::Information,
              QStringLiteral("заготовка теста <Физика.db> создана!\r"
                             "заполнить тест вопросами можно в режиме редактирования."));
    form->Button2Click();
    EXPECT_TRUE(QFile::exists(inWork("Физика.DB")));
    EXPECT_EQ(unit3.TestName, QStringLiteral("Физика.db"));
    EXPECT_EQ(unit3.TestFileName, QStringLiteral("Физика.db"));
    EXPECT_EQ(unit3.WebTestFileName, QStringLiteral("Физика.HTML"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("Операции с тестом: <Физика.db>"));
    EXPECT_FALSE(form->GroupBox1->isHidden());
    EXPECT_EQ(form->Label2->text(), QStringLiteral("Операции с файлами локального теста."));
    EXPECT_EQ(shownButtons(), (QStringList{"Button5", "btEdit", "Button1", "Button6", "Button7"}));
}

TEST_F(StartWindow, ARefusedCreateLeavesTheCurrentTestAndPanelAlone) {
    copyTemplateSet(work());
    touch(inWork("Химия.db"));
    touch(inWork("Химия.HTML"));
    choose("Химия.db");
    ui.expect(BoxKind::Input, {}, plat::Answer::Ok, QStringLiteral("NEW"));
    ui.expect(BoxKind::Error, QStringLiteral("NEW - недопустимое имя теста"));
    form->Button2Click();
    EXPECT_EQ(unit3.TestName, QStringLiteral("Химия.db"));
    EXPECT_EQ(unit3.WebTestFileName, QStringLiteral("Химия.HTML"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("Операции с тестом: <Химия.db>"));
    EXPECT_EQ(shownButtons(), kAllSix);
}

TEST_F(StartWindow, HelpAndWebTestGoToTheShellRelativeToTheCurrentDirectory) {
    touch(inWork("Физика.DB"));
    choose("Физика.DB");
    form->btHelp->click();
    form->Button3Click();
    EXPECT_EQ(shell.opened, (QStringList{"help_korvel.html", "Физика.HTML"}));
}

TEST_F(StartWindow, IsCentredInTheAvailableAreaWhereItFits) {
    // Too tall for the area beneath a panel: at its top, not above it.
    system.screen = QRect(0, 40, 1025, 367);
    korvel::TForm3 other(services(), unit3);
    EXPECT_EQ(other.pos(), QPoint((1025 - 484) / 2, 40));
}

}  // namespace
