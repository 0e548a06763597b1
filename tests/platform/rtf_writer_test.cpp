#include "platform/rtf/charformat.h"
#include "platform/rtf/plaintext.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"
#include "rtf_support.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using rtf_support::summaries;
using rtf_support::summaryOf;

namespace {

QTextCharFormat fmt(const QString& family, qreal points) {
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(points);
    return f;
}

// A document with every format the control keeps, Cyrillic and characters outside
// Windows-1251, escapes, and paragraphs of each alignment, one of them empty.
void fillEverything(QTextDocument& doc) {
    QTextCursor c(&doc);
    QTextCharFormat plain = fmt("Times New Roman", 12);
    c.insertText("Обычный {текст} \\ ", plain);
    QTextCharFormat f = fmt("Arial", 14);
    f.setFontWeight(QFont::Bold);
    c.insertText("жирный", f);
    f.setFontItalic(true);
    c.insertText("курсив", f);
    f = fmt("Courier New", 10);
    f.setFontFixedPitch(true);
    f.setFontUnderline(true);
    c.insertText("под\tчерк", f);
    f.setFontUnderline(false);
    f.setFontStrikeOut(true);
    f.setForeground(QColor(200, 30, 40));
    c.insertText("зачёркнуто", f);
    QTextBlockFormat bf;
    bf.setAlignment(Qt::AlignHCenter);
    c.insertBlock(bf, plain);
    c.insertText("Fe", plain);
    QTextCharFormat up = plain;
    plat::rtf::setOffsetTwips(up, 70, 12);
    c.insertText("3+", up);
    QTextCharFormat dn = fmt("Arial", 9);
    plat::rtf::setOffsetTwips(dn, -70, 9);
    dn.setForeground(QColor(0, 0, 255));
    c.insertText("вниз", dn);
    QTextCharFormat sup = plain;
    sup.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    c.insertText("2", sup);
    QTextCharFormat sub = plain;
    sub.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    c.insertText("i", sub);
    bf.setAlignment(Qt::AlignRight);
    c.insertBlock(bf, plain);
    bf.setAlignment(Qt::AlignJustify);
    c.insertBlock(bf, plain);
    c.insertText(QString::fromUtf8("Ω€ 龍\u00A0—№") + QChar(QChar::LineSeparator) + "конец", plain);
    bf.setAlignment(Qt::AlignLeft);
    c.insertBlock(bf, plain);
}

QList<Qt::Alignment> alignments(const QTextDocument& doc) {
    QList<Qt::Alignment> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << (b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    return out;
}

TEST(RtfRoundTrip, WhatIsWrittenReadsBackToTheSameTextAndFormats) {
    QTextDocument original;
    fillEverything(original);
    const QByteArray bytes = plat::rtf::write(&original);

    QTextDocument back;
    plat::rtf::read(bytes, &back);
    EXPECT_EQ(plat::rtf::plainText(&back), plat::rtf::plainText(&original));
    EXPECT_EQ(summaries(back), summaries(original));
    EXPECT_EQ(alignments(back), alignments(original));
    // Written again, it is the same file.
    EXPECT_EQ(plat::rtf::write(&back), bytes);
}

TEST(RtfWrite, HeaderFontTableAndCharactersInWindows1251) {
    QTextDocument doc;
    QTextCursor(&doc).insertText("Щи Ω", fmt("Arial", 12));
    const QByteArray bytes = plat::rtf::write(&doc);
    EXPECT_TRUE(bytes.startsWith("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl")) << bytes.data();
    EXPECT_TRUE(bytes.contains("\\fcharset204 Arial;")) << bytes.data();
    // Cyrillic as \'hh of Windows-1251, what it lacks as \uN with a fall-back.
    EXPECT_TRUE(bytes.contains("\\'d9\\'e8 \\u937?")) << bytes.data();
    for (char b : bytes) ASSERT_GE(static_cast<unsigned char>(b), 0x09) << bytes.data();
    for (char b : bytes) ASSERT_LT(static_cast<unsigned char>(b), 0x80) << bytes.data();
}

TEST(RtfWrite, ColourTableHoldsOnlyTheColoursUsed) {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat red = fmt("Arial", 12);
    red.setForeground(QColor(255, 0, 0));
    c.insertText("a", red);
    c.insertText("b", fmt("Arial", 12));
    c.insertText("c", red);
    const QByteArray bytes = plat::rtf::write(&doc);
    EXPECT_TRUE(bytes.contains("{\\colortbl ;\\red255\\green0\\blue0;}")) << bytes.data();
    EXPECT_TRUE(bytes.contains("\\cf1 a\\cf0 b\\cf1 c")) << bytes.data();
}

// "Fe3+" with the offset request on "3+": written as \up or \dn in half-points, read back
// with the same offset in twips.
struct OffsetCase {
    int twips;
    const char* written;  // nullptr: neither \up nor \dn other than \up0
    const char* summary;
};

class RtfOffsetRoundTrip : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(RtfOffsetRoundTrip, IsWrittenInHalfPointsAndReadBackExactly) {
    const OffsetCase& oc = GetParam();
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText("Fe3+", fmt("Arial", 12));
    c.setPosition(2);
    c.setPosition(4, QTextCursor::KeepAnchor);
    plat::rtf::setSelectionOffset(c, oc.twips);
    const QByteArray bytes = plat::rtf::write(&doc);
    if (oc.written) {
        EXPECT_TRUE(bytes.contains(oc.written)) << bytes.data();
    } else {
        EXPECT_FALSE(bytes.contains("\\up") || bytes.contains("\\dn")) << bytes.data();
    }
    QTextDocument back;
    plat::rtf::read(bytes, &back);
    EXPECT_EQ(summaryOf(back, "Fe"), "Arial 12");
    EXPECT_EQ(summaryOf(back, "3+"), oc.summary);
    const qreal shown = rtf_support::formatAt(back, 2).baselineOffset();
    EXPECT_EQ(shown > 0, oc.twips > 0);
    EXPECT_EQ(shown < 0, oc.twips < 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, RtfOffsetRoundTrip,
                         ::testing::Values(OffsetCase{70, "\\up7 3+", "Arial 12 up70"},
                                           OffsetCase{-70, "\\dn7 3+", "Arial 12 dn70"},
                                           OffsetCase{0, nullptr, "Arial 12"}));

}  // namespace
