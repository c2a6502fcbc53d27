#pragma once
// A NetBIOS session carried over a TCP connection (RFC 1002 session service). The connection
// may open with a session request: one that calls a name of calledNames (ignoring case) gets
// a positive session response, any other a negative one ("called name not present") and the
// session ends. Or it goes straight to session messages, each of which carries one block.
// Keep-alives are passed over; any other packet ends the session.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/netbios/session_stream.h"
#include "core/netbios/smb_session.h"

namespace tavik::netbios {

class CarrierSession final : public SmbSession {
public:
    // calledNames: 16-byte NetBIOS names (see NetbiosName). stopRequested: the carrier's stop flag.
    CarrierSession(SessionStream& stream, std::vector<std::string> calledNames,
                   std::chrono::milliseconds receiveTimeout, std::function<bool()> stopRequested);

    std::optional<std::string> ReceiveBlock(std::size_t maxSize) override;
    bool SendBlock(std::string_view block) override;
    void HangUp() override { stream_.Close(); }
    bool StopRequested() const override { return stopRequested_(); }

private:
    // Answers a session request; true when it called one of our names.
    bool AnswerSessionRequest(std::string_view body);

    SessionStream& stream_;
    const std::vector<std::string> calledNames_;
    const std::chrono::milliseconds receiveTimeout_;
    const std::function<bool()> stopRequested_;
    bool opened_ = false;  // a session request or message has come; no request may follow
};

}  // namespace tavik::netbios
