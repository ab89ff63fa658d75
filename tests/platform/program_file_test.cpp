// The program file recorded where the program must be found again, as in a start-at-logon entry.
#include "platform/program_dir.h"

#include <gtest/gtest.h>

TEST(ProgramFile, SurvivesAnUpgradeAndAnAppImage)
{
    // A package upgrade replaces the running file; the new one sits at the same path.
    EXPECT_EQ(ProgramFileFrom("/usr/bin/dniarz (deleted)", nullptr), "/usr/bin/dniarz");
    EXPECT_EQ(ProgramFileFrom("/opt/dniarz/dniarz", nullptr), "/opt/dniarz/dniarz");
    EXPECT_EQ(ProgramFileFrom("/home/ala/my (deleted) dir/dniarz", ""), "/home/ala/my (deleted) dir/dniarz");
    // An AppImage's contents are mounted at a new place every start.
    EXPECT_EQ(ProgramFileFrom("/tmp/.mount_dniarzX1/usr/bin/dniarz", "/home/ala/Dniarz.AppImage"),
              "/home/ala/Dniarz.AppImage");
    EXPECT_EQ(ProgramFileFrom("/usr/bin/dniarz", "relative.AppImage"), "/usr/bin/dniarz");
    EXPECT_EQ(ProgramFileFrom("", nullptr), "");
    EXPECT_FALSE(ProgramFile().empty());
}
