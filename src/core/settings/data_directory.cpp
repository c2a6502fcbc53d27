#include "core/settings/data_directory.h"

#include <optional>

namespace tavik {

std::string BuildDataDirectory(UserFolders& folders) {
    std::optional<std::string> appData = folders.ReadAppDataFolder();
    if (!appData) {
        // Without the two folders nothing could be stored, and the trash could not be told apart.
        const std::string fallback(kFallbackDataDirectory);
        folders.CreateFolder(fallback + "messages");
        folders.CreateFolder(fallback + "trash");
        return fallback;
    }

    std::string directory = *appData;
    std::size_t end = directory.find_last_not_of(' ');
    directory.resize(end == std::string::npos ? 0 : end + 1);

    directory += "\\Quorlex\\";
    folders.CreateFolder(directory);
    directory += "Quorlex Tavik\\";
    folders.CreateFolder(directory);
    folders.CreateFolder(directory + "messages");
    folders.CreateFolder(directory + "trash");
    return directory;
}

}  // namespace tavik
