#pragma once
// Which code page a receiver reads, and tavik-send's texts converted into it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "send/code_pages.h"
#include "send/send_options.h"

namespace tavik::send {

// What receivers read unless told otherwise: the own protocol the ANSI code page of Western
// Windows, Messenger the OEM code page that goes with it.
inline constexpr std::uint16_t kOwnProtocolCodePage = 1252;
inline constexpr std::uint16_t kMessengerCodePage = 850;

// The code page the receiver reads: --codepage, else the transport's (the mailslot's receiver is
// this machine, whose OEM code page the caller names); nothing for --raw, whose bytes go unchanged.
std::optional<std::uint16_t> ReceiverCodePage(const SendOptions& options,
                                              std::uint16_t mailslotCodePage = kMessengerCodePage);

// Converts texts to the receiver's code page and keeps note of what did not fit.
class ReceiverText {
public:
    // Without a code page, texts go unchanged.
    ReceiverText(CodePages& codePages, std::optional<std::uint16_t> codePage);

    // text in the receiver's code page; a character it lacks becomes "?". Text that is not valid
    // in the sender's encoding goes unchanged. what names the text in warnings ("--from").
    std::string Convert(std::string_view text, TextOrigin origin, std::string_view what);

    // One line for each kind of loss, each starting "tavik-send: "; empty when nothing was lost.
    std::string Warnings();

private:
    CodePages& codePages_;
    std::optional<std::uint16_t> codePage_;
    std::u32string missing_;  // characters the code page lacks, each once, as first met
    std::unordered_set<char32_t> missingSeen_;
    std::vector<std::string> unconverted_;  // warnings for texts not valid in the sender's encoding
};

}  // namespace tavik::send
