#pragma once
// An open registry key that closes itself, with the few ANSI reads and writes setup needs.
// Reads go through a fixed buffer: a value larger than the buffer counts as unreadable.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavik::setup {

struct RegistryData {
    DWORD type = REG_NONE;
    std::string bytes;  // exactly the bytes the system reported
};

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Open(HKEY root, const char* path, REGSAM access);
    bool Create(HKEY root, const char* path, REGSAM access);
    void Close();
    bool IsOpen() const { return key_ != nullptr; }

    std::optional<RegistryData> Read(const char* name, std::size_t bufferSize) const;
    // The value's text (cut at its first NUL), read through a buffer of bufferSize bytes.
    std::optional<std::string> ReadText(const char* name, std::size_t bufferSize) const;

    bool WriteDword(const char* name, std::uint32_t value) const;
    bool Write(const char* name, DWORD type, const std::string& bytes) const;
    bool DeleteValue(const char* name) const;
    bool DeleteSubKey(const char* path) const;

private:
    HKEY key_ = nullptr;
};

}  // namespace tavik::setup
