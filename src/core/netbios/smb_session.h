#pragma once
// One connected NetBIOS session as the message-block handler uses it. NetBIOS carries it with
// NCB calls; the TCP carrier with RFC 1002 session messages.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavik::netbios {

class SmbSession {
public:
    virtual ~SmbSession() = default;
    // One block of at most maxSize bytes, waiting no longer than the session's receive
    // time-out. Nothing when the caller hung up, the time ran out, the block was longer than
    // maxSize, or the session is being stopped.
    virtual std::optional<std::string> ReceiveBlock(std::size_t maxSize) = 0;
    // The whole block within the session's send time-out; false when that failed.
    virtual bool SendBlock(std::string_view block) = 0;
    virtual void HangUp() = 0;
    // True once the listener that serves the session is being stopped: a wait of the handler's
    // own (for its message to be stored) ends then.
    virtual bool StopRequested() const = 0;
};

}  // namespace tavik::netbios
