// One question's block of the web page: the text part, the answer rows and the button's
// script, the picture and its file.
#include "editor/web/blocks.h"
#include "editor/web/jpeg.h"
#include "platform/errors.h"
#include "tests/editor/web/web_page_support.h"
#include "tests/harness/harness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace korvel::web;
using namespace testing_support;
using web_test::pageLines;

namespace {

struct TextPartCase {
    const char* name;
    QStringList display;
    QStringList page;
    friend void PrintTo(const TextPartCase& c, std::ostream* os) { *os << c.name; }
};

class TextPart : public ::testing::TestWithParam<TextPartCase> {};

TEST_P(TextPart, Lines) { EXPECT_EQ(TextPartLines(GetParam().display), GetParam().page); }

INSTANTIATE_TEST_SUITE_P(
    Texts, TextPart,
    ::testing::Values(
        TextPartCase{"markupShown", {"a<b>c"}, {"a &ltb &gtc<BR>", ""}},
        TextPartCase{"rawStretch", {"Fe@<sup>3+</sup>@ ion"}, {"Fe <sup>3+</sup> ion<BR>", ""}},
        TextPartCase{"doubledAt", {"x@@y"}, {"x @y<BR>", ""}},
        TextPartCase{"doubledAtInRaw", {"@a@@b@"}, {" a@ b<BR>", ""}},
        // An "@" left open makes the following lines raw, with no "<BR>".
        TextPartCase{"loneAt", {"@", "<i>x</i>", "", "y@z"}, {" ", "<i>x</i>", "", "yz<BR>", ""}},
        TextPartCase{"numeroOutsideRaw", {"№5"}, {" &#8470;5<BR>", ""}},
        TextPartCase{"numeroInRaw", {"@№5@"}, {" №5<BR>", ""}},
        TextPartCase{"emptyLine", {"a", "", "b"}, {"a<BR>", "<BR>", "b<BR>", ""}},
        TextPartCase{"empty", {}, {""}}),
    [](const auto& info) { return std::string(info.param.name); });

class QuestionBlock : public SuiteTest {
protected:
    QStringList block(int i, const QuestionView& q, const QString& name = "Bio") {
        PageWriter page;
        WriteQuestionBlock(page, i, q, ui, name);
        raw = page.bytes();
        return pageLines(raw);
    }
    static QuestionView choice(QList<VariantRow> rows) {
        return {"1", "1", {"Q"}, {}, std::move(rows)};
    }
    static QStringList tail(int i) {
        return {"else { room.Answer = room.No;  this.form.ff.value=plus1(this.form.ff.value);};",
                QStringLiteral("room.Check(this.form,%1);").arg(i),
                QStringLiteral(" next_v(this.form.f.value,%1);").arg(i),
                "this.form.f.value=plus1(this.form.f.value);\">", "</TD> </TR> </Table> </div>"};
    }
    QByteArray raw;
};

TEST_F(QuestionBlock, CheckBoxesWhenTwoRowsAreRight) {
    const QStringList lines = block(3, choice({{"red", true}, {"green", false}, {"blue", true}}));
    const QStringList want =
        QStringList{
            "Q<BR>",
            "",
            "</TD></TR><TR><TD>",
            "Варианты ответа: <BR>",
            " <LABEL> <INPUT type=checkbox name=C31> red </LABEL> <BR>",
            " <LABEL> <INPUT type=checkbox name=C32> green </LABEL> <BR>",
            " <LABEL> <INPUT type=checkbox name=C33> blue </LABEL> <BR>",
            "</TD></TR><TR><TD align=center  height=\"40\" >",
            "<INPUT type=button value=\"Далее\" onclick=\"if (this.form.C31.checked && "
            "!this.form.C32.checked && this.form.C33.checked) room.Answer = room.Yes;",
        } +
        tail(3);
    EXPECT_EQ(lines, want);
    EXPECT_TRUE(raw.endsWith("</div>\r\n"));
}

TEST_F(QuestionBlock, RadioRowsWhenOneRowIsRightAndNoneChosenBeforehand) {
    const QStringList lines = block(3, choice({{"red", false}, {"green", true}, {"blue", false}}));
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[4], " <LABEL> <INPUT type=\"radio\" name=\"C31\" value=1> red </LABEL> <BR>");
    EXPECT_EQ(lines[5], " <LABEL> <INPUT type=\"radio\" name=\"C31\" value=2> green </LABEL> <BR>");
    EXPECT_EQ(lines[6], " <LABEL> <INPUT type=\"radio\" name=\"C31\" value=3> blue </LABEL> <BR>");
    EXPECT_EQ(lines[8],
              "<INPUT type=button value=\"Далее\" onclick=\"if (this.form.C31.value==2) "
              "room.Answer = room.Yes;");
}

TEST_F(QuestionBlock, ALoneRightRowIsRightOnlyWhenTicked) {
    // One radio button is no group: its value is there whether or not it is ticked.
    const QStringList lines = block(5, choice({{"yes", true}}));
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[4], " <LABEL> <INPUT type=\"radio\" name=\"C51\" value=1> yes </LABEL> <BR>");
    EXPECT_EQ(lines[6],
              "<INPUT type=button value=\"Далее\" onclick=\"if (this.form.C51.checked) "
              "room.Answer = room.Yes;");
    EXPECT_EQ(lines.mid(7), tail(5));
}

TEST_F(QuestionBlock, NoRightRowMeansNoneTicked) {
    const QStringList lines = block(12, {"1", "", {}, {}, {{"a", false}, {"b", false}}});
    EXPECT_EQ(lines[0], "");  // the empty text's one line
    EXPECT_EQ(lines[3], " <LABEL> <INPUT type=checkbox name=C121> a </LABEL> <BR>");
    EXPECT_EQ(lines[6],
              "<INPUT type=button value=\"Далее\" onclick=\"if (!this.form.C121.checked"
              " && !this.form.C122.checked) room.Answer = room.Yes;");
}

TEST_F(QuestionBlock, TypedAnswerComparesLowercasedAndEscaped) {
    QuestionView q{
        "2", "2", {"Кто?"}, {}, {{QStringLiteral("O'Neil \"A&B\" c:\\d №5 Ньютон"), false}}};
    const QStringList lines = block(7, q);
    const QStringList want =
        QStringList{
            "Кто?<BR>",
            "",
            "</TD></TR><TR><TD>",
            "Введите с клавиатуры правильный ответ без пробелов: <BR>",
            "<INPUT type=text size=30 maxlength=110 name=t7>",
            "<INPUT type=button value=\"Далее\" onclick=\"if (this.form.t7.value.toLowerCase()==",
            "'O\\'Neil &quot;A&amp;B&quot; c:\\\\d №5 Ньютон'.toLowerCase()) room.Answer = "
            "room.Yes;",
        } +
        tail(7);
    EXPECT_EQ(lines, want);
    EXPECT_TRUE(raw.contains("&#8470;5 &#1053;"));
}

TEST_F(QuestionBlock, NoStyleShowsErrorAndWritesOnlyTheAnswerPart) {
    ui.expect(plat::BoxKind::Plain, QStringLiteral("ошибка"));
    const QStringList lines = block(2, {"", "1", {"unused"}, {}, {{"a", true}}});
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0], "Варианты ответа: <BR>");
    EXPECT_EQ(lines.size(), 9);
}

QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_Indexed8);
    img.setColorCount(256);
    for (int c = 0; c < 256; ++c) img.setColor(c, qRgb(c, 255 - c, (c * 7) % 256));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, uint((x / 8 + y / 8) % 256));
    return img;
}

// The marker segments of a JPEG stream up to the scan: marker -> its payload.
QList<QPair<int, QByteArray>> segments(const QByteArray& jpg) {
    QList<QPair<int, QByteArray>> out;
    qsizetype at = 2;
    while (at + 4 <= jpg.size() && uchar(jpg[at]) == 0xFF) {
        const int marker = uchar(jpg[at + 1]);
        const int len = uchar(jpg[at + 2]) << 8 | uchar(jpg[at + 3]);
        out.append({marker, jpg.mid(at + 4, len - 2)});
        if (marker == 0xDA) break;
        at += 2 + len;
    }
    return out;
}

TEST_F(QuestionBlock, PictureQuestionWritesItsJpegAndNamesIt) {
    // An 8-bit picture: the file is 24-bit colour all the same.
    const QImage source = gradient(993, 169);
    // The file of an earlier generation, longer than the new one: none of it may remain.
    put(inWork("BioGrV12.jpg"), QByteArray(400000, 'x'));
    const QStringList lines = block(12, {"3", "1", {}, source, {{"a", true}}});
    EXPECT_EQ(lines[0], "<img src=\"BioGrV12.jpg\" width=100%>");
    EXPECT_EQ(lines[1], "</TD></TR><TR><TD>");
    EXPECT_EQ(lines[2], "</TD></TR><TR><TD>");
    EXPECT_EQ(lines[3], "Варианты ответа: <BR>");

    const QByteArray jpg = get(inWork("BioGrV12.jpg"));
    ASSERT_TRUE(jpg.startsWith("\xFF\xD8"));
    EXPECT_EQ(jpg, EncodeJpeg(source));
    bool sof0 = false;
    int tables = 0;
    for (const auto& [marker, data] : segments(jpg)) {
        EXPECT_NE(marker, 0xC2) << "progressive";
        if (marker == 0xC0) {
            sof0 = true;
            EXPECT_EQ(uchar(data[0]), 8);                          // precision
            EXPECT_EQ(uchar(data[1]) << 8 | uchar(data[2]), 169);  // height
            EXPECT_EQ(uchar(data[3]) << 8 | uchar(data[4]), 993);  // width
            EXPECT_EQ(uchar(data[5]), 3);                          // colour
        }
        if (marker == 0xDB) {
            // Quality 90 scales the standard tables by 20 %, in zigzag order: luminance
            // 16 11 12 -> 3 2 2, chrominance 17 18 18 -> 3 4 4.
            for (qsizetype at = 0; at + 65 <= data.size(); at += 65, ++tables) {
                const int id = uchar(data[at]) & 0x0F;
                const QByteArray q = data.mid(at + 1, 3);
                EXPECT_EQ(q,
                          id == 0 ? QByteArray("\x03\x02\x02", 3) : QByteArray("\x03\x04\x04", 3));
            }
        }
    }
    EXPECT_TRUE(sof0);
    EXPECT_EQ(tables, 2);

    QImage back;
    ASSERT_TRUE(back.loadFromData(jpg, "JPG"));
    ASSERT_EQ(back.size(), source.size());
    const QImage want = source.convertToFormat(QImage::Format_RGB32);
    double diff = 0;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x) {
            const QRgb a = want.pixel(x, y), b = back.pixel(x, y);
            diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(diff / (3.0 * want.width() * want.height()), 4.0);
}

TEST(Jpeg, A32BitBitmapGivesTheSameFileAsIts24BitPixels) {
    const QImage rgb32 = gradient(61, 17).convertToFormat(QImage::Format_RGB32);
    const QByteArray direct = EncodeJpeg(rgb32);
    EXPECT_FALSE(direct.isEmpty());
    EXPECT_EQ(direct, EncodeJpeg(rgb32.convertToFormat(QImage::Format_RGB888)));
    EXPECT_TRUE(EncodeJpeg(QImage(0, 5, QImage::Format_RGB32)).isEmpty());
}

TEST_F(QuestionBlock, PictureNamesWithMarksAreExactAndAnEmptyPictureOverwritesWithNothing) {
    const QString name = QStringLiteral("Тест № 1#a%b");
    put(inWork(name + "GrV1.jpg"), "old picture");
    const QStringList lines = block(1, {"3", "1", {}, QImage(), {{"a", true}}}, name);
    EXPECT_EQ(lines[0],
              "<img src=\"%D0%A2%D0%B5%D1%81%D1%82%20%E2%84%96%201%23a%25b"
              "GrV1.jpg\" width=100%>");
    EXPECT_EQ(get(inWork(name + "GrV1.jpg")), QByteArray());
}

TEST_F(QuestionBlock, AnOldPictureIsFoundWhateverItsLetterCase) {
    put(inWork("biogrv2.JPG"), QByteArray(5000, 'x'));
    put(inWork("BioGrV3.jpg"), "exact");
    put(inWork("BIOGRV3.JPG"), "other case");
    const PictureFolder folder(inWork("Bio"));
    EXPECT_EQ(folder.target(inWork("BioGrV1.jpg")), inWork("BioGrV1.jpg"));
    EXPECT_EQ(QFileInfo(folder.target(inWork("BioGrV2.jpg"))).fileName(), "biogrv2.JPG");
    EXPECT_EQ(QFileInfo(folder.target(inWork("BioGrV3.jpg"))).fileName(), "BioGrV3.jpg");

    WriteJpeg(inWork("BioGrV2.jpg"), gradient(8, 8), &folder);
    EXPECT_EQ(get(inWork("biogrv2.JPG")), EncodeJpeg(gradient(8, 8)));
    EXPECT_EQ(QDir(work()).entryList({"*GrV2*"}, QDir::Files, QDir::IgnoreCase).size(), 1);
}

TEST_F(QuestionBlock, APictureThatCannotBeWrittenStopsBeforeItsLine) {
    PageWriter page;
    EXPECT_THROW(
        WriteQuestionBlock(page, 1, {"3", "1", {}, gradient(8, 8), {}}, ui, inWork("missing/Bio")),
        plat::FileError);
    EXPECT_TRUE(page.bytes().isEmpty());
}

}  // namespace
