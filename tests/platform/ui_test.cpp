#include "platform/ui.h"

#include "tests/harness/harness.h"

#include <QDir>
#include <gtest/gtest.h>

TEST(TitleFromProgramName, KeepsFirstCharacterLowersTheRest) {
    EXPECT_EQ(plat::titleFromProgramName("/opt/suite/KORVEL"), "Korvel");
    EXPECT_EQ(plat::titleFromProgramName("C:/x/Pandrel.exe"), "Pandrel");
    EXPECT_EQ(plat::titleFromProgramName("pandrel"), "pandrel");
    // Everything from the first dot on goes; a Windows path is split at its backslashes.
    EXPECT_EQ(plat::titleFromProgramName("/opt/PANDREL.v2.exe"), "Pandrel");
    EXPECT_EQ(plat::titleFromProgramName("C:\\Программы\\ТЕСТ.exe"), "Тест");
}

namespace {

class TypedFile : public testing_support::SuiteTest {};

// The open dialog's typed name, found as the desktop's dialog finds it.
TEST_F(TypedFile, FoundInAnyCaseAndWithTheDefaultExtension) {
    testing_support::put(inWork("Физика.DB"), "t");
    testing_support::put(inWork("notes"), "n");
    QDir(work()).mkdir("Химия.db");  // a folder is no file
    const struct {
        const char* typed;
        const char* found;  // "" for none
    } cases[] = {
        {"физика", "Физика.DB"},
        {"ФИЗИКА.db", "Физика.DB"},
        {"Физика.DB", "Физика.DB"},
        {"физика.txt", ""},
        {"Химия", ""},
        {"notes", "notes"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const QString found = plat::findTypedFile(work(), QString::fromUtf8(c.typed), "db");
        const QString expected = *c.found ? inWork(QString::fromUtf8(c.found)) : QString();
        EXPECT_EQ(found, expected) << c.typed;
    }
    // A full path, in another case, is looked up as it stands.
    EXPECT_EQ(plat::findTypedFile("/nowhere", inWork("физика"), "db"), inWork("Физика.DB"));
    EXPECT_EQ(plat::findTypedFile(work(), "физика", ""), QString());
}

}  // namespace
