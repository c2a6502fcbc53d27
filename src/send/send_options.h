#pragma once
// tavik-send's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavik::send {

enum class SendMode { None, Udp, Tcp, Mailslot, Messenger };

inline constexpr std::uint16_t kDefaultSendPort = 7777;
inline constexpr std::uint16_t kDefaultMessengerPort = 139;
inline constexpr int kDefaultTimeoutSeconds = 5;

struct SendOptions {
    SendMode mode = SendMode::None;
    bool help = false;
    std::string host;
    std::uint16_t port = kDefaultSendPort;
    std::optional<std::string> from;  // default: this machine's host name
    std::optional<std::string> to;    // Messenger recipient
    bool highPriority = false;
    bool singleBlock = false;  // Messenger: the whole message in one block
    std::optional<std::uint16_t> replyPort;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    std::optional<std::uint16_t> codePage;  // the receiver's code page, when not the transport's usual one
    bool raw = false;                       // text and names go as they are, unconverted
    std::vector<std::string> text;          // the words of the message; a lone "-" reads standard input
};

struct ParsedOptions {
    SendOptions options;
    std::string error;  // empty when the command line is usable
};

// A pure function of the arguments (argv without the program name): it checks their form only,
// not whether a host resolves or a code page exists here.
ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace tavik::send
