#include "send/receiver_text.h"

#include <cstdio>

namespace tavik::send {

namespace {

// Warnings name this many missing characters at most; a whole text in another script would
// otherwise come back as one long line.
constexpr std::size_t kMissingNamed = 10;

std::string CodePoint(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

}  // namespace

std::optional<std::uint16_t> ReceiverCodePage(const SendOptions& options, std::uint16_t mailslotCodePage) {
    if (options.raw) return std::nullopt;
    if (options.codePage) return options.codePage;
    switch (options.mode) {
    case SendMode::Messenger: return kMessengerCodePage;
    case SendMode::Mailslot: return mailslotCodePage;
    default: return kOwnProtocolCodePage;
    }
}

ReceiverText::ReceiverText(CodePages& codePages, std::optional<std::uint16_t> codePage)
    : codePages_(codePages), codePage_(codePage) {}

std::string ReceiverText::Convert(std::string_view text, TextOrigin origin, std::string_view what) {
    if (!codePage_) return std::string(text);
    std::optional<std::u32string> characters = codePages_.Decode(text, origin);
    if (!characters) {
        unconverted_.push_back(std::string(what) + " is not valid " + codePages_.OwnEncodingName(origin) +
                               ": sent unconverted");
        return std::string(text);
    }
    std::string converted;
    converted.reserve(text.size());
    for (char32_t character : *characters) {
        if (std::optional<std::string> bytes = codePages_.Encode(character, *codePage_)) {
            converted += *bytes;
            continue;
        }
        converted += '?';
        if (missingSeen_.insert(character).second) missing_.push_back(character);
    }
    return converted;
}

std::string ReceiverText::Warnings() {
    std::string warnings;
    for (const std::string& line : unconverted_) warnings += "tavik-send: " + line + "\n";
    if (missing_.empty()) return warnings;
    warnings += "tavik-send: code page " + std::to_string(*codePage_) + " has no ";
    for (std::size_t i = 0; i < missing_.size() && i < kMissingNamed; ++i) {
        if (i > 0) warnings += ", ";
        std::optional<std::string> shown = codePages_.Show(missing_[i]);
        warnings += shown ? "\"" + *shown + "\" (" + CodePoint(missing_[i]) + ")" : CodePoint(missing_[i]);
    }
    if (missing_.size() > kMissingNamed) {
        warnings += " and " + std::to_string(missing_.size() - kMissingNamed) + " more characters";
    }
    warnings += missing_.size() == 1 ? ": sent as \"?\"\n" : ": each sent as \"?\"\n";
    return warnings;
}

}  // namespace tavik::send
