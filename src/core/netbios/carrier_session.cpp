#include "core/netbios/carrier_session.h"

#include <algorithm>
#include <utility>

#include "core/netbios/netbios_name.h"
#include "core/netbios/session_packet.h"

namespace tavik::netbios {

namespace {

// Two encoded names with room for long scopes.
constexpr std::size_t kLargestSessionRequest = 1024;

}  // namespace

CarrierSession::CarrierSession(SessionStream& stream, std::vector<std::string> calledNames,
                               std::chrono::milliseconds receiveTimeout, std::function<bool()> stopRequested)
    : stream_(stream),
      calledNames_(std::move(calledNames)),
      receiveTimeout_(receiveTimeout),
      stopRequested_(std::move(stopRequested)) {}

std::optional<std::string> CarrierSession::ReceiveBlock(std::size_t maxSize) {
    // One time-out for the whole block: keep-alives do not extend it.
    const SessionStream::Clock::time_point deadline = SessionStream::Clock::now() + receiveTimeout_;
    while (true) {
        const std::optional<SessionHeader> header = ReceiveSessionHeader(stream_, deadline);
        if (!header) return std::nullopt;
        switch (header->type) {
        case kSessionKeepAlive:
            if (header->length != 0) return std::nullopt;
            continue;
        case kSessionRequest: {
            if (opened_ || header->length > kLargestSessionRequest) return std::nullopt;
            opened_ = true;
            const std::optional<std::string> body = ReceiveBytes(stream_, header->length, deadline);
            if (!body || !AnswerSessionRequest(*body)) return std::nullopt;
            continue;
        }
        case kSessionMessage:
            opened_ = true;
            if (header->length > maxSize) return std::nullopt;  // too long for the block buffer
            return ReceiveBytes(stream_, header->length, deadline);
        default: return std::nullopt;
        }
    }
}

bool CarrierSession::SendBlock(std::string_view block) {
    return block.size() <= kMaximumPacketLength && stream_.Send(SessionPacket(kSessionMessage, block));
}

bool CarrierSession::AnswerSessionRequest(std::string_view body) {
    const std::optional<SessionRequest> request = ReadSessionRequest(body);
    const bool ours = request && std::any_of(calledNames_.begin(), calledNames_.end(), [&](const std::string& name) {
                          return EqualIgnoringCase(name, request->calledName);
                      });
    if (!ours) {
        stream_.Send(SessionPacket(kNegativeSessionResponse, std::string(1, static_cast<char>(kCalledNameNotPresent))));
        return false;
    }
    return stream_.Send(SessionPacket(kPositiveSessionResponse));
}

}  // namespace tavik::netbios
