// Arbitrary messages through the whole receiving step. The first byte picks the transport
// and the filter lists; the rest is the message. Whatever is delivered or receipted must
// keep the protocol's shape.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/net/network_message.h"
#include "core/net/udp_framing.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

class CheckingSink final : public tavik::MessageSink {
public:
    void Deliver(std::uint32_t priority, const tavik::IncomingMessage& message) override {
        Require(priority == tavik::kNormalPriority || priority == tavik::kHighPriority);
        Require(message.text.find('\0') == std::string::npos);
        Require(message.sender.find("10.0.0.5") != std::string::npos);
        ++count;
        // Storing is what lets the receipt go.
        if (message.onStored) message.onStored();
    }
    int count = 0;
};

class CheckingReceipts final : public tavik::net::ReceiptSender {
public:
    void SendReceipt(std::string_view peer, std::uint32_t port, std::string_view datagram) override {
        Require(peer == "10.0.0.5");
        Require(port >= 1 && port <= 65535);
        Require(datagram.starts_with("NOTIFY_MESSAGE"));
        auto fields = tavik::net::ParseUdpFraming(datagram);
        Require(fields.has_value());
        Require(fields->flag == '0');
        ++count;
    }
    int count = 0;
};

class Clock final : public tavik::DateTimeFormatter {
public:
    std::string ArrivalDateLine() const override { return "Monday, 1 January 2024, 09:00"; }
    std::string ShortDateTime() const override { return "1/1/2024, 09:00"; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t knobs = data[0];
    std::size_t length = size - 1;
    // The listeners put a NUL after what they received; the handler must not need it.
    std::unique_ptr<char[]> message(new char[length]);
    if (length > 0) std::memcpy(message.get(), data + 1, length);

    tavik::Settings settings;
    settings.UDPPort = 7777;
    settings.TCPPort = (knobs & 0x02) ? 7777 : 8000;
    if (knobs & 0x04) settings.HigthPriorMess = "10.0.0.9";
    if (knobs & 0x08) settings.DontRecvMess = "10.0.0.5";
    if (knobs & 0x10) settings.AllMess = "*.*.*.5;";
    CheckingSink sink;
    auto receipts = std::make_shared<CheckingReceipts>();
    Clock clock;
    std::string format = (knobs & 0x20) ? "%s %s %d %s %d %%" : "";
    tavik::net::NetworkContext context{settings, sink, "RECEIVER", "10.0.0.1", format, clock, receipts};
    auto transport = (knobs & 0x01) ? tavik::net::Transport::Udp : tavik::net::Transport::Tcp;

    bool delivered = tavik::net::HandleNetworkMessage(message.get(), length, "10.0.0.5", transport, context);
    Require(delivered == (sink.count == 1));
    // A receipt goes out exactly for a delivered UDP message.
    Require(receipts->count == ((delivered && transport == tavik::net::Transport::Udp) ? 1 : 0));
    if (knobs & 0x08) Require(!delivered);
    return 0;
}
