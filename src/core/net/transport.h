#pragma once
// Which of the program's own transports a message came by. The numbers are those the
// protocol handler has always been called with.

namespace tavik::net {

enum class Transport : int {
    Tcp = 0,
    Udp = 1,
};

}  // namespace tavik::net
