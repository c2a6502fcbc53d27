#include "core/settings/data_directory.h"

#include <gtest/gtest.h>

#include "settings/fake_settings_key.h"

namespace tavik {
namespace {

using testing::FakeUserFolders;

TEST(DataDirectory, TrailingBlanksGoAndTheFoldersAreCreatedInOrder) {
    FakeUserFolders folders;
    folders.appData = "C:\\Users\\a\\AppData\\Roaming  ";
    EXPECT_EQ(BuildDataDirectory(folders), "C:\\Users\\a\\AppData\\Roaming\\Quorlex\\Quorlex Tavik\\");
    EXPECT_EQ(folders.created, (std::vector<std::string>{
                                   "C:\\Users\\a\\AppData\\Roaming\\Quorlex\\",
                                   "C:\\Users\\a\\AppData\\Roaming\\Quorlex\\Quorlex Tavik\\",
                                   "C:\\Users\\a\\AppData\\Roaming\\Quorlex\\Quorlex Tavik\\messages",
                                   "C:\\Users\\a\\AppData\\Roaming\\Quorlex\\Quorlex Tavik\\trash",
                               }));
}

TEST(DataDirectory, BlanksInsideThePathStay) {
    FakeUserFolders folders;
    folders.appData = "C:\\Documents and Settings\\a b\\Application Data ";
    EXPECT_EQ(BuildDataDirectory(folders),
              "C:\\Documents and Settings\\a b\\Application Data\\Quorlex\\Quorlex Tavik\\");
}

TEST(DataDirectory, WithoutAppDataTheCurrentFolderIsUsedWithItsTwoFolders) {
    FakeUserFolders folders;
    EXPECT_EQ(BuildDataDirectory(folders), ".\\");
    EXPECT_EQ(folders.created, (std::vector<std::string>{".\\messages", ".\\trash"}));
}

}  // namespace
}  // namespace tavik
