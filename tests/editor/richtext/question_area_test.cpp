// Enlarging the question area and restoring it.
#include "tests/editor/editor_fixture.h"

namespace {

using editor_tests::QuestionEditor;

class QuestionArea : public QuestionEditor {
protected:
    void expectArea(const QRect& bounds, int trackBarMaximum, bool styleList) {
        korvel::TForm1& f = editor();
        EXPECT_EQ(f.DBVoprRTF->geometry(), bounds);
        EXPECT_EQ(f.DBVoprBMP->geometry(), bounds);
        EXPECT_EQ(f.DBMemo1->geometry(), QRect(8, 64, 993, 169));  // never resized
        EXPECT_EQ(f.TrackBar1->maximum(), trackBarMaximum);
        EXPECT_EQ(!f.DBVoprStyle->isHidden(), styleList);
    }
    const QRect kNormal{8, 64, 993, 169};
    const QRect kEnlarged{8, 8, 993, 620};
};

TEST_F(QuestionArea, TwoClicksEnlargeAndRestoreExactly) {
    makeTest({{{"VoprStyle", "2"}}});
    edit();
    expectArea(kNormal, 169, true);
    editor().PictogrClick();
    EXPECT_TRUE(frame->unit.QuestionExpanded);
    expectArea(kEnlarged, 620, false);
    editor().PictogrClick();
    EXPECT_FALSE(frame->unit.QuestionExpanded);
    expectArea(kNormal, 169, true);
}

TEST_F(QuestionArea, ToolsInsideTheEnlargedAreaStayClickable) {
    makeTest({{{"VoprStyle", "2"}}, {{"VoprStyle", "3"}}});
    edit();
    editor().PictogrClick();
    korvel::TForm1& f = editor();
    auto onTop = [&](QWidget* w) {
        const QPoint centre = w->mapTo(&f, w->rect().center());
        QWidget* hit = f.childAt(centre);
        return hit == w || w->isAncestorOf(hit);
    };
    EXPECT_TRUE(onTop(f.Pictogr));
    EXPECT_TRUE(onTop(f.font_pic));
    EXPECT_TRUE(onTop(f.Exit_Edit));
    f.DBNavigator1->btnClick(plat::nbNext);
    EXPECT_TRUE(onTop(f.Image_Paste));
    EXPECT_TRUE(onTop(f.Pictogr));
}

TEST_F(QuestionArea, EnlargedSurvivesMovesAndStyleChangesUntilLeaving) {
    makeTest({{{"VoprStyle", "2"}}, {{"VoprStyle", "1"}}, {{"VoprStyle", "3"}}});
    edit();
    editor().PictogrClick();
    editor().DBNavigator1->btnClick(plat::nbNext);  // plain text: memo and style list
    expectArea(kEnlarged, 620, true);
    editor().DBVoprStyle->choose(2);  // now a picture: the list is covered again
    EXPECT_FALSE(editor().DBVoprBMP->isHidden());
    expectArea(kEnlarged, 620, false);
    editor().DBNavigator1->btnClick(plat::nbNext);
    expectArea(kEnlarged, 620, false);
    EXPECT_TRUE(frame->unit.QuestionExpanded);

    editor().Exit_EditClick();
    EXPECT_FALSE(frame->unit.QuestionExpanded);
    expectArea(kNormal, 169, true);
    edit();
    editor().PictogrClick();  // the flag starts clear again: one click enlarges
    expectArea(kEnlarged, 620, false);
}

}  // namespace
