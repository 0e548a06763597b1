#include "platform/ui.h"

#include <gtest/gtest.h>

TEST(TitleFromProgramName, KeepsFirstCharacterLowersTheRest) {
    EXPECT_EQ(plat::titleFromProgramName("/opt/suite/KORVEL"), "Korvel");
    EXPECT_EQ(plat::titleFromProgramName("C:/x/Pandrel.exe"), "Pandrel");
    EXPECT_EQ(plat::titleFromProgramName("pandrel"), "pandrel");
}
