#pragma once
// Where the settings are written to: the settings key of the registry in the program.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavik {

class SettingsSink {
public:
    virtual ~SettingsSink() = default;

    // Opens the settings key for writing; an already open key stays open and counts as success.
    // False: nothing may be written (and the caller applies nothing).
    virtual bool Open() = 0;
    virtual void Close() = 0;

    virtual void WriteNumber(const std::string& name, std::uint32_t value) = 0;  // 4-byte number
    // A string value; bytes are stored as given and already end with the terminating zero.
    virtual void WriteString(const std::string& name, std::string_view bytes) = 0;
    virtual void DeleteValue(const std::string& name) = 0;
};

}  // namespace tavik
