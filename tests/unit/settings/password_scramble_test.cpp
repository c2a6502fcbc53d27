#include "core/settings/password_scramble.h"

#include <gtest/gtest.h>

#include "core/settings/load_settings.h"
#include "core/settings/settings_writers.h"
#include "settings/fake_settings_key.h"

namespace tavik {
namespace {

using testing::FakeSettingsKey;
using testing::FakeUserFolders;

TEST(PasswordScramble, StoredFormIsEveryByteXoredThenATerminator) {
    EXPECT_EQ(ScramblePassword("ab"), std::string("\x3B\x38\0", 3));
    EXPECT_EQ(ScramblePassword(""), std::string("\0", 1));
    // The key byte scrambles to zero but the bytes after it are kept.
    EXPECT_EQ(ScramblePassword("aZb"), std::string("\x3B\0\x38\0", 4));
}

// The password goes through the mail page's save and the start-up load, as it does in use.
std::string SaveAndLoad(const std::string& password) {
    FakeSettingsKey key;
    FakeUserFolders folders;
    MailPageValues page;
    page.password = password;
    EXPECT_TRUE(SaveMailPage(key, Settings{}, page).has_value());
    return LoadSettings(key, folders).Password;
}

TEST(PasswordScramble, SurvivesSaveAndLoadEvenWithTheKeyByte) {
    for (std::string password : {"secret", "Z", "aZb", "ZZ", "", "ZabZ", "\xE9t\xE9", "p@ss word!"}) {
        EXPECT_EQ(SaveAndLoad(password), password) << password;
    }
    std::string allBytes;
    for (int byte = 1; byte < 256; ++byte) allBytes.push_back(static_cast<char>(byte));
    EXPECT_EQ(SaveAndLoad(allBytes), allBytes);
}

TEST(PasswordScramble, OlderValuesCutAtTheKeyByteStillLoad) {
    FakeSettingsKey key;
    FakeUserFolders folders;
    key.SetBytes("Password", std::string("\x3B\0", 2));  // "aZb" as older versions stored it
    EXPECT_EQ(LoadSettings(key, folders).Password, "a");
    key.SetBytes("Password", std::string("\0", 1));  // "Z..." stored that way
    EXPECT_EQ(LoadSettings(key, folders).Password, "");
}

TEST(PasswordScramble, UnscrambleDropsTheLastStoredByteWhateverItIs) {
    EXPECT_EQ(UnscramblePassword(std::string("\x3B\x38", 2)), "a");  // no terminator stored
    EXPECT_EQ(UnscramblePassword(""), "");
    // A stored key byte unscrambles to zero, which ends the text.
    EXPECT_EQ(UnscramblePassword(std::string("\x3B\x5A\x38\0", 4)), "a");
}

}  // namespace
}  // namespace tavik
