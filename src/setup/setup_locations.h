#pragma once
// Registry keys, value names and file names the setup helper works with.

#include "win/user_folders.h"

namespace tavik::setup {

// HKEY_CURRENT_USER
inline constexpr const char* kShellFoldersKey = win::kShellFoldersKeyPath;
inline constexpr const char* kProfileReconciliationKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\ProfileReconciliation";
inline constexpr const char* kEarlierVersionKey = "Software\\Quorlex International";
inline constexpr const char* kEarlierSettingsSubKey = "QuorlexTavik\\Settings";
inline constexpr const char* kEarlierProgramSubKey = "QuorlexTavik";

// HKEY_LOCAL_MACHINE, written by the installer.
inline constexpr const char* kAppPathsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tavik.exe";
inline constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuorlexTavik";

// Value names.
inline constexpr const char* kStartupValue = "Startup";
inline constexpr const char* kAppDataValue = "AppData";
inline constexpr const char* kProfileDirectoryValue = "ProfileDirectory";
inline constexpr const char* kInstallPathValue = "Path";
inline constexpr const char* kOldMailServerValue = "POP3Server";
inline constexpr const char* kMailServerValue = "IncomingMailServer";
inline constexpr const char* kAllowListValue = "AllMess";

// Files and folders.
inline constexpr const char* kProgramFileName = "Tavik.exe";
inline constexpr const char* kShortcutFileName = "Quorlex Tavik StartUp.lnk";
inline constexpr const char* kShortcutDescription = "Quorlex Tavik StartUp Shortcut";
inline constexpr const char* kCompanyFolder = "Quorlex";
inline constexpr const char* kOldDataFolder = "QuorlexTavik";
inline constexpr const char* kDataFolder = "Quorlex Tavik";
inline constexpr const char* kApplicationDataFolder = "Application Data";
inline constexpr const char* kProfileVariable = "USERPROFILE";

}  // namespace tavik::setup
