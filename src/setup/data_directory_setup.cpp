#include "setup/data_directory_setup.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/setup/setup_paths.h"
#include "win/registry_key.h"
#include "win/user_folders.h"
#include "setup/setup_locations.h"

namespace tavik::setup {
namespace {

// Results are not looked at: an existing folder stays as it is.
void CreateFolder(const std::string& path) { win::MakeFolder(path); }

// Inside the company folder: the earlier version's folder takes the present name unless that
// name exists already (MoveFileA then fails and both folders stay), then the present one is made.
void MakeProgramFolder(const std::string& companyFolder) {
    const std::string oldFolder = JoinPath(companyFolder, kOldDataFolder);
    const std::string newFolder = JoinPath(companyFolder, kDataFolder);
    MoveFileA(oldFolder.c_str(), newFolder.c_str());
    CreateFolder(newFolder);
}

std::optional<std::string> ReadProfileVariable() {
    char buffer[kPathBufferSize] = {};
    const DWORD length = GetEnvironmentVariableA(kProfileVariable, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) {
        return std::nullopt;  // unset, or too long for the buffer
    }
    return std::string(buffer, length);
}

std::string ReadWindowsDirectory() {
    char buffer[kPathBufferSize] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof(buffer));
    return length > 0 && length < sizeof(buffer) ? std::string(buffer, length) : std::string();
}

void MakeUnderAppData(const std::string& storedAppData) {
    const std::string appData = TrimTrailingBlanks(storedAppData);
    CreateFolder(appData);
    const std::string company = JoinPath(appData, kCompanyFolder);
    CreateFolder(company);
    MakeProgramFolder(company);
}

void MakeUnderProfile(const win::RegistryKey& shellFolders, const win::RegistryKey& reconciliation) {
    std::optional<std::string> profileDirectory;
    if (reconciliation.IsOpen()) {
        profileDirectory = reconciliation.ReadText(kProfileDirectoryValue, kPathBufferSize);
    }
    const std::string profile =
        ChooseProfileFolder(ReadProfileVariable(), reconciliation.IsOpen(), profileDirectory, ReadWindowsDirectory());
    CreateFolder(profile);
    const std::string appData = JoinPath(profile, kApplicationDataFolder);
    CreateFolder(appData);
    const std::string company = JoinPath(appData, kCompanyFolder);
    CreateFolder(company);
    MakeProgramFolder(company);

    std::string value = appData;
    value += '\0';  // stored with its terminator
    shellFolders.Write(kAppDataValue, REG_SZ, value);
}

}  // namespace

void MakeDataDirectory() {
    win::RegistryKey shellFolders;
    win::RegistryKey reconciliation;
    shellFolders.Open(HKEY_CURRENT_USER, kShellFoldersKey, KEY_ALL_ACCESS);
    reconciliation.Open(HKEY_CURRENT_USER, kProfileReconciliationKey, KEY_QUERY_VALUE);
    if (!shellFolders.IsOpen()) {
        return;
    }
    // A value that is there but cannot be read stays: only a missing one is replaced.
    if (const std::optional<std::string> appData = win::ReadUserFolder(kAppDataValue)) {
        MakeUnderAppData(*appData);
    } else if (!shellFolders.QuerySize(kAppDataValue)) {
        MakeUnderProfile(shellFolders, reconciliation);
    }
}

}  // namespace tavik::setup
