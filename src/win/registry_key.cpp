#include "win/registry_key.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/bytes/byte_reader.h"

namespace tavik::win {

bool RegistryKey::Open(HKEY root, const char* path, REGSAM access) {
    Close();
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, path, 0, access, &opened) != ERROR_SUCCESS) return false;
    key_.Reset(opened);
    return true;
}

bool RegistryKey::Create(HKEY root, const char* path, REGSAM access) {
    Close();
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    key_.Reset(opened);
    return true;
}

std::optional<RegistryData> RegistryKey::Read(const char* name, std::size_t bufferSize) const {
    if (!IsOpen() || bufferSize > std::numeric_limits<DWORD>::max()) return std::nullopt;
    std::vector<BYTE> buffer(bufferSize);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key_.Get(), name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS ||
        size > buffer.size()) {
        return std::nullopt;
    }
    RegistryData data;
    data.type = type;
    data.bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return data;
}

std::optional<std::string> RegistryKey::ReadText(const char* name, std::size_t bufferSize) const {
    std::optional<RegistryData> data = Read(name, bufferSize);
    if (!data) return std::nullopt;
    return std::string(bytes::UpToNul(data->bytes));
}

std::optional<std::size_t> RegistryKey::QuerySize(const char* name) const {
    if (!IsOpen()) return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    return size;
}

std::optional<std::string> RegistryKey::ReadBytes(const char* name, std::size_t size) const {
    if (!IsOpen() || size > std::numeric_limits<DWORD>::max()) return std::nullopt;
    std::string buffer(size, '\0');
    DWORD read = static_cast<DWORD>(size);
    char empty = 0;
    BYTE* data = reinterpret_cast<BYTE*>(size == 0 ? &empty : buffer.data());
    if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, data, &read) != ERROR_SUCCESS) return std::nullopt;
    buffer.resize(std::min<std::size_t>(read, size));
    return buffer;
}

std::optional<std::uint32_t> RegistryKey::ReadDword(const char* name) const {
    if (!IsOpen()) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key_.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

bool RegistryKey::WriteDword(const char* name, std::uint32_t value) const {
    const DWORD data = value;
    return IsOpen() && RegSetValueExA(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                      sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryKey::Write(const char* name, DWORD type, std::string_view bytes) const {
    return IsOpen() && bytes.size() <= std::numeric_limits<DWORD>::max() &&
           RegSetValueExA(key_.Get(), name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const char* name) const {
    return IsOpen() && RegDeleteValueA(key_.Get(), name) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteSubKey(const char* path) const {
    return IsOpen() && RegDeleteKeyA(key_.Get(), path) == ERROR_SUCCESS;
}

}  // namespace tavik::win
