#pragma once
// The TCP listener: one connection is one message, served one after another. The message
// ends with "/$7" or "/$4\n" (and nothing more within 10 ms), or when the client closes its
// side or stays silent for the receive time-out. The client gets the number of bytes
// received in decimal digits, the connection is closed, and only then is the message handed
// on with transport Tcp. Reading stops once more than kMaxMessageBytes have come.

#include "core/net/listener.h"

namespace tavik::net {

class TcpListener final : public Listener {
public:
    using Listener::Listener;
    void Start() override;
};

}  // namespace tavik::net
