// Enlarging the question area and restoring it.
#include "tests/editor/editor_fixture.h"

#include <QScrollBar>
#include <QTextCursor>

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

// The tools shown with a rich-text question keep their designed places in both sizes, and
// whatever the editor holds, nothing of its text is drawn where they stand.
TEST_F(QuestionArea, ToolsKeepTheirPlacesAndTheTextKeepsClearOfThem) {
    makeTest({{{"VoprStyle", "2"}}});
    edit();
    korvel::TForm1& f = editor();
    const std::pair<QWidget*, QRect> tools[] = {{f.GroupBox3, {560, 500, 224, 96}},
                                                {f.Pictogr, {800, 512, 44, 44}},
                                                {f.Button1, {800, 584, 161, 33}},
                                                {f.Help, {840, 8, 49, 49}},
                                                {f.Exit_Edit, {896, 8, 105, 49}}};
    auto inForm = [&](QWidget* w) { return QRect(w->mapTo(&f, QPoint(0, 0)), w->size()); };
    auto toolPixels = [&] {
        QList<QImage> out;
        for (const auto& [tool, place] : tools) out << f.grab(place).toImage();
        return out;
    };
    QString line;
    for (int i = 0; i < 40; ++i) line += QStringLiteral("WWWWWWWW ");
    QString text;
    for (int i = 0; i < 60; ++i) text += line + QStringLiteral("\\par ");
    const QByteArray full = ("{\\rtf1 " + text + "}").toLatin1();

    int normalHeight = 0;
    for (const bool enlarged : {false, true, false}) {
        SCOPED_TRACE(enlarged ? "enlarged" : "normal");
        if (frame->unit.QuestionExpanded != enlarged) f.PictogrClick();
        f.DBVoprRTF->loadRtf({});
        const QList<QImage> clear = toolPixels();
        for (const auto& [tool, place] : tools) {
            EXPECT_EQ(tool->geometry(), place) << tool->objectName().toStdString();
            ASSERT_FALSE(tool->isHidden()) << tool->objectName().toStdString();
            QWidget* hit = f.childAt(place.center());
            EXPECT_TRUE(hit == tool || tool->isAncestorOf(hit)) << tool->objectName().toStdString();
        }
        QList<QWidget*> parts{f.DBVoprRTF->viewport()};
        for (QWidget* bar : {static_cast<QWidget*>(f.DBVoprRTF->verticalScrollBar()),
                             static_cast<QWidget*>(f.DBVoprRTF->horizontalScrollBar())})
            if (bar->isVisible()) parts << bar;
        for (QWidget* part : parts)
            for (const auto& [tool, place] : tools)
                EXPECT_FALSE(inForm(part).intersects(place))
                    << part->metaObject()->className() << " under "
                    << tool->objectName().toStdString();

        // Text in every line, from the top and scrolled to the end.
        f.DBVoprRTF->loadRtf(full);
        EXPECT_EQ(toolPixels(), clear);
        f.DBVoprRTF->moveCursor(QTextCursor::End);
        f.DBVoprRTF->verticalScrollBar()->setValue(f.DBVoprRTF->verticalScrollBar()->maximum());
        EXPECT_EQ(toolPixels(), clear);

        const int height = f.DBVoprRTF->viewport()->height();
        if (!enlarged) {
            normalHeight = height;
            continue;
        }
        EXPECT_GT(height, 2 * normalHeight);  // the area still gains room
        // Beside the tools the editor is one sheet: the labels and lists it covers do not
        // show through.
        for (const QRect band : {QRect(12, 12, 280, 40), QRect(12, 504, 520, 96)}) {
            const QImage pixels = f.grab(band).toImage();
            int foreign = 0;
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x)
                    foreign += pixels.pixelColor(x, y) != f.DBVoprRTF->palette().base().color();
            EXPECT_EQ(foreign, 0) << band.y();
        }
    }
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
