// The question editor's clipboard buttons: paste by the question's style, cut and copy of
// the picture.
#include "platform/dbctl/picture.h"
#include "platform/rtf/plaintext.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/richtext/text_forms.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QTest>

namespace {

using editor_tests::QuestionEditor;
using editor_tests::Record;
using plat::db::Table;

QImage pattern(QImage::Format format = QImage::Format_RGB32) {
    QImage image(24, 16, format);
    image.fill(QColor(0, 0, 255));
    QPainter p(&image);
    p.fillRect(0, 0, 12, 8, QColor(255, 0, 0));
    return image;
}

using testing_support::encoded;

const char kClipRtf[] = "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe{\\up7 3+}}";

enum class Clip { Empty, Text, CharsetText, Rtf, Image };

void fill(QMimeData& clip, Clip what) {
    clip.clear();
    switch (what) {
        case Clip::Empty: break;
        case Clip::Text: clip.setText(QStringLiteral("вставка")); break;
        case Clip::CharsetText:  // as many programs of an X11 desktop offer it
            clip.setData("text/plain;charset=utf-8", QStringLiteral("вставка").toUtf8());
            break;
        case Clip::Rtf:  // as word processors offer it: RTF beside its plain text
            clip.setData("text/rtf", kClipRtf);
            clip.setText("Fe3+");
            break;
        case Clip::Image: clip.setImageData(pattern()); break;
    }
}

struct PasteCase {
    const char* name;
    const char* style;  // the record's VoprStyle; "" for a style list with no selection
    Clip clip;
    const char* message;  // "" when it pastes
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

class Paste : public QuestionEditor, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(Paste, TakesTheStylesFormatOrSaysWhatIsMissing) {
    const PasteCase& c = GetParam();
    const QString style = *c.style ? c.style : "2";
    const QByteArray oldPicture = plat::bmpBytes(pattern().scaled(4, 4));
    makeTest({{{"VoprStyle", style},
               {"Vopr", "старый"},
               {"VoprRTF", "{\\rtf1 old}"},
               {"VoprBMP", QString::fromLatin1(oldPicture)}},
              {{"VoprStyle", "1"}}});
    edit();
    korvel::TForm1& f = editor();
    if (!*c.style) f.DBVoprStyle->setCurrentRow(-1);
    fill(clipboard.held, c.clip);
    f.DBMemo1->moveCursor(QTextCursor::End);
    f.DBVoprRTF->moveCursor(QTextCursor::End);
    const QString rtfBefore = f.DBVoprRTF->plainText();

    if (*c.message) ui.expect(plat::BoxKind::Plain, QString::fromUtf8(c.message));
    f.Image_PasteClick();
    ASSERT_TRUE(ui.finished());
    if (*c.message) {
        EXPECT_EQ(ui.boxes().first().caption, QStringLiteral("Korvel"));
        EXPECT_EQ(f.Table1.state(), Table::State::Browse);
        EXPECT_EQ(f.DBMemo1->toPlainText(), QStringLiteral("старый"));
        EXPECT_EQ(f.DBVoprRTF->plainText(), rtfBefore);
        EXPECT_EQ(plat::bmpBytes(f.DBVoprBMP->picture()), oldPicture);
        return;
    }
    EXPECT_EQ(f.Table1.state(), Table::State::Edit);
    // Pasted in edit mode: the next move writes it.
    f.DBNavigator1->btnClick(plat::nbNext);
    if (style == "1") {
        EXPECT_EQ(stored(1, "Vopr"),
                  QStringLiteral("старый") + (c.clip == Clip::Rtf ? "Fe3+" : "вставка"));
    } else if (style == "2") {
        const QByteArray rtf = storedBytes(1, "VoprRTF");
        EXPECT_EQ(plat::rtf::plainText(rtf), "oldFe3+");
        EXPECT_TRUE(rtf.contains("\\up7 3+")) << rtf.data();
    } else {
        EXPECT_EQ(plat::imageFromBlob(storedBytes(1, "VoprBMP")), pattern());
    }
}

const char kNoText[] = "Операция не может быть выполнена!\r\nВ буфере обмена нет простого текста";
const char kNoRtf[] = "Операция не может быть выполнена!\r\nВ буфере обмена нет RTF текста";
const char kNoBmp[] =
    "Операция не может быть выполнена!\r\nВ буфере обмена нет графического изображения формата BMP";

INSTANTIATE_TEST_SUITE_P(
    Cases, Paste,
    ::testing::Values(PasteCase{"textPasted", "1", Clip::Text, ""},
                      PasteCase{"textFromRtfClip", "1", Clip::Rtf, ""},
                      PasteCase{"textWithCharset", "1", Clip::CharsetText, ""},
                      PasteCase{"textMissing", "1", Clip::Image, kNoText},
                      PasteCase{"textEmptyClip", "1", Clip::Empty, kNoText},
                      PasteCase{"rtfPasted", "2", Clip::Rtf, ""},
                      PasteCase{"rtfPlainTextIsNotRtf", "2", Clip::Text, kNoRtf},
                      PasteCase{"rtfEmptyClip", "2", Clip::Empty, kNoRtf},
                      PasteCase{"rtfTextWithCharsetIsNotRtf", "2", Clip::CharsetText, kNoRtf},
                      PasteCase{"picturePasted", "3", Clip::Image, ""},
                      PasteCase{"pictureMissing", "3", Clip::Text, kNoBmp},
                      PasteCase{"pictureEmptyClip", "3", Clip::Empty, kNoBmp},
                      PasteCase{"noStyleSelected", "", Clip::Rtf, "ошибка"}),
    [](const auto& info) { return std::string(info.param.name); });

// The rich-text editor's own paste (Ctrl+V) of plain text in each form a program may offer
// it in, alone on the clipboard.
using editor_tests::TextForm;

class KeyPastedText : public QuestionEditor, public ::testing::WithParamInterface<TextForm> {
protected:
    void TearDown() override {
        QGuiApplication::clipboard()->clear();
        QuestionEditor::TearDown();
    }
    // Ctrl+V in the rich-text question of a fresh test, then the post; the stored text.
    QString pasteAndPost(QMimeData* clip) {
        makeTest({{{"VoprStyle", "2"}, {"VoprRTF", "{\\rtf1 old }"}}});
        edit();
        QGuiApplication::clipboard()->setMimeData(clip);
        korvel::TForm1& f = editor();
        f.DBVoprRTF->moveCursor(QTextCursor::End);
        QTest::keyClick(f.DBVoprRTF, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(f.Table1.state(), Table::State::Edit);
        f.DBNavigator1->btnClick(plat::nbPost);
        EXPECT_TRUE(ui.boxes().isEmpty());
        return plat::rtf::plainText(storedBytes(1, "VoprRTF"));
    }
};

TEST_P(KeyPastedText, IsPastedAndStored) {
    const TextForm& c = GetParam();
    auto* clip = new QMimeData;
    clip->setData(c.type, c.bytes);
    EXPECT_EQ(pasteAndPost(clip), QStringLiteral("old ") + QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Forms, KeyPastedText, ::testing::ValuesIn(editor_tests::textForms()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyPastedText, TakesRtfBeforeTheTextBesideIt) {
    auto* clip = new QMimeData;
    clip->setData("text/plain;charset=utf-8", "Fe3+");
    clip->setData("text/rtf", kClipRtf);
    EXPECT_EQ(pasteAndPost(clip), "old Fe3+");
    EXPECT_TRUE(storedBytes(1, "VoprRTF").contains("\\up7 3+"));
}

// Another program's picture in the forms it may come in, stored as a bitmap file.
struct PictureForm {
    const char* name;
    const char* mime;     // offered under this type alone; "" for Qt's own image
    const char* encoder;  // the bytes under that type
    QColor clear;         // where the source is transparent
};

void PrintTo(const PictureForm& c, std::ostream* os) { *os << c.name; }

class PastedPicture : public QuestionEditor, public ::testing::WithParamInterface<PictureForm> {};

TEST_P(PastedPicture, IsPostedAsABitmapFile) {
    const PictureForm& c = GetParam();
    makeTest({{{"VoprStyle", "3"}}});
    edit();
    // Half transparent: the stored bitmap has no alpha, the clear part comes out white.
    QImage source = pattern(QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y) source.setPixelColor(20, y, Qt::transparent);
    if (*c.mime)
        clipboard.held.setData(c.mime, encoded(source, c.encoder));
    else
        clipboard.held.setImageData(source);
    editor().Image_PasteClick();
    editor().DBNavigator1->btnClick(plat::nbPost);

    const QByteArray blob = storedBytes(1, "VoprBMP");
    ASSERT_TRUE(blob.startsWith("BM"));
    const QImage back = plat::imageFromBlob(blob);
    ASSERT_EQ(back.size(), source.size());
    EXPECT_FALSE(back.hasAlphaChannel());
    EXPECT_EQ(back.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(back.pixelColor(15, 12), QColor(0, 0, 255));
    EXPECT_EQ(back.pixelColor(20, 5), c.clear);
}

INSTANTIATE_TEST_SUITE_P(Forms, PastedPicture,
                         ::testing::Values(PictureForm{"qtImage", "", "", Qt::white},
                                           PictureForm{"png", "image/png", "PNG", Qt::white},
                                           // a BMP carries no alpha: the pixel's own colour
                                           PictureForm{"bmp", "image/bmp", "BMP", Qt::black}),
                         [](const auto& info) { return std::string(info.param.name); });

// Cut and copy put the picture on the clipboard; without one they do nothing.
struct CutCopyCase {
    const char* name;
    bool cut;
    bool picture;
};

void PrintTo(const CutCopyCase& c, std::ostream* os) { *os << c.name; }

class CutCopy : public QuestionEditor, public ::testing::WithParamInterface<CutCopyCase> {};

TEST_P(CutCopy, PutThePictureOnTheClipboard) {
    const CutCopyCase& c = GetParam();
    makeTest({{{"VoprStyle", "3"},
               {"VoprBMP", c.picture ? QString::fromLatin1(plat::bmpBytes(pattern())) : ""}}});
    edit();
    clipboard.held.setText("before");
    c.cut ? editor().Image_CutClick() : editor().Image_CopyClick();
    EXPECT_TRUE(ui.boxes().isEmpty());
    if (!c.picture) {
        EXPECT_EQ(clipboard.writes, 0);
        EXPECT_EQ(clipboard.held.text(), "before");
        EXPECT_EQ(editor().Table1.state(), Table::State::Browse);
        return;
    }
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(qvariant_cast<QImage>(clipboard.held.imageData()), pattern());
    EXPECT_EQ(editor().DBVoprBMP->picture().isNull(), c.cut);
    EXPECT_EQ(editor().Table1.state(), c.cut ? Table::State::Edit : Table::State::Browse);
    editor().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(storedBytes(1, "VoprBMP").isEmpty(), c.cut);
}

INSTANTIATE_TEST_SUITE_P(Cases, CutCopy,
                         ::testing::Values(CutCopyCase{"cut", true, true},
                                           CutCopyCase{"copy", false, true},
                                           CutCopyCase{"cutNothing", true, false},
                                           CutCopyCase{"copyNothing", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The focused picture takes the cut, copy and paste keys its hint names, as its buttons.
struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool clipTakesPicture;  // the clipboard then holds the question's picture
    bool pictureAfter;      // false: emptied; else the question's, or the pasted one
    bool pasted;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class PictureKeys : public QuestionEditor, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PictureKeys, RunTheClipboardButtons) {
    const KeyCase& c = GetParam();
    makeTest({{{"VoprStyle", "3"}, {"VoprBMP", QString::fromLatin1(plat::bmpBytes(pattern()))}}});
    edit();
    korvel::TForm1& f = editor();
    const QImage other = pattern().mirrored(true, false);
    clipboard.held.setImageData(other);

    QTest::mouseClick(f.DBVoprBMP, Qt::LeftButton);
    ASSERT_EQ(f.focusWidget(), f.DBVoprBMP);
    QTest::keyClick(f.DBVoprBMP, c.key, c.modifiers);

    EXPECT_TRUE(ui.boxes().isEmpty());
    EXPECT_EQ(qvariant_cast<QImage>(clipboard.held.imageData()),
              c.clipTakesPicture ? pattern() : other);
    const QImage expected = !c.pictureAfter ? QImage() : c.pasted ? other : pattern();
    EXPECT_EQ(f.DBVoprBMP->picture().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
    f.DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(plat::imageFromBlob(storedBytes(1, "VoprBMP")).convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PictureKeys,
    ::testing::Values(KeyCase{"ctrlX", Qt::Key_X, Qt::ControlModifier, true, false, false},
                      KeyCase{"ctrlC", Qt::Key_C, Qt::ControlModifier, true, true, false},
                      KeyCase{"ctrlV", Qt::Key_V, Qt::ControlModifier, false, true, true},
                      KeyCase{"plainX", Qt::Key_X, Qt::NoModifier, false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
