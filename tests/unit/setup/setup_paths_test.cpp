// Path rules of TavikSetup: folder joining, blank trimming and the profile fallback.

#include "core/setup/setup_paths.h"

#include <gtest/gtest.h>

namespace tavik::setup {
namespace {

TEST(SetupPathsTest, TrimTrailingBlanksRemovesOnlyBlanksAtTheEnd) {
    EXPECT_EQ(TrimTrailingBlanks("C:\\Users\\a\\AppData\\Roaming  "), "C:\\Users\\a\\AppData\\Roaming");
    EXPECT_EQ(TrimTrailingBlanks("C:\\Program Files\\x"), "C:\\Program Files\\x");
    EXPECT_EQ(TrimTrailingBlanks("  C:\\lead"), "  C:\\lead");
    EXPECT_EQ(TrimTrailingBlanks("C:\\tab\t"), "C:\\tab\t");  // only 0x20 is a blank here
    EXPECT_EQ(TrimTrailingBlanks("C:\\tab\t "), "C:\\tab\t");
    EXPECT_EQ(TrimTrailingBlanks("   "), "");
    EXPECT_EQ(TrimTrailingBlanks(""), "");
}

TEST(SetupPathsTest, JoinPathPutsOneBackslashBetweenTheParts) {
    EXPECT_EQ(JoinPath("C:\\Program Files\\Quorlex Tavik", "Tavik.exe"), "C:\\Program Files\\Quorlex Tavik\\Tavik.exe");
    EXPECT_EQ(JoinPath("", "Quorlex Tavik StartUp.lnk"), "\\Quorlex Tavik StartUp.lnk");
}

TEST(SetupPathsTest, FolderOfFileCutsAtTheLastBackslash) {
    EXPECT_EQ(FolderOfFile("C:\\Program Files\\Quorlex Tavik\\Tavik.exe"), "C:\\Program Files\\Quorlex Tavik");
    EXPECT_EQ(FolderOfFile("\\Tavik.exe"), "");
    EXPECT_EQ(FolderOfFile("C:\\dir\\"), "C:\\dir");
    EXPECT_EQ(FolderOfFile("Tavik.exe"), std::nullopt);
    EXPECT_EQ(FolderOfFile(""), std::nullopt);
}

TEST(SetupPathsTest, ProfileFolderPrefersTheEnvironment) {
    EXPECT_EQ(ChooseProfileFolder("C:\\users\\ann", true, "C:\\other", "C:\\windows"), "C:\\users\\ann");
    // The environment value is taken as it stands, blanks and all.
    EXPECT_EQ(ChooseProfileFolder("C:\\users\\ann ", false, std::nullopt, "C:\\windows"), "C:\\users\\ann ");
}

TEST(SetupPathsTest, ProfileFolderFallsBackToReconciliationThenWindows) {
    EXPECT_EQ(ChooseProfileFolder(std::nullopt, true, "C:\\profiles\\bob  ", "C:\\windows"), "C:\\profiles\\bob");
    EXPECT_EQ(ChooseProfileFolder(std::string(), true, "C:\\profiles\\bob", "C:\\windows"), "C:\\profiles\\bob");
    EXPECT_EQ(ChooseProfileFolder(std::nullopt, true, std::nullopt, "C:\\windows"), "C:\\windows");
    // A value is only believed when its key opened.
    EXPECT_EQ(ChooseProfileFolder(std::nullopt, false, "C:\\profiles\\bob", "C:\\windows"), "C:\\windows");
}

}  // namespace
}  // namespace tavik::setup
