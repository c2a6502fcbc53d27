#include "core/netbios/session_stream.h"

namespace tavik::netbios {

std::optional<SessionHeader> ReceiveSessionHeader(SessionStream& stream, SessionStream::Clock::time_point deadline) {
    char header[kSessionHeaderSize];
    if (!stream.ReceiveExactly(header, sizeof header, deadline)) return std::nullopt;
    return ReadSessionHeader(std::string_view(header, sizeof header));
}

std::optional<std::string> ReceiveBytes(SessionStream& stream, std::size_t count,
                                        SessionStream::Clock::time_point deadline) {
    std::string bytes(count, '\0');
    if (count > 0 && !stream.ReceiveExactly(bytes.data(), count, deadline)) return std::nullopt;
    return bytes;
}

}  // namespace tavik::netbios
