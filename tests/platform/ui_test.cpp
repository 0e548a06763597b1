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

// The standard error box stands alone: errors reported while it stands are folded into it,
// and once it is closed the next error opens a box again.
TEST(StandardErrorBox, ErrorsUnderTheStandingBoxAreFoldedIntoIt) {
    testing_support::ScriptedUi ui;
    const QString reset = "Asynchronous socket error 104";
    const QString refused = "Asynchronous socket error 111";
    ui.onShow = [&](const plat::Box&) {
        if (ui.standing() > 1) return;
        for (int i = 0; i < 5; ++i) ui.standardError(reset);
        ui.standardError(refused);
    };
    ui.expect(plat::BoxKind::StandardError, reset).expect(plat::BoxKind::StandardError, refused);
    ui.standardError(reset);
    ui.onShow = nullptr;
    ui.standardError(refused);
    EXPECT_EQ(ui.boxes().size(), 2);
    EXPECT_EQ(ui.mostStanding(), 1);
    ASSERT_EQ(ui.amendments().size(), 6);
    EXPECT_EQ(ui.amendments().first(),
              reset + "\r\n\r\nПока открыто это окно, ещё ошибок: 1\r\n" + reset);
    EXPECT_EQ(ui.amendments().last(), reset + "\r\n\r\nПока открыто это окно, ещё ошибок: 6\r\n" +
                                          reset + " (5)\r\n" + refused);
}

// However many errors come, the box's text stays a few short lines.
TEST(StandardErrorBox, FoldedTextStaysShort) {
    EXPECT_EQ(plat::foldedErrorText("A", 0, {}), "A");
    const QString longText = QString(300, u'x') + "\r\nтретья строка";
    EXPECT_EQ(plat::foldedErrorText("A", 12, {{longText, 1}, {"b", 2}, {"c", 3}, {"d", 6}}),
              "A\r\n\r\nПока открыто это окно, ещё ошибок: 12\r\n" + QString(100, u'x') +
                  "...\r\nb (2)\r\nc (3)\r\nи другие: 6");
}

}  // namespace
