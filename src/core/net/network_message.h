#pragma once
// The own protocol's receiving end: one message from the UDP or TCP listener is filtered by
// the sender's address, taken apart, answered with a receipt (UDP) and handed to the sink.

#include <cstddef>
#include <memory>
#include <string_view>

#include "core/net/receipt_sender.h"
#include "core/net/transport.h"
#include "core/reception/confirmation.h"
#include "core/reception/incoming_message.h"
#include "core/settings/settings.h"
#include "core/text/date_time.h"

namespace tavik::net {

// What one message needs beyond its bytes. Everything is borrowed for the call.
struct NetworkContext {
    const Settings& settings;  // AllMess, DontRecvMess, HigthPriorMess, TCPPort, UDPPort
    MessageSink& sink;
    std::string_view computerName;   // own name, for the receipt
    std::string_view localAddress;   // own address as dotted text, for the receipt
    std::string_view receiptFormat;  // %s recipient, %s date-time, %d bytes; empty: the default
    const DateTimeFormatter& clock;
    std::shared_ptr<ReceiptSender> receiptSender;  // kept by a receipt that waits for its message to be stored
};

// Handles one received message: data[0..length) (a TCP message ends at its first NUL),
// peerAddress in dotted text. Returns true when the message went to the sink. In order:
// receipts of other receivers are ignored; the peer address must match AllMess and not
// DontRecvMess; the framing must hold; a high-priority flag needs a peer on HigthPriorMess;
// a UDP sender gets a receipt at its reply port; then the sink gets the text and sender.
// With confirmation given, a message that goes to the sink gets one there: what its sender's
// answer waits for. It is left as it is for a message turned away.
bool HandleNetworkMessage(const char* data, std::size_t length, std::string_view peerAddress, Transport transport,
                          const NetworkContext& context, Confirmation* confirmation = nullptr);

}  // namespace tavik::net
