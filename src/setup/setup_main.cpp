// TavikSetup: prepares the machine and the user account for Tavik. No window, no message; every
// step runs whatever the previous ones achieved, and the exit code is always 0.

#include <windows.h>

#include <string>

#include "core/setup/setup_paths.h"
#include "setup/data_directory_setup.h"
#include "win/registry_key.h"
#include "win/user_folders.h"
#include "setup/settings_setup.h"
#include "setup/setup_locations.h"
#include "setup/startup_shortcut.h"

namespace {

using namespace tavik::setup;
using tavik::win::RegistryKey;

// The folder stored under a value, or the empty string when the key or value cannot be read.
std::string ReadFolder(HKEY root, const char* keyPath, const char* valueName) {
    RegistryKey key;
    if (!key.Open(root, keyPath, KEY_QUERY_VALUE)) {
        return std::string();
    }
    return key.ReadText(valueName, kPathBufferSize).value_or(std::string());
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string startupFolder = tavik::win::ReadUserFolder(kStartupValue).value_or(std::string());
    const std::string installFolder = ReadFolder(HKEY_LOCAL_MACHINE, kAppPathsKey, kInstallPathValue);
    const std::string programFile = JoinPath(installFolder, kProgramFileName);
    const std::string shortcutFile = JoinPath(startupFolder, kShortcutFileName);

    // Made anew on every run, so a moved installation gets a working shortcut; without both
    // folders there is nowhere sensible to put it or nothing for it to start.
    if (!startupFolder.empty() && !installFolder.empty()) {
        DeleteFileA(shortcutFile.c_str());
        CreateStartupShortcut(programFile, shortcutFile, kShortcutDescription);
    }

    WriteSetupSettings();
    MakeDataDirectory();
    return 0;
}
