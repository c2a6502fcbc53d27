// Loads the settings from a settings key whose every answer comes from the fuzz input, then runs
// the rules that use them (hot key, mail server, sender lists) and saves both options pages into a
// registry-like key: loading that key again must give what the pages applied.
//
// Input: byte 0 bit 0 set = the key cannot be opened. Then, in the order the loader asks:
//   number read:  1 byte, 0 = fails, else 4 bytes little-endian follow (missing bytes read as 0);
//   string size:  1 byte n, 0 = fails, else the value holds n - 1 bytes;
//   string read:  1 byte, 0 = fails, else up to the queried size of bytes follow;
//   AppData:      1 byte n, 0 = unreadable, else n - 1 bytes follow (up to the first zero).
// An input that ends answers every later question with a failure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/mail/mail_server_address.h"
#include "core/reception/pattern_match.h"
#include "core/settings/hot_key.h"
#include "core/settings/load_settings.h"
#include "core/settings/settings_sink.h"
#include "core/settings/settings_writers.h"

namespace {

using tavik::Settings;

void Require(bool condition) {
    if (!condition) std::abort();
}

class InputBytes {
public:
    InputBytes(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }
    std::string Bytes(std::size_t count) {
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(taken.size());
        return std::string(taken);
    }

private:
    std::string_view rest_;
};

class FuzzedSource final : public tavik::SettingsSource {
public:
    explicit FuzzedSource(InputBytes& input) : input_(input) {}

    bool Open() override { return true; }
    void Close() override {}
    std::optional<std::uint32_t> ReadNumber(const std::string&) override {
        if (input_.Byte() == 0) return std::nullopt;
        const std::string bytes = input_.Bytes(4);
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data(), bytes.size());
        return value;
    }
    std::optional<std::size_t> QueryStringSize(const std::string&) override {
        const std::uint8_t size = input_.Byte();
        if (size == 0) return std::nullopt;
        return size - 1;
    }
    std::optional<std::string> ReadString(const std::string&, std::size_t size) override {
        if (input_.Byte() == 0) return std::nullopt;
        return input_.Bytes(size);
    }

private:
    InputBytes& input_;
};

class ClosedSource final : public tavik::SettingsSource {
public:
    bool Open() override { return false; }
    void Close() override { std::abort(); }
    std::optional<std::uint32_t> ReadNumber(const std::string&) override { std::abort(); }
    std::optional<std::size_t> QueryStringSize(const std::string&) override { std::abort(); }
    std::optional<std::string> ReadString(const std::string&, std::size_t) override { std::abort(); }
};

class FuzzedFolders final : public tavik::UserFolders {
public:
    explicit FuzzedFolders(InputBytes* input) : input_(input) {}

    std::optional<std::string> ReadAppDataFolder() override {
        const std::uint8_t size = input_ ? input_->Byte() : 0;
        if (size == 0) return std::nullopt;
        const std::string bytes = input_->Bytes(size - 1u);
        return bytes.substr(0, bytes.find('\0'));
    }
    void CreateFolder(const std::string& path) override { created.insert(path); }

    std::set<std::string> created;

private:
    InputBytes* input_;
};

// Values as the registry keeps them: a number is 4 bytes, a string its bytes as written.
class RegistryLikeKey final : public tavik::SettingsSource, public tavik::SettingsSink {
public:
    bool Open() override { return true; }
    void Close() override {}

    std::optional<std::uint32_t> ReadNumber(const std::string& name) override {
        const auto found = values_.find(name);
        if (found == values_.end() || found->second.size() > 4) return std::nullopt;
        std::uint32_t value = 0;
        std::memcpy(&value, found->second.data(), found->second.size());
        return value;
    }
    std::optional<std::size_t> QueryStringSize(const std::string& name) override {
        const auto found = values_.find(name);
        if (found == values_.end()) return std::nullopt;
        return found->second.size();
    }
    std::optional<std::string> ReadString(const std::string& name, std::size_t size) override {
        const auto found = values_.find(name);
        if (found == values_.end() || found->second.size() > size) return std::nullopt;
        return found->second;
    }

    void WriteNumber(const std::string& name, std::uint32_t value) override {
        std::string bytes(4, '\0');
        std::memcpy(bytes.data(), &value, 4);
        values_[name] = bytes;
    }
    void WriteString(const std::string& name, std::string_view bytes) override { values_[name] = bytes; }
    void DeleteValue(const std::string& name) override { values_.erase(name); }

private:
    std::map<std::string, std::string> values_;
};

void CheckLoaded(const Settings& settings, const FuzzedFolders& folders) {
    Require(settings.TCPPort != 0 && settings.UDPPort != 0);
    for (const std::string* text :
         {&settings.SoundFile, &settings.HigthPriorMess, &settings.DontRecvMess, &settings.AllMess,
          &settings.EmailProgram, &settings.UserName, &settings.Password, &settings.IncomingMailServer}) {
        Require(text->find('\0') == std::string::npos);
    }
    Require(!settings.DataDirectory.empty() && settings.DataDirectory.back() == '\\');
    Require(folders.created.count(settings.DataDirectory + "messages") == 1);
    Require(folders.created.count(settings.DataDirectory + "trash") == 1);
}

void CheckRules(const Settings& settings) {
    const auto hotKey = tavik::ConvertRestoreHotKey(settings.RestoreHotKey);
    Require(hotKey.has_value() == ((settings.RestoreHotKey & 0xFF) != 0));
    if (hotKey) Require((hotKey->modifiers & ~(tavik::kModAlt | tavik::kModControl | tavik::kModShift)) == 0);

    const auto server = tavik::mailbox::SplitMailServer(settings.IncomingMailServer, tavik::mailbox::kPop3Port);
    Require(server.port != 0 && settings.IncomingMailServer.starts_with(server.host));

    for (const std::string* list : {&settings.HigthPriorMess, &settings.DontRecvMess, &settings.AllMess}) {
        tavik::MatchPatternList("Ann/10.0.0.5", *list);
    }
}

// Both pages left as loaded, saved, and loaded again.
void CheckPagesSaveWhatTheyApply(const Settings& loaded) {
    RegistryLikeKey key;
    tavik::MessagesPageValues messages;
    messages.minimizeWhenLast = loaded.MinimizeWhenLast;
    messages.popUpWhenIncoming = loaded.PopUpWhenIncoming;
    messages.playSound = loaded.PlaySound;
    messages.restoreHotKey = static_cast<std::uint16_t>(loaded.RestoreHotKey);
    messages.selectedFontSize = loaded.MessageTextFontSize;
    messages.soundFile = loaded.SoundFile;
    messages.higthPriorMess = loaded.HigthPriorMess;
    messages.dontRecvMess = loaded.DontRecvMess;
    messages.allMess = loaded.AllMess;
    const std::optional<Settings> afterMessages = tavik::SaveMessagesPage(key, loaded, messages);
    Require(afterMessages.has_value());

    tavik::MailPageValues mail;
    mail.checkMail = loaded.CheckMail;
    mail.playMailSound = loaded.PlayMailSound;
    mail.timeChecking = loaded.TimeChecking;
    mail.imapSelected = loaded.MailServerType == 1;
    mail.emailProgram = loaded.EmailProgram;
    mail.userName = loaded.UserName;
    mail.password = loaded.Password;
    mail.incomingMailServer = loaded.IncomingMailServer;
    const std::optional<Settings> applied = tavik::SaveMailPage(key, *afterMessages, mail);
    Require(applied.has_value());

    FuzzedFolders folders(nullptr);
    const Settings again = tavik::LoadSettings(key, folders);
#define TAVIK_SAME(field) Require(again.field == applied->field)
    TAVIK_SAME(MinimizeWhenLast);
    TAVIK_SAME(PopUpWhenIncoming);
    TAVIK_SAME(PlaySound);
    TAVIK_SAME(RestoreHotKey);
    TAVIK_SAME(MessageTextFontSize);
    TAVIK_SAME(SoundFile);
    TAVIK_SAME(HigthPriorMess);
    TAVIK_SAME(DontRecvMess);
    TAVIK_SAME(AllMess);
    TAVIK_SAME(CheckMail);
    TAVIK_SAME(PlayMailSound);
    TAVIK_SAME(TimeChecking);
    TAVIK_SAME(MailServerType);
    TAVIK_SAME(EmailProgram);
    TAVIK_SAME(UserName);
    TAVIK_SAME(Password);
    TAVIK_SAME(IncomingMailServer);
#undef TAVIK_SAME
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const bool keyOpens = (input.Byte() & 1) == 0;
    FuzzedSource fuzzed(input);
    ClosedSource closed;
    FuzzedFolders folders(&input);
    const Settings settings =
        tavik::LoadSettings(keyOpens ? static_cast<tavik::SettingsSource&>(fuzzed) : closed, folders);
    CheckLoaded(settings, folders);
    CheckRules(settings);
    CheckPagesSaveWhatTheyApply(settings);
    return 0;
}
