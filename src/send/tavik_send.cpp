// tavik-send: sends one message to a Tavik receiver from the command line.

#include <iostream>
#include <string>
#include <vector>

#include "core/net/socket_layer.h"
#include "send/messenger_send.h"
#include "send/own_protocol_send.h"
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
    const SendOptions& options = parsed.options;
    std::string text = MessageText(options.text, std::cin);

    if (options.mode == SendMode::Mailslot) {
#ifdef _WIN32
        std::string error;
        if (!SendMessengerDatagram(*options.from, *options.to, text, &error)) {
            std::cerr << "tavik-send: " << error << "\n";
            return kExitNoAnswer;
        }
        std::cout << "sent to the messenger mailslot\n";
        return kExitAnswered;
#else
        std::cerr << "tavik-send: --mailslot is only available on Windows\n";
        return kExitUsage;
#endif
    }

    tavik::net::SocketLibrary sockets;
    if (!sockets.Ready()) {
        std::cerr << "tavik-send: the socket library did not start\n";
        return kExitNoAnswer;
    }
    std::string name = options.from.value_or(tavik::net::HostName());
    text = WithCrLf(text);
    if (options.mode == SendMode::Messenger) return SendOverMessenger(options, name, text, std::cout, std::cerr);
    if (options.mode == SendMode::Udp) return SendOverUdp(options, name, text, std::cout, std::cerr);
    return SendOverTcp(options, name, text, std::cout, std::cerr);
}
