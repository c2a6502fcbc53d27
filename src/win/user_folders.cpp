#include "win/user_folders.h"

#include <windows.h>

#include "core/bytes/byte_reader.h"
#include "win/extended_path.h"
#include "win/registry_key.h"

namespace tavik::win {

std::optional<std::string> ReadUserFolder(const char* valueName, const char* shellFoldersPath) {
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, shellFoldersPath, KEY_QUERY_VALUE)) return std::nullopt;
    std::optional<std::string> value;
    if (std::optional<std::size_t> size = key.QuerySize(valueName)) value = key.ReadBytes(valueName, *size);
    if (!value) return std::nullopt;
    return std::string(bytes::UpToNul(*value));
}

void MakeFolder(const std::string& path) {
    const std::wstring extended = ExtendedPath(path);
    if (!extended.empty()) CreateDirectoryW(extended.c_str(), nullptr);
}

}  // namespace tavik::win
