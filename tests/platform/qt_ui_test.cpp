// The real boxes and dialogs, driven under the offscreen platform.
#include "platform/system.h"
#include "platform/ui.h"
#include "tests/harness/harness.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

using plat::Answer;
using plat::BoxKind;
using plat::Button;

// Runs act on the modal widget once it is up, from inside its event loop.
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

QAbstractButton* buttonNamed(QWidget* w, const QString& text) {
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->text().remove(u'&') == text) return b;
    return nullptr;
}

class QtUiTest : public testing_support::SuiteTest {};

TEST_F(QtUiTest, ConfirmationAnswersItsButtonOrClosedByTheFrame) {
    plat::UiServices& ui = plat::qtUi();
    QString caption, text;
    QMessageBox::Icon icon{};
    whenModal([&](QWidget* w) {
        auto* mb = qobject_cast<QMessageBox*>(w);
        caption = mb->windowTitle();
        text = mb->text();
        icon = mb->icon();
        buttonNamed(mb, "No")->click();
    });
    EXPECT_EQ(ui.confirm("Вы уверены,\rчто хотите выйти?"), Answer::No);
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(text, "Вы уверены,\nчто хотите выйти?");
    EXPECT_EQ(icon, QMessageBox::Question);

    whenModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(ui.confirm("Выйти?"), Answer::Closed);

    whenModal([](QWidget* w) { buttonNamed(w, "Yes")->click(); });
    EXPECT_EQ(ui.confirm("Выйти?"), Answer::Yes);
}

TEST_F(QtUiTest, PlainBoxHasNoIconAndTheTitle) {
    plat::UiServices& ui = plat::qtUi();
    ui.setTitle("Pandrel");
    QString caption;
    QMessageBox::Icon icon{};
    QStringList buttons;
    whenModal([&](QWidget* w) {
        auto* mb = qobject_cast<QMessageBox*>(w);
        caption = mb->windowTitle();
        icon = mb->icon();
        for (auto* b : mb->buttons()) buttons << b->text().remove(u'&');
        mb->close();
    });
    ui.message("печать протокола тестирования");
    EXPECT_EQ(caption, "Pandrel");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, QStringList{"OK"});
}

TEST_F(QtUiTest, TimersRunUnderAnOpenBox) {
    int ticks = 0;
    QTimer clock;
    QObject::connect(&clock, &QTimer::timeout, [&] { ++ticks; });
    clock.start(10);
    // The box closes once the clock has ticked three times under it (or, failing that, after
    // five seconds), so a busy machine cannot make the test miss ticks.
    int ticksAtOpen = -1;
    whenModal([&](QWidget* w) {
        ticksAtOpen = ticks;
        auto* poll = new QTimer(w);
        QObject::connect(poll, &QTimer::timeout, w, [&, w] {
            if (ticks >= ticksAtOpen + 3) buttonNamed(w, "OK")->click();
        });
        poll->start(5);
        QTimer::singleShot(5000, w, [w] { buttonNamed(w, "OK")->click(); });
    });
    plat::qtUi().information("Готово");
    EXPECT_GE(ticks, ticksAtOpen + 3);
}

// Errors reported under a standing standard error box (a socket notification handled in its
// loop) open no box of their own: the standing box shows how many came, sized to its new
// text, and one click closes them all.
TEST_F(QtUiTest, ErrorsUnderTheStandingErrorBoxAreFoldedIntoIt) {
    plat::UiServices& ui = plat::qtUi();
    ui.setTitle("Server");
    const QString reset = "Asynchronous socket error 104";
    int boxes = 0;
    QString shown;
    int labelWidth = 0, lineWidth = 0;
    whenModal([&](QWidget* w) {
        ++boxes;
        QTimer::singleShot(20, w, [&, w] {
            ui.standardError(reset);
            ui.standardError("Asynchronous socket error 110");
            ui.standardError(reset);
            EXPECT_EQ(QApplication::activeModalWidget(), w);
            QTimer::singleShot(50, w, [&, w] {
                auto* label = w->findChild<QLabel*>("box_text");
                ASSERT_NE(label, nullptr);
                shown = label->text();
                labelWidth = label->width();
                lineWidth =
                    QFontMetrics(label->font()).horizontalAdvance(shown.split('\n').value(2));
                buttonNamed(w, "OK")->click();
            });
        });
    });
    ui.standardError(reset);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shown, reset +
                         "\n\nПока открыто это окно, ещё ошибок: 3\n"
                         "Asynchronous socket error 104 (2)\nAsynchronous socket error 110");
    EXPECT_GE(labelWidth, lineWidth);
}

TEST_F(QtUiTest, InputBoxCancelKeepsThePresetCutTo255) {
    plat::UiServices& ui = plat::qtUi();
    const QString longPreset(300, u'я');
    int maxLength = 0;
    whenModal([&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        maxLength = edit->maxLength();
        edit->setText("другое");
        qobject_cast<QDialog*>(w)->reject();
    });
    EXPECT_EQ(ui.input("Вход", "Фамилия", longPreset), QString(255, u'я'));
    EXPECT_EQ(maxLength, 255);

    whenModal([&](QWidget* w) {
        w->findChild<QLineEdit*>()->setText("Иванов");
        qobject_cast<QDialog*>(w)->accept();
    });
    EXPECT_EQ(ui.input("Вход", "Фамилия", "x"), "Иванов");
}

TEST_F(QtUiTest, OpenDialogMakesTheChosenFolderCurrent) {
    QDir(work()).mkdir("Тесты");
    QFile f(inWork("Тесты/Физика.DB"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QStringList filters;
    whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        filters = dlg->nameFilters();
        dlg->selectFile(inWork("Тесты/Физика.DB"));
        QMetaObject::invokeMethod(dlg, "accept");
    });
    plat::FileDialogSpec spec;
    spec.title = "Выбор нужного теста";
    spec.filters = {{"Тесты", "*.DB"}};
    spec.defaultExt = "db";
    const auto chosen = plat::qtUi().openFile(spec);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, inWork("Тесты/Физика.DB"));
    EXPECT_EQ(QDir::currentPath(), QDir(inWork("Тесты")).canonicalPath());
    EXPECT_EQ(filters, QStringList{"Тесты (*.DB)"});

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(plat::qtUi().saveFile({}).has_value());
}

}  // namespace

namespace {

// The font dialog returns the font and a colour chosen from its basic ones; cancel keeps all.
TEST_F(QtUiTest, FontDialogGivesFontAndColour) {
    plat::FontChoice initial;
    initial.family = "Liberation Serif";
    initial.pointSize = 12;
    whenModal([&](QWidget* w) {
        auto* colours = w->findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_NE(colours, nullptr);
        colours->setCurrentIndex(colours->findText("Красный"));
        w->findChild<QFontDialog*>()->setCurrentFont(QFont("Liberation Sans", 14, QFont::Bold));
        qobject_cast<QDialog*>(w)->accept();
    });
    const auto chosen = plat::qtUi().chooseFont(initial);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->color, QColor(Qt::red));
    EXPECT_EQ(chosen->family, "Liberation Sans");
    EXPECT_EQ(chosen->pointSize, 14);
    EXPECT_TRUE(chosen->bold);

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(plat::qtUi().chooseFont(initial).has_value());
}

}  // namespace

namespace {

// A report line of ten items stays one line, as the classic box shows it.
TEST_F(QtUiTest, MessageBoxKeepsALineThatFitsTheScreen) {
    const QString line = "1[12+] 2[5-] 3[17+] 4[3+] 5[9-] 6[11+] 7[1+] 8[20-] 9[14+] 10[6-] ";
    bool wraps = true;
    int labelWidth = 0, lineWidth = 0;
    whenModal([&](QWidget* w) {
        QTimer::singleShot(50, w, [&, w] {
            auto* label = w->findChild<QLabel*>("box_text");
            ASSERT_NE(label, nullptr);
            wraps = label->wordWrap();
            labelWidth = label->width();
            lineWidth = QFontMetrics(label->font()).horizontalAdvance(line);
            w->grab().save(QDir::temp().filePath("suite-report-box.png"));
            buttonNamed(w, "OK")->click();
        });
    });
    plat::qtUi().message("Иванов Иван 9А\r\nВерных ответов: 7 из 10\r\n" + line + "\r\n");
    EXPECT_FALSE(wraps);
    EXPECT_GE(labelWidth, lineWidth);
}

}  // namespace

namespace {

// Choose's dialog: "*.db" in the name field, no file-type list, and a name typed in another
// case and without its extension opens the file.
TEST_F(QtUiTest, OpenDialogFindsATypedNameAsTheDesktopDoes) {
    testing_support::put(inWork("Физика.DB"), "t");
    QString preset;
    bool typeListShown = true;
    whenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        auto* edit = dlg->findChild<QLineEdit*>("fileNameEdit");
        preset = edit->text();
        typeListShown = dlg->findChild<QComboBox*>("fileTypeCombo")->isVisible();
        edit->setText("физика");
        QMetaObject::invokeMethod(dlg, "accept");
    });
    plat::FileDialogSpec spec;
    spec.initialDir = work();
    spec.fileName = "*.db";
    spec.defaultExt = "db";
    spec.fileMustExist = true;
    const auto chosen = plat::qtUi().openFile(spec);
    EXPECT_EQ(preset, "*.db");
    EXPECT_FALSE(typeListShown);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, inWork("Физика.DB"));
}

// Qt's own texts in Russian; the boxes keep the captions and buttons the programs give them.
TEST_F(QtUiTest, TranslationsLeaveTheBoxesTheirOwnButtons) {
    ASSERT_TRUE(plat::loadQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), "&Открыть");
    QString label;
    whenModal([&](QWidget* w) {
        label = w->findChild<QLabel*>("fileNameLabel")->text();
        qobject_cast<QDialog*>(w)->reject();
    });
    plat::qtUi().openFile({});
    EXPECT_NE(label, "File &name:");
    EXPECT_FALSE(label.isEmpty());

    QStringList buttons;
    QString caption;
    whenModal([&](QWidget* w) {
        auto* mb = qobject_cast<QMessageBox*>(w);
        caption = mb->windowTitle();
        for (auto* b : mb->buttons()) buttons << b->text().remove(u'&');
        buttonNamed(mb, "No")->click();
    });
    EXPECT_EQ(plat::qtUi().confirm("Выйти?"), Answer::No);
    EXPECT_EQ(caption, "Confirm");
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"No", "Yes"}));
}

// A long file name in a box: the box stands centred and wholly on the screen (the test
// screen is 800 pixels wide, narrower than a classroom's 1024), its button included, and no
// character of the text is lost to the breaks. So does a report taller than the screen.
struct LongCase {
    const char* name;
    QString text;
};
void PrintTo(const LongCase& c, std::ostream* os) { *os << c.name; }

QString tallReport() {
    QString r = "Иванов Иван 9А\r\nНомера заданных вопросов:\r\n";
    for (int i = 1; i <= 999; ++i) r += QStringLiteral("%1[%1+] ").arg(i) + (i % 10 ? "" : "\r\n");
    return r;
}

class LongMessage : public QtUiTest, public ::testing::WithParamInterface<LongCase> {};

TEST_P(LongMessage, StaysOnTheScreenCentred) {
    const QString text = GetParam().text;
    QRect box, ok, screenArea;
    QString shown;
    whenModal([&](QWidget* w) {
        QTimer::singleShot(50, w, [&, w] {
            screenArea = w->screen()->availableGeometry();
            box = w->frameGeometry();
            QAbstractButton* b = buttonNamed(w, "OK");
            ok = QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
            shown = w->findChild<QLabel*>("box_text")->text();
            w->grab().save(QDir::temp().filePath(
                QStringLiteral("suite-long-box-%1.png").arg(GetParam().name)));
            b->click();
        });
    });
    plat::qtUi().message(text);
    EXPECT_TRUE(screenArea.contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x"
                                          << box.height() << " on " << screenArea.width();
    EXPECT_TRUE(screenArea.contains(ok));
    EXPECT_LE(std::abs(box.center().x() - screenArea.center().x()), 1);
    EXPECT_GT(shown.count(u'\n'), 0);
    EXPECT_EQ(QString(shown).remove(u'\n').remove(u' '),
              QString(text).remove(u'\r').remove(u'\n').remove(u' '));
}

INSTANTIATE_TEST_SUITE_P(QtUi, LongMessage,
                         ::testing::Values(LongCase{"FileName",
                                                    "не найден файл " + QString(250, u'Ж') + ".DB"},
                                           LongCase{"ReportOf999", tallReport()}),
                         [](const auto& info) { return std::string(info.param.name); });

// Enter and Return press a focused push or tool button, as Space does; a check box is
// not ticked by them.
TEST_F(QtUiTest, EnterPressesTheFocusedButton) {
    plat::installEnterPressesFocusedButton();
    QWidget window;
    auto* push = new QPushButton("Следующий вопрос", &window);
    auto* tool = new QToolButton(&window);
    auto* box = new QCheckBox(&window);
    window.show();
    int pushed = 0, tooled = 0;
    QObject::connect(push, &QPushButton::clicked, [&] { ++pushed; });
    QObject::connect(tool, &QToolButton::clicked, [&] { ++tooled; });
    const auto press = [](QWidget* w, int key) {
        w->setFocus();
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, "\r");
        QApplication::sendEvent(w, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, "\r");
        QApplication::sendEvent(w, &up);
    };
    press(push, Qt::Key_Return);
    press(push, Qt::Key_Enter);
    press(tool, Qt::Key_Return);
    press(box, Qt::Key_Return);
    EXPECT_EQ(pushed, 2);
    EXPECT_EQ(tooled, 1);
    EXPECT_FALSE(box->isChecked());
}

}  // namespace
