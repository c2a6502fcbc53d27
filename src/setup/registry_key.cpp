#include "setup/registry_key.h"

#include <vector>

#include "core/setup/registry_text.h"

namespace tavik::setup {

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Open(HKEY root, const char* path, REGSAM access) {
    Close();
    if (RegOpenKeyExA(root, path, 0, access, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
        return false;
    }
    return true;
}

bool RegistryKey::Create(HKEY root, const char* path, REGSAM access) {
    Close();
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return false;
    }
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

std::optional<RegistryData> RegistryKey::Read(const char* name, std::size_t bufferSize) const {
    if (key_ == nullptr) {
        return std::nullopt;
    }
    std::vector<BYTE> buffer(bufferSize);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key_, name, nullptr, &type, buffer.data(), &size) != ERROR_SUCCESS ||
        size > buffer.size()) {
        return std::nullopt;
    }
    RegistryData data;
    data.type = type;
    data.bytes.assign(reinterpret_cast<const char*>(buffer.data()), size);
    return data;
}

std::optional<std::string> RegistryKey::ReadText(const char* name, std::size_t bufferSize) const {
    auto data = Read(name, bufferSize);
    if (!data) {
        return std::nullopt;
    }
    return TextOfRegistryBytes(data->bytes);
}

bool RegistryKey::WriteDword(const char* name, std::uint32_t value) const {
    const DWORD data = value;
    return key_ != nullptr &&
           RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool RegistryKey::Write(const char* name, DWORD type, const std::string& bytes) const {
    return key_ != nullptr &&
           RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const char* name) const {
    return key_ != nullptr && RegDeleteValueA(key_, name) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteSubKey(const char* path) const {
    return key_ != nullptr && RegDeleteKeyA(key_, path) == ERROR_SUCCESS;
}

}  // namespace tavik::setup
