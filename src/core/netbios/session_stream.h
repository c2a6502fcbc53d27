#pragma once
// The byte stream under a NetBIOS session carried over TCP: a connection in the program, a
// scripted stream in tests and fuzzing.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/netbios/session_packet.h"

namespace tavik::netbios {

class SessionStream {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~SessionStream() = default;
    // Exactly count bytes by deadline; false when the peer closed, the time ran out or the
    // stream is being stopped.
    virtual bool ReceiveExactly(char* buffer, std::size_t count, Clock::time_point deadline) = 0;
    // All of bytes within the stream's send time-out; false when that failed.
    virtual bool Send(std::string_view bytes) = 0;
    virtual void Close() = 0;
};

std::optional<SessionHeader> ReceiveSessionHeader(SessionStream& stream, SessionStream::Clock::time_point deadline);
std::optional<std::string> ReceiveBytes(SessionStream& stream, std::size_t count,
                                        SessionStream::Clock::time_point deadline);

}  // namespace tavik::netbios
