// messenger-flood: sends numbered Messenger messages over NetBIOS sessions as tavik-send
// --messenger does (session request, start, text and end blocks, each answered), one session
// after another on each of a few connections side by side, and reports how many were answered
// and how fast. The receiver's storing is counted by the caller, on its disk.
//   messenger-flood HOST PORT TO COUNT [CONNECTIONS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/net/socket_layer.h"
#include "send/messenger_send.h"
#include "send/own_protocol_send.h"
#include "send/send_options.h"

namespace {

using tavik::send::SendOptions;

// About one text block of a typical message, numbered so every stored copy can be told apart.
std::string Text(int number) { return "bench-" + std::to_string(number) + " " + std::string(90, '.'); }

void SendShare(const SendOptions& options, int first, int count, int step, std::atomic<int>& answered) {
    for (int number = first; number < count; number += step) {
        std::ostringstream lines;  // the per-block report is not wanted here
        if (tavik::send::SendOverMessenger(options, "BENCH", Text(number), lines, lines) ==
            tavik::send::kExitAnswered) {
            ++answered;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 6) {
        std::fprintf(stderr, "usage: messenger-flood HOST PORT TO COUNT [CONNECTIONS]\n");
        return 2;
    }
    SendOptions options;
    options.mode = tavik::send::SendMode::Messenger;
    options.host = argv[1];
    options.port = static_cast<std::uint16_t>(std::atoi(argv[2]));
    options.to = argv[3];
    options.timeoutSeconds = 30;
    const int count = std::atoi(argv[4]);
    const int connections = argc == 6 ? std::max(1, std::atoi(argv[5])) : 1;

    tavik::net::SocketLibrary sockets;
    std::atomic<int> answered{0};
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> senders;
    for (int i = 0; i < connections; ++i) {
        senders.emplace_back(SendShare, std::cref(options), i, count, connections, std::ref(answered));
    }
    for (std::thread& sender : senders) sender.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("sent %d answered %d in %.3f s: %.1f messages/s\n", count, answered.load(), seconds,
                answered.load() / seconds);
    return answered.load() == count ? 0 : 1;
}
