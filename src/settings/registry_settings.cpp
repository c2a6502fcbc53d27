#include "settings/registry_settings.h"

#include <utility>

#include "core/settings/load_settings.h"
#include "core/settings/settings_store.h"
#include "win/user_folders.h"

namespace tavik::settings {

RegistrySettingsSource::RegistrySettingsSource(std::string keyPath) : keyPath_(std::move(keyPath)) {}

bool RegistrySettingsSource::Open() {
    return key_.IsOpen() || key_.Open(HKEY_CURRENT_USER, keyPath_.c_str(), KEY_QUERY_VALUE);
}

void RegistrySettingsSource::Close() { key_.Close(); }

std::optional<std::uint32_t> RegistrySettingsSource::ReadNumber(const std::string& name) {
    return key_.ReadDword(name.c_str());
}

std::optional<std::size_t> RegistrySettingsSource::QueryStringSize(const std::string& name) {
    return key_.QuerySize(name.c_str());
}

std::optional<std::string> RegistrySettingsSource::ReadString(const std::string& name, std::size_t size) {
    return key_.ReadBytes(name.c_str(), size);
}

RegistryUserFolders::RegistryUserFolders(std::string shellFoldersPath)
    : shellFoldersPath_(std::move(shellFoldersPath)) {}

std::optional<std::string> RegistryUserFolders::ReadAppDataFolder() {
    return win::ReadUserFolder("AppData", shellFoldersPath_.c_str());
}

void RegistryUserFolders::CreateFolder(const std::string& path) { win::MakeFolder(path); }

RegistrySettingsSink::RegistrySettingsSink(SettingsKeyAccess access, std::string keyPath)
    : access_(access), keyPath_(std::move(keyPath)) {}

bool RegistrySettingsSink::Open() {
    if (key_.IsOpen()) return true;
    if (access_ == SettingsKeyAccess::kCreateForWrite)
        return key_.Create(HKEY_CURRENT_USER, keyPath_.c_str(), KEY_WRITE);
    return key_.Open(HKEY_CURRENT_USER, keyPath_.c_str(), KEY_ALL_ACCESS);
}

void RegistrySettingsSink::Close() { key_.Close(); }

void RegistrySettingsSink::WriteNumber(const std::string& name, std::uint32_t value) {
    key_.WriteDword(name.c_str(), value);
}

void RegistrySettingsSink::WriteString(const std::string& name, std::string_view bytes) {
    key_.Write(name.c_str(), REG_SZ, bytes);
}

void RegistrySettingsSink::DeleteValue(const std::string& name) { key_.DeleteValue(name.c_str()); }

std::optional<std::uint32_t> RegistrySettingsSink::ReadClassName() { return key_.ReadDword("ClassName"); }

void LoadProcessSettings() {
    RegistrySettingsSource source;
    RegistryUserFolders folders;
    ProcessSettings().Replace(LoadSettings(source, folders));
}

bool ApplyMessagesPage(const MessagesPageValues& page, const std::string& keyPath) {
    RegistrySettingsSink sink(SettingsKeyAccess::kCreateForWrite, keyPath);
    std::optional<Settings> next = SaveMessagesPage(sink, *ProcessSettings().Current(), page);
    if (!next) return false;
    ProcessSettings().Replace(std::move(*next));
    return true;
}

bool ApplyMailPage(const MailPageValues& page, const std::string& keyPath) {
    RegistrySettingsSink sink(SettingsKeyAccess::kCreateForWrite, keyPath);
    std::optional<Settings> next = SaveMailPage(sink, *ProcessSettings().Current(), page);
    if (!next) return false;
    ProcessSettings().Replace(std::move(*next));
    return true;
}

void SaveFontSizeForSessionEnd() {
    RegistrySettingsSink sink(SettingsKeyAccess::kOpenFullAccess);
    SaveFontSize(sink, *ProcessSettings().Current());
}

void SaveProcessSettingsAtExit() {
    RegistrySettingsSink sink(SettingsKeyAccess::kOpenFullAccess);
    SaveAtExit(sink, *ProcessSettings().Current());
}

}  // namespace tavik::settings
