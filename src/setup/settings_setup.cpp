#include "setup/settings_setup.h"

#include <windows.h>

#include "core/settings/administrative_defaults.h"
#include "core/settings/settings.h"
#include "core/setup/allow_list.h"
#include "core/setup/setup_paths.h"
#include "win/registry_key.h"
#include "setup/setup_locations.h"

namespace tavik::setup {
namespace {

// A value counts as present when it can be read into a number's 4 bytes, whatever its type.
constexpr std::size_t kNumberSize = 4;

void RemoveEarlierVersionKeys() {
    win::RegistryKey earlier;
    if (earlier.Open(HKEY_CURRENT_USER, kEarlierVersionKey, KEY_QUERY_VALUE)) {
        // The subkey first: a key with a subkey cannot be deleted.
        earlier.DeleteSubKey(kEarlierSettingsSubKey);
        earlier.DeleteSubKey(kEarlierProgramSubKey);
    }
}

void WriteMissingDefaults(const win::RegistryKey& settings) {
    for (const auto& entry : kAdministrativeDefaults) {
        if (!settings.Read(entry.name, kNumberSize)) {
            settings.WriteDword(entry.name, entry.value);
        }
    }
}

void MoveOldMailServer(const win::RegistryKey& settings) {
    const auto old = settings.Read(kOldMailServerValue, kPathBufferSize);
    // The old value goes only once the server name is safe under its new name.
    if (old && settings.Write(kMailServerValue, REG_SZ, old->bytes)) {
        settings.DeleteValue(kOldMailServerValue);
    }
}

void RewriteOldAllowList(const win::RegistryKey& settings) {
    const auto stored = settings.Read(kAllowListValue, kAllowListBufferSize);
    if (stored) {
        settings.Write(kAllowListValue, stored->type, RewriteAllowList(stored->bytes));
    }
}

void MarkUninstallEntry() {
    win::RegistryKey entry;
    // Opened, never created: only an installation that registered itself is marked.
    if (entry.Open(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WRITE)) {
        entry.WriteDword("NoModify", 1);
        entry.WriteDword("NoRepair", 1);
        entry.WriteDword("NoRemove", 0);
        entry.WriteDword("WindowsInstaller", 0);
    }
}

}  // namespace

void WriteSetupSettings() {
    RemoveEarlierVersionKeys();

    win::RegistryKey settings;
    if (!settings.Create(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_ALL_ACCESS)) {
        return;  // no settings key, so the installation is not marked either
    }
    settings.Close();
    if (settings.Open(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_ALL_ACCESS)) {
        WriteMissingDefaults(settings);
        MoveOldMailServer(settings);
        RewriteOldAllowList(settings);
        settings.Close();
    }

    MarkUninstallEntry();
}

}  // namespace tavik::setup
