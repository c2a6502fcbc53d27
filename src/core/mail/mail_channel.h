#pragma once
// The byte stream a mail dialogue talks over: a TCP connection in the program, a script in tests.

#include <string>
#include <string_view>

namespace tavik::mail {

class MailChannel {
public:
    virtual ~MailChannel() = default;
    // All the bytes, or false.
    virtual bool Send(std::string_view bytes) = 0;
    // Appends the bytes that came next, at least one; false when none will come (the peer
    // closed, the wait timed out, the connection failed or was interrupted).
    virtual bool Receive(std::string& appendTo) = 0;
};

}  // namespace tavik::mail
