#include "core/net/network_receiver.h"

#include "core/net/network_message.h"

namespace tavik::net {

NetworkHandler MakeNetworkHandler(ReceiverEnvironment environment) {
    auto shared = std::make_shared<const ReceiverEnvironment>(std::move(environment));
    return [shared](const char* data, std::size_t length, const std::string& peerAddress, Transport transport) {
        const ReceiverEnvironment& env = *shared;
        std::shared_ptr<const Settings> settings = env.settings ? env.settings() : nullptr;
        if (!settings || !env.sink || !env.clock || !env.receiptSender) return;
        NetworkContext context{*settings,         *env.sink,  env.computerName, env.localAddress,
                               env.receiptFormat, *env.clock, env.receiptSender};
        HandleNetworkMessage(data, length, peerAddress, transport, context);
    };
}

}  // namespace tavik::net
