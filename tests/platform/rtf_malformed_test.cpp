#include "platform/rtf/plaintext.h"
#include "platform/rtf/rtfreader.h"
#include "rtf_support.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

struct BadCase {
    const char* name;
    QByteArray rtf;
    QString text;  // what could be read
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

QByteArray repeated(char c, int n) { return QByteArray(n, c); }

class RtfMalformed : public ::testing::TestWithParam<BadCase> {};

// Never crashes, never hangs, keeps the text before the fault.
TEST_P(RtfMalformed, KeepsWhatCouldBeRead) {
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(plat::rtf::plainText(GetParam().rtf), GetParam().text);
    EXPECT_LT(t.elapsed(), 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfMalformed,
    ::testing::Values(
        BadCase{"Truncated", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 abc {\\b de", "abc de"},
        BadCase{"TruncatedInFontTable", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        BadCase{"TruncatedEscape", "{\\rtf1 ab\\'", "ab"},
        BadCase{"TruncatedControlWord", "{\\rtf1 ab\\u-", "ab"},
        BadCase{"ExtraClosingBraces", "{\\rtf1 {\\b abc}}}}} tail", "abc"},
        BadCase{"UnclosedGroups", "{\\rtf1 a{{{{b", "ab"},
        BadCase{"HugeBin", "{\\rtf1 x\\bin999999999999 yz}", "x"},
        BadCase{"NegativeBin", "{\\rtf1 x\\bin-5 y}", "xy"},
        BadCase{"AbsurdControlWord", "{\\rtf1 a\\" + repeated('q', 200000) + "1 b}", "ab"},
        BadCase{"AbsurdNumber", "{\\rtf1 \\fs" + repeated('9', 100000) + " a}", "a"},
        BadCase{"UnicodeOutOfRange", "{\\rtf1 \\u99999999999?b\\u-99999999999?c}", "bc"},
        BadCase{"IndicesOutOfRange",
                "{\\rtf1{\\colortbl;}\\cf2147483647\\f-2147483648\\up99999999\\uc999 \\u1040"
                "{c}}",
                "Аc"},
        BadCase{"FallbackEndsWithGroup", "{\\rtf1 {\\uc5\\u1040 ab}cd}", "Аcd"},
        BadCase{"DeepNesting",
                "{\\rtf1 " + repeated('{', 100000) + "x" + repeated('}', 100000) + "y}", "xy"},
        BadCase{"ControlBytes", QByteArray("{\\rtf1 a\0b\x01\\'07c\x7f}", 17), "abc\x7f"},
        BadCase{"BinaryInsidePicture", "{\\rtf1 a{\\pict\\bin8 }}}{{{\\}}b{c}}", "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfMalformedSize, AbsurdSizesAreHeldToWhatAFontCanBe) {
    QTextDocument doc;
    plat::rtf::read("{\\rtf1 \\fs99999999 a\\fs0 b}", &doc);
    EXPECT_EQ(rtf_support::formatAt(doc, 0).fontPointSize(), 1638);
    EXPECT_EQ(rtf_support::formatAt(doc, 1).fontPointSize(), 1);
}

}  // namespace
