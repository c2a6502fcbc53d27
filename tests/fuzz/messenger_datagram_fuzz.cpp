// Feeds arbitrary datagrams to the Messenger datagram parser and on through delivery,
// with the parsed text and recipient used as the sender filter lists so the wildcard
// matcher sees arbitrary patterns too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/reception/deliver_message.h"
#include "core/reception/messenger_datagram.h"

namespace {

class DiscardingSink : public tavik::MessageSink {
public:
    void Deliver(std::uint32_t, const tavik::IncomingMessage& message) override {
        if (message.text.find(".\r\n\r\n") == std::string::npos) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto datagram = tavik::ParseMessengerDatagram(data, size);
    if (!datagram) {
        return 0;
    }
    // The three parts are NUL-free stretches of the input, in order.
    const std::size_t used = datagram->sender.size() + datagram->recipient.size() + 2 + datagram->text.size();
    if (used > size || datagram->sender.find('\0') != std::string::npos ||
        datagram->recipient.find('\0') != std::string::npos || datagram->text.find('\0') != std::string::npos ||
        std::memcmp(data, datagram->sender.data(), datagram->sender.size()) != 0) {
        std::abort();
    }

    tavik::Settings settings;
    settings.AllMess = datagram->text;
    settings.DontRecvMess = datagram->recipient;
    tavik::IdentityCodePage codePage;
    DiscardingSink sink;
    tavik::DeliverMessage(datagram->sender, datagram->recipient, datagram->text, settings, datagram->recipient,
                          codePage, sink);
    return 0;
}
