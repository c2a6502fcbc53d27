#pragma once
// The TCP listener: one connection is one message. Up to maxConnections are served at once,
// each on a worker of its own. The message ends with "/$7" or "/$4\n" (and nothing more within
// 10 ms), or when the client closes its side or stays silent for the receive time-out. The
// message is handed on with transport Tcp, and once it is settled (on disk) the client gets the
// number of bytes received in decimal digits and the connection is closed. Past kMaxMessageBytes
// reading stops; after the answer the rest the client sends is read and dropped, so it is not
// reset.

#include "core/net/listener.h"

namespace tavik::net {

class TcpListener final : public Listener {
public:
    using Listener::Listener;

private:
    std::shared_ptr<ListenerService> MakeService() const override;
};

}  // namespace tavik::net
