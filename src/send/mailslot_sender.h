#pragma once
// tavik-send's Messenger mode on Windows: writes one datagram to this machine's
// "\\.\mailslot\messngr", as the system's own message-sending tools do.

#ifdef _WIN32

#include <cstdint>
#include <string>

namespace tavik::send {

// The code page the mailslot's receiver reads: this machine's OEM code page.
std::uint16_t MailslotCodePage();

// Sends text from sender to recipient, all three already in the receiver's code page. Lines of
// text (CR LF or LF) are joined by the Messenger line separator. On failure returns false and,
// when error is given, puts a one-line reason in it.
bool SendMessengerDatagram(const std::string& sender, const std::string& recipient, const std::string& text,
                           std::string* error);

// The same to another mailslot path (for tests that run their own listener).
bool SendMessengerDatagramTo(const std::string& slotPath, const std::string& sender, const std::string& recipient,
                             const std::string& text, std::string* error);

}  // namespace tavik::send

#endif  // _WIN32
