#include "platform/rtf/plaintext.h"
#include "platform/rtf/rtfreader.h"
#include "rtf_support.h"

#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using rtf_support::summaryOf;

namespace {

struct ReadCase {
    const char* name;
    QByteArray rtf;
    QString text;                                     // plain text, paragraphs as "\n"
    std::vector<std::pair<QString, QString>> probes;  // first character of a text: its format
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class RtfRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RtfRead, GivesTextAndFormats) {
    const ReadCase& c = GetParam();
    QTextDocument doc;
    plat::rtf::read(c.rtf, &doc);
    EXPECT_EQ(plat::rtf::plainText(&doc), c.text);
    for (const auto& [probe, expected] : c.probes)
        EXPECT_EQ(summaryOf(doc, probe), expected) << "at " << probe.toStdString();
}

const QByteArray kCyrillicFonts =
    "{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}{\\f1\\fmodern\\fprq1\\fcharset204 Courier New;}}";

// What a LibreOffice document of two short paragraphs looks like: styles, page
// descriptions, associated fonts, Cyrillic as \u with \'3f fall-backs.
const QByteArray kLibreOffice = R"({\rtf1\ansi\deff3\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset204 Liberation Serif{\*\falt Times New Roman};}{\f4\fswiss\fprq2\fcharset204 Liberation Sans{\*\falt Arial};}{\f5\fnil\fprq2\fcharset0 Noto Sans CJK SC;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;\red201\green33\blue30;}
{\stylesheet{\s0\snext0\rtlch\af6\afs24\alang1081 \ltrch\lang1049\langfe2052\hich\af3\loch\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1049\kerning1\dbch\af5\langfe2052 Normal;}
{\s15\sbasedon0\snext16\ql\widctlpar\hyphpar0\sb240\sa120\keepn\ltrpar\cf0\f4\fs28\lang1049 Heading;}
}{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\info{\creatim\yr2024\mo3\dy5\hr10\min2}{\revtim\yr2024\mo3\dy5\hr10\min4}{\printim\yr0\mo0\dy0\hr0\min0}}{\*\userprops}\deftab709
\hyphauto1\viewscale100
{\*\pgdsctbl
{\pgdsc0\pgdscuse451\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\pgdscnxt0 Default Page Style;}}
\formshade\paperh16838\paperw11906\margl1134\margr1134\margt1134\margb1134\sectd\sbknone\pgndec\sftnnar\saftnnar\sectunlocked1\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\ftnbj\ftnstart1\ftnrstcont\ftnnar\aenddoc\aftnrstcont\aftnstart1\aftnnrlc\htmautsp
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s0\rtlch\af6\afs24\alang1081 \ltrch\lang1049\langfe2052\hich\af3\loch\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1049\kerning1\dbch\af5\langfe2052\ql\ltrpar{\loch
\u1042\'3f\u1086\'3f\u1076\'3f\u1072\'3f {\b\loch \u1082\'3f\u1080\'3f\u1087\'3f\u1080\'3f\u1090\'3f}\loch  \u1087\'3f\u1088\'3f\u1080\'3f 100 \u176\'3f\u1057\'3f}{\cf3\loch , H}{\cf3\sub\loch 2}{\cf3\loch O}
\par \pard\plain \s0\rtlch\af6\afs24\alang1081 \ltrch\lang1049\langfe2052\hich\af3\loch\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1049\kerning1\dbch\af5\langfe2052\qc\ltrpar{\i\loch Fe}{\i\super\loch 3+}{\i\loch  \u8212\'3f \u1080\'3f\u1086\'3f\u1085\'3f}
\par })";

// What Word writes: themes, panose numbers, default formats, \'hh in Cyrillic fonts.
const QByteArray kWord =
    R"({\rtf1\adeflang1025\ansi\ansicpg1251\uc1\adeff31507\deff0\stshfdbch31505\stshfloch31506\stshfhich31506\stshfbi31507\deflang1049\deflangfe1049\themelang1049\themelangfe0\themelangcs0{\fonttbl{\f0\fbidi \froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f1\fbidi \fswiss\fcharset204\fprq2{\*\panose 020b0604020202020204}Arial;}
{\flomajor\f31500\fbidi \froman\fcharset204\fprq2{\*\panose 02020603050405020304}Times New Roman;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}
{\*\defchp \fs22\loch\af31506\hich\af31506\dbch\af31505 }{\*\defpap \ql \li0\ri0\sa200\sl276\slmult1\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 }
{\stylesheet{\ql \li0\ri0\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs22\alang1025 \ltrch\fcs0 \fs22\lang1049\langfe1049\loch\f31506\hich\af31506\dbch\af31505\cgrid\langnp1049\langfenp1049 \snext0 \sqformat \spriority0 Normal;}}
{\*\rsidtbl \rsid1577622}{\mmathPr\mmathFont34\mbrkBin0}{\info{\author A}{\operator A}{\creatim\yr2024\mo3\dy5\hr10\min5}}{\*\xmlnstbl {\xmlns1 http://schemas.microsoft.com/office/word/2003/wordml}}
\paperw11906\paperh16838\margl1701\margr850\margt1134\margb1134\gutter0\ltrsect
\pard\plain \ltrpar\ql \li0\ri0\sa200\sl276\slmult1\widctlpar\wrapdefault\aspalpha\aspnum\faauto\adjustright\rin0\lin0\itap0 \rtlch\fcs1 \af0\afs22\alang1025 \ltrch\fcs0 \fs22\lang1049\langfe1049\loch\af31506\hich\af31506\dbch\af31505\cgrid\langnp1049\langfenp1049 {\rtlch\fcs1 \af1 \ltrch\fcs0 \f1\insrsid1577622 \'d1\'ea\'ee\'f0\'ee\'f1\'f2\'fc }{\rtlch\fcs1 \af1 \ltrch\fcs0 \b\f1\insrsid1577622 \'f1\'e2\'e5\'f2\'e0}{\rtlch\fcs1 \af1 \ltrch\fcs0 \f1\insrsid1577622 , c = 3\'b710}{\rtlch\fcs1 \af1 \ltrch\fcs0 \f1\super\insrsid1577622 8}{\rtlch\fcs1 \af1 \ltrch\fcs0 \f1\insrsid1577622  \'ec/\'f1
\par }{\*\themedata 504b030414000600080000002100e9de0fbfff0000001c020000130000005b436f6e74656e745f54797065735d2e786d6cac91cb4ec3301045f748fc83e52d4a}
{\*\latentstyles\lsdstimax376\lsdlockeddef0\lsdsemihiddendef0{\lsdlockedexcept \lsdqformat1 \lsdpriority0 \lsdlocked0 Normal;}}}
)";

// WordPad: a short header and \'hh text.
const QByteArray kWordPad =
    "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 "
    "Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\*\\generator WordPad-like 10.0;}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 \\'c7\\'e0\\'e4\\'e0\\'f7\\'e0 \\'b9 5\\par\r\n"
    "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}"
    "\\fi-360\\li720\\sa200\\sl276\\slmult1 \\'ef\\'f3\\'ed\\'ea\\'f2\\par\r\n}\r\n\0";

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfRead,
    ::testing::Values(
        ReadCase{"CyrillicHexInCp1251",
                 "{\\rtf1\\ansi\\ansicpg1251\\deff0" + kCyrillicFonts +
                     "\\f0\\fs20 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\f1 \\'b8\\'a8\\'b9}",
                 "Привет ёЁ№",
                 {{"Привет", "Arial 10"}, {"ё", "Courier New 10 fixed"}}},
        ReadCase{"AnsiWithoutCodePageIsTheSystems",
                 "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset0 Arial;}}"
                 "\\f0 \\'e4\\'e0 \\f1 \\'e4}",
                 "да ä",
                 {}},
        ReadCase{"UnicodeWithFallbacks",
                 "{\\rtf1\\ansi\\uc1 \\u1040?\\u1041\\'c1{\\uc2\\u1042??}z\\u-24691?"
                 "\\u8364\\'88{\\uc0\\u1043}}",
                 "АБВz龍€Г",
                 {}},
        ReadCase{"CyrillicFontInWesternDocument",
                 "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
                 "{\\f1\\fswiss\\fcharset204 Arial;}{\\f2\\fnil\\fcharset238 Tahoma;}}"
                 "\\f0 caf\\'e9 \\f1 \\'e4\\'e0 \\f2 \\'b9}",
                 "café да ą",
                 {{"caf", "Times 12"}, {"да", "Arial 12"}}},
        ReadCase{"RaisedAndLowered",
                 "{\\rtf1 Fe{\\up7 3+} H{\\super 2}O x{\\dn7 i}y{\\sub j}{\\up7\\dn6 k}"
                 "{\\super\\nosupersub n}}",
                 "Fe3+ H2O xiyjkn",
                 {{"F", "- 12"},
                  {"3+", "- 12 up70"},
                  {"2", "- 12 super"},
                  {"i", "- 12 dn70"},
                  {"j", "- 12 sub"},
                  {"k", "- 12 dn60"},
                  {"n", "- 12"}}},
        ReadCase{"Colours",
                 "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                 "\\cf1 red \\cf2 blue \\cf0 auto \\cf9 none}",
                 "red blue auto none",
                 {{"red", "- 12 #ff0000"},
                  {"blue", "- 12 #0000ff"},
                  {"auto", "- 12"},
                  {"none", "- 12"}}},
        ReadCase{"TablesAfterText",
                 "{\\rtf1 \\cf1\\f1 a\\b b\\b0 c{\\colortbl;\\red0\\green128\\blue0;}"
                 "{\\fonttbl{\\f1 Arial;}}d}",
                 "abcd",
                 {{"a", "- 12"}, {"c", "Arial 12 #008000"}, {"d", "Arial 12 #008000"}}},
        ReadCase{"UnknownDestinationsAndPictures",
                 "{\\rtf1 a{\\*\\unknown zzz{\\nested q}}b{\\pict\\wmetafile8\\picw10 0123abcdef}c"
                 "{\\stylesheet{\\s0 Normal;}}d{\\info{\\title T}}e\\foo123 f"
                 "{\\pict\\bin6 }}{{\\}x}g{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt h}}"
                 "{\\object{\\*\\objdata 01ff}{\\result i}}}",
                 "abcdefghi",
                 {}},
        ReadCase{"NestedGroupsRestoreFormats",
                 "{\\rtf1 A{\\b B{\\i\\ul C}D{\\plain E}}F\\b\\i\\strike G\\b0 "
                 "H\\ulnone\\i0\\strike0 I}",
                 "ABCDEFGHI",
                 {{"A", "- 12"},
                  {"B", "- 12 b"},
                  {"C", "- 12 b i u"},
                  {"D", "- 12 b"},
                  {"E", "- 12"},
                  {"F", "- 12"},
                  {"G", "- 12 b i s"},
                  {"H", "- 12 i s"},
                  {"I", "- 12"}}},
        ReadCase{"SpecialCharactersAndEscapes",
                 "{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"
                 "\\~\\{\\}\\\\\\-\\_|a\\tab b\\line c}",
                 "—–‘’“”•\u00A0{}\\\u00AD\u2011|a\tb\nc",
                 {}},
        ReadCase{"ParagraphsAndLastParagraphMark",
                 "{\\rtf1 one\\par two\\par\r\n\\par three\\par\r\n}",
                 "one\ntwo\n\nthree",
                 {}},
        ReadCase{"LibreOffice",
                 kLibreOffice,
                 "Вода кипит при 100 °С, H2O\nFe3+ — ион",
                 // its default font, the stand-in, read as the face it stands in for
                 {{"Вода", "Times New Roman 12"},
                  {"кипит", "Times New Roman 12 b"},
                  {", H", "Times New Roman 12 #c9211e"},
                  {"2", "Times New Roman 12 #c9211e sub"},
                  {"3+", "Times New Roman 12 i super"}}},
        ReadCase{"Word",
                 kWord,
                 "Скорость света, c = 3·108 м/с",
                 {{"Скорость", "Arial 11"}, {"света", "Arial 11 b"}, {"8", "Arial 11 super"}}},
        ReadCase{"WordPad", kWordPad, "Задача № 5\n·\tпункт", {{"Задача", "Calibri 11"}}},
        ReadCase{"NotRtfIsWindows1251Text",
                 QByteArray("\xcf\xf0\xee\xf1\xf2\xee\r\n\xe4\xe0"),
                 "Просто\nда",
                 {}},
        ReadCase{"Empty", QByteArray(), "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReadParagraphs, AlignmentBelongsToTheParagraphItEnds) {
    QTextDocument doc;
    plat::rtf::read(
        "{\\rtf1\\pard\\qc one\\par\\pard\\qr two\\par\\qj three\\par\\pard four"
        "\\par{\\qc five\\par}six}",
        &doc);
    std::vector<std::pair<QString, Qt::Alignment>> got;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        got.emplace_back(b.text(), b.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    const std::vector<std::pair<QString, Qt::Alignment>> want = {
        {"one", Qt::AlignHCenter}, {"two", Qt::AlignRight},    {"three", Qt::AlignJustify},
        {"four", Qt::AlignLeft},   {"five", Qt::AlignHCenter}, {"six", Qt::AlignLeft}};
    EXPECT_EQ(got, want);
}

TEST(RtfReadOffsets, RaisedTextShowsAboveTheBaselineInProportionToItsSize) {
    QTextDocument doc;
    plat::rtf::read("{\\rtf1 {\\fs24\\up7 a}{\\fs48\\up7 b}{\\fs24\\dn7 c}}", &doc);
    // 70 twips are 3.5 points: a sixth of 24 points is less than a third of 12.
    EXPECT_NEAR(rtf_support::formatAt(doc, 0).baselineOffset(), 3.5 / 12 * 100, 0.01);
    EXPECT_NEAR(rtf_support::formatAt(doc, 1).baselineOffset(), 3.5 / 24 * 100, 0.01);
    EXPECT_NEAR(rtf_support::formatAt(doc, 2).baselineOffset(), -3.5 / 12 * 100, 0.01);
}

TEST(RtfLooksLike, OnlyTheRtfHeaderCounts) {
    EXPECT_TRUE(plat::rtf::looksLikeRtf("{\\rtf1 x}"));
    EXPECT_TRUE(plat::rtf::looksLikeRtf(" \r\n{\\rtf"));
    EXPECT_FALSE(plat::rtf::looksLikeRtf("rtf1"));
    EXPECT_FALSE(plat::rtf::looksLikeRtf("{\\rt"));
    EXPECT_FALSE(plat::rtf::looksLikeRtf(""));
}

}  // namespace
