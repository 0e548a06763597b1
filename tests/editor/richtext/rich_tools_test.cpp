// The rich-text tools of the question editor: the mouse-down that starts editing, the font
// dialog, and the superscript, subscript and baseline buttons.
#include "platform/rtf/charformat.h"
#include "tests/editor/editor_fixture.h"

#include <QTest>
#include <QTextCursor>

namespace {

using editor_tests::QuestionEditor;
using plat::db::Table;

const char kFeRtf[] = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Fe3+ H2O}";

class RichTools : public QuestionEditor {
protected:
    void SetUp() override {
        QuestionEditor::SetUp();
        makeTest({{{"VoprStyle", "2"}, {"VoprRTF", kFeRtf}}, {{"VoprStyle", "1"}}});
        edit();
    }
    // Selects the characters [from, to) of the rich-text question.
    void select(int from, int to) {
        QTextCursor c = editor().DBVoprRTF->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor().DBVoprRTF->setTextCursor(c);
    }
    QTextCharFormat formatAt(int position) {
        QTextCursor c(editor().DBVoprRTF->document());
        c.setPosition(position + 1);  // the format of the character before the cursor
        return c.charFormat();
    }
    Table::State state() { return editor().Table1.state(); }
    void pressInRichText() {
        QTest::mouseClick(editor().DBVoprRTF->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    }
};

TEST_F(RichTools, MouseDownInBrowseStartsEditingThroughTheNavigator) {
    editor().Label12->setText("?");  // the navigator's click handler writes it again
    pressInRichText();
    EXPECT_EQ(state(), Table::State::Edit);
    EXPECT_EQ(editor().Label12->text(), "1");
    EXPECT_TRUE(ui.boxes().isEmpty());
}

TEST_F(RichTools, MouseDownWhileEditingChangesNothing) {
    editor().DBNavigator1->btnClick(plat::nbEdit);
    editor().Label12->setText("?");
    pressInRichText();
    EXPECT_EQ(state(), Table::State::Edit);
    EXPECT_EQ(editor().Label12->text(), "?");  // the click handler did not run
}

TEST_F(RichTools, FontOutsideEditStartsEditingAndAsksForASelectionWithoutADialog) {
    ui.expect(
        plat::BoxKind::Plain,
        QStringLiteral("Предварительно необходимо выделить фрагмент текста левой кнопкой мыши"));
    editor().font_picClick();  // an unexpected font dialog would fail the test
    EXPECT_TRUE(ui.fontsOffered().isEmpty());
    EXPECT_EQ(state(), Table::State::Edit);
    EXPECT_EQ(ui.boxes().first().caption, QStringLiteral("Korvel"));
}

TEST_F(RichTools, ConfirmedFontGoesOnTheSelectionAndOpensTheNextDialog) {
    editor().DBNavigator1->btnClick(plat::nbEdit);
    select(0, 2);  // "Fe"
    plat::FontChoice chosen;
    chosen.family = QStringLiteral("Times New Roman");
    chosen.pointSize = 18;
    chosen.bold = true;
    chosen.italic = true;
    chosen.underline = true;
    chosen.strikeOut = true;
    chosen.color = QColor(0x80, 0, 0);
    chosen.charset = 204;
    ui.expectFont(chosen).expectFont(std::nullopt);
    editor().font_picClick();

    // The first dialog opens with the form's font, by its designed name.
    ASSERT_EQ(ui.fontsOffered().size(), 1);
    const plat::FontChoice& first = ui.fontsOffered()[0];
    EXPECT_EQ(first.family, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(first.pointSize, 8);
    EXPECT_EQ(first.color, QColor(Qt::black));
    EXPECT_FALSE(first.bold || first.italic || first.underline || first.strikeOut);
    EXPECT_EQ(first.charset, 1);

    const plat::FontChoice fe = plat::rtf::fontOf(formatAt(0), editor().DBVoprRTF->document());
    EXPECT_EQ(fe.family, chosen.family);
    EXPECT_EQ(fe.pointSize, 18);
    EXPECT_TRUE(fe.bold && fe.italic && fe.underline && fe.strikeOut);
    EXPECT_EQ(fe.color, chosen.color);
    EXPECT_EQ(formatAt(0).property(plat::rtf::CharsetProperty).toInt(), 204);
    const plat::FontChoice rest = plat::rtf::fontOf(formatAt(2), editor().DBVoprRTF->document());
    EXPECT_EQ(rest.family, QStringLiteral("Arial"));
    EXPECT_EQ(rest.pointSize, 12);

    // Cancelled: the selection keeps its font, and the dialog opened with the last one.
    select(3, 5);
    const QByteArray before = editor().DBVoprRTF->rtf();
    editor().font_picClick();
    EXPECT_EQ(editor().DBVoprRTF->rtf(), before);
    ASSERT_EQ(ui.fontsOffered().size(), 2);
    EXPECT_EQ(ui.fontsOffered()[1].family, chosen.family);
    EXPECT_EQ(ui.fontsOffered()[1].pointSize, 18);
    EXPECT_EQ(ui.fontsOffered()[1].color, chosen.color);
    EXPECT_TRUE(ui.fontsOffered()[1].strikeOut);

    editor().DBNavigator1->btnClick(plat::nbPost);
    const QByteArray rtf = storedBytes(1, "VoprRTF");
    EXPECT_TRUE(rtf.contains("\\fcharset204 Times New Roman;")) << rtf.data();
    EXPECT_FALSE(rtf.contains("Liberation")) << rtf.data();
    EXPECT_TRUE(rtf.contains("\\fs36")) << rtf.data();
}

// The index buttons on "3+" of "Fe3+", as the table holds them after a post.
struct OffsetCase {
    const char* name;
    std::vector<void (korvel::TForm1::*)()> clicks;
    int twips;
    const char* written;  // the control word in the stored RTF; "" for none
};

void PrintTo(const OffsetCase& c, std::ostream* os) { *os << c.name; }

class Offsets : public RichTools, public ::testing::WithParamInterface<OffsetCase> {};

TEST_P(Offsets, AreAbsoluteAndWrittenAsHalfPoints) {
    const OffsetCase& c = GetParam();
    pressInRichText();  // editing starts with the mouse, as the author selects
    select(2, 4);
    for (auto click : c.clicks) (editor().*click)();
    EXPECT_EQ(plat::rtf::offsetTwips(formatAt(2)), c.twips);
    EXPECT_EQ(plat::rtf::offsetTwips(formatAt(1)), 0);  // "e" stays on the baseline
    editor().DBNavigator1->btnClick(plat::nbPost);

    const QByteArray rtf = storedBytes(1, "VoprRTF");
    if (*c.written) {
        EXPECT_TRUE(rtf.contains(QByteArray(c.written) + " 3+")) << rtf.data();
    } else {
        EXPECT_FALSE(rtf.contains("\\up7") || rtf.contains("\\dn7")) << rtf.data();
        EXPECT_TRUE(rtf.contains("Fe3+ H2O")) << rtf.data();
    }
    EXPECT_FALSE(rtf.contains("\\up14") || rtf.contains("\\dn14")) << rtf.data();
}

using F = korvel::TForm1;
INSTANTIATE_TEST_SUITE_P(
    Cases, Offsets,
    ::testing::Values(OffsetCase{"up", {&F::UPClick}, 70, "\\up7"},
                      OffsetCase{"down", {&F::downClick}, -70, "\\dn7"},
                      OffsetCase{"undo", {&F::undoClick}, 0, ""},
                      OffsetCase{"upTwice", {&F::UPClick, &F::UPClick}, 70, "\\up7"},
                      OffsetCase{"upThenDown", {&F::UPClick, &F::downClick}, -70, "\\dn7"},
                      OffsetCase{"downThenUndo", {&F::downClick, &F::undoClick}, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
