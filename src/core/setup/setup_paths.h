#pragma once
// Path rules of the setup helper: pure text work, so they can be tested without the system.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::setup {

// Every path and registry string is read into a buffer of this many bytes, terminator included.
inline constexpr std::size_t kPathBufferSize = 260;

// Administrators sometimes leave blanks after a folder typed into the registry; only 0x20 counts.
inline std::string TrimTrailingBlanks(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    return std::string(text.substr(0, end));
}

// folder + "\" + name, even for an empty folder (the path then begins with "\").
inline std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

// The text before the last backslash, or nothing when the path holds no backslash.
inline std::optional<std::string> FolderOfFile(std::string_view file) {
    const std::size_t slash = file.rfind('\\');
    if (slash == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(file.substr(0, slash));
}

// Where the profile lies when the user has no application-data folder yet: USERPROFILE when set
// and not empty; otherwise the reconciliation value (blanks trimmed) when its key opened and the
// value exists; otherwise the Windows folder.
inline std::string ChooseProfileFolder(const std::optional<std::string>& userProfile, bool reconciliationKeyOpened,
                                       const std::optional<std::string>& profileDirectory,
                                       std::string_view windowsDirectory) {
    if (userProfile && !userProfile->empty()) {
        return *userProfile;
    }
    if (reconciliationKeyOpened && profileDirectory) {
        return TrimTrailingBlanks(*profileDirectory);
    }
    return std::string(windowsDirectory);
}

}  // namespace tavik::setup
