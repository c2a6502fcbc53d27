// tavik-send: sends one message to a Tavik receiver from the command line.

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/net/socket_layer.h"
#include "send/code_pages.h"
#include "send/messenger_send.h"
#include "send/own_protocol_send.h"
#include "send/receiver_text.h"
#include "send/send_options.h"
#include "send/send_text.h"

#ifdef _WIN32
#include "send/mailslot_sender.h"
#endif

int main(int argc, char** argv) {
    using namespace tavik::send;
    std::vector<std::string> arguments(argv + 1, argv + argc);
    ParsedOptions parsed = ParseSendOptions(arguments);
    if (parsed.options.help) {
        std::cout << UsageText();
        return kExitAnswered;
    }
    if (!parsed.error.empty()) {
        std::cerr << "tavik-send: " << parsed.error << "\n" << UsageText();
        return kExitUsage;
    }
    SendOptions options = std::move(parsed.options);
#ifdef _WIN32
    const std::uint16_t mailslotCodePage = MailslotCodePage();
#else
    if (options.mode == SendMode::Mailslot) {
        std::cerr << "tavik-send: --mailslot is only available on Windows\n";
        return kExitUsage;
    }
    const std::uint16_t mailslotCodePage = kMessengerCodePage;
#endif
    const std::optional<std::uint16_t> codePage = ReceiverCodePage(options, mailslotCodePage);
    std::unique_ptr<CodePages> codePages = SystemCodePages();
    if (codePage && !codePages->CanWrite(*codePage)) {
        std::cerr << "tavik-send: code page " << *codePage << " cannot be used on this system\n";
        return kExitUsage;
    }
    ReceiverText receiverText(*codePages, codePage);
    const bool fromInput = options.text.size() == 1 && options.text[0] == "-";
    std::string text = receiverText.Convert(MessageText(options.text, std::cin),
                                            fromInput ? TextOrigin::StandardInput : TextOrigin::CommandLine,
                                            fromInput ? "standard input" : "the text");
    if (options.from) options.from = receiverText.Convert(*options.from, TextOrigin::CommandLine, "--from");
    if (options.to) options.to = receiverText.Convert(*options.to, TextOrigin::CommandLine, "--to");
    std::cerr << receiverText.Warnings();

#ifdef _WIN32
    if (options.mode == SendMode::Mailslot) {
        std::string error;
        if (!SendMessengerDatagram(*options.from, *options.to, text, &error)) {
            std::cerr << "tavik-send: " << error << "\n";
            return kExitNoAnswer;
        }
        std::cout << "sent to the messenger mailslot\n";
        return kExitAnswered;
    }
#endif

    tavik::net::SocketLibrary sockets;
    if (!sockets.Ready()) {
        std::cerr << "tavik-send: the socket library did not start\n";
        return kExitNoAnswer;
    }
    // Host names are plain ASCII: the same in every code page.
    const std::string name = options.from.value_or(tavik::net::HostName());
    text = WithCrLf(text);
    if (options.mode == SendMode::Messenger) return SendOverMessenger(options, name, text, std::cout, std::cerr);
    if (options.mode == SendMode::Udp) return SendOverUdp(options, name, text, std::cout, std::cerr);
    return SendOverTcp(options, name, text, std::cout, std::cerr);
}
