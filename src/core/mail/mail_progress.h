#pragma once
// The codes a running check reports to a progress window, in the order the steps reach them.

#include <cstdint>

namespace tavik::mailbox {

enum MailProgress : std::uint32_t {
    MailStarted = 1,      // the socket is made; resolving and connecting follow
    MailConnected = 2,    // the TCP connection stands
    MailServerReady = 3,  // greeting (IMAP4: and capabilities) accepted; logging in follows
    MailLoggedIn = 4,
    MailboxOpened = 5,  // counting follows
    MailNetworkFailed = 52,
    MailServerFailed = 53,
    MailLoginRejected = 54,
    MailCountFailed = 55,
};

// The result code: the count's low 16 bits in the high word, the low word 0.
constexpr std::uint32_t MailCounted(std::int32_t count) { return (static_cast<std::uint32_t>(count) & 0xFFFFu) << 16; }

}  // namespace tavik::mailbox
