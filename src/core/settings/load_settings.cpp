#include "core/settings/load_settings.h"

#include <array>
#include <cstdint>
#include <string>

#include "core/settings/data_directory.h"
#include "core/settings/password_scramble.h"

namespace tavik {
namespace {

struct NumberValue {
    const char* name;
    std::uint32_t Settings::*field;
};

// Every number value but the ports, whose rules follow the table.
constexpr std::array<NumberValue, 20> kNumberValues{{
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
}};

struct StringValue {
    const char* name;
    std::string Settings::*field;
    // A value that exists but cannot be read keeps its default (the pattern lists) or becomes empty.
    bool defaultWhenUnreadable;
};

constexpr std::array<StringValue, 7> kStringValues{{
    {"SoundFile", &Settings::SoundFile, false},
    {"HigthPriorMess", &Settings::HigthPriorMess, true},
    {"DontRecvMess", &Settings::DontRecvMess, true},
    {"AllMess", &Settings::AllMess, true},
    {"EmailProgram", &Settings::EmailProgram, false},
    {"UserName", &Settings::UserName, false},
    {"IncomingMailServer", &Settings::IncomingMailServer, false},
}};

std::string UpToFirstZero(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

// The two-step read: absent when the size query fails; present without bytes when the value
// exists but the read itself fails.
struct StringRead {
    bool exists = false;
    std::optional<std::string> bytes;
};

StringRead ReadStringValue(SettingsSource& source, const std::string& name) {
    StringRead read;
    std::optional<std::size_t> size = source.QueryStringSize(name);
    if (!size) return read;
    read.exists = true;
    read.bytes = source.ReadString(name, *size);
    return read;
}

}  // namespace

Settings LoadSettings(SettingsSource& source, UserFolders& folders) {
    Settings settings;
    if (source.Open()) {
        for (const NumberValue& value : kNumberValues) {
            if (auto number = source.ReadNumber(value.name)) settings.*value.field = *number;
        }

        std::optional<std::uint32_t> tcpPort = source.ReadNumber("TCPPort");
        settings.TCPPort = (tcpPort && *tcpPort != 0) ? *tcpPort : kDefaultPort;
        std::optional<std::uint32_t> udpPort = source.ReadNumber("UDPPort");
        settings.UDPPort = (udpPort && *udpPort != 0) ? *udpPort : settings.TCPPort;

        for (const StringValue& value : kStringValues) {
            StringRead read = ReadStringValue(source, value.name);
            if (!read.exists) continue;
            if (read.bytes) {
                settings.*value.field = UpToFirstZero(*read.bytes);
            } else if (!value.defaultWhenUnreadable) {
                (settings.*value.field).clear();
            }
        }

        // The stored password may hold zero bytes (a scrambled key byte), so it is not cut first.
        StringRead password = ReadStringValue(source, "Password");
        if (password.exists) {
            settings.Password = password.bytes ? UnscramblePassword(*password.bytes) : std::string();
        }
        source.Close();
    }
    settings.DataDirectory = BuildDataDirectory(folders);
    return settings;
}

}  // namespace tavik
