// The registry side of the settings: reads that follow the load rules, writes that come back the
// same, and a key that is never created where only opening is allowed. Each test works on its own
// key under HKCU, deleted afterwards.

#include "settings/registry_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "core/settings/load_settings.h"
#include "core/settings/settings_writers.h"

namespace tavik::settings {
namespace {

using namespace std::string_literals;

class RegistrySettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        keyPath = "Software\\Quorlex\\TavikTest" + std::to_string(GetCurrentProcessId()) + "\\" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        DeleteTestKeys();
    }
    void TearDown() override { DeleteTestKeys(); }

    void DeleteTestKeys() {
        RegDeleteTreeA(HKEY_CURRENT_USER,
                       ("Software\\Quorlex\\TavikTest" + std::to_string(GetCurrentProcessId())).c_str());
    }

    bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    void Put(const char* name, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }

    // The stored type and bytes of a value; type 0xFFFFFFFF when it is absent.
    std::pair<DWORD, std::string> Get(const char* name) {
        std::string bytes(1024, '\0');
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(bytes.size());
        if (RegGetValueA(HKEY_CURRENT_USER, keyPath.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, bytes.data(),
                         &size) != ERROR_SUCCESS) {
            return {0xFFFFFFFF, {}};
        }
        bytes.resize(size);
        return {type, bytes};
    }

    std::string keyPath;
};

TEST_F(RegistrySettingsTest, NumbersAreReadInto4BytesWhateverTheirType) {
    Put("Dword", REG_DWORD, "\x34\x12\0\0"s);
    Put("Short", REG_BINARY, "\x05"s);
    Put("Long", REG_BINARY, "\1\0\0\0\0\0\0\0"s);
    Put("Text", REG_SZ, "7\0"s);
    RegistrySettingsSource source(keyPath);
    ASSERT_TRUE(source.Open());
    EXPECT_EQ(source.ReadNumber("Dword"), 0x1234u);
    EXPECT_EQ(source.ReadNumber("Short"), 5u);
    EXPECT_EQ(source.ReadNumber("Long"), std::nullopt);
    EXPECT_EQ(source.ReadNumber("Text"), static_cast<std::uint32_t>('7'));
    EXPECT_EQ(source.ReadNumber("Absent"), std::nullopt);
}

TEST_F(RegistrySettingsTest, StringsAreReadInTwoStepsWithTheirRawBytes) {
    Put("Sound", REG_SZ, "ding.wav\0"s);
    RegistrySettingsSource source(keyPath);
    ASSERT_TRUE(source.Open());
    std::optional<std::size_t> size = source.QueryStringSize("Sound");
    ASSERT_EQ(size, 9u);
    EXPECT_EQ(source.ReadString("Sound", *size), "ding.wav\0"s);
    EXPECT_EQ(source.ReadString("Sound", 4), std::nullopt);  // does not fit
    EXPECT_EQ(source.QueryStringSize("Absent"), std::nullopt);
}

TEST_F(RegistrySettingsTest, MissingKeyIsNeitherReadNorCreated) {
    RegistrySettingsSource source(keyPath);
    EXPECT_FALSE(source.Open());
    EXPECT_EQ(source.ReadNumber("TCPPort"), std::nullopt);

    RegistrySettingsSink exitKey(SettingsKeyAccess::kOpenFullAccess, keyPath);
    SaveAtExit(exitKey, Settings{});
    WriteClassName(exitKey, 42);
    EXPECT_FALSE(KeyExists());

    RegistrySettingsSink pageKey(SettingsKeyAccess::kCreateForWrite, keyPath);
    EXPECT_TRUE(SaveMessagesPage(pageKey, Settings{}, MessagesPageValues{}).has_value());
    EXPECT_TRUE(KeyExists());
}

TEST_F(RegistrySettingsTest, PagesWriteTypedValuesThatLoadBack) {
    RegistrySettingsSink sink(SettingsKeyAccess::kCreateForWrite, keyPath);
    MessagesPageValues messages;
    messages.restoreHotKey = 0x0641;
    messages.selectedFontSize = 14;
    messages.allMess = "10.*;*";
    MailPageValues mail;
    mail.password = "aZbZ";  // the key byte scrambles to a zero inside the stored text
    mail.userName = "ann";
    Settings saved = *SaveMessagesPage(sink, Settings{}, messages);
    saved = *SaveMailPage(sink, saved, mail);

    EXPECT_EQ(Get("RestoreHotKey"), std::make_pair(DWORD{REG_DWORD}, "\x41\x06\0\0"s));
    EXPECT_EQ(Get("AllMess"), std::make_pair(DWORD{REG_SZ}, "10.*;*\0"s));
    EXPECT_EQ(Get("Password"), std::make_pair(DWORD{REG_SZ}, "\x3B\0\x38\0\0"s));

    RegistrySettingsSource source(keyPath);
    struct NoFolders : UserFolders {
        std::optional<std::string> ReadAppDataFolder() override { return std::nullopt; }
        void CreateFolder(const std::string&) override {}
    } folders;
    Settings loaded = LoadSettings(source, folders);
    EXPECT_EQ(loaded.RestoreHotKey, 0x0641u);
    EXPECT_EQ(loaded.MessageTextFontSize, 14u);
    EXPECT_EQ(loaded.AllMess, "10.*;*");
    EXPECT_EQ(loaded.UserName, "ann");
    EXPECT_EQ(loaded.Password, "aZbZ");
}

TEST_F(RegistrySettingsTest, ClassNameIsWrittenReadAndDeleted) {
    Put("MessageTextFontSize", REG_DWORD, "\x08\0\0\0"s);
    RegistrySettingsSink instance(SettingsKeyAccess::kOpenFullAccess, keyPath);
    ASSERT_TRUE(instance.Open());
    EXPECT_EQ(instance.ReadClassName(), std::nullopt);
    WriteClassName(instance, 0x000A01F2);
    EXPECT_EQ(Get("ClassName"), std::make_pair(DWORD{REG_DWORD}, "\xF2\x01\x0A\0"s));

    ASSERT_TRUE(instance.Open());
    EXPECT_EQ(instance.ReadClassName(), 0x000A01F2u);
    instance.Close();

    Settings current;
    current.MessageTextFontSize = 11;
    SaveAtExit(instance, current);
    EXPECT_EQ(Get("ClassName").first, 0xFFFFFFFF);
    EXPECT_EQ(Get("MessageTextFontSize"), std::make_pair(DWORD{REG_DWORD}, "\x0B\0\0\0"s));
}

TEST_F(RegistrySettingsTest, AppDataComesFromTheShellFoldersKeyAndFoldersAreCreated) {
    Put("AppData", REG_SZ, "C:\\Users\\a\\AppData\\Roaming  \0"s);
    EXPECT_EQ(RegistryUserFolders(keyPath).ReadAppDataFolder(), "C:\\Users\\a\\AppData\\Roaming  ");
    EXPECT_EQ(RegistryUserFolders(keyPath + "\\Absent").ReadAppDataFolder(), std::nullopt);

    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    std::string folder = std::string(temp) + "tavik-settings-test-" + std::to_string(GetCurrentProcessId());
    RegistryUserFolders folders;
    folders.CreateFolder(folder);
    folders.CreateFolder(folder);  // an existing folder is no failure worth reporting
    folders.CreateFolder(folder + "\\inner\\");
    EXPECT_NE(GetFileAttributesA((folder + "\\inner").c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryA((folder + "\\inner").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace tavik::settings
