#include "core/net/network_receiver.h"

#include <mutex>

#include "core/net/network_message.h"

namespace tavik::net {

namespace {

struct Receiver {
    explicit Receiver(ReceiverEnvironment environment) : env(std::move(environment)) {}

    const LocalHost& Host() {
        std::call_once(lookedUp, [this] {
            if (env.lookUpLocalHost) host = env.lookUpLocalHost();
        });
        return host;
    }

    const ReceiverEnvironment env;
    std::once_flag lookedUp;
    LocalHost host;
};

}  // namespace

NetworkHandler MakeNetworkHandler(ReceiverEnvironment environment) {
    auto receiver = std::make_shared<Receiver>(std::move(environment));
    return [receiver](const char* data, std::size_t length, const std::string& peerAddress, Transport transport) {
        const ReceiverEnvironment& env = receiver->env;
        Confirmation confirmation;
        std::shared_ptr<const Settings> settings = env.settings ? env.settings() : nullptr;
        if (!settings || !env.sink || !env.clock || !env.receiptSender) return confirmation;
        // Only a UDP message gets a receipt, which names this host.
        static const LocalHost kNoHost;
        const LocalHost& host = transport == Transport::Udp ? receiver->Host() : kNoHost;
        NetworkContext context{*settings,         *env.sink,  host.computerName, host.address,
                               env.receiptFormat, *env.clock, env.receiptSender};
        // Only the TCP count waits for the message to be settled; UDP answers on arrival.
        HandleNetworkMessage(data, length, peerAddress, transport, context,
                             transport == Transport::Tcp ? &confirmation : nullptr);
        return confirmation;
    };
}

}  // namespace tavik::net
