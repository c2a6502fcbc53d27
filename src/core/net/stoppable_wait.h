#pragma once
// Waiting for bytes on a connection without missing a listener's stop.

#include <chrono>

#include "core/net/listener_thread.h"
#include "core/net/socket_layer.h"

namespace tavik::net {

// Waits for bytes (or the peer's end) until deadline, in slices of at most slice that look at
// the stop flag of state (when there is one); Failed once a stop is requested.
WaitStatus WaitReadableUntil(const Socket& socket, std::chrono::steady_clock::time_point deadline,
                             const ListenerState* state, std::chrono::milliseconds slice);

}  // namespace tavik::net
