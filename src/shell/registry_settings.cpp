#include "shell/registry_settings.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/settings/load_settings.h"
#include "core/settings/settings_store.h"

namespace tavik::shell {
namespace {

std::optional<std::size_t> QuerySize(HKEY key, const std::string& name) {
    if (key == nullptr) return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return size;
}

std::optional<std::string> ReadBytes(HKEY key, const std::string& name, std::size_t size) {
    if (key == nullptr || size > std::numeric_limits<DWORD>::max()) return std::nullopt;
    std::string buffer(size, '\0');
    DWORD read = static_cast<DWORD>(size);
    // A zero-size read still passes a buffer, so an existing non-empty value fails as too big.
    char empty = 0;
    BYTE* data = reinterpret_cast<BYTE*>(size == 0 ? &empty : buffer.data());
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, data, &read) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    buffer.resize(std::min<std::size_t>(read, size));
    return buffer;
}

// A number value read into a zeroed 4-byte field; the type is not examined, a larger value fails.
std::optional<std::uint32_t> ReadDword(HKEY key, const char* name) {
    if (key == nullptr) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

void CloseKey(HKEY& key) {
    if (key != nullptr) RegCloseKey(key);
    key = nullptr;
}

}  // namespace

RegistrySettingsSource::RegistrySettingsSource(std::string keyPath) : keyPath(std::move(keyPath)) {}

RegistrySettingsSource::~RegistrySettingsSource() { Close(); }

bool RegistrySettingsSource::Open() {
    if (key != nullptr) return true;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return false;
    }
    key = opened;
    return true;
}

void RegistrySettingsSource::Close() { CloseKey(key); }

std::optional<std::uint32_t> RegistrySettingsSource::ReadNumber(const std::string& name) {
    return ReadDword(key, name.c_str());
}

std::optional<std::size_t> RegistrySettingsSource::QueryStringSize(const std::string& name) {
    return QuerySize(key, name);
}

std::optional<std::string> RegistrySettingsSource::ReadString(const std::string& name, std::size_t size) {
    return ReadBytes(key, name, size);
}

RegistryUserFolders::RegistryUserFolders(std::string shellFoldersPath)
    : shellFoldersPath(std::move(shellFoldersPath)) {}

std::optional<std::string> RegistryUserFolders::ReadAppDataFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, shellFoldersPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::string> value;
    if (std::optional<std::size_t> size = QuerySize(key, "AppData")) value = ReadBytes(key, "AppData", *size);
    CloseKey(key);
    if (!value) return std::nullopt;
    return value->substr(0, value->find('\0'));
}

void RegistryUserFolders::CreateFolder(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
}

RegistrySettingsSink::RegistrySettingsSink(SettingsKeyAccess access, std::string keyPath)
    : access(access), keyPath(std::move(keyPath)) {}

RegistrySettingsSink::~RegistrySettingsSink() { Close(); }

bool RegistrySettingsSink::Open() {
    if (key != nullptr) return true;
    HKEY opened = nullptr;
    LONG result = ERROR_SUCCESS;
    if (access == SettingsKeyAccess::kCreateForWrite) {
        result = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_WRITE, nullptr, &opened, nullptr);
    } else {
        result = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_ALL_ACCESS, &opened);
    }
    if (result != ERROR_SUCCESS) return false;
    key = opened;
    return true;
}

void RegistrySettingsSink::Close() { CloseKey(key); }

void RegistrySettingsSink::WriteNumber(const std::string& name, std::uint32_t value) {
    if (key == nullptr) return;
    DWORD data = value;
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

void RegistrySettingsSink::WriteString(const std::string& name, std::string_view bytes) {
    if (key == nullptr || bytes.size() > std::numeric_limits<DWORD>::max()) return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

void RegistrySettingsSink::DeleteValue(const std::string& name) {
    if (key != nullptr) RegDeleteValueA(key, name.c_str());
}

std::optional<std::uint32_t> RegistrySettingsSink::ReadClassName() { return ReadDword(key, "ClassName"); }

void LoadProcessSettings() {
    RegistrySettingsSource source;
    RegistryUserFolders folders;
    ProcessSettings().Replace(LoadSettings(source, folders));
}

bool ApplyMessagesPage(const MessagesPageValues& page) {
    RegistrySettingsSink sink(SettingsKeyAccess::kCreateForWrite);
    std::optional<Settings> next = SaveMessagesPage(sink, *ProcessSettings().Current(), page);
    if (!next) return false;
    ProcessSettings().Replace(std::move(*next));
    return true;
}

bool ApplyMailPage(const MailPageValues& page) {
    RegistrySettingsSink sink(SettingsKeyAccess::kCreateForWrite);
    std::optional<Settings> next = SaveMailPage(sink, *ProcessSettings().Current(), page);
    if (!next) return false;
    ProcessSettings().Replace(std::move(*next));
    return true;
}

void SaveProcessSettingsAtExit() {
    RegistrySettingsSink sink(SettingsKeyAccess::kOpenFullAccess);
    SaveAtExit(sink, *ProcessSettings().Current());
}

}  // namespace tavik::shell
