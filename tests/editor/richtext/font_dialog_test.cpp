// The question editor's font dialog as the author meets it: the real box, opened by the font
// button, read and answered through its own widgets.
#include "platform/rtf/charformat.h"
#include "platform/rtf/faces.h"
#include "tests/editor/editor_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QTranslator>

namespace {

using editor_tests::QuestionEditor;

// The boxes from the script, the font dialog the real one.
class RealFontDialog : public plat::UiServices {
public:
    explicit RealFontDialog(plat::UiServices& boxes) : boxes_(boxes) {}
    plat::BoxReply show(const plat::Box& box) override { return boxes_.show(box); }
    std::optional<QString> openFile(const plat::FileDialogSpec& spec) override {
        return boxes_.openFile(spec);
    }
    std::optional<QString> saveFile(const plat::FileDialogSpec& spec) override {
        return boxes_.saveFile(spec);
    }
    std::optional<plat::FontChoice> chooseFont(const plat::FontChoice& initial) override {
        return plat::qtUi().chooseFont(initial);
    }

private:
    plat::UiServices& boxes_;
};

// What the box shows. Qt's font dialog makes its edits in the order face, style, size,
// sample, and its check boxes strike-out, underline.
struct Shown {
    QString face, style, size, colour;
    bool strikeOut = false, underline = false;
};

QFontDialog* fontPart(QWidget* box) { return box->findChild<QFontDialog*>(); }

Shown shownBy(QWidget* box) {
    const QList<QLineEdit*> edits = fontPart(box)->findChildren<QLineEdit*>();
    const QList<QCheckBox*> checks = fontPart(box)->findChildren<QCheckBox*>();
    Shown s;
    s.face = edits.value(0)->text();
    s.style = edits.value(1)->text();
    s.size = edits.value(2)->text();
    s.colour = box->findChild<QComboBox*>(QString(), Qt::FindDirectChildrenOnly)->currentText();
    s.strikeOut = checks.value(0)->isChecked();
    s.underline = checks.value(1)->isChecked();
    return s;
}

QLineEdit* sizeEdit(QWidget* box) { return fontPart(box)->findChildren<QLineEdit*>().value(2); }

// Selects the item of the font part's list (0 faces, 1 styles, 2 sizes) as a click does.
void pick(QWidget* box, int list, const QString& item) {
    QListView* view = fontPart(box)->findChildren<QListView*>().value(list);
    const QModelIndexList found = view->model()->match(view->model()->index(0, 0), Qt::DisplayRole,
                                                       item, 1, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << item.toStdString();
    view->setCurrentIndex(found.first());
}

QPushButton* buttonOf(QWidget* box, QDialogButtonBox::StandardButton which) {
    return box->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)->button(which);
}

// Whatever takes the keyboard in the box, in its order; buttons only when asked for.
QList<QWidget*> fieldsOf(QWidget* box, bool buttons) {
    QList<QWidget*> out;
    for (QWidget* w : box->findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisible() || !w->isEnabled()) continue;
        if (!buttons && qobject_cast<QPushButton*>(w)) continue;
        out << w;
    }
    return out;
}

class FontDialogTest : public QuestionEditor {
protected:
    void SetUp() override {
        QuestionEditor::SetUp();
        // In the program's language: Qt names the styles it looks for in it.
        if (russian_.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&russian_);
        boxes_.setTitle(ui.title());
        makeTest(
            {{{"VoprStyle", "2"}, {"VoprRTF", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe3+ H2O}"}}});
        edit();
        editor().DBNavigator1->btnClick(plat::nbEdit);
    }
    void TearDown() override {
        QCoreApplication::removeTranslator(&russian_);
        QuestionEditor::TearDown();
    }
    plat::Services editorServices() override {
        plat::Services s = services();
        s.ui = &boxes_;
        return s;
    }
    void select(int from, int to) {
        QTextCursor c = editor().DBVoprRTF->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor().DBVoprRTF->setTextCursor(c);
    }
    plat::FontChoice fontAt(int position) {
        QTextCursor c(editor().DBVoprRTF->document());
        c.setPosition(position + 1);
        return plat::rtf::fontOf(c.charFormat(), editor().DBVoprRTF->document());
    }
    // Clicks the font button; act runs on the box once it is up, and must close it. A box
    // still open afterwards fails the test and is closed, so the test goes on.
    void openFontDialog(const std::function<void(QDialog*)>& act) {
        bool ran = false;
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [&, timer] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!box) return;
            timer->stop();
            timer->deleteLater();
            ran = true;
            act(box);
            QTimer::singleShot(0, [guard = QPointer<QDialog>(box)] {
                if (guard && guard->isVisible()) {
                    ADD_FAILURE() << "the font box is still open";
                    guard->reject();
                }
            });
        });
        timer->start();
        editor().font_picClick();
        EXPECT_TRUE(ran) << "no font box";
    }

    RealFontDialog boxes_{ui};
    QTranslator russian_;
};

TEST_F(FontDialogTest, OpensWithTheFormsFontThenWithTheOneLastConfirmed) {
    // First opening: the form's font, drawn by the installed face, with its regular style.
    select(0, 2);  // "Fe"
    Shown first;
    openFontDialog([&](QDialog* box) {
        first = shownBy(box);
        buttonOf(box, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(first.face, plat::rtf::drawnFace("MS Sans Serif"));
    EXPECT_FALSE(QFontDatabase::bold(first.face, first.style)) << first.style.toStdString();
    EXPECT_FALSE(QFontDatabase::italic(first.face, first.style)) << first.style.toStdString();
    EXPECT_EQ(first.size, "8");
    EXPECT_EQ(first.colour, QStringLiteral("Черный"));
    EXPECT_FALSE(first.strikeOut || first.underline);

    // OK without a change gives the selection the form's font by its designed name.
    const plat::FontChoice fe = fontAt(0);
    EXPECT_EQ(fe.family, "MS Sans Serif");
    EXPECT_EQ(fe.pointSize, 8);
    EXPECT_FALSE(fe.bold || fe.italic || fe.underline || fe.strikeOut);
    EXPECT_EQ(fontAt(2).family, "Arial");  // outside the selection nothing changed

    // A change confirmed on "3+"...
    select(2, 4);
    openFontDialog([&](QDialog* box) {
        pick(box, 0, "Liberation Serif");
        pick(box, 1, "Bold");
        pick(box, 2, "14");
        buttonOf(box, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(fontAt(2).family, "Liberation Serif");
    EXPECT_TRUE(fontAt(2).bold);

    // ...opens the next dialog, which a cancel leaves as it was, and the selection too.
    for (int opening = 0; opening < 2; ++opening) {
        select(5, 7);  // "H2"
        Shown next;
        openFontDialog([&](QDialog* box) {
            next = shownBy(box);
            buttonOf(box, QDialogButtonBox::Cancel)->click();
        });
        EXPECT_EQ(next.face, "Liberation Serif") << opening;
        EXPECT_TRUE(QFontDatabase::bold(next.face, next.style)) << next.style.toStdString();
        EXPECT_EQ(next.size, "14");
        EXPECT_EQ(fontAt(5).family, "Arial");
    }

    editor().DBNavigator1->btnClick(plat::nbPost);
    const QByteArray rtf = storedBytes(1, "VoprRTF");
    EXPECT_TRUE(rtf.contains("{\\f1\\fnil\\fcharset204 MS Sans Serif;}")) << rtf.data();
    EXPECT_TRUE(rtf.contains("\\f1\\fs16\\cf1 Fe")) << rtf.data();  // 8 points, not bold
}

// Escape cancels and Return confirms the whole box, whichever of its parts has the keyboard;
// neither may leave the box standing with its font part gone.
struct KeyCase {
    const char* name;
    Qt::Key key;
    bool confirms;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class FontDialogKeys : public FontDialogTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(FontDialogKeys, CloseTheBoxFromEveryField) {
    const KeyCase& c = GetParam();
    select(0, 2);
    int fields = 0;
    openFontDialog([&](QDialog* box) {
        fields = int(fieldsOf(box, !c.confirms).size());
        box->reject();
    });
    ASSERT_GE(fields, 8);  // face, style and size lists and edits, effects, colour...

    for (int i = 0; i < fields; ++i) {
        const int sizeBefore = editor().FontDialog1.font().pointSize;
        const int asked = 20 + i;  // a size of this round, set in the box before the key
        QString field;
        openFontDialog([&](QDialog* box) {
            QWidget* w = fieldsOf(box, !c.confirms).value(i);
            ASSERT_NE(w, nullptr);
            field = QString::fromLatin1(w->metaObject()->className());
            sizeEdit(box)->setText(QString::number(asked));
            w->setFocus();
            QTest::keyClick(w, c.key);
        });
        SCOPED_TRACE(field.toStdString());
        if (c.confirms) {
            EXPECT_EQ(fontAt(0).pointSize, asked);
            EXPECT_EQ(editor().FontDialog1.font().pointSize, asked);
        } else {
            EXPECT_EQ(fontAt(0).pointSize, 12);  // the selection as it was
            EXPECT_EQ(editor().FontDialog1.font().pointSize, sizeBefore);
        }
    }
    EXPECT_TRUE(ui.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Keys, FontDialogKeys,
                         ::testing::Values(KeyCase{"escape", Qt::Key_Escape, false},
                                           KeyCase{"returnKey", Qt::Key_Return, true},
                                           KeyCase{"enter", Qt::Key_Enter, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
