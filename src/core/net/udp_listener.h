#pragma once
// The UDP listener: one datagram is one message. Every datagram is answered at once with
// its byte count (4 bytes, little-endian) before it is looked at; datagrams above
// kMaxMessageBytes are then dropped, the others handed on with transport Udp. A burst waits
// in a large receive buffer and is taken in one go; while those handed on leave no room
// (waitForRoom), nothing is read and the rest waits there.

#include "core/net/listener.h"

namespace tavik::net {

class UdpListener final : public Listener {
public:
    using Listener::Listener;

private:
    std::shared_ptr<ListenerService> MakeService() const override;
};

}  // namespace tavik::net
