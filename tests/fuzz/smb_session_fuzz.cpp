// A Messenger session made of fuzzed blocks through the message-block handler. The input's
// first byte says how many replies get through; then each block is a length byte and that
// many bytes (lengths over 215 make the receive fail, as a session does). The handler must
// hang up once, send only well-formed replies, and deliver at most once, before the hang-up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/netbios/message_session.h"
#include "core/netbios/smb_block.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

class FuzzedCaller final : public tavik::netbios::SmbSession, public tavik::MessageSink {
public:
    FuzzedCaller(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::optional<std::string> ReceiveBlock(std::size_t maxSize) override {
        Require(hangUps == 0);
        if (position_ >= size_) return std::nullopt;
        const std::size_t length = data_[position_++];
        if (length > maxSize || length > size_ - position_) return std::nullopt;
        std::string block(reinterpret_cast<const char*>(data_ + position_), length);
        position_ += length;
        return block;
    }
    bool SendBlock(std::string_view block) override {
        Require(hangUps == 0);
        Require(block.size() == 35 || block.size() == 37);
        Require(block.substr(0, 4) == tavik::netbios::kSmbProtocol);
        Require(tavik::netbios::ReadSmbBlock(block).has_value());
        return sendsThatGetThrough_ == 0 ? false : (--sendsThatGetThrough_, true);
    }
    void HangUp() override { ++hangUps; }
    bool StopRequested() const override { return false; }
    void Deliver(std::uint32_t, const tavik::IncomingMessage& message) override {
        Require(hangUps == 0);
        Require(message.text.size() < 200 + 2 * tavik::netbios::kMaximumTextBytes);
        ++deliveries;
        if (message.onSettled) message.onSettled();
    }

    void SetSendsThatGetThrough(std::size_t count) { sendsThatGetThrough_ = count; }
    int hangUps = 0;
    int deliveries = 0;

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 1;
    std::size_t sendsThatGetThrough_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    auto caller = std::make_shared<FuzzedCaller>(data, size);
    caller->SetSendsThatGetThrough(data[0]);
    tavik::netbios::MessengerDelivery delivery;
    delivery.sink = caller;
    const bool completed = tavik::netbios::HandleMessageSession(*caller, delivery);
    Require(caller->hangUps == 1);
    Require(caller->deliveries <= (completed ? 1 : 0));
    return 0;
}
