#pragma once
// An open registry key that closes itself, with the ANSI reads and writes the programs need.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "win/scoped_handles.h"

namespace tavik::win {

struct RegistryData {
    DWORD type = REG_NONE;
    std::string bytes;  // exactly the bytes the system reported
};

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(RegistryKey&&) = default;
    RegistryKey& operator=(RegistryKey&&) = default;

    bool Open(HKEY root, const char* path, REGSAM access);
    // Opens the key, making it (and the keys above it) first when it does not exist.
    bool Create(HKEY root, const char* path, REGSAM access);
    void Close() { key_.Reset(); }
    bool IsOpen() const { return key_.Valid(); }

    // Reads through a fixed buffer of bufferSize bytes: a larger value counts as unreadable.
    std::optional<RegistryData> Read(const char* name, std::size_t bufferSize) const;
    // The value's text (cut at its first NUL), read through a buffer of bufferSize bytes.
    std::optional<std::string> ReadText(const char* name, std::size_t bufferSize) const;
    // The size the value's data takes, or nothing when it cannot be asked.
    std::optional<std::size_t> QuerySize(const char* name) const;
    // At most size bytes of the value. A zero size still passes a buffer, so an existing
    // non-empty value fails as too big.
    std::optional<std::string> ReadBytes(const char* name, std::size_t size) const;
    // A number read into a zeroed 4-byte field; the type is not examined, a larger value fails.
    std::optional<std::uint32_t> ReadDword(const char* name) const;

    bool WriteDword(const char* name, std::uint32_t value) const;
    bool Write(const char* name, DWORD type, std::string_view bytes) const;
    bool DeleteValue(const char* name) const;
    bool DeleteSubKey(const char* path) const;

private:
    HkeyOwner key_;
};

}  // namespace tavik::win
