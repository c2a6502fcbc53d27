#pragma once
// Joins the listeners to the protocol handler: everything a running receiver shares
// between its messages, and the listener handler built from it.

#include <functional>
#include <memory>
#include <string>

#include "core/net/listener_config.h"
#include "core/net/receipt_sender.h"
#include "core/reception/incoming_message.h"
#include "core/settings/settings.h"
#include "core/text/date_time.h"

namespace tavik::net {

// This host as a receipt names it.
struct LocalHost {
    std::string computerName;
    std::string address;  // dotted text
};

struct ReceiverEnvironment {
    // The settings in effect, asked for each message so a change is seen at once.
    std::function<std::shared_ptr<const Settings>()> settings;
    std::shared_ptr<MessageSink> sink;
    // Asked once, on the listener's thread at the first UDP message, and kept: looking the host's
    // name up may take seconds, which no one starting the listeners should wait for.
    std::function<LocalHost()> lookUpLocalHost;
    std::string receiptFormat;  // empty: the default receipt text
    std::shared_ptr<const DateTimeFormatter> clock;
    std::shared_ptr<ReceiptSender> receiptSender;
};

// A handler that passes each message to HandleNetworkMessage. It owns its environment,
// so it may outlive whoever made it (a listener thread that was let go, say).
NetworkHandler MakeNetworkHandler(ReceiverEnvironment environment);

}  // namespace tavik::net
