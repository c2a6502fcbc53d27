// Host names and their IPv4 addresses, through the same calls on BSD sockets and Winsock.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>
#endif

#include "core/net/address_text.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

std::optional<std::uint32_t> ResolveIPv4(const std::string& host) {
    if (std::optional<std::uint32_t> dotted = ParseDottedAddress(host)) return dotted;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return std::nullopt;
    std::optional<std::uint32_t> address;
    for (addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr) {
            address = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr);
            break;
        }
    }
    ::freeaddrinfo(found);
    return address;
}

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return std::string();
    return std::string(name);
}

std::string LocalAddressString() {
    std::string name = HostName();
    if (name.empty()) return std::string();
    std::optional<std::uint32_t> address = ResolveIPv4(name);
    return address ? DottedAddress(*address) : std::string();
}

}  // namespace tavik::net
