#include "core/net/network_message.h"

#include <optional>

#include "core/net/receipt.h"
#include "core/net/sender_string.h"
#include "core/net/tcp_framing.h"
#include "core/net/udp_framing.h"
#include "core/reception/pattern_match.h"

namespace tavik::net {

bool HandleNetworkMessage(const char* data, std::size_t length, std::string_view peerAddress, Transport transport,
                          const NetworkContext& context, Confirmation* confirmation) {
    std::string_view bytes(data, data == nullptr ? 0 : length);
    if (bytes.starts_with(kReceiptTypeWord)) return false;

    const Settings& settings = context.settings;
    // Here the lists are matched against the peer's address, not against a name.
    if (!MatchPatternList(peerAddress, settings.AllMess)) return false;
    if (MatchPatternList(peerAddress, settings.DontRecvMess)) return false;

    std::optional<MessageFields> fields = transport == Transport::Udp ? ParseUdpFraming(bytes) : ParseTcpFraming(bytes);
    if (!fields) return false;

    bool highPriority = fields->flag == '1';
    // Refused rather than downgraded: the sender asked for attention it may not have.
    if (highPriority && !MatchPatternList(peerAddress, settings.HigthPriorMess)) return false;

    std::uint32_t ownPort = transport == Transport::Udp ? settings.UDPPort : settings.TCPPort;
    std::uint32_t replyPort = ReplyPort(fields->replyAddress, ownPort);

    IncomingMessage message;
    if (transport == Transport::Udp && context.receiptSender) {
        std::string text = ReceiptText(context.receiptFormat, RecipientName(fields->text, peerAddress),
                                       context.clock.ShortDateTime(), length);
        message.onStored = [sender = context.receiptSender, peer = std::string(peerAddress), replyPort,
                            receipt =
                                BuildReceipt(text, context.computerName, context.localAddress, settings.UDPPort)] {
            sender->SendReceipt(peer, replyPort, receipt);
        };
    }
    message.sender = SenderString(fields->name, peerAddress, replyPort, ownPort, transport);
    message.text = std::move(fields->text);
    if (confirmation != nullptr) *confirmation = Confirmation::For(message);
    context.sink.Deliver(highPriority ? kHighPriority : kNormalPriority, message);
    return true;
}

}  // namespace tavik::net
