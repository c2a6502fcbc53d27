#pragma once
// An in-memory settings key that behaves like the registry: values are raw bytes, a number read
// takes up to 4 bytes into a zeroed field, a string read needs a buffer large enough. Failures can
// be injected per value; every write is logged in order.

#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/settings_sink.h"
#include "core/settings/settings_source.h"

namespace tavik::testing {

class FakeSettingsKey : public SettingsSource, public SettingsSink {
public:
    std::map<std::string, std::string> values;  // name -> stored bytes
    bool exists = true;                         // false: Open fails
    std::set<std::string> failingSizeQueries;
    std::set<std::string> failingReads;
    std::vector<std::string> log;  // "number Name=value", "string Name=bytes", "delete Name"
    int opens = 0;
    int closes = 0;
    bool open = false;

    void SetNumber(const std::string& name, std::uint32_t value) {
        std::string bytes(4, '\0');
        std::memcpy(bytes.data(), &value, 4);
        values[name] = bytes;
    }
    void SetBytes(const std::string& name, std::string bytes) { values[name] = std::move(bytes); }
    // A string value as the registry stores it: the text and its terminating zero.
    void SetString(const std::string& name, const std::string& text) { values[name] = text + '\0'; }

    std::optional<std::uint32_t> StoredNumber(const std::string& name) const {
        auto found = values.find(name);
        if (found == values.end() || found->second.size() != 4) return std::nullopt;
        std::uint32_t value = 0;
        std::memcpy(&value, found->second.data(), 4);
        return value;
    }

    // Source and sink share the open state, like one registry key handle.
    bool Open() override {
        ++opens;
        if (open) return true;
        open = exists;
        return open;
    }
    void Close() override {
        ++closes;
        open = false;
    }

    std::optional<std::uint32_t> ReadNumber(const std::string& name) override {
        auto found = Find(name);
        if (!found || found->size() > 4 || failingReads.count(name)) return std::nullopt;
        std::uint32_t value = 0;
        std::memcpy(&value, found->data(), found->size());
        return value;
    }
    std::optional<std::size_t> QueryStringSize(const std::string& name) override {
        auto found = Find(name);
        if (!found || failingSizeQueries.count(name)) return std::nullopt;
        return found->size();
    }
    std::optional<std::string> ReadString(const std::string& name, std::size_t size) override {
        auto found = Find(name);
        if (!found || found->size() > size || failingReads.count(name)) return std::nullopt;
        return *found;
    }

    void WriteNumber(const std::string& name, std::uint32_t value) override {
        if (!open) return;
        SetNumber(name, value);
        log.push_back("number " + name + "=" + std::to_string(value));
    }
    void WriteString(const std::string& name, std::string_view bytes) override {
        if (!open) return;
        values[name] = std::string(bytes);
        log.push_back("string " + name + "=" + std::string(bytes));
    }
    void DeleteValue(const std::string& name) override {
        if (!open) return;
        values.erase(name);
        log.push_back("delete " + name);
    }

private:
    std::optional<std::string> Find(const std::string& name) const {
        if (!open) return std::nullopt;
        auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
};

// User folders with a settable AppData value that records every folder created, in order.
class FakeUserFolders : public UserFolders {
public:
    std::optional<std::string> appData;
    std::vector<std::string> created;

    std::optional<std::string> ReadAppDataFolder() override { return appData; }
    void CreateFolder(const std::string& path) override { created.push_back(path); }
};

}  // namespace tavik::testing
