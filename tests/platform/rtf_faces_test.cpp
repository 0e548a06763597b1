// The faces a document names and the installed faces that draw them: the stored font table
// keeps the designed names, and a designed face reads back drawn as its stand-in.
#include "platform/rtf/faces.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"
#include "rtf_support.h"

#include <QFontInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

using rtf_support::formatAt;

struct TableCase {
    const char* name;
    const char* controlFont;  // the document's default font: the control's own
    const char* chosen;       // a face put on the text as the font dialog does; "" for none
    const char* entry;        // the font table's entry the text is written in
    const char* text;         // how the text is written
};

void PrintTo(const TableCase& c, std::ostream* os) { *os << c.name; }

class FontTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(FontTable, NamesTheDesignedFace) {
    const TableCase& c = GetParam();
    QTextDocument doc;
    doc.setDefaultFont(QFont(c.controlFont, 12));
    QTextCharFormat f;
    if (*c.chosen) f.setFontFamilies(plat::rtf::drawnFamilies(c.chosen));
    QTextCursor(&doc).insertText("Fe", f);

    const QByteArray bytes = plat::rtf::write(&doc);
    EXPECT_TRUE(bytes.contains(c.entry)) << bytes.data();
    EXPECT_TRUE(bytes.contains(c.text)) << bytes.data();
    // A stand-in is named only where the author picked it.
    if (!QByteArray(c.chosen).startsWith("Liberation")) {
        EXPECT_FALSE(bytes.contains("Liberation")) << bytes.data();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontTable,
    ::testing::Values(
        // The control's font is named in its design by the stand-in that draws it.
        TableCase{"controlFontByItsStandIn", "Liberation Serif", "",
                  "{\\f0\\fnil\\fcharset204 Times New Roman;}", "\\pard Fe"},
        TableCase{"controlFontByItsName", "Times New Roman", "",
                  "{\\f0\\fnil\\fcharset204 Times New Roman;}", "\\pard Fe"},
        TableCase{"controlFontChosen", "Liberation Serif", "Times New Roman",
                  "{\\f0\\fnil\\fcharset204 Times New Roman;}", "\\pard Fe"},
        TableCase{"dialogsDesignedFace", "Liberation Serif", "MS Sans Serif",
                  "{\\f1\\fnil\\fcharset204 MS Sans Serif;}", "\\pard\\f1 Fe"},
        TableCase{"otherFace", "Liberation Serif", "Arial", "{\\f1\\fnil\\fcharset204 Arial;}",
                  "\\pard\\f1 Fe"},
        // Picked from the dialog's list by the author: kept as picked.
        TableCase{"standInPicked", "Liberation Serif", "Liberation Sans",
                  "{\\f1\\fnil\\fcharset204 Liberation Sans;}", "\\pard\\f1 Fe"}),
    [](const auto& info) { return std::string(info.param.name); });

// Each designed face and its stand-in, as the documents that name them are read.
struct FaceCase {
    const char* designed;
    const char* standIn;
};

void PrintTo(const FaceCase& c, std::ostream* os) { *os << c.designed; }

class DesignedFace : public ::testing::TestWithParam<FaceCase> {};

TEST_P(DesignedFace, AndItsStandInReadBackAsOneFace) {
    const FaceCase& c = GetParam();
    const QByteArray rtf = QByteArray("{\\rtf1\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 ") + c.designed +
                           ";}{\\f2 " + c.standIn + ";}}\\f1 a\\f2 b}";
    QTextDocument doc;
    plat::rtf::read(rtf, &doc);
    const QTextCharFormat designed = formatAt(doc, 0);
    const QTextCharFormat standIn = formatAt(doc, 1);
    // Each keeps its own name, and both are drawn in one installed face.
    EXPECT_EQ(designed.fontFamilies().toStringList().value(0), c.designed);
    EXPECT_EQ(standIn.fontFamilies().toStringList().value(0), c.standIn);
    EXPECT_EQ(QFontInfo(designed.font()).family(), QFontInfo(standIn.font()).family());
    EXPECT_EQ(QFontInfo(designed.font()).family(), plat::rtf::drawnFace(c.designed));

    const QByteArray again = plat::rtf::write(&doc);
    EXPECT_TRUE(again.contains(QByteArray(" ") + c.designed + ";}")) << again.data();
    EXPECT_TRUE(again.contains(QByteArray(" ") + c.standIn + ";}")) << again.data();
}

INSTANTIATE_TEST_SUITE_P(Faces, DesignedFace,
                         ::testing::Values(FaceCase{"Times New Roman", "Liberation Serif"},
                                           FaceCase{"MS Sans Serif", "Liberation Sans"}),
                         [](const auto& info) {
                             return QString(info.param.designed).remove(' ').toStdString();
                         });

// A table stored before named the control's font by its stand-in, as the default font of
// the document: saved again, it names the designed face.
TEST(DesignedFaceOfOldTables, TheStandInAsDefaultFontReadsAsTheDesignedFace) {
    QTextDocument doc;
    plat::rtf::read(
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 "
        "Liberation Serif;}}\r\n\\uc1\\pard \\'e4\\'e0\\par\r\n}",
        &doc);
    EXPECT_EQ(formatAt(doc, 0).fontFamilies().toStringList().value(0), "Times New Roman");
    const QByteArray again = plat::rtf::write(&doc);
    EXPECT_TRUE(again.contains("\\fcharset204 Times New Roman;}")) << again.data();
    EXPECT_FALSE(again.contains("Liberation")) << again.data();
}

}  // namespace
