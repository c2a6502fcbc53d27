#include "core/settings/load_settings.h"

#include <gtest/gtest.h>

#include "settings/fake_settings_key.h"

namespace tavik {
namespace {

using testing::FakeSettingsKey;
using testing::FakeUserFolders;

class LoadSettingsTest : public ::testing::Test {
protected:
    Settings Load() { return LoadSettings(key, folders); }

    FakeSettingsKey key;
    FakeUserFolders folders;
};

TEST_F(LoadSettingsTest, MissingKeyGivesDefaultsWithoutReadingAnything) {
    key.exists = false;
    key.SetNumber("MessageCountLimit", 5);
    key.SetString("AllMess", "10.*");
    Settings loaded = Load();
    EXPECT_EQ(loaded.MessageCountLimit, 100u);
    EXPECT_EQ(loaded.TCPPort, 7777u);
    EXPECT_EQ(loaded.UDPPort, 7777u);
    EXPECT_EQ(loaded.AllMess, "*.*.*.*;*");
    EXPECT_EQ(loaded.SoundFile, "receive.wav");
    EXPECT_EQ(loaded.TimeChecking, 1u);
    EXPECT_EQ(loaded.DataDirectory, ".\\");
}

TEST_F(LoadSettingsTest, EveryNumberValueReachesItsOwnField) {
    const std::pair<const char*, std::uint32_t Settings::*> fields[] = {
        {"BlinkTrayIcon", &Settings::BlinkTrayIcon},
        {"MessageCountLimit", &Settings::MessageCountLimit},
        {"UsingFilesToStoreMessages", &Settings::UsingFilesToStoreMessages},
        {"DisableCloseProgram", &Settings::DisableCloseProgram},
        {"DisableFilteringSettings", &Settings::DisableFilteringSettings},
        {"DisableUDPTread", &Settings::DisableUDPTread},
        {"DisableTCPTread", &Settings::DisableTCPTread},
        {"DisableSMBTread", &Settings::DisableSMBTread},
        {"DisableMailNotification", &Settings::DisableMailNotification},
        {"DisableCustomization", &Settings::DisableCustomization},
        {"TCPPort", &Settings::TCPPort},
        {"UDPPort", &Settings::UDPPort},
        {"MinimizeWhenLast", &Settings::MinimizeWhenLast},
        {"PopUpWhenIncoming", &Settings::PopUpWhenIncoming},
        {"MessageTextFontSize", &Settings::MessageTextFontSize},
        {"RestoreHotKey", &Settings::RestoreHotKey},
        {"PlaySound", &Settings::PlaySound},
        {"CheckMail", &Settings::CheckMail},
        {"PlayMailSound", &Settings::PlayMailSound},
        {"TimeChecking", &Settings::TimeChecking},
        {"MailServerType", &Settings::MailServerType},
        {"NetbiosPort", &Settings::NetbiosPort},
    };
    std::uint32_t value = 1000;
    for (const auto& [name, field] : fields) key.SetNumber(name, ++value);

    Settings loaded = Load();
    value = 1000;
    for (const auto& [name, field] : fields) EXPECT_EQ(loaded.*field, ++value) << name;
}

TEST_F(LoadSettingsTest, NumberThatCannotBeReadKeepsItsDefault) {
    key.SetBytes("MessageCountLimit", std::string("\x05\0\0\0\0\0\0\0", 8));  // larger than 4 bytes
    key.SetBytes("BlinkTrayIcon", std::string("\0\0\0\0\x01", 5));
    key.SetNumber("TimeChecking", 30);
    key.failingReads.insert("TimeChecking");
    key.SetBytes("MessageTextFontSize", "\x0C");  // a shorter value is still a number
    Settings loaded = Load();
    EXPECT_EQ(loaded.MessageCountLimit, 100u);
    EXPECT_EQ(loaded.BlinkTrayIcon, 1u);
    EXPECT_EQ(loaded.TimeChecking, 1u);
    EXPECT_EQ(loaded.MessageTextFontSize, 12u);
}

TEST_F(LoadSettingsTest, PortRules) {
    struct Case {
        std::optional<std::uint32_t> tcp, udp;
        std::uint32_t expectedTcp, expectedUdp;
    };
    const Case cases[] = {
        {8000, std::nullopt, 8000, 8000},  // no UDPPort: the TCP port
        {7777, 7777, 7777, 7777},          // as setup writes them
        {0, std::nullopt, 7777, 7777},     // TCP 0 is the default port, for both
        {0, 0, 7777, 7777},
        {9000, 0, 9000, 9000},  // UDP 0 follows TCP
        {9000, 9001, 9000, 9001},
        {std::nullopt, 9001, 7777, 9001},
        {std::nullopt, std::nullopt, 7777, 7777},
    };
    for (const Case& c : cases) {
        FakeSettingsKey ports;
        if (c.tcp) ports.SetNumber("TCPPort", *c.tcp);
        if (c.udp) ports.SetNumber("UDPPort", *c.udp);
        Settings loaded = LoadSettings(ports, folders);
        EXPECT_EQ(loaded.TCPPort, c.expectedTcp) << c.tcp.value_or(~0u) << "/" << c.udp.value_or(~0u);
        EXPECT_EQ(loaded.UDPPort, c.expectedUdp) << c.tcp.value_or(~0u) << "/" << c.udp.value_or(~0u);
    }

    FakeSettingsKey unreadableTcp;
    unreadableTcp.SetBytes("TCPPort", std::string(6, '\1'));
    EXPECT_EQ(LoadSettings(unreadableTcp, folders).UDPPort, 7777u);
}

TEST_F(LoadSettingsTest, StringsAreReadUpToTheirFirstZero) {
    key.SetString("SoundFile", "C:\\ding.wav");
    key.SetString("HigthPriorMess", "10.0.0.*");
    key.SetString("DontRecvMess", "bad");
    key.SetBytes("AllMess", std::string("*\0junk\0", 7));
    key.SetString("EmailProgram", "mail.exe");
    key.SetString("UserName", "ann");
    key.SetBytes("IncomingMailServer", "pop.example");  // stored without its terminator
    Settings loaded = Load();
    EXPECT_EQ(loaded.SoundFile, "C:\\ding.wav");
    EXPECT_EQ(loaded.HigthPriorMess, "10.0.0.*");
    EXPECT_EQ(loaded.DontRecvMess, "bad");
    EXPECT_EQ(loaded.AllMess, "*");
    EXPECT_EQ(loaded.EmailProgram, "mail.exe");
    EXPECT_EQ(loaded.UserName, "ann");
    EXPECT_EQ(loaded.IncomingMailServer, "pop.example");
}

TEST_F(LoadSettingsTest, StoredEmptyStringsStayEmpty) {
    key.SetString("SoundFile", "");
    key.SetString("AllMess", "");
    key.SetBytes("HigthPriorMess", "");  // zero bytes stored
    Settings loaded = Load();
    EXPECT_EQ(loaded.SoundFile, "");
    EXPECT_EQ(loaded.AllMess, "");
    EXPECT_EQ(loaded.HigthPriorMess, "");
}

TEST_F(LoadSettingsTest, StringWhoseSizeCannotBeQueriedTakesItsDefault) {
    for (const char* name : {"SoundFile", "AllMess", "UserName", "Password"}) {
        key.SetString(name, "stored");
        key.failingSizeQueries.insert(name);
    }
    Settings loaded = Load();
    EXPECT_EQ(loaded.SoundFile, "receive.wav");
    EXPECT_EQ(loaded.AllMess, "*.*.*.*;*");
    EXPECT_EQ(loaded.UserName, "");
    EXPECT_EQ(loaded.Password, "");
}

TEST_F(LoadSettingsTest, StringThatExistsButCannotBeReadEmptiesAllButThePatternLists) {
    const char* names[] = {"SoundFile",    "HigthPriorMess", "DontRecvMess", "AllMess",
                           "EmailProgram", "UserName",       "Password",     "IncomingMailServer"};
    for (const char* name : names) {
        key.SetString(name, "stored");
        key.failingReads.insert(name);
    }
    Settings loaded = Load();
    EXPECT_EQ(loaded.HigthPriorMess, "*.*.*.*");
    EXPECT_EQ(loaded.DontRecvMess, "");
    EXPECT_EQ(loaded.AllMess, "*.*.*.*;*");
    EXPECT_EQ(loaded.SoundFile, "");
    EXPECT_EQ(loaded.EmailProgram, "");
    EXPECT_EQ(loaded.UserName, "");
    EXPECT_EQ(loaded.Password, "");
    EXPECT_EQ(loaded.IncomingMailServer, "");
}

TEST_F(LoadSettingsTest, KeyIsClosedBeforeTheDataFolderIsBuilt) {
    struct ClosingCheckFolders : FakeUserFolders {
        const FakeSettingsKey* key = nullptr;
        bool keyWasOpen = true;
        std::optional<std::string> ReadAppDataFolder() override {
            keyWasOpen = key->open;
            return "C:\\data";
        }
    } checking;
    checking.key = &key;
    Settings loaded = LoadSettings(key, checking);
    EXPECT_FALSE(checking.keyWasOpen);
    EXPECT_EQ(key.opens, 1);
    EXPECT_EQ(loaded.DataDirectory, "C:\\data\\Quorlex\\Quorlex Tavik\\");
}

}  // namespace
}  // namespace tavik
