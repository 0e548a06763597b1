// The page's text encoding and the frame around the question blocks.
#include "editor/web/encoding.h"
#include "editor/web/page.h"
#include "platform/errors.h"
#include "tests/editor/web/web_page_support.h"

#include <gtest/gtest.h>

using namespace korvel::web;
using web_test::pageLines;

namespace {

TEST(HtmlEncodeChar, EveryByte) {
    // Windows-1251 from 0x80 to 0xBF, as code points; 0 stands for the unassigned 0x98.
    const char16_t high[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
        0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0,      0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
        0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
        0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
        0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    for (int b = 0; b < 256; ++b) {
        QString want;
        if (b < 0x80)
            want = QChar(char16_t(b));
        else if (b >= 0xC0)
            want = QStringLiteral("&#%1;").arg(b + 848);  // А..я
        else if (high[b - 0x80] == 0)
            want = QStringLiteral("?");
        else
            want = QStringLiteral("&#%1;").arg(int(high[b - 0x80]));
        EXPECT_EQ(HtmlEncodeChar(static_cast<unsigned char>(b)), want) << "byte " << b;
    }
    EXPECT_EQ(HtmlEncodeChar(0xA8), "&#1025;");  // Ё
    EXPECT_EQ(HtmlEncodeChar(0xB8), "&#1105;");  // ё
    EXPECT_EQ(HtmlEncodeChar(0xB9), "&#8470;");  // №
    EXPECT_EQ(HtmlEncodeChar(0xAB), "&#171;");   // «
    EXPECT_EQ(HtmlEncodeChar(0x97), "&#8212;");  // —
}

struct TextCase {
    const char* name;
    const char* text;
    const char* written;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

class HtmlEncodeTextCases : public ::testing::TestWithParam<TextCase> {};

TEST_P(HtmlEncodeTextCases, Writes) {
    EXPECT_EQ(HtmlEncodeText(QString::fromUtf8(GetParam().text)),
              QString::fromLatin1(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlEncodeTextCases,
    ::testing::Values(TextCase{"empty", "", ""}, TextCase{"markup", "<b>a&\"'</b>", "<b>a&\"'</b>"},
                      // A digit after a letter stays a digit.
                      TextCase{"letterDigit", "Тест25", "&#1058;&#1077;&#1089;&#1090;25"},
                      TextCase{"numeroDigit", "№5", "&#8470;5"},
                      TextCase{"typography", "«да» — …",
                               "&#171;&#1076;&#1072;&#187; &#8212; &#8230;"},
                      // Beyond Windows-1251: the character's own reference.
                      TextCase{"beyond1251", "x²∑😀", "x&#178;&#8721;&#128512;"},
                      // HTML would read these references as Windows-1252.
                      TextCase{"c1Controls", "\xc2\x98\xc2\x85", "??"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsText, EscapesWhatWouldEndTheString) {
    EXPECT_EQ(JsStringText(QStringLiteral("Bio")), "Bio");
    EXPECT_EQ(JsStringText(QStringLiteral("Т№ #%\"\\<&")),
              "\\u0422\\u2116 #%\\\"\\\\\\u003c\\u0026");
    EXPECT_EQ(JsAttributeText(QStringLiteral("O'Neil \"A&B\" c:\\d")),
              "O\\'Neil &quot;A&amp;B&quot; c:\\\\d");
}

QByteArray frame(int n, const QString& name, const QString& file) {
    PageWriter page;
    WriteFrameStart(page, n, name, file);
    page.WriteBlockStart(QStringLiteral("v") + QString::number(n), QStringLiteral(" none"));
    WriteFrameEnd(page, n);
    return page.bytes();
}

TEST(PageFrame, LinesForTwelveQuestions) {
    const QByteArray bytes = frame(12, "Bio", "Bio.DB");
    EXPECT_TRUE(web_test::isAscii(bytes));
    EXPECT_TRUE(bytes.endsWith("</FORM></BODY></HTML>\r\n"));
    const QStringList want = {
        "var room = new CheckTasks(12); Body();",
        "var viborka=[]; var lenvib; lenvib=12; mm =\"12\"; qq=\"Bio\";",
        "if (lenvib>0 && lenvib<20) { viborka=generateArrayRandomNumber(1,12);  viborka.push(13);}",
        "else if (lenvib>=20 && lenvib<=1000)",
        "{ lenvib=20; viborka=createRand(lenvib, 1,20); viborka.push(21);}",
        " else { showmessage(\"тест испорчен!\");}",
        "</SCRIPT>",
        "<FORM>",
        "<div id=\"block_start\" style=\"display:  block;\"> <Table> <TR> <TD>",
        "Bio.DB",
        "</TD></TR><TR><TD align=center  height=\"40\" >",
        "<INPUT type=button value=\"Начать тестирование\" autofocus "
        "onclick=showHide('block_start2');showHide('block_v'+viborka[0]);showHide('block_start'); "
        ">",
        "</TD> </TR> </Table> </div>",
        "<div id=\"block_start2\" style=\"display:  none;\"> <Table> <TR> <TD>",
        "Bio.DB",
        "Вопрос <INPUT type=text size=3 readonly name=f  id=\"user2\" value=1>",
        "Ошибок <INPUT type=text size=3 readonly name=ff  id=\"user2\" value=0>",
        "</TD> </TR> </Table> </div>",
        "<div id=\"block_v12\" style=\"display:  none;\"> <Table> <TR> <TD>",
        "<div id=\"block_v13\" style=\"display: none;\"><Table><TR><TD>",
        "Чтобы увидеть результат работы, нажмите кнопку \"Оценка\".",
        "</TD></TR><TR><TD align=center  height=\"40\" >",
        "<INPUT TYPE=\"button\" VALUE=\"Начать с начала\" "
        "onClick='parent.location=\"javascript:location.reload()\"'>",
        "<INPUT type=\"button\" value=\"Выход\" "
        "onclick='parent.location=\"javascript:window.close()\"'>",
        "</TD> </TR> </Table> </div>",
        "</FORM></BODY></HTML>",
    };
    EXPECT_EQ(pageLines(bytes), want);
    EXPECT_EQ(want[11].size(), 147);
}

class PageFrameCounts : public ::testing::TestWithParam<int> {};

TEST_P(PageFrameCounts, NumbersFollowTheCountAndTheDrawLineDoesNot) {
    const int n = GetParam();
    const QString s = QString::number(n), s1 = QString::number(n + 1);
    const QStringList lines = pageLines(frame(n, "Bio", "Bio.DB"));
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines[0], "var room = new CheckTasks(" + s + "); Body();");
    EXPECT_EQ(lines[1],
              "var viborka=[]; var lenvib; lenvib=" + s + "; mm =\"" + s + "\"; qq=\"Bio\";");
    EXPECT_EQ(lines[2], "if (lenvib>0 && lenvib<20) { viborka=generateArrayRandomNumber(1," + s +
                            ");  viborka.push(" + s1 + ");}");
    EXPECT_EQ(lines[4], "{ lenvib=20; viborka=createRand(lenvib, 1,20); viborka.push(21);}");
    EXPECT_EQ(lines[19], "<div id=\"block_v" + s1 + "\" style=\"display: none;\"><Table><TR><TD>");
}

INSTANTIATE_TEST_SUITE_P(Counts, PageFrameCounts, ::testing::Values(0, 12, 19, 20, 25, 1001));

TEST(PageFrame, ACyrillicNameIsExactInTheScriptAndReadableInTheBlocks) {
    const QByteArray bytes = frame(3, QStringLiteral("Тест №2"), QStringLiteral("Тест №2.DB"));
    EXPECT_TRUE(web_test::isAscii(bytes));
    EXPECT_TRUE(bytes.contains("qq=\"\\u0422\\u0435\\u0441\\u0442 \\u21162\";"));
    const QStringList lines = pageLines(bytes);
    EXPECT_EQ(lines[9], QStringLiteral("Тест №2.DB"));
    EXPECT_EQ(lines[14], QStringLiteral("Тест №2.DB"));
}

}  // namespace
