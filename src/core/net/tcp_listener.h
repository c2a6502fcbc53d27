#pragma once
// The TCP listener: one connection is one message. Up to maxConnections are served at once,
// each on a worker of its own. The message ends with "/$7" or "/$4\n" (and nothing more within
// 10 ms), or when the client closes its side or stays silent for the receive time-out. The
// client gets the number of bytes received in decimal digits, the connection is closed, and
// only then is the message handed on with transport Tcp. Past kMaxMessageBytes the client is
// answered at once and the rest it sends is read and dropped, so it is not reset.

#include "core/net/listener.h"

namespace tavik::net {

class TcpListener final : public Listener {
public:
    using Listener::Listener;

private:
    std::shared_ptr<ListenerService> MakeService() const override;
};

}  // namespace tavik::net
