// The test-choice path rule both programs apply, as a table of cases.
#include "common/testpath.h"

#include <gtest/gtest.h>

using common::CheckTestPath;

namespace {

struct PathCase {
    const char* path;
    char sep;
    const char* message;  // "" when accepted
    const char* table;
    const char* folder;
};

class PathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathRule, AcceptsOrRefuses) {
    const PathCase& c = GetParam();
    const auto r = CheckTestPath(QString::fromUtf8(c.path), QChar(c.sep));
    EXPECT_EQ(r.message, QString::fromUtf8(c.message));
    if (r.accepted()) {
        EXPECT_EQ(r.tableName, QString::fromUtf8(c.table));
        EXPECT_EQ(r.folder, QString::fromUtf8(c.folder));
    }
}

const char* const kBad = "недопустимое имя файла формата PARADOX";

INSTANTIATE_TEST_SUITE_P(
    Paths, PathRule,
    ::testing::Values(
        PathCase{"C:\\Тесты\\Физика.db", '\\', "", "Физика.db", "C:\\Тесты"},
        PathCase{"C:\\Физика.db", '\\', "", "Физика.db", "C:"},
        PathCase{"/home/u/tests/Физика.DB", '/', "", "Физика.DB", "/home/u/tests"},
        PathCase{"/t/a.Db", '/', "", "a.Db", "/t"}, PathCase{"/t/a.dB", '/', "", "a.dB", "/t"},
        PathCase{"/Физика.db", '/', "", "Физика.db", ""}, PathCase{"/.db", '/', "", ".db", ""},
        PathCase{".db", '/', kBad, "", ""}, PathCase{"/t/a.dbf", '/', kBad, "", ""},
        PathCase{"/t/a.mb", '/', kBad, "", ""}, PathCase{"/t/adb", '/', kBad, "", ""},
        PathCase{"/t/a.d b", '/', kBad, "", ""}, PathCase{"Физика.db", '/', "bad aliase", "", ""},
        // A separator of the other system is no separator here.
        PathCase{"C:\\Физика.db", '/', "bad aliase", "", ""},
        PathCase{"/t/x/.db", '/', "", ".db", "/t/x"}));

TEST(PathRule, LengthLimits) {
    const QString stem = QStringLiteral("/") + QString(250, u'я');  // 251 characters
    EXPECT_TRUE(CheckTestPath(stem + ".db", u'/').accepted());      // 254
    EXPECT_TRUE(CheckTestPath(stem + "a.db", u'/').accepted());     // 255
    EXPECT_EQ(CheckTestPath(stem + "ab.db", u'/').message, QString::fromUtf8(kBad));  // 256
}

}  // namespace
