// Taking received bytes apart: the Messenger datagram, the own protocol's two framings, and
// one whole own-protocol message from filters to sink as a listener hands it on.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/net/network_message.h"
#include "core/net/tcp_framing.h"
#include "core/net/udp_framing.h"
#include "core/reception/messenger_datagram.h"

namespace {

using namespace std::string_literals;

const std::string kText = "Message from PC7 to ANN.\r\n" + std::string(200, 'x');

std::string UdpDatagram() { return "MESSAGE\0#0"s + kText + "\0#1PC7\0#2\0#30\0#4\0#510.0.0.7:7777u\0#6\0"s; }

std::string TcpMessage() { return "/$0" + kText + "/$1PC7/$2/$30/$4/$5/$6/$7"; }

void BM_ParseMessengerDatagram(benchmark::State& state) {
    const std::string datagram = tavik::BuildMessengerDatagram("PC7", "ANN", kText);
    const auto* bytes = reinterpret_cast<const unsigned char*>(datagram.data());
    for (auto _ : state) benchmark::DoNotOptimize(tavik::ParseMessengerDatagram(bytes, datagram.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(datagram.size()));
}
BENCHMARK(BM_ParseMessengerDatagram);

void BM_ParseUdpFraming(benchmark::State& state) {
    const std::string datagram = UdpDatagram();
    for (auto _ : state) benchmark::DoNotOptimize(tavik::net::ParseUdpFraming(datagram));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(datagram.size()));
}
BENCHMARK(BM_ParseUdpFraming);

void BM_ParseTcpFraming(benchmark::State& state) {
    const std::string message = TcpMessage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(tavik::net::EndsWithTcpEndMark(message));
        benchmark::DoNotOptimize(tavik::net::ParseTcpFraming(message));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(message.size()));
}
BENCHMARK(BM_ParseTcpFraming);

class DroppingSink final : public tavik::MessageSink {
public:
    void Deliver(std::uint32_t, const tavik::IncomingMessage& message) override {
        benchmark::DoNotOptimize(message.text.data());
    }
};

class DroppingReceipts final : public tavik::net::ReceiptSender {
public:
    void SendReceipt(std::string_view, std::uint32_t, std::string_view datagram) override {
        benchmark::DoNotOptimize(datagram.data());
    }
};

class FixedClock final : public tavik::DateTimeFormatter {
public:
    std::string ArrivalDateLine() const override { return "Monday, 6 May 2024, 10:15:00"; }
    std::string ShortDateTime() const override { return "6/5/2024, 10:15 AM"; }
};

void HandleOwnMessage(benchmark::State& state, const std::string& bytes, tavik::net::Transport transport) {
    tavik::Settings settings;
    DroppingSink sink;
    FixedClock clock;
    const tavik::net::NetworkContext context{
        settings, sink, "RECEIVER", "10.0.0.1", "", clock, std::make_shared<DroppingReceipts>()};
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tavik::net::HandleNetworkMessage(bytes.data(), bytes.size(), "10.0.0.7", transport, context));
    }
}

void BM_HandleUdpMessage(benchmark::State& state) {
    HandleOwnMessage(state, UdpDatagram(), tavik::net::Transport::Udp);
}
BENCHMARK(BM_HandleUdpMessage);

void BM_HandleTcpMessage(benchmark::State& state) { HandleOwnMessage(state, TcpMessage(), tavik::net::Transport::Tcp); }
BENCHMARK(BM_HandleTcpMessage);

}  // namespace
