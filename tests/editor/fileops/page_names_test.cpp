// The page's own references under a new name: qq and the pictures that exist, nothing else.
#include "editor/fileops/page_names.h"

#include "platform/codec.h"
#include "tests/harness/harness.h"

#include <QDir>

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

TEST(PageReferences, FollowOnlyTheTestsOwnPicturesThatExist) {
    const QByteArray head = plat::toCp1251(QStringLiteral("<title>Тест</title><script>\r\n"));
    auto pageOf = [&](const QByteArray& qq, const QByteArray& p1, const QByteArray& p2) {
        return head + "qq=\"" + qq + "\";\r\n</SCRIPT>\r\n<img src=\"" + p1 +
               "GrV1.jpg\" width=100%>\r\n<img src=\"" + p2 +
               "GrV2.jpg\" width=100%>\r\n<img src=\"AGrVBGrV1.jpg\">\r\n<a "
               "href=\"AGrV1.jpg\">\r\n";
    };
    // The second picture did not come along.
    auto onlyFirst = [](const QString& picture) { return picture == "CGrV1.jpg"; };
    EXPECT_EQ(korvel::PageWithRenamedReferences(pageOf("A", "A", "A"), "A", "C", onlyFirst),
              pageOf("C", "C", "A"));

    // Nothing of its own to follow: the page stays as it was.
    EXPECT_EQ(korvel::PageWithRenamedReferences(pageOf("X", "X", "X"), "A", "D",
                                                [](const QString&) { return true; }),
              std::nullopt);
}

}  // namespace
