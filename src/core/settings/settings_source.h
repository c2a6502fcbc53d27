#pragma once
// Where the settings are read from: the settings key of the registry in the program, a map in tests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavik {

class SettingsSource {
public:
    virtual ~SettingsSource() = default;

    // Opens the settings key for reading; false when it cannot be opened (every read then fails).
    virtual bool Open() = 0;
    virtual void Close() = 0;

    // A number value read into a zeroed 4-byte field, whatever its type. Fails (nullopt) when the
    // value is absent, larger than 4 bytes, or on any other error.
    virtual std::optional<std::uint32_t> ReadNumber(const std::string& name) = 0;

    // First step of a string read: the stored size in bytes (terminating zero included).
    virtual std::optional<std::size_t> QueryStringSize(const std::string& name) = 0;

    // Second step: reads into a buffer of exactly size bytes and returns the bytes read, raw
    // (terminating zero and any embedded zero included). Fails when the value does not fit.
    virtual std::optional<std::string> ReadString(const std::string& name, std::size_t size) = 0;
};

// The user's folders: where the application-data folder is, and making folders in it.
class UserFolders {
public:
    virtual ~UserFolders() = default;

    // The "AppData" value of the shell's folder list, as stored (up to its first zero byte);
    // nullopt when the list or the value cannot be read.
    virtual std::optional<std::string> ReadAppDataFolder() = 0;

    // Creates one folder; failures (an existing folder among them) are ignored.
    virtual void CreateFolder(const std::string& path) = 0;
};

}  // namespace tavik
