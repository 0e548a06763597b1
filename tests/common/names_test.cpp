// The one rule for the characters of a name that becomes a file name.
#include "common/names.h"

#include <gtest/gtest.h>

namespace {

TEST(Names, ForbiddenCharacters) {
    struct Case {
        const char* name;
        const char* inFile;  // the character refused in a file name, "" for none
        const char* inTest;  // the same for a test's name
    };
    const Case cases[] = {
        {"Физика", "", ""},
        {"Иванов Пётр", "", ""},
        {"10А", "", ""},
        {"Био.2", "", "."},
        {"a/b", "/", "/"},
        {"a\\b", "\\", "\\"},
        {"c:x", ":", ":"},
        {"Био*", "*", "*"},
        {"что?", "?", "?"},
        {"\"Кавычки\"", "\"", "\""},
        {"<a>", "<", "<"},
        {"a|b", "|", "|"},
        {"таб\tуляция", "\t", "\t"},
        {"a.b/c", "/", "."},  // the first forbidden character is the one named
        {"a/b.c", "/", "/"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        const auto inFile = common::ForbiddenInFileName(name);
        const auto inTest = common::ForbiddenInTestName(name);
        EXPECT_EQ(inFile ? QString(*inFile) : QString(), QString::fromUtf8(c.inFile)) << c.name;
        EXPECT_EQ(inTest ? QString(*inTest) : QString(), QString::fromUtf8(c.inTest)) << c.name;
    }
}

}  // namespace
