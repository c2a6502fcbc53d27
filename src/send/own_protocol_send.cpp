#include "send/own_protocol_send.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/net/address_text.h"
#include "core/net/outgoing_message.h"
#include "core/net/receipt.h"
#include "core/net/socket_layer.h"
#include "core/net/udp_framing.h"

namespace tavik::send {

namespace {

using Clock = std::chrono::steady_clock;
using net::Endpoint;
using net::Socket;

std::chrono::milliseconds Left(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() < 0 ? std::chrono::milliseconds(0) : left;
}

std::optional<Endpoint> Destination(const SendOptions& options, std::ostream& err) {
    std::optional<std::uint32_t> address = net::ResolveIPv4(options.host);
    if (!address) {
        err << "tavik-send: cannot resolve " << options.host << "\n";
        return std::nullopt;
    }
    return Endpoint{*address, options.port};
}

// The address this machine uses towards the destination, for field 5. Connecting a UDP
// socket sends nothing; it only picks the route.
std::string LocalAddressTowards(const Endpoint& destination) {
    Socket probe = Socket::OpenUdp();
    if (probe.Connect(destination, std::chrono::seconds(1)) == net::IoStatus::Ok) {
        if (std::optional<Endpoint> local = probe.LocalEndpoint(); local && local->address != net::kAnyAddress) {
            return net::DottedAddress(local->address);
        }
    }
    std::string address = net::LocalAddressString();
    return address.empty() ? "127.0.0.1" : address;
}

std::uint32_t LittleEndianCount(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // namespace

int SendOverUdp(const SendOptions& options, const std::string& name, const std::string& text, std::ostream& out,
                std::ostream& err) {
    std::optional<Endpoint> destination = Destination(options, err);
    if (!destination) return kExitNoAnswer;
    Socket socket = Socket::OpenUdp();
    std::uint16_t wanted = options.replyPort.value_or(0);
    if (!socket.Bind(net::kAnyAddress, wanted)) {
        err << "tavik-send: cannot use reply port " << wanted << "\n";
        return kExitNoAnswer;
    }
    socket.EnableBroadcast();  // so a broadcast address reaches every receiver
    std::optional<Endpoint> local = socket.LocalEndpoint();
    std::uint16_t replyPort = local ? local->port : wanted;

    net::OutgoingMessage message{text, name, options.highPriority,
                                 LocalAddressTowards(*destination) + ":" + std::to_string(replyPort) + "u"};
    std::string datagram = net::BuildUdpMessage(message);
    if (socket.SendTo(datagram, *destination).status != net::IoStatus::Ok) {
        err << "tavik-send: cannot send to " << options.host << ":" << options.port << "\n";
        return kExitNoAnswer;
    }

    // The count comes back to this socket at once; the receipt follows at the reply port,
    // which is this same socket.
    bool gotCount = false;
    bool gotReceipt = false;
    std::vector<char> buffer(65536);
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    while (!gotReceipt && Left(deadline).count() > 0) {
        net::WaitStatus wait = socket.WaitReadable(Left(deadline));
        if (wait == net::WaitStatus::Failed) break;
        if (wait != net::WaitStatus::Ready) continue;
        Endpoint from;
        net::IoResult received = socket.ReceiveFrom(buffer.data(), buffer.size(), from);
        if (received.status != net::IoStatus::Ok) continue;
        std::string_view bytes(buffer.data(), received.count);
        if (bytes.size() == 4) {
            out << "reply: " << LittleEndianCount(bytes.data()) << " bytes received\n";
            gotCount = true;
        } else if (bytes.starts_with(net::kReceiptTypeWord)) {
            std::optional<net::MessageFields> receipt = net::ParseUdpFraming(bytes);
            out << "receipt: " << (receipt ? receipt->text : std::string("(unreadable)")) << "\n";
            gotReceipt = true;
        }
    }
    if (!gotCount) out << "no reply within " << options.timeoutSeconds << " s\n";
    if (!gotReceipt) out << "no receipt within " << options.timeoutSeconds << " s\n";
    return gotCount || gotReceipt ? kExitAnswered : kExitNoAnswer;
}

int SendOverTcp(const SendOptions& options, const std::string& name, const std::string& text, std::ostream& out,
                std::ostream& err) {
    std::optional<Endpoint> destination = Destination(options, err);
    if (!destination) return kExitNoAnswer;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(options.timeoutSeconds);
    Socket socket = Socket::OpenTcp();
    if (socket.Connect(*destination, Left(deadline)) != net::IoStatus::Ok) {
        err << "tavik-send: cannot connect to " << options.host << ":" << options.port << "\n";
        return kExitNoAnswer;
    }
    std::optional<Endpoint> local = socket.LocalEndpoint();
    std::string localAddress = local ? net::DottedAddress(local->address) : LocalAddressTowards(*destination);
    net::OutgoingMessage message{text, name, options.highPriority,
                                 localAddress + ":" + std::to_string(options.replyPort.value_or(options.port))};
    if (socket.Send(net::BuildTcpMessage(message)).status != net::IoStatus::Ok) {
        err << "tavik-send: the connection broke while sending\n";
        return kExitNoAnswer;
    }

    // The receiver answers with decimal digits and closes.
    std::string reply;
    bool closed = false;
    char buffer[64];
    while (!closed && Left(deadline).count() > 0 && reply.size() < 32) {
        net::WaitStatus wait = socket.WaitReadable(Left(deadline));
        if (wait == net::WaitStatus::Failed) break;
        if (wait != net::WaitStatus::Ready) continue;
        net::IoResult received = socket.Receive(buffer, sizeof buffer);
        if (received.status != net::IoStatus::Ok || received.count == 0) {
            closed = true;
        } else {
            reply.append(buffer, received.count);
        }
    }
    if (reply.empty()) {
        out << "no reply within " << options.timeoutSeconds << " s\n";
        return kExitNoAnswer;
    }
    out << "reply: " << reply << " bytes received\n";
    return kExitAnswered;
}

}  // namespace tavik::send
