#include "platform/ui.h"

#include <gtest/gtest.h>

TEST(TitleFromProgramName, KeepsFirstCharacterLowersTheRest) {
    EXPECT_EQ(plat::titleFromProgramName("/opt/suite/KORVEL"), "Korvel");
    EXPECT_EQ(plat::titleFromProgramName("C:/x/Pandrel.exe"), "Pandrel");
    EXPECT_EQ(plat::titleFromProgramName("pandrel"), "pandrel");
    // Everything from the first dot on goes; a Windows path is split at its backslashes.
    EXPECT_EQ(plat::titleFromProgramName("/opt/PANDREL.v2.exe"), "Pandrel");
    EXPECT_EQ(plat::titleFromProgramName("C:\\Программы\\ТЕСТ.exe"), "Тест");
}
