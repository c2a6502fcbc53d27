#include "core/netbios/session_carrier.h"

#include <utility>
#include <vector>

#include "core/net/tcp_service.h"
#include "core/netbios/carrier_session.h"
#include "core/netbios/message_session.h"
#include "core/netbios/netbios_name.h"
#include "core/netbios/socket_session_stream.h"

namespace tavik::netbios {

namespace {

net::ListenerConfig ListenerConfigOf(const SessionCarrierConfig& carrier) {
    net::ListenerConfig config;
    config.port = carrier.port;
    config.onBindFailure = carrier.onBindFailure;
    config.keepTryingPort = carrier.keepTryingPort;
    config.bindRetryInterval = carrier.bindRetryInterval;
    config.onFinished = carrier.onFinished;
    config.receiveTimeout = carrier.receiveTimeout;
    config.maxConnections = carrier.maxConnections;
    config.stopCheckInterval = carrier.stopCheckInterval;
    return config;
}

class SessionCarrierService final : public net::TcpService {
public:
    SessionCarrierService(net::ListenerConfig config, SessionCarrierConfig carrier)
        : TcpService(std::move(config)), carrier_(std::move(carrier)) {
        for (const std::string& name : SlotNames(carrier_.names)) {
            calledNames_.push_back(NetbiosName(name, kMessengerSuffix));
        }
    }

private:
    void ServeConnection(net::Socket& connection, const net::Endpoint&, const net::ListenerState& state) override {
        net::ConnectionWatch::Entry watched(Watch(), connection);
        if (state.StopRequested()) return;
        SocketSessionStream stream(connection, carrier_.sendTimeout, watched);
        CarrierSession session(stream, calledNames_, carrier_.receiveTimeout,
                               [&state] { return state.StopRequested(); });
        HandleMessageSession(session, carrier_.delivery);
    }

    const SessionCarrierConfig carrier_;
    std::vector<std::string> calledNames_;
};

}  // namespace

SessionCarrier::SessionCarrier(SessionCarrierConfig config)
    : Listener(ListenerConfigOf(config)), carrier_(std::move(config)) {}

std::shared_ptr<net::ListenerService> SessionCarrier::MakeService() const {
    return std::make_shared<SessionCarrierService>(config_, carrier_);
}

}  // namespace tavik::netbios
