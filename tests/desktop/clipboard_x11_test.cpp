// korvel and another program of the desktop (xclip) pass RTF and pictures to each other
// through the X11 clipboard.
#include "platform/dbctl/picture.h"
#include "platform/rtf/plaintext.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/richtext/text_forms.h"

#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextCursor>

namespace {

using editor_tests::QuestionEditor;
using testing_support::waitFor;

QImage pattern() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 0));
    QPainter(&image).fillRect(5, 5, 10, 20, QColor(255, 255, 0));
    return image;
}

QByteArray png(const QImage& image) { return testing_support::encoded(image, "PNG"); }

class X11Clipboard : public QuestionEditor {
protected:
    void SetUp() override {
        QuestionEditor::SetUp();
        if (qgetenv("DISPLAY").isEmpty()) GTEST_SKIP() << "no virtual display (Xvfb missing)";
        if (QStandardPaths::findExecutable("xclip").isEmpty()) GTEST_SKIP() << "xclip missing";
    }
    plat::Services editorServices() override {
        plat::Services s = services();
        s.clipboard = &plat::qtClipboard();
        return s;
    }
    // xclip as the other program. It keeps serving the selection until another program
    // takes it; our event loop runs meanwhile, so we can answer its requests.
    QByteArray xclip(const QStringList& args, const QByteArray& input = {}) {
        QProcess p;
        p.start("xclip", QStringList{"-selection", "clipboard"} + args);
        EXPECT_TRUE(p.waitForStarted(5000));
        if (!input.isNull()) {
            p.write(input);
            p.closeWriteChannel();
        }
        EXPECT_TRUE(waitFor([&] { return p.state() == QProcess::NotRunning; }, 10000))
            << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    }
    // Waits until the clipboard offers the type, as a program that just put it there.
    bool offers(const QString& type) {
        return waitFor([&] {
            const QMimeData* d = plat::qtClipboard().data();
            return d && d->formats().contains(type);
        });
    }
};

TEST_F(X11Clipboard, RtfAndAPictureFromAnotherProgramAreStored) {
    makeTest({{{"VoprStyle", "2"}}, {{"VoprStyle", "3"}}});
    edit();
    xclip({"-t", "text/rtf", "-i"},
          "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Fe{\\up7 3+} H{\\dn7 2}O}");
    ASSERT_TRUE(offers("text/rtf"));
    editor().Image_PasteClick();
    editor().DBNavigator1->btnClick(plat::nbPost);
    const QByteArray rtf = storedBytes(1, "VoprRTF");
    EXPECT_EQ(plat::rtf::plainText(rtf), "Fe3+ H2O");
    EXPECT_TRUE(rtf.contains("\\up7 3+")) << rtf.data();
    EXPECT_TRUE(rtf.contains("\\dn7 2")) << rtf.data();

    editor().DBNavigator1->btnClick(plat::nbNext);
    xclip({"-t", "image/png", "-i"}, png(pattern()));
    ASSERT_TRUE(offers("image/png"));
    editor().Image_PasteClick();
    editor().DBNavigator1->btnClick(plat::nbPost);
    const QByteArray blob = storedBytes(2, "VoprBMP");
    EXPECT_TRUE(blob.startsWith("BM"));
    EXPECT_EQ(plat::imageFromBlob(blob), pattern());
    EXPECT_TRUE(ui.boxes().isEmpty());
}

// Plain text as another program offers it under one target only: Ctrl+V in the rich-text
// question pastes it.
using editor_tests::TextForm;

class X11PlainText : public X11Clipboard, public ::testing::WithParamInterface<TextForm> {};

TEST_P(X11PlainText, IsPastedIntoTheRichText) {
    const TextForm& c = GetParam();
    makeTest({{{"VoprStyle", "2"}, {"VoprRTF", "{\\rtf1 old }"}}});
    edit();
    const QString pasted = QString::fromUtf8(c.text);
    xclip({"-t", c.type, "-i"}, c.bytes);
    // Until xclip owns the selection, the clipboard may still hold the text of the last case.
    ASSERT_TRUE(waitFor([&] { return plat::plainText(plat::qtClipboard().data()) == pasted; }));
    editor().DBVoprRTF->moveCursor(QTextCursor::End);
    QTest::keyClick(editor().DBVoprRTF, Qt::Key_V, Qt::ControlModifier);
    editor().DBNavigator1->btnClick(plat::nbPost);
    EXPECT_EQ(plat::rtf::plainText(storedBytes(1, "VoprRTF")), QStringLiteral("old ") + pasted);
    EXPECT_TRUE(ui.boxes().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Targets, X11PlainText, ::testing::ValuesIn(editor_tests::textForms()),
                         [](const auto& info) { return std::string(info.param.name); });

// The copied picture as another program asks for it.
class X11PictureCopy : public X11Clipboard, public ::testing::WithParamInterface<const char*> {};

TEST_P(X11PictureCopy, IsReadBackByAnotherProgram) {
    makeTest({{{"VoprStyle", "3"}, {"VoprBMP", QString::fromLatin1(plat::bmpBytes(pattern()))}}});
    edit();
    editor().Image_CopyClick();
    const QByteArray targets = xclip({"-o", "-t", "TARGETS"});
    EXPECT_TRUE(targets.contains(GetParam())) << targets.data();
    const QImage back = QImage::fromData(xclip({"-o", "-t", GetParam()}));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), pattern());
}

INSTANTIATE_TEST_SUITE_P(Types, X11PictureCopy, ::testing::Values("image/png", "image/bmp"),
                         [](const auto& info) {
                             return QString(info.param).section('/', 1).toStdString();
                         });

}  // namespace
