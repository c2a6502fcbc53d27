// Fuzzed bytes as what a caller sends over TCP to the NetBIOS session carrier: session
// requests, keep-alives, session messages and anything else. Every packet the carrier sends
// back must be a well-formed session packet of the kinds it sends, nothing may follow a
// negative response, and nothing is read once the session is hung up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/netbios/carrier_session.h"
#include "core/netbios/message_session.h"
#include "core/netbios/netbios_name.h"

namespace {

using namespace tavik::netbios;

void Require(bool condition) {
    if (!condition) std::abort();
}

class FuzzedStream final : public SessionStream {
public:
    FuzzedStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ReceiveExactly(char* buffer, std::size_t count, Clock::time_point) override {
        Require(!closed_ && !refused_);
        if (count > size_ - position_) return false;
        if (count > 0) std::memcpy(buffer, data_ + position_, count);
        position_ += count;
        return true;
    }
    bool Send(std::string_view bytes) override {
        Require(!closed_ && !refused_);
        std::optional<SessionHeader> header = ReadSessionHeader(bytes);
        Require(header && header->length == bytes.size() - kSessionHeaderSize);
        Require(header->type == kSessionMessage || header->type == kPositiveSessionResponse ||
                header->type == kNegativeSessionResponse);
        refused_ = header->type == kNegativeSessionResponse;
        return true;
    }
    void Close() override { closed_ = true; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    bool closed_ = false;
    bool refused_ = false;
};

class DiscardingSink final : public tavik::MessageSink {
public:
    void Deliver(std::uint32_t, const tavik::IncomingMessage&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedStream stream(data, size);
    CarrierSession session(stream, {NetbiosName("BOB", kMessengerSuffix), NetbiosName("PC7", kMessengerSuffix)},
                           std::chrono::seconds(30), [] { return false; });
    MessengerDelivery delivery;
    delivery.sink = std::make_shared<DiscardingSink>();
    HandleMessageSession(session, delivery);
    return 0;
}
