#pragma once
// The user's folders as both programs find and make them: the values of the Shell Folders key
// ("AppData", "Startup"), and folders of any path length.

#include <optional>
#include <string>

namespace tavik::win {

inline constexpr const char* kShellFoldersKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder stored under valueName of the Shell Folders key (HKCU, or shellFoldersPath), up to
// its first NUL, however long; nothing when the key or the value cannot be read.
std::optional<std::string> ReadUserFolder(const char* valueName, const char* shellFoldersPath = kShellFoldersKeyPath);

// Makes one folder, through the "\\?\" form so deep paths work too; an existing folder stays.
void MakeFolder(const std::string& path);

}  // namespace tavik::win
