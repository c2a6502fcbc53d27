#include "send/send_options.h"

namespace tavik::send {

namespace {

std::optional<std::uint32_t> ParseNumber(const std::string& text, std::uint32_t low, std::uint32_t high) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool SetDestination(SendOptions& options, SendMode mode, const std::string& value, std::string& error) {
    if (options.mode != SendMode::None) {
        error = "choose one of --udp, --tcp, --messenger and --mailslot";
        return false;
    }
    options.mode = mode;
    if (mode == SendMode::Mailslot) return true;
    if (mode == SendMode::Messenger) options.port = kDefaultMessengerPort;
    std::size_t colon = value.rfind(':');
    options.host = value.substr(0, colon);
    if (colon != std::string::npos) {
        std::optional<std::uint32_t> port = ParseNumber(value.substr(colon + 1), 1, 65535);
        if (!port) {
            error = "bad port in '" + value + "'";
            return false;
        }
        options.port = static_cast<std::uint16_t>(*port);
    }
    if (options.host.empty()) {
        error = "no host in '" + value + "'";
        return false;
    }
    return true;
}

}  // namespace

ParsedOptions ParseSendOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    SendOptions& options = parsed.options;
    std::string& error = parsed.error;
    bool textOnly = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (textOnly || argument == "-" || argument.rfind("--", 0) != 0) {
            options.text.push_back(argument);
            continue;
        }
        if (argument == "--") {
            textOnly = true;
            continue;
        }
        if (argument == "--help") {
            options.help = true;
            return parsed;
        }
        if (argument == "--high") {
            options.highPriority = true;
            continue;
        }
        if (argument == "--single-block") {
            options.singleBlock = true;
            continue;
        }
        if (argument == "--raw") {
            options.raw = true;
            continue;
        }
        if (argument == "--mailslot") {
            if (!SetDestination(options, SendMode::Mailslot, "", error)) return parsed;
            continue;
        }
        // Every other option takes a value.
        if (i + 1 >= arguments.size()) {
            error = argument + " needs a value";
            return parsed;
        }
        const std::string& value = arguments[++i];
        if (argument == "--udp") {
            if (!SetDestination(options, SendMode::Udp, value, error)) return parsed;
        } else if (argument == "--tcp") {
            if (!SetDestination(options, SendMode::Tcp, value, error)) return parsed;
        } else if (argument == "--messenger") {
            if (!SetDestination(options, SendMode::Messenger, value, error)) return parsed;
        } else if (argument == "--from") {
            options.from = value;
        } else if (argument == "--to") {
            options.to = value;
        } else if (argument == "--reply-port") {
            std::optional<std::uint32_t> port = ParseNumber(value, 1, 65535);
            if (!port) {
                error = "bad reply port '" + value + "'";
                return parsed;
            }
            options.replyPort = static_cast<std::uint16_t>(*port);
        } else if (argument == "--timeout") {
            std::optional<std::uint32_t> seconds = ParseNumber(value, 1, 3600);
            if (!seconds) {
                error = "bad time-out '" + value + "' (whole seconds, 1 to 3600)";
                return parsed;
            }
            options.timeoutSeconds = static_cast<int>(*seconds);
        } else if (argument == "--codepage") {
            std::optional<std::uint32_t> number = ParseNumber(value, 1, 65535);
            if (!number) {
                error = "bad code page '" + value + "' (a Windows code page number, such as 1252)";
                return parsed;
            }
            options.codePage = static_cast<std::uint16_t>(*number);
        } else {
            error = "unknown option " + argument;
            return parsed;
        }
    }
    if (options.mode == SendMode::None) {
        error = "say where to send: --udp, --tcp, --messenger or --mailslot";
    } else if (options.text.empty()) {
        error = "no message text";
    } else if (options.mode == SendMode::Mailslot && (!options.from || !options.to)) {
        error = "--mailslot needs --from and --to";
    } else if (options.mode == SendMode::Messenger && (!options.to || options.to->empty())) {
        error = "--messenger needs --to";
    } else if (options.raw && options.codePage) {
        error = "--raw sends the bytes unconverted: it takes no --codepage";
    }
    return parsed;
}

std::string UsageText() {
    return "usage:\n"
           "  tavik-send --udp HOST[:PORT] [--from NAME] [--high] [--reply-port N] [--timeout SEC] TEXT...\n"
           "  tavik-send --tcp HOST[:PORT] [--from NAME] [--high] [--reply-port N] [--timeout SEC] TEXT...\n"
           "  tavik-send --messenger HOST[:PORT] --to NAME [--from NAME] [--single-block] [--timeout SEC] TEXT...\n"
#ifdef _WIN32
           "  tavik-send --mailslot --from NAME --to NAME TEXT...\n"
#endif
           "  (each also takes --codepage N or --raw)\n"
           "\n"
           "Sends one message to a Tavik receiver. TEXT is the rest of the command line, or\n"
           "standard input when it is a lone \"-\"; line ends go out as CR LF (Messenger: as 0x14).\n"
           "TEXT and the names go out in the receiver's code page, converted from this system's\n"
           "encoding; a character that code page lacks goes as \"?\" and is named on standard error.\n"
           "  --udp HOST[:PORT]  datagram (port 7777 unless given); prints the byte count the\n"
           "                     receiver answers and the text of its delivery receipt\n"
           "  --tcp HOST[:PORT]  connection; prints the byte count the receiver answers\n"
           "  --messenger HOST[:PORT]\n"
           "                     Messenger message over a NetBIOS session (port 139 unless given):\n"
           "                     calls --to as NetBIOS name (upper-cased, type 03), then sends a\n"
           "                     start block, text blocks of at most 127 bytes and an end block;\n"
           "                     prints whether the session and each block were answered\n"
           "  --single-block     Messenger: the whole message in one block instead\n"
#ifdef _WIN32
           "  --mailslot         Messenger datagram to this machine's messenger mailslot\n"
#endif
           "  --to NAME          recipient of a Messenger message\n"
           "  --from NAME        sender name shown by the receiver (default: this host's name)\n"
           "  --high             ask for high priority (the receiver may refuse it)\n"
           "  --reply-port N     port named for the receipt (UDP: bound here; default: any free\n"
           "                     port; TCP: default the destination port)\n"
           "  --timeout SEC      how long to wait for each answer (default 5)\n"
           "  --codepage N       the receiver's code page (default: 1252 for --udp and --tcp,\n"
#ifdef _WIN32
           "                     850 for --messenger, this machine's OEM code page for --mailslot)\n"
#else
           "                     850 for --messenger)\n"
#endif
           "  --raw              send TEXT and the names as they are, unconverted\n"
           "  --                 everything after it is text\n"
           "Exit status: 0 answered, 1 no answer or failure, 2 bad command line.\n";
}

}  // namespace tavik::send
