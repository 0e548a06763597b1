#include "platform/rtf/plaintext.h"
#include "platform/rtf/richedit.h"
#include "rtf_support.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTextCursor>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using rtf_support::summaryOf;

namespace {

// Opens the clipboard hooks that QTextEdit keeps protected.
class Edit : public plat::RichEdit {
public:
    using plat::RichEdit::canInsertFromMimeData;
    using plat::RichEdit::createMimeDataFromSelection;
    using plat::RichEdit::insertFromMimeData;
};

void select(plat::RichEdit& e, int from, int to) {
    QTextCursor c = e.textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
}

const QByteArray kFe = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe{\\b 3+} ion}";

// The editor's buttons send absolute offsets: the last request wins.
struct OffsetSeq {
    const char* name;
    std::vector<int> requests;
    const char* summary;
};

void PrintTo(const OffsetSeq& c, std::ostream* os) { *os << c.name; }

class RichEditOffset : public ::testing::TestWithParam<OffsetSeq> {};

TEST_P(RichEditOffset, LastRequestIsTheOffsetOfTheSelectionOnly) {
    Edit e;
    e.loadRtf(kFe);
    select(e, 1, 4);  // "e3+": plain and bold characters
    for (int twips : GetParam().requests) e.setSelectionOffset(twips);
    QTextDocument* doc = e.document();
    EXPECT_EQ(summaryOf(*doc, "F"), "Arial 12");
    const QString off = GetParam().summary;
    EXPECT_EQ(summaryOf(*doc, "e"), ("Arial 12" + off).trimmed());
    EXPECT_EQ(summaryOf(*doc, "3+"), ("Arial 12 b" + off).trimmed());
    EXPECT_EQ(summaryOf(*doc, " ion"), "Arial 12");
}

INSTANTIATE_TEST_SUITE_P(Sequences, RichEditOffset,
                         ::testing::Values(OffsetSeq{"UpTwice", {70, 70}, " up70"},
                                           OffsetSeq{"UpThenDown", {70, -70}, " dn70"},
                                           OffsetSeq{"DownThenBaseline", {-70, 0}, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RichEditOffsetTyping, WithoutSelectionTheNextTypedTextIsRaised) {
    Edit e;
    e.loadRtf(kFe);
    e.moveCursor(QTextCursor::End);
    e.setSelectionOffset(70);
    e.insertPlainText("2");
    EXPECT_EQ(summaryOf(*e.document(), "2"), "Arial 12 up70");
}

TEST(RichEditFont, DialogResultReplacesTheSelectionsFontAndKeepsOffsets) {
    Edit e;
    e.loadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 a{\\b b}{\\up7 c}d}");
    select(e, 0, 3);
    plat::FontChoice f;
    f.family = "Times New Roman";
    f.pointSize = 24;
    f.italic = true;
    f.underline = true;
    f.color = QColor(0, 128, 0);
    f.charset = 204;
    e.applyFont(f);
    QTextDocument* doc = e.document();
    EXPECT_EQ(summaryOf(*doc, "a"), "Times New Roman 24 i u #008000");
    EXPECT_EQ(summaryOf(*doc, "b"), "Times New Roman 24 i u #008000");
    EXPECT_EQ(summaryOf(*doc, "c"), "Times New Roman 24 i u #008000 up70");
    EXPECT_EQ(summaryOf(*doc, "d"), "Arial 12");
    // 70 twips stay 3.5 points at the new size.
    EXPECT_NEAR(rtf_support::formatAt(*doc, 2).baselineOffset(), 3.5 / 24 * 100, 0.01);

    select(e, 0, 1);
    const plat::FontChoice got = e.selectionFont();
    EXPECT_EQ(got.family, f.family);
    EXPECT_EQ(got.pointSize, 24);
    EXPECT_FALSE(got.bold);
    EXPECT_TRUE(got.italic && got.underline && !got.strikeOut);
    EXPECT_EQ(got.color, f.color);
    EXPECT_EQ(got.charset, 204);
}

TEST(RichEditLoad, BytesThatAreNotRtfShowAsTextAndLoadingIsNotAnEdit) {
    Edit e;
    e.loadRtf(QByteArray("\xc4\xe0 1 < 2"));
    EXPECT_EQ(e.plainText(), "Да 1 < 2");
    EXPECT_FALSE(e.document()->isModified());
    EXPECT_FALSE(e.document()->isUndoAvailable());
    e.loadRtf(kFe);
    EXPECT_EQ(e.plainText(), "Fe3+ ion");
    EXPECT_TRUE(e.rtf().contains("\\b 3+\\b0  ion")) << e.rtf().data();
}

TEST(RichEditClipboard, CopyGivesRtfAndPlainTextOfTheSelection) {
    Edit e;
    e.loadRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe{\\up7 3+}\\par \\'e4\\'e0}");
    select(e, 0, 6);
    e.copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "Fe3+\nд");
    ASSERT_TRUE(data->hasFormat("text/rtf"));
    for (const char* type : {"text/richtext", "application/rtf"})
        EXPECT_EQ(data->data(type), data->data("text/rtf")) << type;
    EXPECT_EQ(plat::rtf::plainText(data->data("text/rtf")), "Fe3+\nд");
    EXPECT_TRUE(data->data("text/rtf").contains("\\up7 3+")) << data->data("text/rtf").data();
}

// Each name RTF goes by on a clipboard is pasted as RTF, replacing the selection.
class RichEditPasteRtf : public ::testing::TestWithParam<const char*> {};

TEST_P(RichEditPasteRtf, InsertsFormattedText) {
    Edit e;
    e.loadRtf(kFe);
    select(e, 4, 8);
    QMimeData data;
    data.setData(GetParam(), "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\i \\'e8\\'ee\\'ed}}");
    data.setText("plain");
    ASSERT_TRUE(e.canInsertFromMimeData(&data));
    e.insertFromMimeData(&data);
    EXPECT_EQ(e.plainText(), "Fe3+ион");
    EXPECT_EQ(summaryOf(*e.document(), "ион"), "Arial 10 i");
    EXPECT_EQ(summaryOf(*e.document(), "3+"), "Arial 12 b");
}

INSTANTIATE_TEST_SUITE_P(MimeNames, RichEditPasteRtf,
                         ::testing::Values("text/rtf", "Rich Text Format", "text/richtext",
                                           "application/rtf"));

TEST(RichEditPasteOther, PlainTextComesInWithoutMarkupAndPicturesDoNot) {
    Edit e;
    e.loadRtf(kFe);
    e.moveCursor(QTextCursor::End);

    QMimeData html;
    html.setHtml("<b>big</b>");
    html.setText("big");
    ASSERT_TRUE(e.canInsertFromMimeData(&html));
    e.insertFromMimeData(&html);
    EXPECT_EQ(e.plainText(), "Fe3+ ionbig");
    EXPECT_EQ(summaryOf(*e.document(), "big"), "Arial 12");

    QMimeData picture;
    picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_FALSE(e.canInsertFromMimeData(&picture));

    e.setReadOnly(true);
    e.insertFromMimeData(&html);
    EXPECT_EQ(e.plainText(), "Fe3+ ionbig");
}

}  // namespace
