#pragma once
// Messenger sessions over TCP, for platforms whose NetBIOS cannot listen: a listener whose
// every connection is a NetBIOS session (see CarrierSession) served by HandleMessageSession.
// Sessions are served side by side, so a silent caller holds only its own; a stop ends them
// all promptly.

#include <memory>

#include "core/net/listener.h"
#include "core/netbios/session_carrier_config.h"

namespace tavik::netbios {

class SessionCarrier final : public net::Listener {
public:
    explicit SessionCarrier(SessionCarrierConfig config);

private:
    std::shared_ptr<net::ListenerService> MakeService() const override;

    const SessionCarrierConfig carrier_;
};

}  // namespace tavik::netbios
