#include "core/net/stoppable_wait.h"

#include <algorithm>

namespace tavik::net {

WaitStatus WaitReadableUntil(const Socket& socket, std::chrono::steady_clock::time_point deadline,
                             const ListenerState* state, std::chrono::milliseconds slice) {
    while (state == nullptr || !state->StopRequested()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return WaitStatus::TimedOut;
        WaitStatus wait = socket.WaitReadable(std::min(left, slice));
        if (wait != WaitStatus::TimedOut) return wait;
    }
    return WaitStatus::Failed;
}

}  // namespace tavik::net
