#pragma once
// What the NetBIOS-over-TCP carrier is started with.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/netbios/messenger_delivery.h"
#include "core/netbios/session_packet.h"

namespace tavik::netbios {

struct SessionCarrierConfig {
    std::uint16_t port = kNetbiosSessionPort;  // 0: any free port
    // The names served with suffix 0x03, as MessengerNames gives them; SlotNames applies.
    std::vector<std::string> names{};
    MessengerDelivery delivery{};
    // How long a session waits for each block, and for each reply to go out.
    std::chrono::milliseconds receiveTimeout{std::chrono::seconds(30)};
    std::chrono::milliseconds sendTimeout{std::chrono::seconds(5)};
    // Sessions served at once; further callers wait in the backlog until one ends.
    std::size_t maxConnections = 16;
    // The port could not be bound. Called once; then the carrier ends, or with keepTryingPort
    // tries the port again every bindRetryInterval.
    std::function<void(std::uint16_t port)> onBindFailure{};
    bool keepTryingPort = false;
    std::chrono::milliseconds bindRetryInterval{std::chrono::seconds(30)};
    // The last thing the carrier's thread does.
    std::function<void()> onFinished{};
    // How often waits look at the stop flag.
    std::chrono::milliseconds stopCheckInterval{200};
};

}  // namespace tavik::netbios
