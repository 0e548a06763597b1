// The page's own references under a new name: qq and the pictures that exist, nothing else.
#include "editor/fileops/page_names.h"

#include "platform/codec.h"
#include "tests/harness/harness.h"

#include <QDir>

using testing_support::get;
using testing_support::put;

namespace {

TEST(PageName, WritesTheNameAsThePageHoldsIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Bio 2", "Bio 2"},
        {"Физика", "&#1060&#1080&#1079&#1080&#1082&#1072"},
        {"Ёж ёж", "&#1025&#1078 &#1105&#1078"},
        {"№1", " &#8470 1"},
        {"a\u201Cb", "a?b"},  // a typographic quote of Windows-1251
    };
    for (const auto& [name, held] : cases)
        EXPECT_EQ(korvel::PageName(QString::fromUtf8(name)), QByteArray(held)) << name;
}

class PageReferences : public testing_support::SuiteTest {};

TEST_F(PageReferences, FollowOnlyTheTestsOwnPicturesThatExist) {
    const QByteArray head = plat::toCp1251(QStringLiteral("<title>Тест</title><script>\r\n"));
    auto pageOf = [&](const QByteArray& qq, const QByteArray& p1, const QByteArray& p2) {
        return head + "qq=\"" + qq + "\";\r\n</SCRIPT>\r\n<img src=\"" + p1 +
               "GrV1.jpg\" width=100%>\r\n<img src=\"" + p2 +
               "GrV2.jpg\" width=100%>\r\n<img src=\"AGrVBGrV1.jpg\">\r\n<a "
               "href=\"AGrV1.jpg\">\r\n";
    };
    put("C.HTML", pageOf("A", "A", "A"));
    put("CGrV1.jpg", "picture");  // the second picture did not come along
    EXPECT_EQ(korvel::RenamePageReferences("C.HTML", "A", "C", QString()), std::nullopt);
    EXPECT_EQ(get("C.HTML"), pageOf("C", "C", "A"));

    // Nothing of its own to follow: the page stays as it was.
    put("D.HTML", pageOf("X", "X", "X"));
    EXPECT_EQ(korvel::RenamePageReferences("D.HTML", "A", "D", QString()), std::nullopt);
    EXPECT_EQ(get("D.HTML"), pageOf("X", "X", "X"));

    const auto why = korvel::RenamePageReferences("нет.HTML", "A", "C", QString());
    ASSERT_TRUE(why.has_value());
    EXPECT_TRUE(why->contains(QStringLiteral("нет.HTML"))) << why->toStdString();
}

}  // namespace
