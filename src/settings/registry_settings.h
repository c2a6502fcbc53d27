#pragma once
// The settings key of the registry (HKCU "Software\Quorlex\Tavik\Settings") as the core's settings
// source and sink, the user's folders, and the glue that loads and saves the process-wide settings.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/settings/settings.h"
#include "core/settings/settings_sink.h"
#include "core/settings/settings_source.h"
#include "core/settings/settings_writers.h"
#include "win/registry_key.h"
#include "win/user_folders.h"

namespace tavik::settings {

// Reads the settings key (KEY_QUERY_VALUE). A missing key makes every read fail; nothing is created.
class RegistrySettingsSource final : public SettingsSource {
public:
    explicit RegistrySettingsSource(std::string keyPath = kSettingsKeyPath);

    bool Open() override;
    void Close() override;
    std::optional<std::uint32_t> ReadNumber(const std::string& name) override;
    std::optional<std::size_t> QueryStringSize(const std::string& name) override;
    std::optional<std::string> ReadString(const std::string& name, std::size_t size) override;

private:
    std::string keyPath_;
    win::RegistryKey key_;
};

// The "AppData" value of the user's Shell Folders key, and the making of folders.
class RegistryUserFolders final : public UserFolders {
public:
    explicit RegistryUserFolders(std::string shellFoldersPath = win::kShellFoldersKeyPath);
    std::optional<std::string> ReadAppDataFolder() override;
    void CreateFolder(const std::string& path) override;

private:
    std::string shellFoldersPath_;
};

enum class SettingsKeyAccess {
    kCreateForWrite,  // options pages: RegCreateKeyExA with KEY_WRITE
    kOpenFullAccess,  // start-up and exit: RegOpenKeyExA with KEY_ALL_ACCESS; never creates the key
};

// Writes the settings key. With kOpenFullAccess it also serves the single-instance rule: Open,
// ReadClassName, and later WriteClassName (core) on the same open key.
class RegistrySettingsSink final : public SettingsSink {
public:
    explicit RegistrySettingsSink(SettingsKeyAccess access, std::string keyPath = kSettingsKeyPath);

    bool Open() override;
    void Close() override;
    void WriteNumber(const std::string& name, std::uint32_t value) override;
    void WriteString(const std::string& name, std::string_view bytes) override;
    void DeleteValue(const std::string& name) override;

    // ClassName read as a 4-byte number from the open key; nullopt when not open or unreadable.
    std::optional<std::uint32_t> ReadClassName();

private:
    SettingsKeyAccess access_;
    std::string keyPath_;
    win::RegistryKey key_;
};

// Start-up: reads the settings key and the data folder into ProcessSettings().
void LoadProcessSettings();

// Options pages: write the page and, only if the key could be opened, apply it to
// ProcessSettings(). False when nothing was saved.
bool ApplyMessagesPage(const MessagesPageValues& page, const std::string& keyPath = kSettingsKeyPath);
bool ApplyMailPage(const MailPageValues& page, const std::string& keyPath = kSettingsKeyPath);

// Exit: deletes ClassName and writes the current MessageTextFontSize (key opened with full access).
void SaveProcessSettingsAtExit();
// The session may end: writes the current MessageTextFontSize (key opened with full access).
void SaveFontSizeForSessionEnd();

}  // namespace tavik::settings
